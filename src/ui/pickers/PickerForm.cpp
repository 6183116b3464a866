#include "PickerForm.h"

#include "Pictures.h"
#include "QtPrompts.h"
#include "ShellIcons.h"
#include "ShellListModel.h"
#include "ShellListView.h"
#include "ShellTreeView.h"
#include "TitleBand.h"
#include "WindowColours.h"
#include "WindowFrame.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QToolButton>

namespace {

constexpr int ClientWidth = 600;
constexpr int ClientHeight = 420;
constexpr int TopPanelHeight = 32;
const QRect TopImageRect(1, 1, 200, 30);
constexpr int TreeWidth = 298;
constexpr int SplitterWidth = 4;
constexpr int BottomPanelHeight = 38;
constexpr int HintMilliseconds = 10000;
const QColor StateTextColour(110, 110, 110);

void setHint(QWidget *widget, const QString &hint)
{
    widget->setToolTip(hint);
    widget->setToolTipDuration(HintMilliseconds);
}

QString withTrailingSeparator(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

} // namespace

TPickerForm::TPickerForm(const TKind &kind, QStringList &result, const QString &root, TPrompts *prompts,
                         QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), m_result(result), m_lastPath(kind.LastPath),
      m_ownPrompts(prompts ? nullptr : std::make_unique<TQtPrompts>(this)),
      m_prompts(prompts ? prompts : m_ownPrompts.get()), m_icons(std::make_unique<TShellIcons>())
{
    setWindowTitle(kind.Title);
    QFont windowFont(QStringLiteral("MS Sans Serif"));
    windowFont.setPixelSize(11);
    setFont(windowFont);
    PaintBackground(this, WindowColours::Panel);

    TopPanel = new TTitleBand(kind.Title, TopPanelHeight, TopImageRect, this);
    connect(TopPanel, &TTitleBand::moveRequested, this, &TPickerForm::moveRequested);

    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(SplitterWidth);
    Splitter1->setChildrenCollapsible(false);
    ShellTreeView = new TShellTreeView(*m_icons, root, Splitter1);
    m_items = new TShellListModel(kind.Items, *m_icons, this);
    ShellListView = new TShellListView(*m_items, Splitter1);
    Splitter1->addWidget(ShellTreeView);
    Splitter1->addWidget(ShellListView);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({TreeWidth, ClientWidth - TreeWidth - SplitterWidth});

    buildBottomPanel();

    FrameWindow(*this, QSize(ClientWidth, ClientHeight), TopPanel, Splitter1, BottomPanel);

    connect(ShellTreeView, &TShellTreeView::folderChanged, this, &TPickerForm::ShellTreeViewChange);
    connect(ShellListView->Selection(), &QItemSelectionModel::selectionChanged, this,
            &TPickerForm::UpdateStateLabel);
    connect(m_items, &QAbstractItemModel::modelReset, this, &TPickerForm::UpdateStateLabel);
    connect(ShellListView, &TShellListView::doubleClicked, this, &TPickerForm::ShellListViewDblClick);
}

TPickerForm::~TPickerForm()
{
    // The tree's file system model uses the icons, which go with the members before the
    // children are deleted.
    delete ShellTreeView;
}

QToolButton *TPickerForm::AddSmallButton(const QString &name, const QString &title, const QString &hint,
                                         TPickerPicture picture)
{
    auto *button = new QToolButton(BottomPanel);
    button->setObjectName(name);
    button->setIcon(QIcon(PickerPicture(picture)));
    button->setIconSize(QSize(16, 16));
    button->setFixedSize(24, 24);
    button->setAutoRaise(true);
    // Like the list's own buttons, they leave the focus where it is.
    button->setFocusPolicy(Qt::NoFocus);
    setHint(button, hint);
    button->setAccessibleName(title);
    m_smallButtons->addWidget(button);
    return button;
}

void TPickerForm::buildBottomPanel()
{
    // Left to right: Accept, Cancel, the count text, the small buttons, the view styles.
    BottomPanel = new QWidget(this);
    BottomPanel->setObjectName(QStringLiteral("BottomPanel"));
    BottomPanel->setFixedHeight(BottomPanelHeight);
    auto *row = new QHBoxLayout(BottomPanel);
    row->setContentsMargins(4, 5, 4, 5);
    row->setSpacing(4);

    auto pushButton = [this, row](const QString &name, const QString &caption, const QString &hint) {
        auto *button = new QPushButton(caption, BottomPanel);
        button->setObjectName(name);
        button->setFixedSize(75, 25);
        // Enter belongs to the window (Accept), never to the focused button.
        button->setAutoDefault(false);
        setHint(button, hint);
        row->addWidget(button);
        return button;
    };
    AcceptBt = pushButton(QStringLiteral("AcceptBt"), QStringLiteral("Accept"),
                          QStringLiteral("or press <Enter> key"));
    AcceptBt->setEnabled(false);
    CancelBt = pushButton(QStringLiteral("CancelBt"), QStringLiteral("Cancel"),
                          QStringLiteral("or press <Escape> key"));
    connect(AcceptBt, &QPushButton::clicked, this, &TPickerForm::AcceptBtClick);
    connect(CancelBt, &QPushButton::clicked, this, &TPickerForm::CancelBtClick);

    StateLabel = new QLabel(BottomPanel);
    StateLabel->setObjectName(QStringLiteral("StateLabel"));
    StateLabel->setAlignment(Qt::AlignCenter);
    QPalette grey = StateLabel->palette();
    grey.setColor(QPalette::WindowText, StateTextColour);
    StateLabel->setPalette(grey);
    row->addWidget(StateLabel, 1);

    m_smallButtons = new QHBoxLayout;
    m_smallButtons->setSpacing(1);
    PrevBt = AddSmallButton(QStringLiteral("PrevBt"), QStringLiteral("Previous folder"),
                            QStringLiteral("Previous folder (or <Backspace> key)"),
                            TPickerPicture::PreviousFolder);
    SelectAllBt =
        AddSmallButton(QStringLiteral("SelectAllBt"), QStringLiteral("Select all files"),
                       QStringLiteral("Select all files (or <Space> key)"), TPickerPicture::SelectAll);
    connect(PrevBt, &QToolButton::clicked, this, &TPickerForm::PrevBtClick);
    connect(SelectAllBt, &QToolButton::clicked, this, &TPickerForm::SelectAllBtClick);
    row->addLayout(m_smallButtons);
    row->addSpacing(8);

    m_viewStyles = new QButtonGroup(this);
    m_viewStyles->setExclusive(true);
    const struct
    {
        const char *Name;
        const char *Hint;
        TPickerPicture Picture;
    } styles[] = {{"LargeIconsBt", "Large icons", TPickerPicture::LargeIcons},
                  {"SmallIconsBt", "Small icons", TPickerPicture::SmallIcons},
                  {"ListBt", "List", TPickerPicture::List},
                  {"ReportBt", "Report", TPickerPicture::Report}};
    auto *styleButtons = new QHBoxLayout;
    styleButtons->setSpacing(1);
    for (int tag = 0; tag < 4; ++tag) {
        auto *button = new QToolButton(BottomPanel);
        button->setObjectName(QString::fromLatin1(styles[tag].Name));
        button->setIcon(QIcon(PickerPicture(styles[tag].Picture)));
        button->setIconSize(QSize(16, 16));
        button->setFixedSize(24, 24);
        button->setAutoRaise(true);
        button->setCheckable(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setProperty("Tag", tag);
        setHint(button, QString::fromLatin1(styles[tag].Hint));
        button->setAccessibleName(QString::fromLatin1(styles[tag].Hint));
        m_viewStyles->addButton(button, tag);
        styleButtons->addWidget(button);
    }
    m_viewStyles->button(TShellListView::vsList)->setChecked(true);
    connect(m_viewStyles, &QButtonGroup::idClicked, this, &TPickerForm::ListModeBtClick);
    row->addLayout(styleButtons);
}

// ---- Showing, closing, the result

void TPickerForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // Every control is made by now, the subclass's too.
    for (QWidget *control : findChildren<QWidget *>())
        control->installEventFilter(this);
    FormShow();
    ShellListView->setFocus();
}

QString TPickerForm::startFolder() const
{
    const QString &remembered = *m_lastPath;
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir() && ShellTreeView->Contains(remembered))
        return remembered;
    if (ShellTreeView->Root() == TShellTreeView::DesktopRoot())
        return QDir::homePath();
    return ShellTreeView->Root();
}

