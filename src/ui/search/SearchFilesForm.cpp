#include "SearchFilesForm.h"

#include "BackgroundSearch.h"
#include "Catalog.h"
#include "DupListViews.h"
#include "ImageBt.h"
#include "KeyboardAccess.h"
#include "MainServices.h"
#include "MenuStyler.h"
#include "Prompts.h"
#include "RecordShell.h"
#include "SearchResultsModel.h"
#include "ShowingErrors.h"
#include "TitleBand.h"
#include "WindowColours.h"
#include "WindowFrame.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QVBoxLayout>

namespace {

constexpr int ClientWidth = 680;
constexpr int ClientHeight = 420;
constexpr int TopPanelHeight = 32;

} // namespace

TSearchFilesForm::TSearchFilesForm(TMainServices &main, const TFolderNode *currentFolder, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), m_main(main), m_folder(currentFolder)
{
    setObjectName(QStringLiteral("SearchFilesForm"));
    setWindowTitle(QStringLiteral("Search file name"));
    setAttribute(Qt::WA_DeleteOnClose);
    PaintBackground(this, WindowColours::Panel);

    TopPanel = new TTitleBand(windowTitle(), TopPanelHeight, QRect(1, 1, 200, 30), this);
    TopPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    CloseBt = TopPanel->AddButton(QStringLiteral("CloseBt"), tbClose, 25);
    connect(CloseBt, &QAbstractButton::clicked, this, &TSearchFilesForm::CloseBtClick);
    buildControls();
    buildMenu();
    FrameWindow(*this, QSize(ClientWidth, ClientHeight), TopPanel, ClientPanel);

    m_search = new TBackgroundSearch(m_main.Catalog(), this);
    connect(m_search, &TBackgroundSearch::resultsCleared, this, [this] {
        m_results->Clear();
        showStatus();
    });
    connect(m_search, &TBackgroundSearch::found, this, [this](int first, int count) {
        const auto &all = m_search->Results();
        m_results->Append(std::vector<TFileDat *>(all.begin() + first, all.begin() + first + count));
        showStatus();
    });
    connect(m_search, &TBackgroundSearch::finished, this, &TSearchFilesForm::showStatus);
    // A digest handed over while the window is open shows at once.
    connect(&m_main.Catalog(), &TCatalog::recordChanged, m_results, &TSearchResultsModel::RecordChanged);
    showStatus();
}

TSearchFilesForm::~TSearchFilesForm()
{
    // The search reads the catalog: it ends before the window's parts go.
    m_search->Stop();
}

void TSearchFilesForm::buildControls()
{
    ClientPanel = new QWidget(this);
    auto *column = new QVBoxLayout(ClientPanel);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);

    PatternEdit = new QLineEdit(ClientPanel);
    PatternEdit->setObjectName(QStringLiteral("PatternEdit"));
    PatternEdit->setPlaceholderText(QStringLiteral("Part of a file name, or a pattern such as *.jpg"));
    PatternEdit->setClearButtonEnabled(true);
    PatternEdit->installEventFilter(this);
    connect(PatternEdit, &QLineEdit::textChanged, this, &TSearchFilesForm::PatternEditChange);
    column->addWidget(PatternEdit);

    InFolderCheck = new QCheckBox(QStringLiteral("Only in the selected folder"), ClientPanel);
    InFolderCheck->setObjectName(QStringLiteral("InFolderCheck"));
    InFolderCheck->setEnabled(m_folder != nullptr);
    if (m_folder)
        InFolderCheck->setToolTip(TCatalog::FolderPath(m_folder));
    connect(InFolderCheck, &QCheckBox::toggled, this, &TSearchFilesForm::InFolderCheckClick);
    column->addWidget(InFolderCheck);

    m_results = new TSearchResultsModel(this);
    m_results->SetDateColumnCaption(m_main.DateColumnCaption());
    ResultsList = new TDupFilesView(ClientPanel);
    ResultsList->setObjectName(QStringLiteral("ResultsList"));
    ResultsList->setModel(m_results);
    ResultsList->SetUpColumns();
    PaintBackground(ResultsList, WindowColours::Pane);
    // A click on a column sorts by it; until then the rows keep the catalog's order.
    ResultsList->header()->setSectionsClickable(true);
    ResultsList->header()->setSortIndicator(-1, Qt::AscendingOrder);
    ResultsList->header()->setSortIndicatorShown(true);
    ResultsList->setSortingEnabled(true);
    ResultsList->installEventFilter(this);
    connect(ResultsList, &QAbstractItemView::doubleClicked, this, &TSearchFilesForm::ShowInRegistryClick);
    column->addWidget(ResultsList, 1);

    StatusLabel = new QLabel(ClientPanel);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    StatusLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusLabel->setIndent(4);
    StatusLabel->setFixedHeight(20);
    PaintBackground(StatusLabel, WindowColours::Status);
    QPalette statusPalette = StatusLabel->palette();
    statusPalette.setColor(QPalette::WindowText, WindowColours::StatusText);
    StatusLabel->setPalette(statusPalette);
    column->addWidget(StatusLabel);
}

