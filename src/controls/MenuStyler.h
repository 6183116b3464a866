#pragma once

// TMenuStyler: placed on a window, it takes over the drawing of all the window's menus (its
// popup menus and menu bar): items get a separate icon column, a shaded background, a framed
// selection bar and faded icons. The drawing itself is done by its TMenuStyle, which the
// styler sets on every menu it takes over.
//
// Which menus are the window's: the menus and menu bars among the window's descendants when
// the styler becomes active, and the sub-menus of their items. With AutoDetect, a menu created
// later as a child of the window, and a sub-menu added later to a styled menu, are taken over
// too. Each drawing of an item also takes over the sub-menus of the items beside it.
//
// User-interface thread only. The styler is a child of its window and gives every menu its
// previous style back when it is deactivated or destroyed.

#include "ColorHelpers.h"

#include <QFont>
#include <QList>
#include <QObject>
#include <QPointer>

class QMenu;
class QStyle;
class QWidget;
class TMenuStyle;

// All colours of one drawing, resolved against a palette.
struct TMenuColors
{
    QColor Font;
    QColor Color;
    QColor IconBack;
    QColor MenuBar;
    QColor Select;
    QColor SelectBorder;
    QColor SelectFont;
    QColor Disabled;
    QColor Separator;
    QColor Checked;
    // Derived before each item is drawn.
    QColor CheckedArea;
    QColor CheckedAreaSelected;
    QColor MenuBorder;
    QColor MenuShadow;
    bool FullColor = true; // more than 15 bits per pixel: gradients, faded icons, darker shortcuts
};

class TMenuStyler : public QObject
{
    Q_OBJECT

public:
    explicit TMenuStyler(QWidget *window);
    ~TMenuStyler() override;

    QWidget *Window() const { return m_window; }
    QStyle *Style() const;

    // Font of item texts and its colour; the default is the system menu font in the menu text
    // colour ("MS Sans Serif" becomes "Tahoma").
    QFont Font() const { return m_font; }
    void SetFont(const QFont &font);
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(const TColor &colour) { m_fontColor = colour; }

    TColor Color() const { return m_color; }
    void SetColor(const TColor &colour) { m_color = colour; }
    TColor IconBackColor() const { return m_iconBackColor; }
    void SetIconBackColor(const TColor &colour) { m_iconBackColor = colour; }
    TColor MenuBarColor() const { return m_menuBarColor; }
    void SetMenuBarColor(const TColor &colour);
    TColor SelectColor() const { return m_selectColor; }
    void SetSelectColor(const TColor &colour) { m_selectColor = colour; }
    TColor SelectBorderColor() const { return m_selectBorderColor; }
    void SetSelectBorderColor(const TColor &colour) { m_selectBorderColor = colour; }
    // The font colour until it is set.
    TColor SelectFontColor() const { return m_hasSelectFontColor ? m_selectFontColor : m_fontColor; }
    void SetSelectFontColor(const TColor &colour);
    TColor DisabledColor() const { return m_disabledColor; }
    void SetDisabledColor(const TColor &colour) { m_disabledColor = colour; }
    TColor SeparatorColor() const { return m_separatorColor; }
    void SetSeparatorColor(const TColor &colour) { m_separatorColor = colour; }
    TColor CheckedColor() const { return m_checkedColor; }
    void SetCheckedColor(const TColor &colour) { m_checkedColor = colour; }

    int IconWidth() const { return m_iconWidth; }
    void SetIconWidth(int pixels) { m_iconWidth = qMax(0, pixels); }
    bool DrawSelect() const { return m_drawSelect; }
    void SetDrawSelect(bool value) { m_drawSelect = value; }
    // Ignore the colour properties and take every colour from the system colours.
    bool UseSystemColors() const { return m_useSystemColors; }
    void SetUseSystemColors(bool value);
    // Also take over menus that already have a style of their own.
    bool OverrideOwnerDraw() const { return m_overrideOwnerDraw; }
    void SetOverrideOwnerDraw(bool value) { m_overrideOwnerDraw = value; }
    bool Gradient() const { return m_gradient; }
    void SetGradient(bool value) { m_gradient = value; }
    // Kept for completeness; the menu frame is always the styler's own thin line.
    bool FlatMenu() const { return m_flatMenu; }
    void SetFlatMenu(bool value) { m_flatMenu = value; }
    bool AutoDetect() const { return m_autoDetect; }
    void SetAutoDetect(bool value) { m_autoDetect = value; }
    bool Active() const { return m_active; }
    void SetActive(bool value);

    // Bits per pixel the colours are worked out for; 0 (the default) asks the screen.
    int ColorDepth() const;
    void SetColorDepth(int bitsPerPixel) { m_colorDepth = bitsPerPixel; }

    TMenuColors Colors(const QPalette &palette) const;

    // Takes over the sub-menus of the menu's items (the style calls it on every drawing).
    void AttachSubmenus(const QWidget *menu);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct TAttached
    {
        QPointer<QWidget> Menu;
        QPointer<QStyle> PreviousStyle; // null: the application's style
        bool HadFont = false;
        QFont PreviousFont;
    };

    void AttachAll();
    void Attach(QWidget *menu);
    void DetachAll();
    void RedrawMenus();
    bool IsAttached(const QWidget *menu) const;

    QPointer<QWidget> m_window;
    TMenuStyle *m_style;
    QList<TAttached> m_attached;
    bool m_attachQueued = false;

    QFont m_font;
    TColor m_fontColor;
    TColor m_color;
    TColor m_iconBackColor;
    TColor m_menuBarColor;
    TColor m_selectColor;
    TColor m_selectBorderColor;
    TColor m_selectFontColor;
    bool m_hasSelectFontColor = false;
    TColor m_disabledColor;
    TColor m_separatorColor;
    TColor m_checkedColor;
    int m_iconWidth = 24;
    bool m_drawSelect = true;
    bool m_useSystemColors = true;
    bool m_overrideOwnerDraw = false;
    bool m_gradient = false;
    bool m_flatMenu = false;
    bool m_autoDetect = false;
    bool m_active = false;
    int m_colorDepth = 0;
};

// The settings both windows with menus use: "Tahoma" 8 points, light grey items with a silver
// gradient icon column, a grey selection bar framed in blue; active, following new menus.
void ConfigureWindowMenuStyler(TMenuStyler &styler);
