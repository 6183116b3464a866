#pragma once

// Colours of the custom controls: a colour that is either fixed or follows a role of the
// system palette, the decoding of stored 0x00BBGGRR numbers, and the three shading helpers of
// the menus. Plain values and pure functions; safe to use from any thread.

#include <QColor>
#include <QPalette>

// A colour property: a fixed colour, or a system colour that is looked up in the palette each
// time it is used, so that the controls follow a change of the system colours.
class TColor
{
public:
    TColor() = default; // black
    TColor(const QColor &rgb) : m_rgb(rgb) {}
    TColor(Qt::GlobalColor colour) : m_rgb(colour) {}

    static TColor System(QPalette::ColorRole role, QPalette::ColorGroup group = QPalette::Active);

    bool IsSystem() const { return m_system; }
    QPalette::ColorRole Role() const { return m_role; }

    // The colour to paint with; a fixed colour ignores the palette.
    QColor Resolve(const QPalette &palette) const;

    bool operator==(const TColor &other) const;

private:
    QColor m_rgb = Qt::black;
    bool m_system = false;
    QPalette::ColorRole m_role = QPalette::NoRole;
    QPalette::ColorGroup m_group = QPalette::Active;
};

// The system colours the controls use, mapped onto palette roles:
//   button face -> Button, highlight -> Highlight, button highlight -> Light,
//   button shadow -> Dark, 3-D light -> Midlight, 3-D dark shadow -> Shadow,
//   menu text -> WindowText, inactive caption -> the disabled group's Text (the menus use it
//   for the text of disabled items, which is what that role is for here).
namespace SysColor {
TColor ButtonFace();
TColor Highlight();
TColor ButtonHighlight();
TColor ButtonShadow();
TColor Light3D();
TColor DarkShadow3D();
TColor MenuText();
TColor InactiveCaption();
} // namespace SysColor

// A colour stored as 0x00BBGGRR: red in the low byte, blue in the third.
QColor ColorFromBGR(quint32 value);

// Moves red, green and blue the fraction percent/100 of the way to 255, rounded to the nearest
// value (halves to even); percent is held to 0..100.
QColor LightenColor(const QColor &colour, int percent);

// Subtracts amount from red and blue and amount - 2 from green, each held to 0..255.
QColor DarkenColor(const QColor &colour, int amount);

// The grey of level (red + green + blue) div 3 + delta, held to 0..240.
QColor GreyColor(const QColor &colour, int delta);
