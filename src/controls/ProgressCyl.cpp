#include "ProgressCyl.h"

#include <QEvent>
#include <QFont>
#include <algorithm>
#include <cmath>

namespace {

quint8 cylinderDepthOf(TCylinderEffect effect)
{
    switch (effect) {
    case ceFlat:
        return 1;
    case ceUltraLow:
        return 51;
    case ceLow:
        return 102;
    case ceMedium:
        return 153;
    case ceHigh:
        return 204;
    case ceMaximum:
        break;
    }
    return 255;
}

QColor shifted(const QColor &colour, int delta)
{
    const QColor rgb = colour.toRgb();
    return QColor(std::clamp(rgb.red() + delta, 0, 255), std::clamp(rgb.green() + delta, 0, 255),
                  std::clamp(rgb.blue() + delta, 0, 255));
}

int roundHalfEven(double value)
{
    return int(std::nearbyint(value));
}

} // namespace

TProgressCyl::TProgressCyl(QWidget *parent) : QWidget(parent)
{
    // The off-screen picture covers every pixel, so the toolkit need not erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(150, 22);
    QFont defaultFont(QStringLiteral("Arial"));
    defaultFont.setPointSize(9);
    defaultFont.setBold(true);
    setFont(defaultFont);

    m_backBorderColor = Qt::black;
    m_backColor = SysColor::ButtonFace();
    m_bevelColor = SysColor::ButtonFace();
    m_color = SysColor::ButtonFace();
    m_fontColor = Qt::black;
    m_fontShadowColor = SysColor::ButtonFace();
    m_foreColor = Qt::white;
    m_foreLineColor = SysColor::Highlight();
    m_text = QStringLiteral("%");
    m_textDone = QStringLiteral("complete");
    m_cylinderDepth = cylinderDepthOf(m_cylinderEffect);
    m_scale = float(1.0 / (double(m_max) - double(m_min)));

    RecomputeFactors();
    RecomputeBevelColors();
    RecomputeGeometry();
    ApplyTextSettings();
    m_ready = true;
    m_constructing = false;
}

TProgressCyl::~TProgressCyl() = default;

// ---- Colours and styles ----------------------------------------------------------------

void TProgressCyl::SetBackBorderColor(const TColor &colour)
{
    m_backBorderColor = colour;
    ColorsChanged();
}

void TProgressCyl::SetBackColor(const TColor &colour)
{
    m_backColor = colour;
    RecomputeFactors();
    ColorsChanged();
}

void TProgressCyl::SetBevelColor(const TColor &colour)
{
    m_bevelColor = colour;
    RecomputeBevelColors();
    ColorsChanged();
}

void TProgressCyl::SetColor(const TColor &colour)
{
    m_color = colour;
    ChooseBevelColors(); // a spaced bevel is drawn in Color
    ColorsChanged();
}

void TProgressCyl::SetFontColor(const TColor &colour)
{
    m_fontColor = colour;
    ColorsChanged();
}

void TProgressCyl::SetFontShadowColor(const TColor &colour)
{
    m_fontShadowColor = colour;
    ColorsChanged();
}

void TProgressCyl::SetForeColor(const TColor &colour)
{
    m_foreColor = colour;
    RecomputeFactors();
    ColorsChanged();
}

void TProgressCyl::SetForeLineColor(const TColor &colour)
{
    m_foreLineColor = colour;
    RecomputeFactors();
    ColorsChanged();
}

void TProgressCyl::ColorsChanged()
{
    if (!m_constructing)
        m_proEffect = peCustom;
    Repaint();
}

void TProgressCyl::StyleChanged()
{
    m_proEffect = peCustom;
    RecomputeFactors();
    RecomputeBevelColors();
    Repaint();
}

void TProgressCyl::RecomputeFactors()
{
    const QPalette pal = palette();
    m_foreFactors = ChannelFactors(m_foreColor.Resolve(pal), m_foreStyle);
    m_foreLineFactors = ChannelFactors(m_foreLineColor.Resolve(pal), m_foreStyle);
    m_backFactors = ChannelFactors(m_backColor.Resolve(pal), m_backStyle);
}

void TProgressCyl::RecomputeBevelColors()
{
    const QPalette pal = palette();
    if (m_bevelColor == SysColor::ButtonFace()) {
        m_light = SysColor::ButtonHighlight().Resolve(pal);
        m_shadow = SysColor::ButtonShadow().Resolve(pal);
        m_secondLight = SysColor::Light3D().Resolve(pal);
        m_darkShadow = SysColor::DarkShadow3D().Resolve(pal);
    } else {
        const QColor base = m_bevelColor.Resolve(pal);
        m_light = m_secondLight = shifted(base, 64);
        m_shadow = m_darkShadow = shifted(base, -64);
    }
    ChooseBevelColors();
}

