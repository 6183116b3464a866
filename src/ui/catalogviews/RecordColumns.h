#pragma once

// The columns of a list of records gathered from anywhere in the catalog (the duplicates window's
// files, the search's results): name, catalog path, size, date, comment, digest and real path,
// with the texts, alignments and captions both lists show.

#include <QString>
#include <QVariant>

struct TFileDat;

enum TRecordColumn
{
    rcFileName,
    rcPath,
    rcSize,
    rcDateTime,
    rcComments,
    rcMd5,
    rcRealPath,
    RecordColumnCount
};

// What the column shows of the record (its display role).
QString RecordColumnText(const TFileDat &record, int column);
// The text alignment of the column's cells and caption (the sizes to the right).
QVariant RecordColumnAlignment(int column);
// The column's caption; the date column's depends on the user's locale.
QString RecordColumnCaption(int column, const QString &dateCaption);
// What a list's header shows of the column: its caption and alignment, horizontally.
QVariant RecordColumnHeader(int column, Qt::Orientation orientation, int role, const QString &dateCaption);
