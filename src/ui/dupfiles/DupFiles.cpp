// The duplicates window: creation, controls, the frame, keys, closing, and following the
// catalog while records leave it.

#include "DupFiles.h"

#include "Catalog.h"
#include "DupFilesModel.h"
#include "DupListViews.h"
#include "DupSetsModel.h"
#include "ImageBt.h"
#include "KeyboardAccess.h"
#include "MainServices.h"
#include "MenuStyler.h"
#include "Pictures.h"
#include "Prompts.h"
#include "ShowingErrors.h"
#include "TitleBand.h"
#include "WindowColours.h"
#include "WindowFrame.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QSplitter>

namespace {

constexpr int ClientWidth = 680;
constexpr int ClientHeight = 350;
constexpr int TopPanelHeight = 32;
constexpr int SetsListWidth = 100;

} // namespace

TDupFilesForm::TDupFilesForm(TMainServices &main, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), m_main(main)
{
    setObjectName(QStringLiteral("DupFilesForm"));
    setWindowTitle(QStringLiteral("Duplicate files"));
    setAttribute(Qt::WA_DeleteOnClose);
    PaintBackground(this, WindowColours::Panel);

    buildTitleBand();
    buildLists();
    buildMenu();

    FrameWindow(*this, QSize(ClientWidth, ClientHeight), TopPanel, Splitter1);

    followCatalog();
}

TDupFilesForm::~TDupFilesForm() = default;

void TDupFilesForm::buildTitleBand()
{
    TopPanel = new TTitleBand(QStringLiteral("Duplicate files"), TopPanelHeight, QRect(1, 1, 200, 30), this);
    TopPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    CloseBt = TopPanel->AddButton(QStringLiteral("CloseBt"), tbClose, 25);
    connect(CloseBt, &QAbstractButton::clicked, this, &TDupFilesForm::CloseBtClick);
}

void TDupFilesForm::buildLists()
{
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    const std::array<QPixmap, 3> pictures = DupListPictures();

    m_setsModel = new TDupSetsModel(this);
    m_setsModel->SetImage(pictures[0]);
    SetsList = new TDupSetsView(Splitter1);
    SetsList->setObjectName(QStringLiteral("SetsList"));
    SetsList->setModel(m_setsModel);
    SetsList->SetUpColumns();
    PaintBackground(SetsList, WindowColours::Pane);
    SetsList->installEventFilter(this);
    SetsList->viewport()->installEventFilter(this);

    m_filesModel = new TDupFilesModel(this);
    m_filesModel->SetImages(pictures[1], pictures[2]);
    m_filesModel->SetDateColumnCaption(m_main.DateColumnCaption());
    FilesList = new TDupFilesView(Splitter1);
    FilesList->setObjectName(QStringLiteral("FilesList"));
    FilesList->setModel(m_filesModel);
    FilesList->SetUpColumns();
    PaintBackground(FilesList, WindowColours::Pane);
    FilesList->installEventFilter(this);

    Splitter1->addWidget(SetsList);
    Splitter1->addWidget(FilesList);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({SetsListWidth, ClientWidth - SetsListWidth});

    connect(SetsList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TDupFilesForm::SetsListSelectItem);
    // Any change in the sets list hands the keyboard focus to the files.
    connect(SetsList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { FilesList->setFocus(); });
    connect(FilesList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TDupFilesForm::FilesListSelectItem);
}

void TDupFilesForm::buildMenu()
{
    // The menu is the window's child, so that the styler finds it.
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    auto entry = [this](const QString &name, const QString &caption, TDupMenuPicture picture,
                        void (TDupFilesForm::*command)()) {
        QAction *action = PopupMenu1->addAction(QIcon(DupMenuPicture(picture)), caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    };
    entry(QStringLiteral("Shellopen"), QStringLiteral("Shell open"), TDupMenuPicture::ShellOpen,
          &TDupFilesForm::ShellopenClick);
    entry(QStringLiteral("SelectallBt"), QStringLiteral("Select all files"), TDupMenuPicture::SelectAll,
          &TDupFilesForm::SelectallBtClick);
    entry(QStringLiteral("RemovefilesBt"), QStringLiteral("Remove selected file(s) from the main list"),
          TDupMenuPicture::RemoveFromList, &TDupFilesForm::RemovefilesBtClick);
    entry(QStringLiteral("Deletefiles"), QStringLiteral("Delete file(s) from disk"),
          TDupMenuPicture::DeleteFromDisk, &TDupFilesForm::DeletefilesClick);

    MenuStyler1 = new TMenuStyler(this);
    MenuStyler1->setObjectName(QStringLiteral("MenuStyler1"));
    ConfigureWindowMenuStyler(*MenuStyler1);

    connect(FilesList, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &point) { PopupMenu1->popup(FilesList->viewport()->mapToGlobal(point)); });
    new TKeyboardMenu(FilesList);
}

