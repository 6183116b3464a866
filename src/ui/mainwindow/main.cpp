// Start-up, the entry points and the gate's facts, the services of long operations, the keys
// and closing.

#include "main.h"

#include "FileListModel.h"
#include "FilesListView.h"
#include "FocusReturn.h"
#include "FolderTreeModel.h"
#include "FoldersTreeView.h"
#include "ImageBt.h"
#include "LongOperation.h"
#include "RepaintPacer.h"
#include "ShowingErrors.h"
#include "StatusArea.h"
#include "TempFiles.h"
#include "TitleBand.h"
#include "WindowColours.h"
#include "WindowFrame.h"
#include "about.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QPushButton>
#include <QSplitter>
#include <QToolTip>

namespace {

constexpr int ClientWidth = 700;
constexpr int ClientHeight = 450;

} // namespace

TDravikForm::TDravikForm(TPrompts &prompts, TShell &shell, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_prompts(prompts), m_shell(shell),
      m_scheduler(m_catalog, *this), m_removeFile([](const QString &path) { return QFile::remove(path); }),
      m_commands(new TCommandStates(this))
{
    setObjectName(QStringLiteral("DravikForm"));
    setWindowTitle(QApplication::applicationName());
    QFont windowFont(QStringLiteral("MS Sans Serif"));
    windowFont.setPixelSize(11);
    setFont(windowFont);

    // Hints in the window's own colour, shown long enough to read.
    QPalette hints = QToolTip::palette();
    hints.setColor(QPalette::ToolTipBase, WindowColours::Hint);
    hints.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(hints);

    buildTitleBand();
    buildPanes();
    buildCommandPanel();
    buildMenus();

    FrameWindow(*this, QSize(ClientWidth, ClientHeight), TopPanel, Splitter1, BottomPanel);
    new TRepaintPacer(this);

    connectFolderTree();
    followCommandFacts();
    connect(m_commands, &TCommandStates::changed, this, &TDravikForm::showCommandStates);
    showCommandStates();
}

TDravikForm::~TDravikForm() = default;

// ---- The gate: its facts, what it shows, the entry points that ask it

void TDravikForm::followCommandFacts()
{
    connect(&m_catalog, &TCatalog::currentFolderChanged, this, &TDravikForm::UpdateFolderButtons);
    const auto folders = [this] { m_commands->FoldersChanged(m_catalog.HasFolders()); };
    connect(&m_catalog, &TCatalog::folderAdded, this, folders);
    connect(&m_catalog, &TCatalog::folderRemoved, this, folders);
    connect(&m_catalog, &TCatalog::catalogCleared, this, folders);

    // Rows come and go, and a reset drops the selection, without the events the buttons follow.
    const auto list = [this] {
        m_commands->ListChanged(m_listModel->rowCount() > 0, FilesList->selectionModel()->hasSelection());
    };
    connect(m_listModel, &QAbstractItemModel::modelReset, this, list);
    connect(m_listModel, &QAbstractItemModel::rowsInserted, this, list);
    connect(m_listModel, &QAbstractItemModel::rowsRemoved, this, list);
    connect(FilesList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TDravikForm::FilesListSelectItem);
}

void TDravikForm::showCommandStates()
{
    const std::pair<QPushButton *, TCommandStates::TButton> buttons[] = {
        {LoadMdRegBt, TCommandStates::btLoadMdReg},       {AddFoldersBt, TCommandStates::btAddFolders},
        {AddFilesBt, TCommandStates::btAddFiles},         {CheckDupBt, TCommandStates::btCheckDup},
        {RemoveFilesBt, TCommandStates::btRemoveFiles},   {CommentsBt, TCommandStates::btComments},
        {SearchAllDupBt, TCommandStates::btSearchAllDup}, {RemoveFolderBt, TCommandStates::btRemoveFolder},
    };
    for (const auto &[button, state] : buttons)
        button->setEnabled(m_commands->Enabled(state));
    SaveMdBt->setEnabled(m_commands->Modified());
    CreateFolderBt->setToolTip(m_commands->HasCurrentFolder() ? QStringLiteral("Create new sub-folder")
                                                              : QStringLiteral("Create new root folder"));
}

bool TDravikForm::run(TCommandStates::TCommand command, const std::function<void()> &handler)
{
    if (!m_commands->MayRun(command))
        return false;
    guarded(handler);
    return true;
}

void TDravikForm::guarded(const std::function<void()> &command)
{
    RunShowingErrors(m_prompts, command);
}

// ---- Services of every long operation

void TDravikForm::SetStatus(const QString &text, bool keep)
{
    m_status->SetStatus(text, keep);
}

QString TDravikForm::StatusText() const
{
    return m_status->StatusText();
}

void TDravikForm::CleTimerTimer()
{
    m_status->CleTimerTimer();
}

void TDravikForm::SetProgressTotal(qint64 total)
{
    m_status->SetTotal(total);
}

void TDravikForm::SetProgress(qint64 done)
{
    m_status->SetProgress(done);
}

void TDravikForm::ResetProgress()
{
    m_status->ResetProgress();
}

void TDravikForm::EnableCommands(bool on)
{
    if (on)
        m_commands->CommandsOn();
    else
        m_commands->CommandsOff();
}

bool TDravikForm::Busy() const
{
    return m_commands->Busy();
}

void TDravikForm::SetBusy(bool busy)
{
    m_commands->SetBusy(busy);
}

bool TDravikForm::Modified() const
{
    return m_commands->Modified();
}

void TDravikForm::SetModified(bool modified)
{
    m_commands->SetModified(modified);
}

// ---- What the digest scheduler asks of the window

void TDravikForm::BringFolderIntoView(TFolderNode *folder)
{
    for (TFolderNode *above = folder->Parent(); above; above = above->Parent())
        FoldersTree->expand(m_treeModel->IndexOf(above));
    const QModelIndex index = m_treeModel->IndexOf(folder);
    FoldersTree->expand(index);
    QCoreApplication::processEvents();
    // The catalog may have changed while events ran.
    if (!m_catalog.DigestingRecord() || m_catalog.DigestingRecord()->Folder != folder)
        return;
    FoldersTree->scrollTo(index);
    FoldersTree->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    FoldersTree->setFocus();
    QCoreApplication::processEvents();
}

void TDravikForm::ShowRecordRow(TFileDat *record)
{
    // The row repaints itself when its record changes; here it is only brought into view. A row
    // out of view comes to the top, so the next ones are in view without scrolling again.
    const int row = FindRecordRow(record);
    if (row < 0)
        return;
    const QModelIndex index = m_listModel->index(row, 0);
    const QRect shown = FilesList->visualRect(index);
    if (!FilesList->viewport()->rect().contains(shown))
        FilesList->scrollTo(index, QAbstractItemView::PositionAtTop);
}

// ---- Frame and lifecycle

void TDravikForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TDravikForm::FormShow()
{
    TempFolder();
    const QLocale locale = QLocale::system();
    m_listModel->SetDateColumnCaption(QStringLiteral("Date / Time (") +
                                      locale.dateFormat(QLocale::ShortFormat).toLower() + u' ' +
                                      locale.timeFormat(QLocale::ShortFormat).toLower() + u')');
    SetBusy(false);
}

void TDravikForm::ExitBtClick()
{
    close();
}

void TDravikForm::MinimizeBtClick()
{
    showMinimized();
}

void TDravikForm::OptionsBtClick()
{
    OptionsPopup->popup(BottomPanel->mapToGlobal(OptionsBt->pos() + QPoint(23, 23)));
}

void TDravikForm::AboutBtClick()
{
    const TFocusReturn focus;
    // Deletes itself when closed.
    auto *about = new TAboutForm(m_shell, this);
    about->exec();
}

bool TDravikForm::FormCloseQuery()
{
    // A long command is using the catalog that closing would dispose of.
    if (!m_commands->MayRun(TCommandStates::cmClose))
        return false;
    if (!Modified())
        return true;
    switch (m_prompts.ConfirmYesNoCancel(QStringLiteral("The registry was not saved, save now?"))) {
    case TPrompts::TAnswer::Cancel:
        return false;
    case TPrompts::TAnswer::No:
        return true;
    case TPrompts::TAnswer::Yes:
        break;
    }
    // Unsaved work is never dropped silently: a cancelled or failed save keeps the window open.
    return SaveCatalog();
}

void TDravikForm::FormClose()
{
    m_catalog.ClearCatalog();
}

void TDravikForm::closeEvent(QCloseEvent *event)
{
    bool mayClose = false;
    guarded([&] { mayClose = FormCloseQuery(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

// ---- Keys

bool TDravikForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == FoldersTree || watched == FilesList))
        return FormKeyDown(watched, static_cast<QKeyEvent *>(event)->key());
    return QWidget::eventFilter(watched, event);
}

bool TDravikForm::FormKeyDown(QObject *watched, int key)
{
    using TCommand = TCommandStates::TCommand;
    // No key is taken from a folder name being typed.
    if (FoldersTree->IsEditing())
        return false;
    if (watched == FilesList) {
        if (key == Qt::Key_Insert)
            return run(TCommand::cmAddFiles, [this] { AddFilesBtClick(); });
        if (key == Qt::Key_Delete)
            return run(TCommand::cmRemoveFiles, [this] { RemoveFilesBtClick(); });
        return false;
    }
    switch (key) {
    case Qt::Key_Insert:
        run(TCommand::cmCreateFolder, [this] { CreateFolderBtClick(); });
        return true;
    case Qt::Key_Delete:
        return run(TCommand::cmRemoveFolder, [this] { RemoveFolderBtClick(); });
    case Qt::Key_F2:
        run(TCommand::cmRenameFolder, [this] { FolChangenameClick(); });
        return true;
    default:
        return false;
    }
}
