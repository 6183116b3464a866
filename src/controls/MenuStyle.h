#pragma once

// TMenuStyle: the style a TMenuStyler sets on the menus it takes over. It measures and draws
// menu items (and menu-bar items) in the styler's flat look and leaves everything else to the
// application's style. Owned by its styler; it reads the styler's properties on every call,
// so a change shows at the next drawing.

#include <QProxyStyle>

class QStyleOptionMenuItem;
class TMenuStyler;
struct TMenuColors;

class TMenuStyle : public QProxyStyle
{
    Q_OBJECT

public:
    explicit TMenuStyle(TMenuStyler *styler);

    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &contentsSize,
                           const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;

    // The size the item asks for, never smaller than what the menu asks for (contentsSize).
    QSize MeasureMenuItem(const QStyleOptionMenuItem &item, const QSize &contentsSize) const;
    void DrawMenuItem(const QStyleOptionMenuItem &item, QPainter *painter, const QWidget *widget) const;

private:
    void DrawMenuBarItem(const QStyleOptionMenuItem &item, QPainter *painter) const;
    void DrawGradient(QPainter *painter, const QRect &rect, const QColor &start, bool fromRight) const;
    void DrawCheckMark(const QStyleOptionMenuItem &item, QPainter *painter, const QRect &box, bool hasImage,
                       const TMenuColors &colors) const;
    void DrawIcon(const QStyleOptionMenuItem &item, QPainter *painter, const QRect &iconColumn,
                  const TMenuColors &colors, const QWidget *widget) const;

    TMenuStyler *m_styler;
};
