#pragma once

// TWindowMover: a left press on any of the widgets it watches asks the window system to move
// their window (its own move loop runs from there, so nothing needs to follow the mouse). The
// borderless windows give it their title band, its picture and its title, or the background of
// a window without a band.

#include <QObject>

class QMouseEvent;
class QWidget;

class TWindowMover : public QObject
{
    Q_OBJECT

public:
    explicit TWindowMover(QWidget *window);

    // Presses on the widget move the window from now on.
    void Watch(QWidget *widget);
    // A press on a watched widget; other buttons than the left one are ignored.
    void MouseDown(const QMouseEvent &event);

Q_SIGNALS:
    // A left press has asked the window system to move the window.
    void moveRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
};
