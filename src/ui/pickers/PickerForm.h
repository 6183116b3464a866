#pragma once

// What the file picker and the folder picker share: the borderless frame with its sizing
// border (600 x 420 inside it at the least, centred), the title band that moves the window,
// the folder tree and the list of the tree's folder side by side, the bottom panel with
// "Accept", "Cancel", the count text, "Previous folder", "Select all" and the four view-style
// buttons, the keys the window takes before its controls, and the remembered folder.
//
// A picker is shown modally and fills the caller's result list only on Accept: the list is
// emptied when the window is shown. The remembered folder (one per kind of picker, kept for
// the run) is where the next show opens. Boxes go through the prompts given, or through Qt's
// boxes owned by the window. User-interface thread only.

#include <QDialog>
#include <memory>

class QButtonGroup;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QSplitter;
class QToolButton;
class TPrompts;
class TShellIcons;
class TShellListModel;
class TShellListView;
class TShellTreeView;
class TTitleBand;
enum class TPickerPicture;
enum class TShellItems;

class TPickerForm : public QDialog
{
    Q_OBJECT

public:
    ~TPickerForm() override;

    // ---- Handlers of both pickers
    void FormShow();
    void CancelBtClick();
    void SelectAllBtClick();
    void PrevBtClick();
    void ListModeBtClick(int tag);
    void ShellTreeViewChange();
    void FormResize();
    // The count text and the state of "Accept".
    virtual void UpdateStateLabel() = 0;
    virtual void AcceptBtClick() = 0;
    virtual void ShellListViewDblClick() = 0;

    // The folder selected in the tree (the list shows its items), or empty when none is.
    QString TreeFolder() const;
    // The folder whose items the list shows.
    QString ListFolder() const;

Q_SIGNALS:
    // A left press on the title band has asked the window system to move the window.
    void moveRequested();

protected:
    struct TKind
    {
        QString Title;
        TShellItems Items;
        // The kind's remembered folder, with a trailing separator, or empty.
        QString *LastPath;
    };

    // root: the tree's root folder; empty for the whole file system.
    TPickerForm(const TKind &kind, QStringList &result, const QString &root, TPrompts *prompts,
                QWidget *owner);

    // Whether the item's full path names what this picker hands back (an existing file or an
    // existing folder).
    virtual bool IsPickable(const QString &path) const = 0;
    // Hands the paths back, remembers the folder when there was at least one, and closes.
    void FinishAccept(const QStringList &accepted);
    // A small picture button appended after "Select all"; it shows only its picture, so screen
    // readers say its title (the hint without the key remark).
    QToolButton *AddSmallButton(const QString &name, const QString &title, const QString &hint,
                                TPickerPicture picture);
    // Writes the count text and the state of "Accept".
    void ShowState(const QString &text, bool acceptEnabled);

    TPrompts &Prompts() const { return *m_prompts; }
    TShellListView &List() const { return *ShellListView; }
    TShellListModel &Items() const { return *m_items; }
    QPushButton &Accept() const { return *AcceptBt; }

    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildBottomPanel();
    // The window's keys, seen before the focused control; true when the key was used.
    bool FormKeyDown(QObject *watched, const QKeyEvent &event);
    // Characters typed into the tree are dropped, so it has no search by typing.
    bool ShellTreeViewKeyPress(QObject *watched, const QKeyEvent &event) const;
    // The folder the first show opens at.
    QString startFolder() const;

    QStringList &m_result;
    QString *m_lastPath;
    std::unique_ptr<TPrompts> m_ownPrompts;
    TPrompts *m_prompts;
    std::unique_ptr<TShellIcons> m_icons;
    TShellListModel *m_items = nullptr;
    bool m_shown = false;

    TTitleBand *TopPanel = nullptr;
    QSplitter *Splitter1 = nullptr;
    TShellTreeView *ShellTreeView = nullptr;
    TShellListView *ShellListView = nullptr;
    QWidget *BottomPanel = nullptr;
    QHBoxLayout *m_smallButtons = nullptr;
    QPushButton *AcceptBt = nullptr;
    QPushButton *CancelBt = nullptr;
    QLabel *StateLabel = nullptr;
    QToolButton *PrevBt = nullptr;
    QToolButton *SelectAllBt = nullptr;
    QButtonGroup *m_viewStyles = nullptr;
};
