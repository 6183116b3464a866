#include "CsvExport.h"

#include "Catalog.h"
#include "ReplaceFile.h"
#include "StorageErrors.h"
#include "support.h"

#include <QFile>
#include <QStringEncoder>
#include <algorithm>

namespace {

constexpr qsizetype FlushSize = 65536;

class TCsvOutput
{
public:
    explicit TCsvOutput(QIODevice &device) : m_device(device), m_encoder(QStringConverter::System) {}

    void Line(const QString &text)
    {
        m_bytes += m_encoder.encode(text);
        m_bytes += "\r\n";
        if (m_bytes.size() >= FlushSize)
            Flush();
    }
    void Flush()
    {
        WriteAll(m_device, m_bytes.constData(), m_bytes.size());
        m_bytes.clear();
    }

private:
    QIODevice &m_device;
    QStringEncoder m_encoder;
    QByteArray m_bytes;
};

} // namespace

namespace {

// A field that holds the separator, a quotation mark or a line break goes in quotation marks
// (inner ones doubled), so spreadsheets keep the columns; every other field stays as it is.
void AppendField(QString &line, QStringView field)
{
    static const QString special = QStringLiteral(";\"\r\n");
    const bool quoted = std::any_of(field.begin(), field.end(), [](QChar c) { return special.contains(c); });
    if (!quoted) {
        line += field;
    } else {
        line += u'"';
        for (QChar c : field) {
            if (c == u'"')
                line += u'"';
            line += c;
        }
        line += u'"';
    }
    line += u';';
}

} // namespace

QString CsvLine(const TFileDat &record, const QString &folderPath)
{
    QString line;
    line.reserve(record.Md5.size() + folderPath.size() + record.FileName.size() + record.Comment.size() +
                 record.RealPath.size() + 48);
    TMd5Text::TTextBuffer digest;
    AppendField(line, record.Md5.View(digest));
    for (const QString &field : {folderPath, record.FileName, QString::number(record.Size),
                                 LocaleDateTimeText(record.DateTime), record.Comment, record.RealPath})
        AppendField(line, field);
    return line;
}

qint64 ExportCatalogCsv(const TCatalog &catalog, QIODevice &device, const TProgressFn &progress)
{
    TCsvOutput out(device);
    out.Line(QString::fromLatin1(CsvHeader));
    const qint64 folderCount = catalog.FolderCount();
    qint64 lines = 0;
    qint64 position = 0;
    catalog.ForEachFolder([&](TFolderNode *folder) {
        if (folder->HasRecordList()) {
            const QString path = TCatalog::FolderPath(folder);
            for (const auto &record : folder->Records()) {
                out.Line(CsvLine(*record, path));
                ++lines;
            }
        }
        if (progress)
            progress(position, folderCount);
        ++position;
    });
    out.Flush();
    return lines;
}

qint64 ExportCatalogCsvFile(const TCatalog &catalog, const QString &path, const TProgressFn &progress)
{
    // Written beside and renamed into place: a full disk leaves the previous export, not half of
    // a new one that looks complete.
    TReplacementFile next(path);
    const qint64 lines = ExportCatalogCsv(catalog, next.File(), progress);
    next.Commit();
    return lines;
}
