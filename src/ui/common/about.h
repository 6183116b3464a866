#pragma once

// TAboutForm, the about window: the title, the version and three links (web page, donation
// page, e-mail). Borderless; a left press on the background, the picture or a label moves it.
// The main window creates it with itself as owner and runs it modally; it deletes itself when
// closed. The links go to the shell given, which must outlive the window; opening one leaves
// the window open.

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class TShell;

class TAboutForm : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutForm(TShell &shell, QWidget *owner = nullptr);

    void WebBtClick();
    void DonateBtClick();
    void EmailBtClick();
    void CloseBtClick();

Q_SIGNALS:
    // A left press on a part that moves the window has asked the window system to move it.
    void moveRequested();

private:
    void openLink(const char *scrambledTarget);

    TShell &m_shell;

    QFrame *BakPanel = nullptr;
    QLabel *IconImage = nullptr;
    QFrame *Bevel2 = nullptr;
    QPushButton *CloseBt = nullptr;
    QLabel *ProdNameLabel = nullptr;
    QLabel *InfoLabel = nullptr;
    QPushButton *WebBt = nullptr;
    QPushButton *DonateBt = nullptr;
    QPushButton *EmailBt = nullptr;
};
