#include "MenuStyler.h"

#include "MenuStyle.h"

#include <QActionEvent>
#include <QApplication>
#include <QChildEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

namespace {

bool isMenuWidget(const QObject *object)
{
    return qobject_cast<const QMenu *>(object) || qobject_cast<const QMenuBar *>(object);
}

QFont defaultMenuFont()
{
    QFont font = QApplication::font("QMenu");
    if (font.family() == QLatin1String("MS Sans Serif"))
        font.setFamily(QStringLiteral("Tahoma"));
    return font;
}

} // namespace

TMenuStyler::TMenuStyler(QWidget *window)
    : QObject(window), m_window(window), m_style(new TMenuStyle(this)), m_font(defaultMenuFont()),
      m_fontColor(SysColor::MenuText()), m_color(SysColor::ButtonFace()),
      m_iconBackColor(SysColor::ButtonFace()), m_menuBarColor(SysColor::ButtonFace()),
      m_selectColor(SysColor::Highlight()), m_selectBorderColor(SysColor::Highlight()),
      m_disabledColor(SysColor::InactiveCaption()), m_separatorColor(SysColor::ButtonFace()),
      m_checkedColor(SysColor::Highlight())
{
    m_style->setParent(this);
    if (m_window)
        m_window->installEventFilter(this);
}

TMenuStyler::~TMenuStyler()
{
    DetachAll();
    if (m_window)
        m_window->removeEventFilter(this);
}

QStyle *TMenuStyler::Style() const
{
    return m_style;
}

void TMenuStyler::SetFont(const QFont &font)
{
    m_font = font;
    for (const TAttached &attached : std::as_const(m_attached)) {
        if (attached.Menu)
            attached.Menu->setFont(m_font);
    }
    RedrawMenus();
}

void TMenuStyler::SetMenuBarColor(const TColor &colour)
{
    m_menuBarColor = colour;
    RedrawMenus();
}

void TMenuStyler::SetSelectFontColor(const TColor &colour)
{
    m_selectFontColor = colour;
    m_hasSelectFontColor = true;
}

void TMenuStyler::SetUseSystemColors(bool value)
{
    m_useSystemColors = value;
    RedrawMenus();
}

void TMenuStyler::SetActive(bool value)
{
    if (value == m_active)
        return;
    m_active = value;
    if (m_active)
        AttachAll();
    else
        DetachAll();
}

int TMenuStyler::ColorDepth() const
{
    if (m_colorDepth > 0)
        return m_colorDepth;
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 24;
}

TMenuColors TMenuStyler::Colors(const QPalette &palette) const
{
    TMenuColors c;
    c.Font = m_fontColor.Resolve(palette);
    if (m_useSystemColors) {
        c.Color = c.IconBack = c.MenuBar = c.Separator = SysColor::ButtonFace().Resolve(palette);
        c.Select = c.SelectBorder = c.Checked = SysColor::Highlight().Resolve(palette);
        c.SelectFont = c.Font;
        c.Disabled = SysColor::InactiveCaption().Resolve(palette);
    } else {
        c.Color = m_color.Resolve(palette);
        c.IconBack = m_iconBackColor.Resolve(palette);
        c.MenuBar = m_menuBarColor.Resolve(palette);
        c.Select = m_selectColor.Resolve(palette);
        c.SelectBorder = m_selectBorderColor.Resolve(palette);
        c.SelectFont = SelectFontColor().Resolve(palette);
        c.Disabled = m_disabledColor.Resolve(palette);
        c.Separator = m_separatorColor.Resolve(palette);
        c.Checked = m_checkedColor.Resolve(palette);
    }
    c.FullColor = ColorDepth() > 15;
    const QColor buttonFace = SysColor::ButtonFace().Resolve(palette);
    if (c.FullColor) {
        c.CheckedArea = LightenColor(c.Select, 75);
        c.CheckedAreaSelected = LightenColor(c.Select, 50);
        c.MenuBorder = DarkenColor(buttonFace, 90);
        c.MenuShadow = DarkenColor(buttonFace, 76);
    } else {
        c.CheckedArea = Qt::white;
        c.CheckedAreaSelected = QColor(192, 192, 192);
        c.MenuBorder = c.MenuShadow = SysColor::ButtonShadow().Resolve(palette);
    }
    return c;
}