void TPickerForm::FormShow()
{
    m_result.clear();
    if (!ShellTreeView->GoToFolder(startFolder()))
        ShellTreeView->GoToFolder(ShellTreeView->Root());
    UpdateStateLabel();
}

void TPickerForm::FinishAccept(const QStringList &accepted)
{
    m_result += accepted;
    if (!accepted.isEmpty()) {
        const QString folder = TreeFolder().isEmpty() ? ListFolder() : TreeFolder();
        *m_lastPath = withTrailingSeparator(folder);
    }
    accept();
}

void TPickerForm::CancelBtClick()
{
    reject();
}

void TPickerForm::ShowState(const QString &text, bool acceptEnabled)
{
    StateLabel->setText(text);
    AcceptBt->setEnabled(acceptEnabled);
}

// ---- The tree and the list

QString TPickerForm::TreeFolder() const
{
    return ShellTreeView->SelectedFolder();
}

QString TPickerForm::ListFolder() const
{
    return m_items->Folder();
}

void TPickerForm::ShellTreeViewChange()
{
    const QString folder = TreeFolder();
    if (!folder.isEmpty() && folder != m_items->Folder())
        m_items->SetFolder(folder);
    UpdateStateLabel();
}

void TPickerForm::SelectAllBtClick()
{
    const int count = m_items->rowCount();
    if (count == 0) {
        m_prompts->Information(QStringLiteral("No files to select."));
        return;
    }
    QList<int> rows;
    rows.reserve(count);
    for (int row = 0; row < count; ++row) {
        if (IsPickable(m_items->FilePath(row)))
            rows << row;
    }
    ShellListView->SelectRows(rows);
    AcceptBt->setFocus();
}

