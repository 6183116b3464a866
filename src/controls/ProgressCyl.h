#pragma once

// TProgressCyl: a progress bar drawn as a lit cylinder. Every pixel row (every column when
// vertical) of the bar is shaded by its distance from a light line; the filled and the empty
// part each have a TPCColorStyle. The whole control is drawn into an off-screen 24-bit picture
// that is copied to the screen in one step. It can show the percentage (or TextDone) with a
// shadow or inverted, in three reading directions.
//
// User-interface thread only. The control owns its two styles and its pictures.

#include "ColorHelpers.h"
#include "CylinderShade.h"
#include "PCColorStyle.h"

#include <QImage>
#include <QString>
#include <QWidget>

enum TBevelCut
{
    bvNone,
    bvLowered,
    bvRaised,
    bvSpace
};
enum TCylinderEffect
{
    ceFlat,
    ceUltraLow,
    ceLow,
    ceMedium,
    ceHigh,
    ceMaximum
};
enum TFontEffect
{
    feNone,
    feInvert,
    feShadowTopLeft,
    feShadowBottomRight
};
enum TFontOrientation
{
    foLeftToRight,
    foTopToBottom,
    foBottomToTop
};
enum TProEffect
{
    peCustom
};

class TProgressCyl : public QWidget
{
    Q_OBJECT

public:
    explicit TProgressCyl(QWidget *parent = nullptr);
    ~TProgressCyl() override;

    // Colours. Setting ForeColor, ForeLineColor or BackColor always recomputes its channel
    // factors and repaints; BevelColor recomputes the bevel colours.
    TColor BackBorderColor() const { return m_backBorderColor; }
    void SetBackBorderColor(const TColor &colour);
    TColor BackColor() const { return m_backColor; }
    void SetBackColor(const TColor &colour);
    TColor BevelColor() const { return m_bevelColor; }
    void SetBevelColor(const TColor &colour);
    TColor Color() const { return m_color; } // fills the control outside the bar
    void SetColor(const TColor &colour);
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(const TColor &colour);
    TColor FontShadowColor() const { return m_fontShadowColor; }
    void SetFontShadowColor(const TColor &colour);
    TColor ForeColor() const { return m_foreColor; }
    void SetForeColor(const TColor &colour);
    TColor ForeLineColor() const { return m_foreLineColor; }
    void SetForeLineColor(const TColor &colour);

    // The control's own styles; assigning copies the seven values of the given style.
    TPCColorStyle &BackStyle() { return m_backStyle; }
    const TPCColorStyle &BackStyle() const { return m_backStyle; }
    void SetBackStyle(const TPCColorStyle &style) { m_backStyle.Assign(style); }
    TPCColorStyle &ForeStyle() { return m_foreStyle; }
    const TPCColorStyle &ForeStyle() const { return m_foreStyle; }
    void SetForeStyle(const TPCColorStyle &style) { m_foreStyle.Assign(style); }

    // Bevels and border. A value that would leave no bar area is refused (the old one stays);
    // so are a BevelWidth below 1 and a negative BorderWidth.
    TBevelCut BevelInner() const { return m_bevelInner; }
    void SetBevelInner(TBevelCut value);
    TBevelCut BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TBevelCut value);
    int BevelWidth() const { return m_bevelWidth; }
    void SetBevelWidth(int value);
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int value);

    TCylinderEffect CylinderEffect() const { return m_cylinderEffect; }
    void SetCylinderEffect(TCylinderEffect value);
    TProgressBarOrientation Orientation() const { return m_orientation; }
    void SetOrientation(TProgressBarOrientation value); // also sets FontOrientation
    TProEffect ProEffect() const { return m_proEffect; }
    void SetProEffect(TProEffect value) { m_proEffect = value; }

    // Range and position. Min and Max keep Min < Max: a new Min equal to Max becomes Max - 1,
    // a new Max equal to Min becomes Min + 1, anything else out of order is refused. Position
    // is held inside [Min, Max].
    int Min() const { return m_min; }
    void SetMin(int value);
    int Max() const { return m_max; }
    void SetMax(int value);
    int Position() const { return m_position; }
    void SetPosition(int value);
    int Step() const { return m_step; }
    void SetStep(int value) { m_step = value; }
    bool StopAtMax() const { return m_stopAtMax; }
    void SetStopAtMax(bool value) { m_stopAtMax = value; }

    // The last position's percentage (halves to even) and the column (row when vertical) of
    // the fore line.
    int Percent() const { return m_percent; }
    int BarEdge() const { return m_barEdge; }

    // Text. The font is the widget's font (default "Arial", 9 points, bold).
    bool ShowText() const { return m_showText; }
    void SetShowText(bool value);
    QString Text() const { return m_text; }
    void SetText(const QString &value);
    QString TextDone() const { return m_textDone; }
    void SetTextDone(const QString &value);
    TFontEffect FontEffect() const { return m_fontEffect; }
    void SetFontEffect(TFontEffect value);
    TFontOrientation FontOrientation() const { return m_fontOrientation; }
    void SetFontOrientation(TFontOrientation value);
    // TextDone when it is set and Percent is 100, else Percent followed by Text.
    QString DisplayedText() const;

    // Free for the owner's use; the main window keeps the total of a running operation here.
    int Tag() const { return m_tag; }
    void SetTag(int value) { m_tag = value; }

    bool Hovered() const { return m_hover; }

    // True when the control's size, bevels and border leave a bar area to draw.
    bool GeometryUsable() const;

    // Draws the whole control into the off-screen picture and returns it; a null picture while
    // the geometry is unusable. At a device pixel ratio above 1 the picture has that many more
    // pixels each way (and that ratio), drawn at that resolution.
    QImage Render(qreal ratio = 1);

    // The parameters the bar area is shaded with, as the last position change or Render left
    // them.
    TCylinderShading Shading() const;

    QSize sizeHint() const override { return QSize(150, 22); }

