#include "DemoWindow.h"

#include "DemoIcons.h"
#include "ImageBt.h"
#include "MainProgressBar.h"
#include "MenuStyler.h"
#include "ProgressCyl.h"
#include "TitleButtons.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace {

QWidget *colouredPanel(QWidget *parent, const QRect &geometry, const QColor &colour)
{
    auto *panel = new QWidget(parent);
    panel->setGeometry(geometry);
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, colour);
    panel->setPalette(pal);
    return panel;
}

QLabel *caption(QWidget *parent, const QString &text, const QPoint &at)
{
    auto *label = new QLabel(text, parent);
    label->move(at);
    label->adjustSize();
    return label;
}

TProgressCyl *mainBar(QWidget *parent, int position)
{
    auto *bar = new TProgressCyl(parent);
    ConfigureMainProgressBar(*bar);
    bar->SetShowText(true);
    bar->SetPosition(position);
    return bar;
}

} // namespace

TDemoWindow::TDemoWindow(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Dravik controls"));
    setFixedSize(560, 300);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(220, 227, 241));
    setPalette(pal);
    setAutoFillBackground(true);
    BuildTitleBand();
    BuildBars();
    BuildMenu();
}

void TDemoWindow::BuildTitleBand()
{
    QWidget *band = colouredPanel(this, QRect(0, 0, width(), 32), QColor(176, 190, 223));
    auto *title = new QLabel(QStringLiteral("Dravik controls"), band);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    title->move(8, 9);
    const TTitleButton kinds[] = {tbMinimize, tbExit, tbClose};
    int x = width() - 3 * 23 - 4;
    for (TTitleButton kind : kinds) {
        auto *button = new TImageBt(band);
        ConfigureTitleBandButton(*button, kind);
        button->move(x, 5);
        x += 23;
    }

    // The three pictures of each button side by side: normal, over, pressed.
    caption(this, QStringLiteral("Title-band pictures: normal, over, pressed"), QPoint(12, 240));
    QWidget *strip = colouredPanel(this, QRect(12, 260, 3 * 80 - 8, 29), QColor(176, 190, 223));
    for (int k = 0; k < 3; ++k) {
        TImageBt shown;
        ConfigureTitleBandButton(shown, kinds[k]);
        const QImage pictures[] = {shown.PictNorm(), shown.PictOver(), shown.PictPres()};
        for (int state = 0; state < 3; ++state) {
            auto *picture = new QLabel(strip);
            picture->setPixmap(QPixmap::fromImage(pictures[state]));
            picture->setGeometry(4 + k * 80 + state * 23, 4, 21, 21);
        }
    }
}

void TDemoWindow::BuildBars()
{
    caption(this, QStringLiteral("The main window's bar, with text"), QPoint(12, 44));
    const int positions[] = {0, 45, 100};
    for (int i = 0; i < 3; ++i)
        mainBar(this, positions[i])->move(12, 64 + 28 * i);

    caption(this, QStringLiteral("Inverted and shadowed text"), QPoint(12, 152));
    auto *inverted = new TProgressCyl(this);
    inverted->setGeometry(12, 172, 210, 24);
    inverted->SetForeColor(QColor(40, 150, 60));
    inverted->SetFontEffect(feInvert);
    inverted->SetPosition(45);
    auto *topLeft = new TProgressCyl(this);
    topLeft->setGeometry(12, 204, 210, 24);
    topLeft->SetForeColor(QColor(200, 120, 20));
    topLeft->SetFontEffect(feShadowTopLeft);
    topLeft->SetFontColor(Qt::white);
    topLeft->SetFontShadowColor(Qt::black);
    topLeft->SetPosition(100);

    caption(this, QStringLiteral("Vertical"), QPoint(250, 44));
    for (int i = 0; i < 3; ++i) {
        TProgressCyl *bar = mainBar(this, positions[i]);
        bar->SetOrientation(pbVertical);
        bar->setGeometry(250 + 32 * i, 64, 24, 164);
    }
    auto *downward = new TProgressCyl(this);
    downward->SetOrientation(pbVertical);
    downward->setGeometry(346, 64, 26, 164);
    downward->SetFontOrientation(foTopToBottom);
    downward->SetFontEffect(feInvert);
    downward->SetPosition(45);
}

void TDemoWindow::BuildMenu()
{
    m_popup = new QMenu(this);
    QAction *search = m_popup->addAction(DemoSearchIcon(), QStringLiteral("&Search for a digest..."));
    search->setShortcut(QKeySequence(QStringLiteral("Ctrl+F")));
    QAction *open = m_popup->addAction(DemoDocumentIcon(), QStringLiteral("&Open file"));
    m_popup->setDefaultAction(open);
    m_popup->addAction(QStringLiteral("&Copy path"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    m_popup->addSeparator();
    QAction *sizes = m_popup->addAction(QStringLiteral("Show si&zes"));
    sizes->setCheckable(true);
    sizes->setChecked(true);
    m_popup->addAction(QStringLiteral("Show &hidden files"))->setCheckable(true);
    QAction *mark = m_popup->addAction(DemoDiskIcon(), QStringLiteral("&Keep on disk"));
    mark->setCheckable(true);
    mark->setChecked(true);
    m_popup->addSeparator();
    QMenu *sort = m_popup->addMenu(QStringLiteral("Sort &by"));
    auto *group = new QActionGroup(sort);
    for (const QString &name : {QStringLiteral("&Name"), QStringLiteral("&Size"), QStringLiteral("&Date")}) {
        QAction *action = sort->addAction(name);
        action->setCheckable(true);
        group->addAction(action);
    }
    group->actions().constFirst()->setChecked(true);
    QAction *remove = m_popup->addAction(DemoTrashIcon(), QStringLiteral("&Delete from disk"));
    remove->setShortcut(QKeySequence(QKeySequence::Delete));
    remove->setEnabled(false);
    m_popup->addAction(QStringLiteral("&Export registry (CSV format)"));

    m_styler = new TMenuStyler(this);
    ConfigureWindowMenuStyler(*m_styler);

    auto *menuButton = new QPushButton(QStringLiteral("Menu"), this);
    menuButton->setGeometry(400, 64, 120, 24);
    connect(menuButton, &QPushButton::clicked, this,
            [this, menuButton] { m_popup->popup(menuButton->mapToGlobal(QPoint(0, menuButton->height()))); });
    caption(this, QStringLiteral("Right click for the menu"), QPoint(400, 96));
}

void TDemoWindow::contextMenuEvent(QContextMenuEvent *event)
{
    m_popup->popup(event->globalPos());
}
