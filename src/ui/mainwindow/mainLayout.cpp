// The controls and menus of the main window: places, sizes, colours, captions and hints.

#include "CodeCript.h"
#include "FileListModel.h"
#include "FilesListView.h"
#include "FolderTreeModel.h"
#include "FoldersTreeView.h"
#include "ImageBt.h"
#include "KeyboardAccess.h"
#include "MainProgressBar.h"
#include "MenuStyler.h"
#include "Pictures.h"
#include "ProgressCyl.h"
#include "ScrambledTexts.h"
#include "ShadeImage.h"
#include "TitleButtons.h"
#include "main.h"
#include "support.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

constexpr int TopPanelHeight = 32;
constexpr int BottomPanelHeight = 85;
const QColor TopPanelColour(176, 190, 223);
const QColor PaneColour(233, 241, 248);
const QColor BottomPanelColour(220, 227, 241);
const QColor StatusColour(205, 215, 235);
const QColor StatusTextColour(0, 64, 128);
const QColor CurrentFolderColour(128, 128, 255);
constexpr int HintMilliseconds = 10000;

void paintBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Base, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setHint(QWidget *widget, const QString &hint)
{
    widget->setToolTip(hint);
    widget->setToolTipDuration(HintMilliseconds);
}

} // namespace

void TDravikForm::buildTitleBand()
{
    TopPanel = new QFrame(this);
    TopPanel->setObjectName(QStringLiteral("TopPanel"));
    TopPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    TopPanel->setFixedHeight(TopPanelHeight);
    paintBackground(TopPanel, TopPanelColour);
    TopPanel->installEventFilter(this);

    TopImage = new QLabel(TopPanel);
    TopImage->setObjectName(QStringLiteral("TopImage"));
    TopImage->setGeometry(2, 2, 200, 28);
    TopImage->setPixmap(QPixmap::fromImage(ShadeImage(TopPanelColour, TopImage->size())));
    TopImage->installEventFilter(this);

    TitleLabel = new QLabel(TopPanel);
    TitleLabel->setObjectName(QStringLiteral("TitleLabel"));
    QFont bold = font();
    bold.setBold(true);
    TitleLabel->setFont(bold);
    TitleLabel->setAttribute(Qt::WA_TranslucentBackground);
    TitleLabel->setText(DecodeText(QString::fromLatin1(ScrambledTexts::Title)));
    TitleLabel->move(8, 9);
    TitleLabel->adjustSize();
    TitleLabel->installEventFilter(this);

    MinimizeBt = new TImageBt(TopPanel);
    MinimizeBt->setObjectName(QStringLiteral("MinimizeBt"));
    ConfigureTitleBandButton(*MinimizeBt, tbMinimize);
    connect(MinimizeBt, &QAbstractButton::clicked, this, &TDravikForm::MinimizeBtClick);
    ExitBt = new TImageBt(TopPanel);
    ExitBt->setObjectName(QStringLiteral("ExitBt"));
    ConfigureTitleBandButton(*ExitBt, tbExit);
    connect(ExitBt, &QAbstractButton::clicked, this, &TDravikForm::ExitBtClick);
}

void TDravikForm::buildPanes()
{
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);

    m_treeModel = new TFolderTreeModel(m_catalog, this);
    m_treeModel->SetImages(FolderPictures());
    m_treeModel->SetCurrentColours(CurrentFolderColour, Qt::white);
    FoldersTree = new TFoldersTreeView(Splitter1);
    FoldersTree->setObjectName(QStringLiteral("FoldersTree"));
    FoldersTree->setModel(m_treeModel);
    paintBackground(FoldersTree, PaneColour);
    // The selected folder is the current one: the selection shows in the current folder's colours.
    QPalette treeColours = FoldersTree->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        treeColours.setColor(group, QPalette::Highlight, CurrentFolderColour);
        treeColours.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    FoldersTree->setPalette(treeColours);
    FoldersTree->installEventFilter(this);

    m_listModel = new TFileListModel(m_catalog, this);
    m_listModel->SetImages(FileStatePictures());
    FilesList = new TFilesListView(Splitter1);
    FilesList->setObjectName(QStringLiteral("FilesList"));
    FilesList->setModel(m_listModel);
    FilesList->SetUpColumns();
    paintBackground(FilesList, PaneColour);
    FilesList->installEventFilter(this);
    connect(FilesList, &TFilesListView::filesDropped, this,
            [this](const QStringList &paths) { guarded([this, &paths] { HandleDroppedFiles(paths); }); });

    Splitter1->addWidget(FoldersTree);
    Splitter1->addWidget(FilesList);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({180, 520});
}

