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
#include "ShadeImage.h"
#include "StorageErrors.h"
#include "TitleButtons.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSplitter>
#include <QVBoxLayout>
#include <QWindow>

namespace {

constexpr int ClientWidth = 680;
constexpr int ClientHeight = 350;
// The sizing frame around the client area, where a press resizes the window.
constexpr int SizingBorder = 4;
constexpr int TopPanelHeight = 32;
constexpr int SetsListWidth = 100;
const QColor FormColour(220, 227, 241);     // 15852508
const QColor TopPanelColour(176, 190, 223); // 14663344
const QColor ListColour(233, 241, 248);     // 16314857

void paintBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Base, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

TDupFilesForm::TDupFilesForm(TMainServices &main, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), m_main(main)
{
    setObjectName(QStringLiteral("DupFilesForm"));
    setWindowTitle(QStringLiteral("Duplicate files"));
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
    paintBackground(this, FormColour);

    buildTitleBand();
    buildLists();
    buildMenu();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(SizingBorder, SizingBorder, SizingBorder, SizingBorder);
    layout->setSpacing(0);
    layout->addWidget(TopPanel);
    layout->addWidget(Splitter1, 1);

    const QSize least(ClientWidth + 2 * SizingBorder, ClientHeight + 2 * SizingBorder);
    setMinimumSize(least);
    resize(least);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    followCatalog();
}

TDupFilesForm::~TDupFilesForm() = default;

void TDupFilesForm::buildTitleBand()
{
    TopPanel = new QFrame(this);
    TopPanel->setObjectName(QStringLiteral("TopPanel"));
    TopPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    TopPanel->setFixedHeight(TopPanelHeight);
    paintBackground(TopPanel, TopPanelColour);
    TopPanel->installEventFilter(this);

    TopImage = new QLabel(TopPanel);
    TopImage->setObjectName(QStringLiteral("TopImage"));
    TopImage->setGeometry(1, 1, 200, 30);
    TopImage->setPixmap(QPixmap::fromImage(ShadeImage(TopPanelColour, TopImage->size())));
    TopImage->installEventFilter(this);

    TitleLabel = new QLabel(QStringLiteral("Duplicate files"), TopPanel);
    TitleLabel->setObjectName(QStringLiteral("TitleLabel"));
    QFont bold = font();
    bold.setBold(true);
    TitleLabel->setFont(bold);
    TitleLabel->setAttribute(Qt::WA_TranslucentBackground);
    TitleLabel->move(8, 9);
    TitleLabel->adjustSize();
    TitleLabel->installEventFilter(this);

    CloseBt = new TImageBt(TopPanel);
    CloseBt->setObjectName(QStringLiteral("CloseBt"));
    ConfigureTitleBandButton(*CloseBt, tbClose);
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
    paintBackground(SetsList, ListColour);
    SetsList->installEventFilter(this);
    SetsList->viewport()->installEventFilter(this);

    m_filesModel = new TDupFilesModel(this);
    m_filesModel->SetImages(pictures[1], pictures[2]);
    m_filesModel->SetDateColumnCaption(m_main.DateColumnCaption());
    FilesList = new TDupFilesView(Splitter1);
    FilesList->setObjectName(QStringLiteral("FilesList"));
    FilesList->setModel(m_filesModel);
    FilesList->SetUpColumns();
    paintBackground(FilesList, ListColour);
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

void TDupFilesForm::placeAnchoredControls()
{
    CloseBt->move(TopPanel->width() - 25, 5);
}

void TDupFilesForm::runCommand(void (TDupFilesForm::*command)())
{
    // A menu stays usable while a long command of the main window lets events run.
    if (m_main.Busy())
        return;
    try {
        (this->*command)();
    } catch (const EStorageError &error) {
        m_main.Prompts().StandardError(error.Message());
    } catch (const std::exception &error) {
        m_main.Prompts().StandardError(QString::fromLocal8Bit(error.what()));
    }
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
    placeAnchoredControls();
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
    case QEvent::MouseButtonPress:
        if (watched == TopPanel || watched == TopImage || watched == TitleLabel) {
            TopPanelMouseDown(static_cast<QMouseEvent *>(event));
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        // A click anywhere on the sets list hands the keyboard focus to the files.
        if (watched == SetsList->viewport())
            FilesList->setFocus();
        break;
    case QEvent::Resize:
        if (watched == TopPanel)
            placeAnchoredControls();
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

// ---- Moving by the title band, sizing by the frame

void TDupFilesForm::TopPanelMouseDown(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !windowHandle())
        return;
    m_dragging = true;
    // The window system runs its own move loop from here.
    windowHandle()->startSystemMove();
    m_dragging = false;
}

Qt::Edges TDupFilesForm::sizingEdgesAt(const QPoint &point) const
{
    Qt::Edges edges;
    if (point.x() < SizingBorder)
        edges |= Qt::LeftEdge;
    if (point.x() >= width() - SizingBorder)
        edges |= Qt::RightEdge;
    if (point.y() < SizingBorder)
        edges |= Qt::TopEdge;
    if (point.y() >= height() - SizingBorder)
        edges |= Qt::BottomEdge;
    return edges;
}

void TDupFilesForm::mousePressEvent(QMouseEvent *event)
{
    const Qt::Edges edges = sizingEdgesAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && edges && windowHandle()) {
        windowHandle()->startSystemResize(edges);
        return;
    }
    QDialog::mousePressEvent(event);
}

void TDupFilesForm::mouseMoveEvent(QMouseEvent *event)
{
    const Qt::Edges edges = sizingEdgesAt(event->position().toPoint());
    const bool left = edges & Qt::LeftEdge, right = edges & Qt::RightEdge;
    const bool top = edges & Qt::TopEdge, bottom = edges & Qt::BottomEdge;
    if ((left && top) || (right && bottom))
        setCursor(Qt::SizeFDiagCursor);
    else if ((right && top) || (left && bottom))
        setCursor(Qt::SizeBDiagCursor);
    else if (left || right)
        setCursor(Qt::SizeHorCursor);
    else if (top || bottom)
        setCursor(Qt::SizeVerCursor);
    else
        unsetCursor();
    QDialog::mouseMoveEvent(event);
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
