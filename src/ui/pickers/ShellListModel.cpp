#include "ShellListModel.h"

#include "LocaleText.h"
#include "ShellIcons.h"
#include "support.h"

#include <QDir>
#include <QLocale>
#include <algorithm>

TShellListModel::TShellListModel(TShellItems items, const TShellIcons &icons, QObject *parent)
    : QAbstractTableModel(parent), m_items(items), m_icons(icons)
{}

void TShellListModel::SetFolder(const QString &folder)
{
    const QDir::Filters kinds = m_items == TShellItems::Files
                                    ? QDir::Files | QDir::Hidden
                                    : QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden;
    QFileInfoList found;
    if (!folder.isEmpty())
        found = QDir(folder).entryInfoList(kinds, QDir::NoSort);

    // One collation key per name: far cheaper than collating the names in every comparison.
    std::vector<std::pair<QCollatorSortKey, qsizetype>> keys;
    keys.reserve(size_t(found.size()));
    for (qsizetype i = 0; i < found.size(); ++i)
        keys.emplace_back(SortKeyLocale(found[i].fileName()), i);
    std::sort(keys.begin(), keys.end(), [&found](const auto &a, const auto &b) {
        const int order = a.first.compare(b.first);
        // Names equal but for case keep one order from read to read.
        return order != 0 ? order < 0 : found[a.second].fileName() < found[b.second].fileName();
    });

    beginResetModel();
    m_folder = folder;
    m_rows.clear();
    m_rows.reserve(keys.size());
    for (const auto &key : keys)
        m_rows.push_back(found[key.second]);
    endResetModel();
}

QString TShellListModel::FilePath(int row) const
{
    return m_rows[size_t(row)].filePath();
}

bool TShellListModel::IsFolder(int row) const
{
    return m_rows[size_t(row)].isDir();
}

int TShellListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TShellListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TShellListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const QFileInfo &item = m_rows[size_t(index.row())];
    if (role == Qt::DecorationRole && index.column() == NameColumn)
        return m_icons.icon(item);
    if (role == Qt::TextAlignmentRole && index.column() == SizeColumn)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    // The whole name, for the picture styles that shorten long names.
    if (role == Qt::ToolTipRole && index.column() == NameColumn)
        return item.fileName();
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case NameColumn:
        return item.fileName();
    case SizeColumn:
        return item.isDir() ? QString() : SizeText(item.size(), false);
    case TypeColumn:
        return m_icons.type(item);
    case DateColumn:
        return QLocale::system().toString(item.lastModified(), QLocale::ShortFormat);
    }
    return {};
}

QVariant TShellListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn:
        return QStringLiteral("Name");
    case SizeColumn:
        return QStringLiteral("Size");
    case TypeColumn:
        return QStringLiteral("Type");
    case DateColumn:
        return QStringLiteral("Date modified");
    }
    return {};
}