void TSearchFilesForm::buildMenu()
{
    // The menu is the window's child, so that the styler finds it.
    ResultsMenu = new QMenu(this);
    ResultsMenu->setObjectName(QStringLiteral("ResultsMenu"));
    auto entry = [this](const QString &name, const QString &caption, void (TSearchFilesForm::*command)()) {
        QAction *action = ResultsMenu->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    };
    entry(QStringLiteral("ShowInRegistry"), QStringLiteral("Show in the registry"),
          &TSearchFilesForm::ShowInRegistryClick);
    entry(QStringLiteral("ShellOpen"), QStringLiteral("Shell open"), &TSearchFilesForm::ShellOpenClick);
    entry(QStringLiteral("OpenFolder"), QStringLiteral("Open folder"), &TSearchFilesForm::OpenFolderClick);
    entry(QStringLiteral("CopyMd5"), QStringLiteral("Copy MD5 code"), &TSearchFilesForm::CopyMd5Click);

    MenuStyler1 = new TMenuStyler(this);
    MenuStyler1->setObjectName(QStringLiteral("MenuStyler1"));
    ConfigureWindowMenuStyler(*MenuStyler1);
    connect(ResultsList, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &point) { ResultsMenu->popup(ResultsList->viewport()->mapToGlobal(point)); });
    new TKeyboardMenu(ResultsList);
}

void TSearchFilesForm::runCommand(void (TSearchFilesForm::*command)())
{
    if (m_main.Commands().MayRun(TCommandStates::cmMenuCommand))
        RunShowingErrors(m_main.Prompts(), [this, command] { (this->*command)(); });
}

// ---- Searching

void TSearchFilesForm::PatternEditChange()
{
    search();
}

void TSearchFilesForm::InFolderCheckClick()
{
    search();
}

void TSearchFilesForm::search()
{
    TNameMatcher matcher = TNameMatcher::Words(PatternEdit->text());
    if (matcher.PicksNothing()) {
        m_search->Stop();
        m_results->Clear();
        showStatus();
        return;
    }
    m_search->Start(std::move(matcher), InFolderCheck->isChecked() ? m_folder : nullptr);
}

bool TSearchFilesForm::Searching() const
{
    return m_search->IsRunning();
}

QString TSearchFilesForm::StatusText() const
{
    return StatusLabel->text();
}

void TSearchFilesForm::showStatus()
{
    if (m_listing) {
        StatusLabel->setText(QString::number(m_results->rowCount()) + QStringLiteral(" file(s) listed"));
        return;
    }
    if (TNameMatcher::Words(PatternEdit->text()).PicksNothing()) {
        StatusLabel->setText(QStringLiteral("Type part of a file name; * and ? stand for any characters"));
        return;
    }
    const QString found = QString::number(m_results->rowCount()) + QStringLiteral(" file(s) found");
    StatusLabel->setText(Searching() ? found + QStringLiteral(", still searching...") : found);
}

