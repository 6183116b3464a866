#pragma once

// The duplicate sets as the rows of the duplicates window's sets list: one row per set with its
// number as caption (numbers stay when other sets go), its digest under DigestRole and the set
// picture. The model owns the sets' record lists; the records belong to the catalog, and the
// window tells the model when they leave it. User-interface thread only.

#include "DuplicateSets.h"

#include <QAbstractListModel>
#include <QHash>
#include <QIcon>

class TDupSetsModel : public QAbstractListModel
{
    Q_OBJECT

public:
    static constexpr int DigestRole = Qt::UserRole;

    explicit TDupSetsModel(QObject *parent = nullptr);

    void SetImage(const QPixmap &image) { m_image = QIcon(image); }

    // Replaces every set; the sets come numbered in ascending order.
    void SetSets(std::vector<TDuplicateSet> sets);
    // Disposes of every set's record list (the records stay in the catalog).
    void FreeSets();

    int SetCount() const { return int(m_sets.size()); }
    const TDuplicateSet &SetAt(int row) const { return m_sets[size_t(row)]; }
    // The row of the set with this number, or -1 when it is gone.
    int RowOfNumber(int number) const;

    // The set in the row now holds these records (the ones its rows still show).
    void SetRecords(int row, std::vector<TFileDat *> records);
    void RemoveSet(int row);

    // Takes the records out of whichever sets hold them; a set left without records goes.
    void DropRecords(const std::vector<const TFileDat *> &records);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    const QHash<const TFileDat *, int> &numberIndex();

    std::vector<TDuplicateSet> m_sets;
    QIcon m_image;
    // Which set number holds a record: built when a record leaves from outside the shown set,
    // which is rare, so a window over a million records does not pay for it up front. Entries of
    // records and sets that have gone may stay; they are only compared, never followed.
    QHash<const TFileDat *, int> m_numberOf;
    bool m_numberOfBuilt = false;
};
