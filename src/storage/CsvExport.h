#pragma once

// The catalog as semicolon-separated text for spreadsheets: a header line, then one line per
// record, folders in pre-order and records in list order. Every field is followed by ";"; a field
// that contains ";", a quotation mark, a carriage return or a line feed is put in quotation
// marks with inner quotation marks doubled, every other field is written as it is. Lines end in
// CR LF, the text is in the system's 8-bit encoding.
//
//   MD5 code;Path;Filename;Size;File date/time;Comments;Real file path;
//   <Md5>;<FolderPath>;<FileName>;<Size>;<LocaleDateTimeText>;<Comment>;<RealPath>;

#include "Progress.h"

#include <QString>

class QIODevice;
class TCatalog;
class TFolderNode;
struct TFileDat;

inline constexpr char CsvHeader[] = "MD5 code;Path;Filename;Size;File date/time;Comments;Real file path;";

// One record's line without its line end; folderPath is TCatalog::FolderPath of its folder.
QString CsvLine(const TFileDat &record, const QString &folderPath);

// Writes the header and every record to the open device. Calls progress(position, folder count)
// after each folder. Returns the number of records written. Throws EFileError when the device
// refuses a write.
qint64 ExportCatalogCsv(const TCatalog &catalog, QIODevice &device, const TProgressFn &progress = {});

// The same into a file, replaced whole (ReplaceFile.h): when writing fails, the file under the
// path is as it was and nothing else is left beside it.
qint64 ExportCatalogCsvFile(const TCatalog &catalog, const QString &path, const TProgressFn &progress = {});
