// Start-up, the frame, the services of long operations, the keys and closing.

#include "main.h"

#include "FileListModel.h"
#include "FilesListView.h"
#include "FolderTreeModel.h"
#include "FoldersTreeView.h"
#include "ImageBt.h"
#include "LongOperation.h"
#include "ProgressCyl.h"
#include "RepaintPacer.h"
#include "StorageErrors.h"
#include "TempFiles.h"
#include "about.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWindow>

namespace {

constexpr int ClientWidth = 700;
constexpr int ClientHeight = 450;
// The sizing border around the client area, where a press resizes the window.
constexpr int SizingBorder = 4;
constexpr int StatusClearMilliseconds = 5000;
constexpr qint64 EventsInterval = 10; // milliseconds between two runs of SetProgress's messages

} // namespace

TDravikForm::TDravikForm(TPrompts &prompts, TShell &shell, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_prompts(prompts), m_shell(shell),
      m_scheduler(m_catalog, *this), m_removeFile([](const QString &path) { return QFile::remove(path); })
{
    setObjectName(QStringLiteral("DravikForm"));
    setWindowTitle(QApplication::applicationName());
    QFont windowFont(QStringLiteral("MS Sans Serif"));
    windowFont.setPixelSize(11);
    setFont(windowFont);
    setMouseTracking(true);

    // Hints in the window's own colour, shown long enough to read.
    QPalette hints = QToolTip::palette();
    hints.setColor(QPalette::ToolTipBase, QColor(208, 221, 221));
    hints.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(hints);

    buildTitleBand();
    buildPanes();
    buildCommandPanel();
    buildMenus();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(SizingBorder, SizingBorder, SizingBorder, SizingBorder);
    layout->setSpacing(0);
    layout->addWidget(TopPanel);
    layout->addWidget(Splitter1, 1);
    layout->addWidget(BottomPanel);

    new TRepaintPacer(this);

    CleTimer = new QTimer(this);
    CleTimer->setObjectName(QStringLiteral("CleTimer"));
    CleTimer->setInterval(StatusClearMilliseconds);
    connect(CleTimer, &QTimer::timeout, this, &TDravikForm::CleTimerTimer);

    const QSize minimum(ClientWidth + 2 * SizingBorder, ClientHeight + 2 * SizingBorder);
    setMinimumSize(minimum);
    resize(minimum);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    connectFolderTree();
    connect(FilesList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TDravikForm::FilesListSelectItem);
    connect(FilesList->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { guarded([this, column] { FilesListColumnClick(column); }); });
}

TDravikForm::~TDravikForm()
{
    CleTimer->stop();
}

// ---- Services of every long operation

void TDravikForm::SetStatus(const QString &text, bool keep)
{
    CleTimer->stop();
    StatusPanel->setText(text);
    if (!keep)
        CleTimer->start();
}

QString TDravikForm::StatusText() const
{
    return StatusPanel->text();
}

void TDravikForm::CleTimerTimer()
{
    CleTimer->stop();
    StatusPanel->clear();
}

void TDravikForm::SetProgress(qint64 done)
{
    const int total = ProgressBar->Tag();
    if (total <= 0)
        return;
    ProgressBar->SetPosition(int(qMin<qint64>(100, done * 100 / total)));
    // Pending messages run about once a frame, no more: a walk calls this for each of a hundred
    // thousand files, and letting messages run costs more than looking at a file.
    if (m_eventsLetRun.isValid() && m_eventsLetRun.elapsed() < EventsInterval)
        return;
    QCoreApplication::processEvents();
    m_eventsLetRun.start();
}

void TDravikForm::ResetProgress()
{
    ProgressBar->SetPosition(0);
}

void TDravikForm::EnableCommands(bool on)
{
    if (on)
        m_states.CommandsOn({m_listModel->rowCount() > 0, FilesList->selectionModel()->hasSelection(),
                             m_catalog.CurrentFolder() != nullptr, m_catalog.HasFolders()});
    else
        m_states.CommandsOff();
    UpdateCommandStates();
}

void TDravikForm::SetModified(bool modified)
{
    m_states.SetModified(modified);
    UpdateCommandStates();
}

void TDravikForm::UpdateCommandStates()
{
    const std::pair<QPushButton *, TCommandStates::TButton> buttons[] = {
        {LoadMdRegBt, TCommandStates::btLoadMdReg},       {AddFoldersBt, TCommandStates::btAddFolders},
        {AddFilesBt, TCommandStates::btAddFiles},         {CheckDupBt, TCommandStates::btCheckDup},
        {RemoveFilesBt, TCommandStates::btRemoveFiles},   {CommentsBt, TCommandStates::btComments},
        {SearchAllDupBt, TCommandStates::btSearchAllDup}, {RemoveFolderBt, TCommandStates::btRemoveFolder},
    };
    for (const auto &[button, state] : buttons)
        button->setEnabled(m_states.Enabled(state));
    SaveMdBt->setEnabled(m_states.Modified());
}

void TDravikForm::guarded(const std::function<void()> &command)
{
    try {
        command();
    } catch (const EStorageError &error) {
        m_prompts.StandardError(error.Message());
    } catch (const std::exception &error) {
        m_prompts.StandardError(QString::fromLocal8Bit(error.what()));
    }
}

void TDravikForm::runUnlessBusy(void (TDravikForm::*command)())
{
    // A menu stays usable while a long command lets events run; it must not start another.
    if (m_busy)
        return;
    guarded([this, command] { (this->*command)(); });
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
    m_busy = false;
}

void TDravikForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeAnchoredControls();
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
    // Deletes itself when closed.
    auto *about = new TAboutForm(m_shell, this);
    about->exec();
}