// ---- Commands on a result

TFileDat *TSearchFilesForm::CurrentRecord() const
{
    const QModelIndexList selected = ResultsList->selectionModel()->selectedRows();
    if (!selected.isEmpty()) {
        int first = selected.first().row();
        for (const QModelIndex &row : selected)
            first = qMin(first, row.row());
        return m_results->RecordAt(first);
    }
    return m_results->RecordAt(ResultsList->currentIndex().row());
}

void TSearchFilesForm::ShowInRegistryClick()
{
    TFileDat *record = CurrentRecord();
    if (!record) {
        m_main.Prompts().Information(QStringLiteral("Please select the file and try again."));
        return;
    }
    Q_EMIT showInRegistry(record);
    close();
}

void TSearchFilesForm::ShellOpenClick()
{
    ShellOpenRecord(CurrentRecord(), m_main.Prompts(), m_main.Shell());
}

void TSearchFilesForm::OpenFolderClick()
{
    OpenRecordFolder(CurrentRecord(), m_main.Prompts(), m_main.Shell());
}

void TSearchFilesForm::CopyMd5Click()
{
    CopyRecordDigest(CurrentRecord(), m_main.Prompts(), m_main.Shell());
}

void TSearchFilesForm::ShowResults(const QString &title,
                                   const std::vector<std::pair<TFileDat *, QString>> &rows)
{
    m_listing = true;
    m_search->Stop();
    setWindowTitle(title);
    TopPanel->SetTitle(title);
    PatternEdit->hide();
    InFolderCheck->hide();
    m_results->SetResultColumn(true);
    std::vector<TFileDat *> records;
    for (const auto &[record, finding] : rows) {
        records.push_back(record);
        m_results->SetResult(record, finding);
    }
    m_results->Append(records);
    // The finding first: it is what the list is about.
    ResultsList->header()->moveSection(TSearchResultsModel::ResultColumn, 0);
    ResultsList->setFocus();
    showStatus();
}

void TSearchFilesForm::SetAcceptNewDigest(std::function<bool(TFileDat *)> accept)
{
    m_acceptNewDigest = std::move(accept);
    QAction *action = ResultsMenu->addAction(QStringLiteral("Accept new MD5 code"));
    action->setObjectName(QStringLiteral("AcceptNewMd5"));
    connect(action, &QAction::triggered, this, [this] { runCommand(&TSearchFilesForm::AcceptNewMd5Click); });
}

void TSearchFilesForm::AcceptNewMd5Click()
{
    TFileDat *record = CurrentRecord();
    if (!record) {
        m_main.Prompts().Information(QStringLiteral("Please select the file and try again."));
        return;
    }
    if (!m_acceptNewDigest || !m_acceptNewDigest(record)) {
        m_main.Prompts().Information(QStringLiteral("Only an edited file's new MD5 code can be accepted."));
        return;
    }
    m_results->SetResult(record, QStringLiteral("Accepted"));
}

void TSearchFilesForm::CloseBtClick()
{
    close();
}

// ---- Keys

bool TSearchFilesForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // From the pattern, the first result when none is chosen yet.
        if (watched == PatternEdit && !CurrentRecord() && m_results->rowCount() > 0)
            ResultsList->setCurrentIndex(m_results->index(0, 0));
        runCommand(&TSearchFilesForm::ShowInRegistryClick);
        return true;
    }
    if (watched == PatternEdit && key == Qt::Key_Down && m_results->rowCount() > 0) {
        ResultsList->setFocus();
        if (!ResultsList->currentIndex().isValid())
            ResultsList->setCurrentIndex(m_results->index(0, 0));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
