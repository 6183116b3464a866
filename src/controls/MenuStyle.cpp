#include "MenuStyle.h"

#include "MenuIcons.h"
#include "MenuStyler.h"

#include <QMenu>
#include <QPainter>
#include <QStyleOptionMenuItem>
#include <algorithm>
#include <cmath>

namespace {

QString captionOf(const QString &text)
{
    return text.section(QLatin1Char('\t'), 0, 0);
}

QString shortcutOf(const QString &text)
{
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    return tab < 0 ? QString() : text.mid(tab + 1);
}

// Colour step of the gradient column at the given distance from the icon side: 3 per column
// within the icon column and 5 pixels beyond, 1 per column after that, at most 96.
int gradientStep(int column, int iconWidth)
{
    const int steep = std::min(column, iconWidth + 5);
    return std::min(96, 3 * steep + (column - steep));
}

} // namespace

TMenuStyle::TMenuStyle(TMenuStyler *styler) : m_styler(styler) {}

int TMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    switch (metric) {
    case PM_MenuPanelWidth:
        return 1;
    case PM_MenuHMargin:
    case PM_MenuVMargin:
        return 0;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

QSize TMenuStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &contentsSize,
                                   const QWidget *widget) const
{
    if (type == CT_MenuItem) {
        if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option))
            return MeasureMenuItem(*item, contentsSize);
    }
    return QProxyStyle::sizeFromContents(type, option, contentsSize, widget);
}

QSize TMenuStyle::MeasureMenuItem(const QStyleOptionMenuItem &item, const QSize &contentsSize) const
{
    if (item.menuItemType == QStyleOptionMenuItem::Separator)
        return QSize(contentsSize.width(), std::max(contentsSize.height(), 4));

    const QFontMetrics metrics(m_styler->Font());
    const QString caption = captionOf(item.text);
    // The menu adds a column as wide as its widest shortcut text by itself, so only the gap
    // before the shortcut ("WWW") is measured here.
    const QString measured = shortcutOf(item.text).isEmpty() ? caption : caption + QStringLiteral("WWW");
    int textWidth = metrics.horizontalAdvance(measured);
    if (caption.contains(QLatin1Char('&')))
        textWidth -= metrics.horizontalAdvance(QLatin1Char('&'));
    const int imageSize = item.icon.isNull() ? 0 : pixelMetric(PM_SmallIconSize);
    const int iconWidth = std::max(imageSize, m_styler->IconWidth());
    const int textHeight = metrics.height();
    const int height = std::max(textHeight + int(std::nearbyint(0.75 * textHeight)), imageSize + 4);
    // The caption is drawn after a blank, 5 pixels into the text area: that much, and as much
    // again to its right, is kept free, or a scaled screen's wider glyphs run past the edge.
    const int ampersand =
        caption.contains(QLatin1Char('&')) ? metrics.horizontalAdvance(QLatin1Char('&')) : 0;
    const int drawnWidth =
        iconWidth + 5 + metrics.horizontalAdvance(QLatin1Char(' ') + caption) - ampersand + 5;
    return QSize(std::max({contentsSize.width(), textWidth + iconWidth + 10, drawnWidth}),
                 std::max(contentsSize.height(), height));
}

void TMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                               const QWidget *widget) const
{
    switch (element) {
    case PE_PanelMenu:
        painter->fillRect(option->rect, m_styler->Colors(option->palette).Color);
        return;
    case PE_FrameMenu: {
        // The menu window's frame: one line in the border colour.
        painter->save();
        painter->setPen(m_styler->Colors(option->palette).MenuBorder);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
        return;
    }
    case PE_PanelMenuBar:
        painter->fillRect(option->rect, m_styler->Colors(option->palette).MenuBar);
        return;
    default:
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

void TMenuStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                             const QWidget *widget) const
{
    switch (element) {
    case CE_MenuItem:
        if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option)) {
            DrawMenuItem(*item, painter, widget);
            return;
        }
        break;
    case CE_MenuBarItem:
        if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option)) {
            DrawMenuBarItem(*item, painter);
            return;
        }
        break;
    case CE_MenuEmptyArea:
        painter->fillRect(option->rect, m_styler->Colors(option->palette).Color);
        return;
    case CE_MenuBarEmptyArea:
        painter->fillRect(option->rect, m_styler->Colors(option->palette).MenuBar);
        return;
    default:
        break;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void TMenuStyle::DrawGradient(QPainter *painter, const QRect &rect, const QColor &start, bool fromRight) const
{
    const int iconWidth = m_styler->IconWidth();
    int lastStep = -1;
    QColor colour;
    for (int column = 0; column < rect.width(); ++column) {
        const int step = gradientStep(column, iconWidth);
        if (step != lastStep) {
            colour = LightenColor(start, step);
            lastStep = step;
        }
        const int x = fromRight ? rect.right() - column : rect.left() + column;
        painter->fillRect(QRect(x, rect.top(), 1, rect.height()), colour);
    }
}