QPushButton *TDravikForm::commandButton(const QString &name, const QString &caption, const QString &hint,
                                        int x, int y, TCommandPicture picture)
{
    auto *button = new QPushButton(QIcon(CommandPicture(picture)), caption, BottomPanel);
    button->setObjectName(name);
    button->setGeometry(x, y, 120, 24);
    setHint(button, hint);
    return button;
}

void TDravikForm::buildCommandPanel()
{
    BottomPanel = new QFrame(this);
    BottomPanel->setObjectName(QStringLiteral("BottomPanel"));
    BottomPanel->setFixedHeight(BottomPanelHeight);
    paintBackground(BottomPanel, BottomPanelColour);
    BottomPanel->installEventFilter(this);

    CreateFolderBt =
        commandButton(QStringLiteral("CreateFolderBt"), QStringLiteral("New"),
                      QStringLiteral("Create new root folder"), 5, 5, TCommandPicture::NewFolder);
    RemoveFolderBt = commandButton(QStringLiteral("RemoveFolderBt"), QStringLiteral("Remove"),
                                   QStringLiteral("Remove folder(s)"), 5, 33, TCommandPicture::RemoveFolder);
    AddFilesBt = commandButton(QStringLiteral("AddFilesBt"), QStringLiteral("Add files"),
                               QStringLiteral("Add new file(s) to registry (key <Insert>)"), 140, 5,
                               TCommandPicture::AddFiles);
    AddFoldersBt = commandButton(QStringLiteral("AddFoldersBt"), QStringLiteral("Add folders"),
                                 QStringLiteral("Add folder structures to registry"), 140, 33,
                                 TCommandPicture::AddFolders);
    CommentsBt =
        commandButton(QStringLiteral("CommentsBt"), QStringLiteral("Comments"),
                      QStringLiteral("Add or modify file comments"), 270, 5, TCommandPicture::Comments);
    RemoveFilesBt = commandButton(QStringLiteral("RemoveFilesBt"), QStringLiteral("Remove"),
                                  QStringLiteral("Remove file(s) from registry (key <Delete>)"), 270, 33,
                                  TCommandPicture::RemoveFiles);
    CheckDupBt =
        commandButton(QStringLiteral("CheckDupBt"), QStringLiteral("Check"),
                      QStringLiteral("Check if the current folder has duplicate files using MD5 code"), 400,
                      5, TCommandPicture::CheckFolder);
    SearchAllDupBt = commandButton(QStringLiteral("SearchAllDupBt"), QStringLiteral("Check all"),
                                   QStringLiteral("Search all duplicate files in all folders using MD5 code"),
                                   400, 33, TCommandPicture::CheckAll);
    LoadMdRegBt = commandButton(QStringLiteral("LoadMdRegBt"), QStringLiteral("Load registry"),
                                QStringLiteral("Load Dravik"), 535, 5, TCommandPicture::LoadRegistry);
    SaveMdBt = commandButton(QStringLiteral("SaveMdBt"), QStringLiteral("Save registry"),
                             QStringLiteral("Save Dravik"), 535, 33, TCommandPicture::SaveRegistry);
    UpdateCommandStates();

    for (int x : {131, 526}) {
        auto *bevel = new QFrame(BottomPanel);
        bevel->setFrameStyle(QFrame::VLine | QFrame::Sunken);
        bevel->setGeometry(x, 6, 3, 50);
    }

    auto flatButton = [this](const QString &name, const QString &hint, int y, TCommandPicture picture) {
        auto *button = new QPushButton(QIcon(CommandPicture(picture)), QString(), BottomPanel);
        button->setObjectName(name);
        button->setFlat(true);
        button->setGeometry(665, y, 22, 22);
        button->setCursor(Qt::PointingHandCursor);
        setHint(button, hint);
        button->setAccessibleName(hint); // it shows only a picture
        return button;
    };
    OptionsBt = flatButton(QStringLiteral("OptionsBt"), QStringLiteral("More options..."), 6,
                           TCommandPicture::Options);
    AboutBt = flatButton(QStringLiteral("AboutBt"), QStringLiteral("About..."), 34, TCommandPicture::About);

    StatusPanel = new QLabel(BottomPanel);
    StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    StatusPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusPanel->setGeometry(3, 62, 480, 20);
    StatusPanel->setIndent(4);
    paintBackground(StatusPanel, StatusColour);
    QPalette statusPalette = StatusPanel->palette();
    statusPalette.setColor(QPalette::WindowText, StatusTextColour);
    StatusPanel->setPalette(statusPalette);

    ProgressBar = new TProgressCyl(BottomPanel);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ConfigureMainProgressBar(*ProgressBar);

    connect(CreateFolderBt, &QPushButton::clicked, this,
            [this] { guarded([this] { CreateFolderBtClick(); }); });
    connect(RemoveFolderBt, &QPushButton::clicked, this,
            [this] { guarded([this] { RemoveFolderBtClick(); }); });
    connect(AddFilesBt, &QPushButton::clicked, this, [this] { guarded([this] { AddFilesBtClick(); }); });
    connect(AddFoldersBt, &QPushButton::clicked, this, [this] { guarded([this] { AddFoldersBtClick(); }); });
    connect(CommentsBt, &QPushButton::clicked, this, [this] { guarded([this] { CommentsBtClick(); }); });
    connect(RemoveFilesBt, &QPushButton::clicked, this,
            [this] { guarded([this] { RemoveFilesBtClick(); }); });
    connect(CheckDupBt, &QPushButton::clicked, this, [this] { guarded([this] { CheckDupBtClick(); }); });
    connect(SearchAllDupBt, &QPushButton::clicked, this,
            [this] { guarded([this] { SearchAllDupBtClick(); }); });
    connect(OptionsBt, &QPushButton::clicked, this, [this] { guarded([this] { OptionsBtClick(); }); });
    connect(AboutBt, &QPushButton::clicked, this, [this] { guarded([this] { AboutBtClick(); }); });
    connect(LoadMdRegBt, &QPushButton::clicked, this, [this] { guarded([this] { LoadMdRegBtClick(); }); });
    connect(SaveMdBt, &QPushButton::clicked, this, [this] { guarded([this] { SaveMdBtClick(); }); });

    // Tab goes from the file list through the command panel as it is read; the tree stays out.
    QList<QWidget *> commands;
    for (QPushButton *button : BottomPanel->findChildren<QPushButton *>(Qt::FindDirectChildrenOnly))
        commands.append(button);
    ChainTabOrderByPlace(FilesList, commands);
}

