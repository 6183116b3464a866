#include "ColorHelpers.h"

#include <algorithm>

TColor TColor::System(QPalette::ColorRole role, QPalette::ColorGroup group)
{
    TColor colour;
    colour.m_system = true;
    colour.m_role = role;
    colour.m_group = group;
    return colour;
}

QColor TColor::Resolve(const QPalette &palette) const
{
    return m_system ? palette.color(m_group, m_role) : m_rgb;
}

bool TColor::operator==(const TColor &other) const
{
    if (m_system != other.m_system)
        return false;
    if (m_system)
        return m_role == other.m_role && m_group == other.m_group;
    return m_rgb == other.m_rgb;
}

namespace SysColor {
TColor ButtonFace()
{
    return TColor::System(QPalette::Button);
}
TColor Highlight()
{
    return TColor::System(QPalette::Highlight);
}
TColor ButtonHighlight()
{
    return TColor::System(QPalette::Light);
}
TColor ButtonShadow()
{
    return TColor::System(QPalette::Dark);
}
TColor Light3D()
{
    return TColor::System(QPalette::Midlight);
}
TColor DarkShadow3D()
{
    return TColor::System(QPalette::Shadow);
}
TColor MenuText()
{
    return TColor::System(QPalette::WindowText);
}
TColor InactiveCaption()
{
    return TColor::System(QPalette::Text, QPalette::Disabled);
}
} // namespace SysColor

QColor ColorFromBGR(quint32 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

namespace {

int clampChannel(int value)
{
    return std::clamp(value, 0, 255);
}

// channel + (255 - channel) * percent / 100, rounded half to even in integers so that
// exact halves are never lost to floating point.
int lightenChannel(int channel, int percent)
{
    const int numerator = channel * 100 + (255 - channel) * percent;
    int quotient = numerator / 100;
    const int remainder = numerator % 100;
    if (remainder > 50 || (remainder == 50 && quotient % 2 != 0))
        ++quotient;
    return clampChannel(quotient);
}

} // namespace

QColor LightenColor(const QColor &colour, int percent)
{
    const QColor rgb = colour.toRgb();
    const int p = std::clamp(percent, 0, 100);
    return QColor(lightenChannel(rgb.red(), p), lightenChannel(rgb.green(), p),
                  lightenChannel(rgb.blue(), p));
}

QColor DarkenColor(const QColor &colour, int amount)
{
    const QColor rgb = colour.toRgb();
    return QColor(clampChannel(rgb.red() - amount), clampChannel(rgb.green() - (amount - 2)),
                  clampChannel(rgb.blue() - amount));
}

QColor GreyColor(const QColor &colour, int delta)
{
    const QColor rgb = colour.toRgb();
    const int level = std::clamp((rgb.red() + rgb.green() + rgb.blue()) / 3 + delta, 0, 240);
    return QColor(level, level, level);
}
