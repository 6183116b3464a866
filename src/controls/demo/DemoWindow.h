#pragma once

// The demonstration window: a title band with the three title-band buttons, the main window's
// progress bar at 0, 45 and 100 percent in both orientations with text, and a styled popup
// menu (right click anywhere, or the "Menu" button).

#include <QWidget>

class QMenu;
class TMenuStyler;

class TDemoWindow : public QWidget
{
    Q_OBJECT

public:
    explicit TDemoWindow(QWidget *parent = nullptr);

    QMenu *PopupMenu() const { return m_popup; }

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void BuildTitleBand();
    void BuildBars();
    void BuildMenu();

    QMenu *m_popup = nullptr;
    TMenuStyler *m_styler = nullptr;
};