bool TMenuStyler::IsAttached(const QWidget *menu) const
{
    for (const TAttached &attached : m_attached) {
        if (attached.Menu == menu)
            return true;
    }
    return false;
}

void TMenuStyler::AttachAll()
{
    m_attachQueued = false;
    if (!m_active || !m_window)
        return;
    const QList<QWidget *> descendants = m_window->findChildren<QWidget *>();
    for (QWidget *widget : descendants) {
        if (isMenuWidget(widget))
            Attach(widget);
    }
}

void TMenuStyler::Attach(QWidget *menu)
{
    if (!IsAttached(menu)) {
        if (menu->style() != m_style) {
            const bool ownStyle = menu->testAttribute(Qt::WA_SetStyle);
            if (ownStyle && !m_overrideOwnerDraw)
                return; // a menu drawn by a style of its own keeps it
            TAttached attached;
            attached.Menu = menu;
            attached.PreviousStyle = ownStyle ? menu->style() : nullptr;
            attached.HadFont = menu->testAttribute(Qt::WA_SetFont);
            attached.PreviousFont = menu->font();
            m_attached.append(attached);
            menu->setStyle(m_style);
            // The menu measures its shortcut column with its own font, so it gets the item font.
            menu->setFont(m_font);
            menu->installEventFilter(this);
        }
    }
    AttachSubmenus(menu);
}

void TMenuStyler::AttachSubmenus(const QWidget *menu)
{
    if (!m_active)
        return;
    const QList<QAction *> actions = menu->actions();
    for (QAction *action : actions) {
        if (QMenu *submenu = action->menu(); submenu && submenu != menu && !IsAttached(submenu))
            Attach(submenu);
    }
}

void TMenuStyler::DetachAll()
{
    const QList<TAttached> attachedMenus = m_attached;
    m_attached.clear();
    for (const TAttached &attached : attachedMenus) {
        QWidget *menu = attached.Menu;
        if (!menu)
            continue;
        menu->removeEventFilter(this);
        if (menu->style() != m_style)
            continue; // someone else has restyled it since
        menu->setStyle(attached.PreviousStyle);
        menu->setFont(attached.HadFont ? attached.PreviousFont : QFont());
    }
}

void TMenuStyler::RedrawMenus()
{
    for (const TAttached &attached : std::as_const(m_attached)) {
        if (attached.Menu)
            attached.Menu->update();
    }
}

bool TMenuStyler::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_active || !m_autoDetect)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ChildAdded:
        // The new child is still being constructed; look at it once it is complete.
        if (watched == m_window && !m_attachQueued) {
            m_attachQueued = true;
            QMetaObject::invokeMethod(this, &TMenuStyler::AttachAll, Qt::QueuedConnection);
        }
        break;
    case QEvent::ChildPolished:
        // A menu about to be shown for the first time, before the queued look above has run.
        if (watched == m_window) {
            QObject *child = static_cast<QChildEvent *>(event)->child();
            if (isMenuWidget(child))
                Attach(static_cast<QWidget *>(child));
        }
        break;
    case QEvent::ActionAdded:
    case QEvent::ActionChanged:
        if (watched != m_window) {
            QMenu *submenu = static_cast<QActionEvent *>(event)->action()->menu();
            if (submenu && !IsAttached(submenu))
                Attach(submenu);
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void ConfigureWindowMenuStyler(TMenuStyler &styler)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    styler.SetFont(font);
    styler.SetFontColor(SysColor::MenuText());
    styler.SetColor(ColorFromBGR(14079702));
    styler.SetIconBackColor(QColor(192, 192, 192));
    styler.SetMenuBarColor(SysColor::Highlight());
    styler.SetSelectColor(ColorFromBGR(13158600));
    styler.SetSelectBorderColor(QColor(0, 0, 255));
    styler.SetSelectFontColor(SysColor::MenuText());
    styler.SetDisabledColor(ColorFromBGR(12112849));
    styler.SetSeparatorColor(SysColor::ButtonFace());
    styler.SetCheckedColor(SysColor::Highlight());
    styler.SetIconWidth(24);
    styler.SetDrawSelect(true);
    styler.SetUseSystemColors(false);
    styler.SetOverrideOwnerDraw(false);
    styler.SetGradient(true);
    styler.SetFlatMenu(false);
    styler.SetAutoDetect(true);
    styler.SetActive(true);
}