bool TDravikForm::FormCloseQuery()
{
    // A long command is using the catalog that closing would dispose of.
    if (m_busy)
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

// ---- Moving by the title band, sizing by the border

void TDravikForm::TopPanelMouseDown(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !windowHandle())
        return;
    m_dragging = true;
    // The window system runs its own move loop from here.
    windowHandle()->startSystemMove();
    m_dragging = false;
}

Qt::Edges TDravikForm::sizingEdgesAt(const QPoint &point) const
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

void TDravikForm::mousePressEvent(QMouseEvent *event)
{
    const Qt::Edges edges = sizingEdgesAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && edges && windowHandle()) {
        windowHandle()->startSystemResize(edges);
        return;
    }
    QWidget::mousePressEvent(event);
}

void TDravikForm::mouseMoveEvent(QMouseEvent *event)
{
    const Qt::Edges edges = sizingEdgesAt(event->position().toPoint());
    if ((edges & (Qt::LeftEdge | Qt::TopEdge)) == (Qt::LeftEdge | Qt::TopEdge) ||
        (edges & (Qt::RightEdge | Qt::BottomEdge)) == (Qt::RightEdge | Qt::BottomEdge))
        setCursor(Qt::SizeFDiagCursor);
    else if ((edges & (Qt::RightEdge | Qt::TopEdge)) == (Qt::RightEdge | Qt::TopEdge) ||
             (edges & (Qt::LeftEdge | Qt::BottomEdge)) == (Qt::LeftEdge | Qt::BottomEdge))
        setCursor(Qt::SizeBDiagCursor);
    else if (edges & (Qt::LeftEdge | Qt::RightEdge))
        setCursor(Qt::SizeHorCursor);
    else if (edges & (Qt::TopEdge | Qt::BottomEdge))
        setCursor(Qt::SizeVerCursor);
    else
        unsetCursor();
    QWidget::mouseMoveEvent(event);
}

// ---- Keys

bool TDravikForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress &&
        (watched == TopPanel || watched == TopImage || watched == TitleLabel)) {
        TopPanelMouseDown(static_cast<QMouseEvent *>(event));
        return true;
    }
    if (event->type() == QEvent::Resize && (watched == TopPanel || watched == BottomPanel))
        placeAnchoredControls();
    if (event->type() == QEvent::KeyPress && (watched == FoldersTree || watched == FilesList))
        return FormKeyDown(watched, static_cast<QKeyEvent *>(event)->key());
    return QWidget::eventFilter(watched, event);
}

bool TDravikForm::FormKeyDown(QObject *watched, int key)
{
    // No key is taken from a folder name being typed.
    if (FoldersTree->IsEditing())
        return false;
    if (watched == FilesList) {
        if (key == Qt::Key_Insert && AddFilesBt->isEnabled()) {
            AddFilesBt->click();
            return true;
        }
        if (key == Qt::Key_Delete && RemoveFilesBt->isEnabled()) {
            guarded([this] { RemoveFilesBtClick(); });
            return true;
        }
        return false;
    }
    if (key == Qt::Key_Insert) {
        guarded([this] { CreateFolderBtClick(); });
        return true;
    }
    if (key == Qt::Key_Delete && RemoveFolderBt->isEnabled()) {
        guarded([this] { RemoveFolderBtClick(); });
        return true;
    }
    if (key == Qt::Key_F2) {
        guarded([this] { FolChangenameClick(); });
        return true;
    }
    return false;
}
