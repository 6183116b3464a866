#pragma once

// A picker's folder tree (ShellTreeView): the disk's folders, hidden ones included, with the
// platform's pictures, under a root folder ("/" for the whole file system, shown as the one
// top item). Folders are read in the background as they are opened and are not watched
// afterwards. One folder at a time is selected, a right press selects too, there are no
// context menus and no expand marks at the top level, and the selection stays visible without
// the focus.

#include <QTreeView>

class QFileSystemModel;
class TShellIcons;
class TShellRootFilter;

class TShellTreeView : public QTreeView
{
    Q_OBJECT

public:
    // The folder at the top of the whole file system.
    static QString DesktopRoot() { return QStringLiteral("/"); }

    // The tree shows the root folder and what lies below it; an empty or missing root means the
    // whole file system.
    TShellTreeView(TShellIcons &icons, const QString &root, QWidget *parent = nullptr);
    ~TShellTreeView() override;

    QString Root() const { return m_root; }
    // True for the root and the folders below it.
    bool Contains(const QString &folder) const;

    // The selected folder's path, or empty when none is selected.
    QString SelectedFolder() const;
    // Opens the folders above the folder, selects it and scrolls to it; false (and nothing
    // changed) when the tree does not hold that folder.
    bool GoToFolder(const QString &folder);
    // Closes the selected folder and every folder below it.
    void CollapseSelectedSubtree();

Q_SIGNALS:
    // The selected folder changed (ShellTreeViewChange).
    void folderChanged();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void SetRoot(const QString &folder);
    QModelIndex indexOf(const QString &folder) const;
    QString pathOf(const QModelIndex &index) const;

    QFileSystemModel *m_disk = nullptr;
    TShellRootFilter *m_filter = nullptr;
    QString m_root;
    // Keeping the folder last gone to in view while the folders above it are read.
    bool m_following = false;
};