void TMenuStyle::DrawMenuItem(const QStyleOptionMenuItem &item, QPainter *painter,
                              const QWidget *widget) const
{
    if (widget)
        m_styler->AttachSubmenus(widget);
    const TMenuColors colors = m_styler->Colors(item.palette);
    // The menu clips every item to its own rectangle, so R is the item's rectangle.
    const QRect r = item.rect;
    const bool rightToLeft = item.direction == Qt::RightToLeft;
    const int iconWidth = std::min(m_styler->IconWidth(), r.width());
    const QRect iconColumn(rightToLeft ? r.right() - iconWidth + 1 : r.left(), r.top(), iconWidth,
                           r.height());
    const QRect textArea(rightToLeft ? r.left() : r.left() + iconWidth, r.top(), r.width() - iconWidth,
                         r.height());
    const bool selected = item.state & State_Selected;
    const bool enabled = item.state & State_Enabled;
    const bool hasImage = !item.icon.isNull();

    painter->save();
    painter->setFont(m_styler->Font());

    if (colors.FullColor && m_styler->Gradient()) {
        DrawGradient(painter, r.adjusted(rightToLeft ? -2 : 0, 0, rightToLeft ? 0 : 2, 0), colors.IconBack,
                     rightToLeft);
    } else {
        painter->fillRect(r, colors.Color);
        painter->fillRect(iconColumn, colors.IconBack);
    }

    if (item.menuItemType == QStyleOptionMenuItem::Separator) {
        const int y = r.top() + r.height() / 2;
        painter->setPen(colors.Separator);
        if (rightToLeft)
            painter->drawLine(r.left(), y, textArea.right() - 7, y);
        else
            painter->drawLine(textArea.left() + 7, y, r.right(), y);
        painter->restore();
        return;
    }

    if (selected && enabled && m_styler->DrawSelect()) {
        // The item less its top row; the frame's bottom line is the item's last row.
        const QRect bar(r.left(), r.top() + 1, r.width(), r.height() - 1);
        painter->fillRect(bar, colors.Select);
        painter->setPen(colors.SelectBorder);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(bar.adjusted(0, 0, -1, -1));
    }

    const QRect checkBox =
        hasImage ? iconColumn.adjusted(1, 2, -3, -2)
                 : QRect(iconColumn.left() + (iconWidth - 10) / 2, r.top() + (r.height() - 10) / 2, 10, 10);
    if (item.checkType != QStyleOptionMenuItem::NotCheckable && item.checked)
        DrawCheckMark(item, painter, checkBox, hasImage, colors);
    if (hasImage)
        DrawIcon(item, painter, iconColumn, colors, widget);

    const QColor textColour = enabled ? colors.Font : colors.Disabled;
    const QColor captionColour = !enabled ? colors.Disabled : selected ? colors.SelectFont : colors.Font;
    const QFontMetrics metrics(m_styler->Font());
    const int textTop = r.top() + (r.height() - metrics.height()) / 2;
    int flags = Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic;
    if (!proxy()->styleHint(SH_UnderlineShortcut, &item, widget))
        flags |= Qt::TextHideMnemonic;

    const QString caption = QLatin1Char(' ') + captionOf(item.text);
    const QRect captionRect =
        rightToLeft ? QRect(r.left(), textTop, textArea.width() - 5, metrics.height())
                    : QRect(textArea.left() + 5, textTop, textArea.width() - 5, metrics.height());
    const int captionFlags = flags | (rightToLeft ? Qt::AlignRight : Qt::AlignLeft);
    if (item.menuItemType == QStyleOptionMenuItem::DefaultItem) {
        painter->setPen(LightenColor(captionColour, 60)); // a soft shade under the default item
        painter->drawText(captionRect.translated(1, 1), captionFlags, caption);
    }
    painter->setPen(captionColour);
    painter->drawText(captionRect, captionFlags, caption);

    const QString shortcut = shortcutOf(item.text);
    if (!shortcut.isEmpty()) {
        painter->setPen(colors.FullColor ? DarkenColor(textColour, 40) : textColour);
        const QRect shortcutRect(r.left() + (rightToLeft ? 10 : 0), textTop, r.width() - 10,
                                 metrics.height());
        painter->drawText(shortcutRect, flags | (rightToLeft ? Qt::AlignLeft : Qt::AlignRight),
                          shortcut + QLatin1Char(' '));
    }

    if (item.menuItemType == QStyleOptionMenuItem::SubMenu) {
        const int size = std::min(r.height() / 2, 9);
        QStyleOption arrow = item;
        arrow.rect = QRect(rightToLeft ? r.left() + 3 : r.right() - 3 - size,
                           r.top() + (r.height() - size) / 2, size, size);
        arrow.palette.setColor(QPalette::ButtonText, captionColour);
        arrow.palette.setColor(QPalette::WindowText, captionColour);
        arrow.state = enabled ? State_Enabled : State_None;
        proxy()->drawPrimitive(rightToLeft ? PE_IndicatorArrowLeft : PE_IndicatorArrowRight, &arrow, painter,
                               widget);
    }
    painter->restore();
}