void TDupFilesForm::runCommand(void (TDupFilesForm::*command)())
{
    // A menu stays usable while a long command lets events run; it must not start another.
    if (m_main.Commands().MayRun(TCommandStates::cmMenuCommand))
        RunShowingErrors(m_main.Prompts(), [this, command] { (this->*command)(); });
}

// ---- Filling and showing

void TDupFilesForm::AddSets(std::vector<TDuplicateSet> sets)
{
    m_setsModel->SetSets(std::move(sets));
}

int TDupFilesForm::SetCount() const
{
    return m_setsModel->SetCount();
}

void TDupFilesForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TDupFilesForm::FormShow()
{
    FilesList->FilesListResize();
    // The sets list would give its first row the focus on taking the keyboard focus itself; no
    // set is focused until the user picks one.
    FilesList->setFocus();
}

// ---- Closing

void TDupFilesForm::CloseBtClick()
{
    close();
}

void TDupFilesForm::FormClose()
{
    if (m_closed)
        return;
    m_closed = true;
    m_filesModel->Clear();
    m_setsModel->FreeSets();
}

void TDupFilesForm::closeEvent(QCloseEvent *event)
{
    FormClose();
    QDialog::closeEvent(event);
}

// ---- Keys

void TDupFilesForm::keyPressEvent(QKeyEvent *event)
{
    if (FormKeyDown(this, event->key()))
        return;
    QDialog::keyPressEvent(event);
}

bool TDupFilesForm::FormKeyDown(QObject *watched, int key)
{
    if (key == Qt::Key_Escape) {
        close();
        return true;
    }
    if (key == Qt::Key_Delete && watched == FilesList) {
        runCommand(&TDupFilesForm::RemovefilesBtClick);
        return true;
    }
    return false;
}

bool TDupFilesForm::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
        // A click anywhere on the sets list hands the keyboard focus to the files.
        if (watched == SetsList->viewport())
            FilesList->setFocus();
        break;
    case QEvent::KeyPress:
        // The window sees the keys of its lists first.
        if (watched == SetsList || watched == FilesList)
            return FormKeyDown(watched, static_cast<QKeyEvent *>(event)->key());
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

// ---- Following the catalog

void TDupFilesForm::followCatalog()
{
    TCatalog &catalog = m_main.Catalog();
    connect(&catalog, &TCatalog::recordsAboutToBeRemoved, this,
            [this](TFolderNode *, const QList<TFileDat *> &records) { recordsLeaving(records); });
    connect(&catalog, &TCatalog::folderAboutToBeRemoved, this, [this, &catalog](TFolderNode *top) {
        QList<TFileDat *> records;
        catalog.ForEachFolder(
            [&records](TFolderNode *folder) {
                for (const auto &record : folder->Records())
                    records << record.get();
            },
            top);
        recordsLeaving(records);
    });
    connect(&catalog, &TCatalog::catalogAboutToBeCleared, this, [this] {
        m_filesModel->Clear();
        m_setsModel->FreeSets();
    });
}

void TDupFilesForm::recordsLeaving(const QList<TFileDat *> &records)
{
    if (records.isEmpty() || m_setsModel->SetCount() == 0)
        return;
    // Rows of the shown set are emptied now and go at the end of the bracket; other sets lose
    // the records at once.
    m_setsModel->DropRecords(m_filesModel->Forget(records));
    if (m_bracketDepth == 0)
        takeOutForgottenRows();
}

void TDupFilesForm::takeOutForgottenRows()
{
    if (!m_filesModel->Flush())
        return;
    const int row = m_setsModel->RowOfNumber(m_filesModel->ShownSetNumber());
    if (row < 0)
        return;
    std::vector<TFileDat *> left = m_filesModel->Records();
    if (left.empty())
        removeSetRow(row);
    else
        m_setsModel->SetRecords(row, std::move(left));
}
