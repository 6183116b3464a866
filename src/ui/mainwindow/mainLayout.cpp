// The controls and menus of the main window: places, sizes, colours, captions and hints.

#include "CodeCript.h"
#include "FileListModel.h"
#include "FilesListView.h"
#include "FolderTreeModel.h"
#include "FoldersTreeView.h"
#include "ImageBt.h"
#include "KeyboardAccess.h"
#include "MenuStyler.h"
#include "Pictures.h"
#include "ScrambledTexts.h"
#include "StatusArea.h"
#include "TitleBand.h"
#include "WindowColours.h"
#include "main.h"
#include "support.h"

#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

constexpr int TopPanelHeight = 32;
constexpr int BottomPanelHeight = 85;
constexpr int HintMilliseconds = 10000;

void setHint(QWidget *widget, const QString &hint)
{
    widget->setToolTip(hint);
    widget->setToolTipDuration(HintMilliseconds);
}

} // namespace

void TDravikForm::buildTitleBand()
{
    TopPanel = new TTitleBand(DecodeText(QString::fromLatin1(ScrambledTexts::Title)), TopPanelHeight,
                              QRect(2, 2, 200, 28), this);
    TopPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);

    MinimizeBt = TopPanel->AddButton(QStringLiteral("MinimizeBt"), tbMinimize, 48);
    connect(MinimizeBt, &QAbstractButton::clicked, this, &TDravikForm::MinimizeBtClick);
    ExitBt = TopPanel->AddButton(QStringLiteral("ExitBt"), tbExit, 25);
    connect(ExitBt, &QAbstractButton::clicked, this, &TDravikForm::ExitBtClick);
}

void TDravikForm::buildPanes()
{
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);

    m_treeModel = new TFolderTreeModel(m_catalog, this);
    m_treeModel->SetImages(FolderPictures());
    m_treeModel->SetCurrentColours(WindowColours::CurrentFolder, Qt::white);
    FoldersTree = new TFoldersTreeView(Splitter1);
    FoldersTree->setObjectName(QStringLiteral("FoldersTree"));
    FoldersTree->setModel(m_treeModel);
    PaintBackground(FoldersTree, WindowColours::Pane);
    // The selected folder is the current one: the selection shows in the current folder's colours.
    QPalette treeColours = FoldersTree->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        treeColours.setColor(group, QPalette::Highlight, WindowColours::CurrentFolder);
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
    PaintBackground(FilesList, WindowColours::Pane);
    FilesList->installEventFilter(this);
    connect(FilesList, &TFilesListView::filesDropped, this, &TDravikForm::HandleDroppedFiles);
    connect(FilesList->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        run(TCommandStates::cmSortFiles, [this, column] { FilesListColumnClick(column); });
    });

    Splitter1->addWidget(FoldersTree);
    Splitter1->addWidget(FilesList);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({180, 520});
}

QPushButton *TDravikForm::commandButton(const QString &name, const QString &caption, const QString &hint,
                                        int x, int y, TCommandPicture picture,
                                        TCommandStates::TCommand command, void (TDravikForm::*handler)())
{
    auto *button = new QPushButton(QIcon(CommandPicture(picture)), caption, BottomPanel);
    button->setObjectName(name);
    button->setGeometry(x, y, 120, 24);
    setHint(button, hint);
    connect(button, &QPushButton::clicked, this,
            [this, command, handler] { run(command, [=, this] { (this->*handler)(); }); });
    return button;
}