QAction *TDravikForm::menuEntry(QMenu *menu, const QString &name, const QString &caption,
                                void (TDravikForm::*command)())
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    if (command)
        connect(action, &QAction::triggered, this, [this, command] { runUnlessBusy(command); });
    return action;
}

void TDravikForm::buildMenus()
{
    // The menus are the window's children so that the styler finds them.
    FoldersMenu = new QMenu(this);
    FoldersMenu->setObjectName(QStringLiteral("FoldersMenu"));
    menuEntry(FoldersMenu, QStringLiteral("FolCreatenewroot"), QStringLiteral("Create new root folder"),
              &TDravikForm::FolCreatenewrootClick);
    menuEntry(FoldersMenu, QStringLiteral("FolAddnewsub"), QStringLiteral("Add new sub-folder"),
              &TDravikForm::FolAddnewsubClick);
    menuEntry(FoldersMenu, QStringLiteral("FolChangename"), QStringLiteral("Change folder name"),
              &TDravikForm::FolChangenameClick);
    menuEntry(FoldersMenu, QStringLiteral("FolRemovefolder"), QStringLiteral("Remove folder(s)"),
              &TDravikForm::RemoveFolderBtClick);
    menuEntry(FoldersMenu, QStringLiteral("FolMovesubfoldertoroot"),
              QStringLiteral("Move sub-folder to root"), &TDravikForm::FolMovesubfoldertorootClick);
    menuEntry(FoldersMenu, QStringLiteral("FolCountfiles"), QStringLiteral("Count files and sizes"),
              &TDravikForm::FolCountfilesClick);
    QMenu *folderRealPaths = FoldersMenu->addMenu(QStringLiteral("Real filepath"));
    folderRealPaths->setObjectName(QStringLiteral("FolRealpaths"));
    menuEntry(folderRealPaths, QStringLiteral("FolRemoverealpath"), QStringLiteral("Remove real filepath"),
              &TDravikForm::FolRemoverealpathClick);
    folderRealPaths->addSeparator();
    menuEntry(folderRealPaths, QStringLiteral("FolTip"), QStringLiteral("Tip"), &TDravikForm::FilTipClick);
    menuEntry(FoldersMenu, QStringLiteral("FolSortfolders"), QStringLiteral("Sort folders"),
              &TDravikForm::FolSortfoldersClick);
    menuEntry(FoldersMenu, QStringLiteral("FolExpandfolders"), QStringLiteral("Expand folders"),
              &TDravikForm::FolExpandfoldersClick);
    menuEntry(FoldersMenu, QStringLiteral("FolContractfolders"), QStringLiteral("Contract folders"),
              &TDravikForm::FolContractfoldersClick);

    FilesMenu = new QMenu(this);
    FilesMenu->setObjectName(QStringLiteral("FilesMenu"));
    menuEntry(FilesMenu, QStringLiteral("FilSelectallfiles"), QStringLiteral("Select all files"),
              &TDravikForm::FilSelectallfilesClick);
    menuEntry(FilesMenu, QStringLiteral("FilCountfiles"), QStringLiteral("Count files and sizes"),
              &TDravikForm::FilCountfilesClick);
    menuEntry(FilesMenu, QStringLiteral("FilFilecomments"), QStringLiteral("Add or modify file comments"),
              &TDravikForm::CommentsBtClick);
    QMenu *realPaths = FilesMenu->addMenu(QStringLiteral("Real filepath"));
    realPaths->setObjectName(QStringLiteral("FilRealfilepath"));
    menuEntry(realPaths, QStringLiteral("FilCheckexistence"), QStringLiteral("Check file(s) existence"),
              &TDravikForm::FilCheckexistenceClick);
    menuEntry(realPaths, QStringLiteral("FilShellopen"), QStringLiteral("Shell open"),
              &TDravikForm::FilShellopenClick);
    menuEntry(realPaths, QStringLiteral("FilOpenfolder"), QStringLiteral("Open container folder"),
              &TDravikForm::FilOpenfolderClick);
    menuEntry(realPaths, QStringLiteral("FilRemoverealpath"), QStringLiteral("Remove real filepath"),
              &TDravikForm::FilRemoverealpathClick);
    menuEntry(realPaths, QStringLiteral("FilDeletefiles"), QStringLiteral("Delete file(s) from disk"),
              &TDravikForm::FilDeletefilesClick);
    realPaths->addSeparator()->setEnabled(false);
    menuEntry(realPaths, QStringLiteral("FilTip"), QStringLiteral("Tip"), &TDravikForm::FilTipClick);
    menuEntry(FilesMenu, QStringLiteral("FilRemovefiles"), QStringLiteral("Remove file(s) from registry"),
              &TDravikForm::RemoveFilesBtClick);
    menuEntry(FilesMenu, QStringLiteral("FilCopymd5"), QStringLiteral("Copy MD5 code to clipboard"),
              &TDravikForm::FilCopymd5Click);

    OptionsPopup = new QMenu(this);
    OptionsPopup->setObjectName(QStringLiteral("OptionsPopup"));
    menuEntry(OptionsPopup, QStringLiteral("MorSearchmd5"), QStringLiteral("Search for specific MD5 code"),
              &TDravikForm::MorSearchmd5Click);
    menuEntry(OptionsPopup, QStringLiteral("MorRestartallmd5"), QStringLiteral("Restart all MD5 calculation"),
              &TDravikForm::MorRestartallmd5Click);
    menuEntry(OptionsPopup, QStringLiteral("MorRecalculatemd5"),
              QStringLiteral("Recalculate MD5 for selected files"), &TDravikForm::MorRecalculatemd5Click);
    menuEntry(OptionsPopup, QStringLiteral("MorSkipfilecalculated"),
              QStringLiteral("Skip file being calculated"), &TDravikForm::MorSkipfilecalculatedClick);
    menuEntry(OptionsPopup, QStringLiteral("MorStopmd5calculation"),
              QStringLiteral("Stop all MD5 calculation"), &TDravikForm::MorStopmd5calculationClick);
    menuEntry(OptionsPopup, QStringLiteral("MorExportregistry"),
              QStringLiteral("Export registry (CSV format)"), &TDravikForm::ExportBtClick);

    MenuStyler = new TMenuStyler(this);
    MenuStyler->setObjectName(QStringLiteral("MenuStyler"));
    ConfigureWindowMenuStyler(*MenuStyler);

    connect(FoldersTree, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &point) { FoldersMenu->popup(FoldersTree->viewport()->mapToGlobal(point)); });
    connect(FilesList, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &point) { FilesMenu->popup(FilesList->viewport()->mapToGlobal(point)); });
    new TKeyboardMenu(FoldersTree);
    new TKeyboardMenu(FilesList);
}

void TDravikForm::placeAnchoredControls()
{
    // Anchored to the top right of the title band, and to both sides of the command panel.
    if (TopPanel) {
        MinimizeBt->move(TopPanel->width() - 48, 5);
        ExitBt->move(TopPanel->width() - 25, 5);
    }
    if (BottomPanel)
        ProgressBar->setGeometry(485, 61, qMax(1, BottomPanel->width() - 490), 20);
}