void TPickerForm::PrevBtClick()
{
    const QString folder = ListFolder();
    if (folder.isEmpty() || folder == ShellTreeView->Root())
        return;
    ShellTreeView->CollapseSelectedSubtree();
    ShellTreeView->GoToFolder(QFileInfo(folder).path());
}

void TPickerForm::ListModeBtClick(int tag)
{
    ShellListView->SetViewStyle(tag);
    if (QAbstractButton *button = m_viewStyles->button(ShellListView->ViewStyle()))
        button->setChecked(true);
    ShellListView->setFocus();
}

void TPickerForm::FormResize()
{
    ShellListView->CurrentView()->viewport()->update();
}

void TPickerForm::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

// ---- Keys

bool TPickerForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto &key = static_cast<const QKeyEvent &>(*event);
        if (FormKeyDown(watched, key) || ShellTreeViewKeyPress(watched, key))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TPickerForm::keyPressEvent(QKeyEvent *event)
{
    if (!FormKeyDown(this, *event))
        QDialog::keyPressEvent(event);
}

bool TPickerForm::FormKeyDown(QObject *watched, const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Escape:
        CancelBtClick();
        return true;
    case Qt::Key_Space:
        // Also on a focused button, which would otherwise be clicked, and in the list, which
        // would otherwise toggle its current item.
        SelectAllBtClick();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (AcceptBt->isEnabled())
            AcceptBtClick();
        return true;
    case Qt::Key_Backspace:
        if (!ShellListView->IsListView(watched))
            return false;
        PrevBtClick();
        return true;
    default:
        return false;
    }
}

bool TPickerForm::ShellTreeViewKeyPress(QObject *watched, const QKeyEvent &event) const
{
    if (watched != ShellTreeView || event.text().isEmpty())
        return false;
    return event.text().front().isPrint() || event.key() == Qt::Key_Backspace;
}