signals:
    void OnProgressDone(TProgressCyl *sender);
    void OnMouseEnter(TProgressCyl *sender);
    void OnMouseLeave(TProgressCyl *sender);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    friend class TPCColorStyle;
    void StyleChanged();

    void RecomputeFactors();
    void RecomputeBevelColors();
    void ChooseBevelColors();
    void RecomputeGeometry();
    void UpdateGeometryValues();
    bool UpdatePosition(int value);
    void ApplyPosition(int value);
    void ApplyTextSettings();
    void ColorsChanged();
    void Repaint();
    bool UsableWith(int bevelWidth, int borderWidth) const;
    template <typename T>
    void SetFrameValue(T &field, T value);

    void DrawText();

    QImage m_offscreenBitmap; // Format_RGB888
    QImage m_maskBitmap;      // present only while the text is shown inverted

    TColor m_backBorderColor;
    TColor m_backColor;
    TColor m_bevelColor;
    TColor m_color;
    TColor m_fontColor;
    TColor m_fontShadowColor;
    TColor m_foreColor;
    TColor m_foreLineColor;
    TPCColorStyle m_backStyle{this};
    TPCColorStyle m_foreStyle{this};

    TBevelCut m_bevelInner = bvRaised;
    TBevelCut m_bevelOuter = bvLowered;
    int m_bevelWidth = 1;
    int m_borderWidth = 2;
    TCylinderEffect m_cylinderEffect = ceMaximum;
    quint8 m_cylinderDepth = 255;
    TProgressBarOrientation m_orientation = pbHorizontal;
    TProEffect m_proEffect = peCustom;

    int m_min = 0;
    int m_max = 100;
    int m_position = 0;
    int m_step = 1;
    bool m_stopAtMax = true;
    float m_scale = 0.01f; // 1 / (Max - Min)
    int m_percent = 0;
    int m_barEdge = 0;
    int m_lastEdgeValue = -1;
    int m_lastPercent = -1;

    bool m_showText = true;
    QString m_text;
    QString m_textDone;
    TFontEffect m_fontEffect = feShadowBottomRight;
    TFontOrientation m_fontOrientation = foLeftToRight;
    int m_shadowOffset = 1;

    // Geometry: bar area from (m_inset, m_inset) to (m_r, m_b), right and bottom exclusive,
    // worked out for m_geometrySize. A hidden control hears of a resize only when it is shown,
    // so a size that differs from it is caught up with before the values are used.
    QSize m_geometrySize;
    int m_inset = 0;
    int m_r = 0;
    int m_b = 0;
    float m_rowShadeStep = 0.0f;
    float m_columnShadeStep = 0.0f;

    TChannelFactors m_foreFactors;
    TChannelFactors m_foreLineFactors;
    TChannelFactors m_backFactors;

    // Bevel colours: the four base colours and the chosen pairs.
    QColor m_light, m_shadow, m_secondLight, m_darkShadow;
    QColor m_innerTopLeft, m_innerBottomRight, m_outerTopLeft, m_outerBottomRight;

    int m_tag = 0;
    bool m_ready = false;
    bool m_constructing = true;
    bool m_hover = false;
};