void TDravikForm::buildCommandPanel()
{
    using TCommand = TCommandStates::TCommand;
    BottomPanel = new QFrame(this);
    BottomPanel->setObjectName(QStringLiteral("BottomPanel"));
    BottomPanel->setFixedHeight(BottomPanelHeight);
    PaintBackground(BottomPanel, WindowColours::Panel);

    CreateFolderBt = commandButton(QStringLiteral("CreateFolderBt"), QStringLiteral("New"),
                                   QStringLiteral("Create new root folder"), 5, 5, TCommandPicture::NewFolder,
                                   TCommand::cmCreateFolder, &TDravikForm::CreateFolderBtClick);
    RemoveFolderBt = commandButton(QStringLiteral("RemoveFolderBt"), QStringLiteral("Remove"),
                                   QStringLiteral("Remove folder(s)"), 5, 33, TCommandPicture::RemoveFolder,
                                   TCommand::cmRemoveFolder, &TDravikForm::RemoveFolderBtClick);
    AddFilesBt =
        commandButton(QStringLiteral("AddFilesBt"), QStringLiteral("Add files"),
                      QStringLiteral("Add new file(s) to registry (key <Insert>)"), 140, 5,
                      TCommandPicture::AddFiles, TCommand::cmAddFiles, &TDravikForm::AddFilesBtClick);
    AddFoldersBt =
        commandButton(QStringLiteral("AddFoldersBt"), QStringLiteral("Add folders"),
                      QStringLiteral("Add folder structures to registry"), 140, 33,
                      TCommandPicture::AddFolders, TCommand::cmAddFolders, &TDravikForm::AddFoldersBtClick);
    CommentsBt =
        commandButton(QStringLiteral("CommentsBt"), QStringLiteral("Comments"),
                      QStringLiteral("Add or modify file comments"), 270, 5, TCommandPicture::Comments,
                      TCommand::cmComments, &TDravikForm::CommentsBtClick);
    RemoveFilesBt = commandButton(QStringLiteral("RemoveFilesBt"), QStringLiteral("Remove"),
                                  QStringLiteral("Remove file(s) from registry (key <Delete>)"), 270, 33,
                                  TCommandPicture::RemoveFiles, TCommand::cmRemoveFiles,
                                  &TDravikForm::RemoveFilesBtClick);
    CheckDupBt =
        commandButton(QStringLiteral("CheckDupBt"), QStringLiteral("Check"),
                      QStringLiteral("Check if the current folder has duplicate files using MD5 code"), 400,
                      5, TCommandPicture::CheckFolder, TCommand::cmCheckDup, &TDravikForm::CheckDupBtClick);
    SearchAllDupBt =
        commandButton(QStringLiteral("SearchAllDupBt"), QStringLiteral("Check all"),
                      QStringLiteral("Search all duplicate files in all folders using MD5 code"), 400, 33,
                      TCommandPicture::CheckAll, TCommand::cmSearchAllDup, &TDravikForm::SearchAllDupBtClick);
    LoadMdRegBt = commandButton(QStringLiteral("LoadMdRegBt"), QStringLiteral("Load registry"),
                                QStringLiteral("Load Dravik"), 535, 5, TCommandPicture::LoadRegistry,
                                TCommand::cmLoadRegistry, &TDravikForm::LoadMdRegBtClick);
    SaveMdBt = commandButton(QStringLiteral("SaveMdBt"), QStringLiteral("Save registry"),
                             QStringLiteral("Save Dravik"), 535, 33, TCommandPicture::SaveRegistry,
                             TCommand::cmSaveRegistry, &TDravikForm::SaveMdBtClick);

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
    // The menu's entries ask the gate themselves; the about window is modal.
    connect(OptionsBt, &QPushButton::clicked, this, [this] { guarded([this] { OptionsBtClick(); }); });
    connect(AboutBt, &QPushButton::clicked, this,
            [this] { run(TCommand::cmAbout, [this] { AboutBtClick(); }); });

    m_status = new TStatusArea(BottomPanel);

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
        connect(action, &QAction::triggered, this, [this, command] {
            // A menu stays usable while a long command lets events run; it must not start another.
            run(TCommandStates::cmMenuCommand, [this, command] { (this->*command)(); });
        });
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
    menuEntry(OptionsPopup, QStringLiteral("MorVerifymd5"), QStringLiteral("Verify MD5 for selected files"),
              &TDravikForm::MorVerifymd5Click);
    QAction *searchNames =
        menuEntry(OptionsPopup, QStringLiteral("MorSearchfilename"), QStringLiteral("Search file name"),
                  &TDravikForm::MorSearchfilenameClick);
    // Ctrl+F anywhere in the window, as in every program that finds things.
    searchNames->setShortcut(QKeySequence::Find);
    searchNames->setShortcutContext(Qt::WindowShortcut);
    addAction(searchNames);

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