void TProgressCyl::ChooseBevelColors()
{
    const QColor color = m_color.Resolve(palette());
    const bool noBorder = m_borderWidth == 0;
    switch (m_bevelInner) {
    case bvSpace:
        m_innerTopLeft = m_innerBottomRight = color;
        break;
    case bvLowered:
        if (m_bevelOuter == bvLowered && noBorder) {
            m_innerTopLeft = m_darkShadow;
            m_innerBottomRight = m_secondLight;
        } else {
            m_innerTopLeft = m_shadow;
            m_innerBottomRight = m_light;
        }
        break;
    case bvRaised:
        if (m_bevelOuter == bvRaised && noBorder) {
            m_innerTopLeft = m_secondLight;
            m_innerBottomRight = m_shadow;
        } else {
            m_innerTopLeft = m_light;
            m_innerBottomRight = m_shadow;
        }
        break;
    case bvNone:
        break;
    }
    switch (m_bevelOuter) {
    case bvSpace:
        m_outerTopLeft = m_outerBottomRight = color;
        break;
    case bvLowered:
        m_outerTopLeft = m_shadow;
        m_outerBottomRight = m_light;
        break;
    case bvRaised:
        m_outerTopLeft = m_light;
        m_outerBottomRight = (m_bevelInner == bvRaised && noBorder) ? m_darkShadow : m_shadow;
        break;
    case bvNone:
        break;
    }
}

// ---- Bevels, border and geometry -------------------------------------------------------

bool TProgressCyl::UsableWith(int bevelWidth, int borderWidth) const
{
    const int w = width();
    const int h = height();
    if (w <= 0 || h <= 0)
        return false;
    const int bevelInset = bevelWidth + borderWidth;
    if (w - 2 * bevelInset <= 0 || h - 2 * bevelInset <= 0)
        return false;
    const int inset = borderWidth + 2 * bevelWidth;
    return w - 2 * inset > 0 && h - 2 * inset > 0;
}

bool TProgressCyl::GeometryUsable() const
{
    return UsableWith(m_bevelWidth, m_borderWidth);
}

template <typename T>
void TProgressCyl::SetFrameValue(T &field, T value)
{
    if (field == value)
        return;
    const T old = field;
    field = value;
    if (!GeometryUsable()) {
        field = old;
        return;
    }
    ChooseBevelColors();
    RecomputeGeometry();
    Repaint();
}

void TProgressCyl::SetBevelInner(TBevelCut value)
{
    SetFrameValue(m_bevelInner, value);
}

void TProgressCyl::SetBevelOuter(TBevelCut value)
{
    SetFrameValue(m_bevelOuter, value);
}

void TProgressCyl::SetBevelWidth(int value)
{
    if (value >= 1)
        SetFrameValue(m_bevelWidth, value);
}

void TProgressCyl::SetBorderWidth(int value)
{
    if (value >= 0)
        SetFrameValue(m_borderWidth, value);
}

void TProgressCyl::SetCylinderEffect(TCylinderEffect value)
{
    if (value == m_cylinderEffect)
        return;
    m_cylinderEffect = value;
    m_cylinderDepth = cylinderDepthOf(value);
    m_proEffect = peCustom;
    RecomputeGeometry();
    Repaint();
}

void TProgressCyl::SetOrientation(TProgressBarOrientation value)
{
    if (value == m_orientation)
        return;
    m_orientation = value;
    m_fontOrientation = value == pbVertical ? foBottomToTop : foLeftToRight;
    RecomputeGeometry();
    Repaint();
}

void TProgressCyl::RecomputeGeometry()
{
    UpdateGeometryValues();
    ApplyPosition(m_position);
}

void TProgressCyl::UpdateGeometryValues()
{
    m_geometrySize = size();
    m_inset = m_borderWidth + 2 * m_bevelWidth;
    m_r = width() - m_inset;
    m_b = height() - m_inset;
    if (m_b - m_inset > 0)
        m_rowShadeStep = float(m_cylinderDepth / (m_b - m_inset));
    if (m_r - m_inset > 0)
        m_columnShadeStep = float(m_cylinderDepth / (m_r - m_inset));
}

TCylinderShading TProgressCyl::Shading() const
{
    TCylinderShading shading;
    shading.Orientation = m_orientation;
    shading.Inset = m_inset;
    shading.R = m_r;
    shading.B = m_b;
    shading.BarEdge = m_barEdge;
    shading.ShadeStep = m_orientation == pbHorizontal ? m_rowShadeStep : m_columnShadeStep;
    shading.ForeStyle = &m_foreStyle;
    shading.BackStyle = &m_backStyle;
    shading.Fore = m_foreFactors;
    shading.ForeLine = m_foreLineFactors;
    shading.Back = m_backFactors;
    return shading;
}

