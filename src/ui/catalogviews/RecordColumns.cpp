#include "RecordColumns.h"

#include "Catalog.h"
#include "support.h"

QString RecordColumnText(const TFileDat &record, int column)
{
    switch (column) {
    case rcFileName:
        return record.FileName;
    case rcPath:
        return TCatalog::FolderPath(record.Folder);
    case rcSize:
        return QString::number(record.Size);
    case rcDateTime:
        return LocaleDateTimeText(record.DateTime);
    case rcComments:
        return record.Comment;
    case rcMd5:
        return record.Md5.Text();
    case rcRealPath:
        return record.RealPath;
    }
    return {};
}

QVariant RecordColumnAlignment(int column)
{
    return column == rcSize ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
}

QVariant RecordColumnHeader(int column, Qt::Orientation orientation, int role, const QString &dateCaption)
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::TextAlignmentRole)
        return RecordColumnAlignment(column);
    return role == Qt::DisplayRole ? QVariant(RecordColumnCaption(column, dateCaption)) : QVariant();
}

QString RecordColumnCaption(int column, const QString &dateCaption)
{
    switch (column) {
    case rcFileName:
        return QStringLiteral("Filename");
    case rcPath:
        return QStringLiteral("Path");
    case rcSize:
        return QStringLiteral("Size");
    case rcDateTime:
        return dateCaption;
    case rcComments:
        return QStringLiteral("Comments");
    case rcMd5:
        return QStringLiteral("MD5 code");
    case rcRealPath:
        return QStringLiteral("Real filepath");
    }
    return {};
}
