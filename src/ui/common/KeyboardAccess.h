#pragma once

// What makes a window usable from the keyboard alone: Tab through a panel's buttons in the order
// a person reads them, and a view's menu opened with the Menu key or Shift+F10.
//
// User-interface thread only.

#include <QList>
#include <QObject>

class QAbstractItemView;
class QWidget;

// Puts the widgets right after first in the Tab order, in reading order of their places in
// their parent: row by row from the top (a widget that starts below the bottom of the row's
// first widget starts the next row), each row from left to right.
void ChainTabOrderByPlace(QWidget *first, QList<QWidget *> widgets);

// Opens the view's context menu from the keyboard: the Menu key, Shift+F10, and a context menu
// request that comes from the keyboard through the window system, each ask once for the menu
// through the view's customContextMenuRequested signal, at the current item (at the top left of
// the list when it has none in view), the same way a right click asks for it.
class TKeyboardMenu : public QObject
{
    Q_OBJECT

public:
    // Watches the view; owned by it.
    explicit TKeyboardMenu(QAbstractItemView *view);

    // The point of the view's viewport where the menu opens.
    QPoint MenuPoint() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAbstractItemView *m_view;
};