// ---- Range and position ----------------------------------------------------------------

void TProgressCyl::SetMin(int value)
{
    if (value == m_min)
        return;
    qint64 candidate = value;
    if (candidate == m_max)
        candidate = qint64(m_max) - 1;
    if (candidate < m_max) {
        m_min = int(candidate);
        m_scale = float(1.0 / (double(m_max) - double(m_min)));
        m_position = std::clamp(m_position, m_min, m_max);
    }
    RecomputeGeometry();
}

void TProgressCyl::SetMax(int value)
{
    if (value == m_max)
        return;
    qint64 candidate = value;
    if (candidate == m_min)
        candidate = qint64(m_min) + 1;
    if (candidate > m_min) {
        m_max = int(candidate);
        m_scale = float(1.0 / (double(m_max) - double(m_min)));
        m_position = std::clamp(m_position, m_min, m_max);
    }
    RecomputeGeometry();
}

void TProgressCyl::SetPosition(int value)
{
    ApplyPosition(value);
}

void TProgressCyl::ApplyPosition(int value)
{
    if (!UpdatePosition(value))
        return;
    if (m_position == m_max)
        emit OnProgressDone(this);
    Repaint();
}

bool TProgressCyl::UpdatePosition(int value)
{
    if (m_geometrySize != size())
        UpdateGeometryValues();
    m_position = std::clamp(value, m_min, m_max);
    // 64-bit products: a wide range must not overflow before the scale is applied.
    const qint64 rel = qint64(m_position) - m_min;
    const qint64 range = qint64(m_max) - m_min;
    m_percent = roundHalfEven(double(rel) / double(range) * 100.0);

    const double k = m_scale;
    int edgeValue;
    if (m_orientation == pbHorizontal) {
        edgeValue = roundHalfEven(double(qint64(width()) * rel) * k) + 2 * m_inset -
                    roundHalfEven(double(qint64(m_inset) * rel) * k * 2);
        m_barEdge = std::max(edgeValue - m_inset, m_inset + 1);
    } else {
        edgeValue = roundHalfEven(double(qint64(height()) * rel) * k) + 2 * m_inset -
                    roundHalfEven(double(qint64(2 * m_inset) * rel) * k);
        m_barEdge = m_b - (edgeValue - 2 * m_inset);
    }

    if (edgeValue == m_lastEdgeValue && m_percent == m_lastPercent)
        return false;
    m_lastEdgeValue = edgeValue;
    m_lastPercent = m_percent;
    return true;
}

// ---- Text settings ---------------------------------------------------------------------

void TProgressCyl::SetShowText(bool value)
{
    if (value == m_showText)
        return;
    m_showText = value;
    ApplyTextSettings();
    Repaint();
}

void TProgressCyl::SetText(const QString &value)
{
    if (value == m_text)
        return;
    m_text = value;
    Repaint();
}

void TProgressCyl::SetTextDone(const QString &value)
{
    if (value == m_textDone)
        return;
    m_textDone = value;
    Repaint();
}

void TProgressCyl::SetFontEffect(TFontEffect value)
{
    if (value == m_fontEffect)
        return;
    m_fontEffect = value;
    m_proEffect = peCustom;
    ApplyTextSettings();
    Repaint();
}

void TProgressCyl::SetFontOrientation(TFontOrientation value)
{
    if (value == m_fontOrientation)
        return;
    m_fontOrientation = value;
    ApplyTextSettings();
    Repaint();
}

void TProgressCyl::ApplyTextSettings()
{
    m_maskBitmap = QImage();
    if (!m_showText)
        return;
    if (m_fontEffect == feInvert)
        m_maskBitmap = QImage(size(), QImage::Format_RGB888);
    else if (m_fontEffect == feShadowTopLeft)
        m_shadowOffset = -1;
    else if (m_fontEffect == feShadowBottomRight)
        m_shadowOffset = 1;
}

// ---- Events ----------------------------------------------------------------------------

void TProgressCyl::Repaint()
{
    if (m_ready)
        repaint();
}

void TProgressCyl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!m_ready || !GeometryUsable())
        return;
    m_offscreenBitmap = QImage(size(), QImage::Format_RGB888);
    if (!m_maskBitmap.isNull())
        m_maskBitmap = QImage(size(), QImage::Format_RGB888);
    RecomputeGeometry(); // the toolkit repaints a resized control by itself
}

void TProgressCyl::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    emit OnMouseEnter(this);
    m_hover = true;
    Repaint();
}

void TProgressCyl::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    emit OnMouseLeave(this);
    m_hover = false;
    Repaint();
}

void TProgressCyl::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && m_ready) {
        RecomputeFactors();
        RecomputeBevelColors();
        Repaint();
    } else if (event->type() == QEvent::FontChange) {
        Repaint();
    }
}