void TMenuStyle::DrawCheckMark(const QStyleOptionMenuItem &item, QPainter *painter, const QRect &box,
                               bool hasImage, const TMenuColors &colors) const
{
    const bool selected = item.state & State_Selected;
    const QColor area = selected ? colors.CheckedAreaSelected : colors.CheckedArea;
    painter->save();
    if (item.checkType == QStyleOptionMenuItem::Exclusive) {
        const int size = std::min(box.width(), box.height());
        const QRect circle(box.left() + (box.width() - size) / 2, box.top() + (box.height() - size) / 2, size,
                           size);
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(colors.SelectBorder);
        painter->setBrush(area);
        painter->drawEllipse(QRectF(circle).adjusted(0.5, 0.5, -0.5, -0.5));
        if (!hasImage) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(Qt::black);
            painter->drawEllipse(
                QRectF(circle.center(), QSizeF(0, 0)).adjusted(-2, -2, 2, 2).translated(0.5, 0.5));
        }
    } else {
        painter->setPen(hasImage ? colors.SelectBorder : colors.Checked);
        painter->setBrush(area);
        painter->drawRect(box.adjusted(0, 0, -1, -1));
        if (!hasImage) {
            painter->setPen(Qt::black);
            const QPoint o = box.topLeft();
            for (int dy = 0; dy < 2; ++dy) {
                painter->drawLine(o + QPoint(2, 4 + dy), o + QPoint(4, 6 + dy));
                painter->drawLine(o + QPoint(4, 6 + dy), o + QPoint(7, 3 + dy));
            }
        }
    }
    painter->restore();
}

void TMenuStyle::DrawIcon(const QStyleOptionMenuItem &item, QPainter *painter, const QRect &iconColumn,
                          const TMenuColors &colors, const QWidget *widget) const
{
    const bool selected = item.state & State_Selected;
    const bool enabled = item.state & State_Enabled;
    const int size = pixelMetric(PM_SmallIconSize, &item, widget);
    const QImage icon =
        item.icon.pixmap(QSize(size, size), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
    if (icon.isNull())
        return;
    const QPoint at(iconColumn.left() + (iconColumn.width() - icon.width()) / 2, iconColumn.top() + 4);
    if (!enabled) {
        // Grey whether or not the mouse is over it: a disabled item does not react.
        painter->drawImage(at, GreyIcon(icon));
    } else if (item.checked) {
        painter->drawImage(at, icon);
    } else if (selected) {
        // Lifted by one pixel up and left over its shadow two pixels down and right.
        const QPoint lifted = at - QPoint(1, 1);
        painter->drawImage(lifted + QPoint(2, 2), IconShadow(icon, DarkenColor(colors.Select, 50)));
        painter->drawImage(lifted, icon);
    } else {
        painter->drawImage(at, colors.FullColor ? FadedIcon(icon) : icon);
    }
}

void TMenuStyle::DrawMenuBarItem(const QStyleOptionMenuItem &item, QPainter *painter) const
{
    const TMenuColors colors = m_styler->Colors(item.palette);
    const QRect r = item.rect;
    const bool enabled = item.state & State_Enabled;
    const bool hot = enabled && (item.state & (State_Selected | State_Sunken));
    painter->save();
    painter->fillRect(r, colors.MenuBar);
    if (hot && m_styler->DrawSelect()) {
        // A raised box with a small shadow to its right and below.
        const QRect box = r.adjusted(0, 0, -2, -2);
        painter->fillRect(box.translated(2, 2), colors.MenuShadow);
        painter->fillRect(box, colors.Color);
        painter->setPen(Qt::white);
        painter->drawLine(box.topLeft(), box.topRight());
        painter->drawLine(box.topLeft(), box.bottomLeft());
        painter->setPen(colors.MenuBorder);
        painter->drawLine(box.bottomLeft(), box.bottomRight());
        painter->drawLine(box.topRight(), box.bottomRight());
    }
    painter->setFont(m_styler->Font());
    painter->setPen(enabled ? colors.Font : colors.Disabled);
    int flags = Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextSingleLine;
    if (!proxy()->styleHint(SH_UnderlineShortcut, &item, nullptr))
        flags |= Qt::TextHideMnemonic;
    painter->drawText(r, flags, item.text);
    painter->restore();
}
