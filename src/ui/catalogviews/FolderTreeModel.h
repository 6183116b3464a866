#pragma once

// The folder tree of the catalog as an item model: one column, one index per TFolderNode
// (its internal pointer), following the catalog's notifications. Renaming through the view is
// not applied here: setData hands the new name to the window's rename rule.

#include "Catalog.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <array>
#include <functional>

class TFolderTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    // Decides about a name typed into the tree; the catalog changes only if it renames.
    using TRenameRule = std::function<void(TFolderNode *folder, const QString &newName)>;

    explicit TFolderTreeModel(TCatalog &catalog, QObject *parent = nullptr);

    // Pictures 0 to 3: empty folder, empty folder selected, folder with records, selected. Set
    // them before a view shows the model.
    void SetImages(const std::array<QPixmap, 4> &images);
    void SetRenameRule(TRenameRule rule) { m_renameRule = std::move(rule); }
    // The current folder is drawn in these colours, every other folder in the defaults.
    void SetCurrentColours(const QColor &background, const QColor &text);

    TFolderNode *FolderAt(const QModelIndex &index) const;
    QModelIndex IndexOf(const TFolderNode *folder) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // A drag of a folder carries the folder (TCatalogDragData). The tree takes its own folders and
    // the file list's rows; what a drop does is the window's decision, never the model's.
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;

private:
    void connectCatalog();
    void beginMove(TFolderNode *folder, TFolderNode *newParent, int newRow);
    void beginSort();
    void endSort();

    TCatalog &m_catalog;
    std::array<QIcon, 2> m_icons; // without and with records; selected pictures as QIcon::Selected
    TRenameRule m_renameRule;
    QColor m_currentBackground;
    QColor m_currentText;
    TFolderNode *m_shownCurrent = nullptr;
    QModelIndexList m_sortedPersistent;
    QList<TFolderNode *> m_sortedFolders;
};
