#pragma once

// Catalog files of folders nested one inside the other, as deep as asked: the shape that once
// exhausted the stack when the folders were freed.

#include "ZStreams.h"

#include <QFile>
#include <QString>

namespace NestedCatalogs {

// A catalog file of `depth` folders, each the only sub-folder of the one before, written without
// indentation (200,000 levels give about 27 KB); the deepest folder holds one record. False when
// the file cannot be written.
inline bool WriteNestedCatalogFile(const QString &path, int depth)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    TZCompressionStream out(file, 3);
    auto write = [&out](const QByteArray &text) { out.Write(text.constData(), text.size()); };
    write("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><Tree Total=\"" + QByteArray::number(depth) +
          "\" Folders=\"1\">");
    const QByteArray open = "<Folder Name=\"n\" Files=\"0\" Folders=\"1\">";
    for (int level = 1; level < depth; ++level)
        write(open);
    write("<Folder Name=\"deepest\" Files=\"1\" Folders=\"0\"><Files><File n=\"bottom.txt\" s=\"5\" "
          "d=\"03/15/08 14:05\" r=\"/deep/\" m=\"\" c=\"\"/></Files></Folder>");
    const QByteArray close = "</Folder>";
    for (int level = 1; level < depth; ++level)
        write(close);
    write("</Tree>");
    out.Finish();
    return file.error() == QFileDevice::NoError;
}

} // namespace NestedCatalogs
