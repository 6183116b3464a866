#include "KeyboardAccess.h"

#include <QAbstractItemView>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <algorithm>

void ChainTabOrderByPlace(QWidget *first, QList<QWidget *> widgets)
{
    std::sort(widgets.begin(), widgets.end(),
              [](const QWidget *a, const QWidget *b) { return a->y() < b->y(); });
    QList<QWidget *> ordered;
    for (qsizetype rowStart = 0; rowStart < widgets.size();) {
        const int rowBottom = widgets[rowStart]->geometry().bottom();
        qsizetype rowEnd = rowStart + 1;
        while (rowEnd < widgets.size() && widgets[rowEnd]->y() <= rowBottom)
            ++rowEnd;
        QList<QWidget *> row = widgets.mid(rowStart, rowEnd - rowStart);
        std::sort(row.begin(), row.end(), [](const QWidget *a, const QWidget *b) { return a->x() < b->x(); });
        ordered += row;
        rowStart = rowEnd;
    }
    QWidget *previous = first;
    for (QWidget *widget : ordered) {
        QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

TKeyboardMenu::TKeyboardMenu(QAbstractItemView *view) : QObject(view), m_view(view)
{
    view->installEventFilter(this);
}

QPoint TKeyboardMenu::MenuPoint() const
{
    // Beside the start of the current item's text, half-way down its row, so the menu does not
    // hide the item it acts on.
    const QRect item = m_view->visualRect(m_view->currentIndex());
    if (item.isValid() && m_view->viewport()->rect().intersects(item))
        return QPoint(item.left() + qMin(item.width() / 2, 40), item.center().y());
    return QPoint(8, 8);
}

bool TKeyboardMenu::eventFilter(QObject *watched, QEvent *event)
{
    bool fromKeyboard = false;
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        fromKeyboard = key->key() == Qt::Key_Menu ||
                       (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier);
    } else if (event->type() == QEvent::ContextMenu) {
        // Some window systems turn the Menu key into a request of their own, placed at the mouse
        // or at the text cursor; it is answered here like the key.
        fromKeyboard = static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard;
    }
    if (watched != m_view || !fromKeyboard)
        return QObject::eventFilter(watched, event);
    Q_EMIT m_view->customContextMenuRequested(MenuPoint());
    return true;
}
