// Writes the seed inputs of the fuzz targets: catalog files of every shape the program saves,
// and damaged or foreign ones that it must refuse.
//
//   dravik-fuzz-seeds OUTDIR     makes OUTDIR/catalog-file/* and OUTDIR/zstreams/*
//
// Valid catalogs are saved by the program itself; documents it never writes (wrong counts,
// foreign nodes, other encodings) are compressed by it; foreign containers are made by zlib.

#include "Catalog.h"
#include "CatalogFile.h"
#include "CatalogWriter.h"
#include "CompressFiles.h"
#include "support.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <zlib.h>

namespace {

QString g_catalogSeeds;
QString g_streamSeeds;
QTemporaryDir *g_work = nullptr;

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A seed for both targets: the catalog file, and the same bytes behind a choice byte for the
// stream target (reads of 4 KiB, rewound half way).
void seed(const QString &name, const QByteArray &bytes)
{
    writeBytes(g_catalogSeeds + u'/' + name, bytes);
    writeBytes(g_streamSeeds + u'/' + name, QByteArray(1, char(0x1C)) + bytes);
}

QByteArray packed(const QByteArray &plain)
{
    const QString source = g_work->filePath(QStringLiteral("plain.xml"));
    const QString target = g_work->filePath(QStringLiteral("packed.dat"));
    writeBytes(source, plain);
    CompressFile(source, target, 3);
    return readBytes(target);
}

QByteArray saved(const TCatalog &catalog)
{
    const QString path = g_work->filePath(QStringLiteral("saved.dat"));
    QFile::remove(path);
    SaveCatalog(catalog, path);
    return readBytes(path);
}

QByteArray documentOf(const TCatalog &catalog)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    WriteCatalogDocument(catalog, buffer);
    return buffer.data();
}

// zlib's own output: windowBits 9..15 zlib format, -15 raw deflate, 31 gzip.
QByteArray zlibPacked(const QByteArray &plain, int windowBits, const QByteArray &dictionary = {})
{
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    if (!dictionary.isEmpty())
        deflateSetDictionary(&z, reinterpret_cast<const Bytef *>(dictionary.constData()),
                             uInt(dictionary.size()));
    QByteArray out(int(deflateBound(&z, uLong(plain.size()))) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(plain.constData()));
    z.avail_in = uInt(plain.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return out;
}

std::unique_ptr<TFileDat> record(const QString &name, qint64 size, const QString &md5,
                                 const QString &realPath, const QString &comment, double when = 39522.5868)
{
    auto file = std::make_unique<TFileDat>();
    file->FileName = name;
    file->Size = size;
    file->DateTime = when;
    file->RealPath = realPath;
    file->Md5 = md5;
    file->Comment = comment;
    file->State = md5.isEmpty() ? fsPending : fsDigested;
    return file;
}

void add(TCatalog &catalog, TFolderNode *folder, std::unique_ptr<TFileDat> file)
{
    std::vector<std::unique_ptr<TFileDat>> one;
    one.push_back(std::move(file));
    catalog.AppendRecords(folder, std::move(one));
}

void validCatalogs()
{
    {
        TCatalog catalog;
        catalog.AddFolder(nullptr, QStringLiteral("Only"));
        seed(QStringLiteral("valid-one-empty-folder.dat"), saved(catalog));
    }
    TCatalog sample;
    {
        TFolderNode *home = sample.AddFolder(nullptr, QStringLiteral("Home"));
        add(sample, home, record("a.txt", 10, "0123456789abcdef0123456789abcdef", "/data/", ""));
        add(sample, home, record("b.txt", 0, "", "", "no digest, no real path"));
        TFolderNode *photos = sample.AddFolder(home, QStringLiteral("Photos"));
        add(sample, photos, record("p.jpg", 3000000000, "", "/media/card/", "kept", 0));
        sample.AddFolder(photos, QStringLiteral("Empty deep"));
        sample.AddFolder(home, QStringLiteral("Music"));
        TFolderNode *work = sample.AddFolder(nullptr, QStringLiteral("Work"));
        add(sample, work, record("w.doc", -1, "", "/w/", ""));
        seed(QStringLiteral("valid-sample.dat"), saved(sample));
    }
    {
        TCatalog texts;
        TFolderNode *odd = texts.AddFolder(nullptr, QStringLiteral("Caf\u00e9 & <Bar> \"quoted\" 'x'"));
        add(texts, odd,
            record(QStringLiteral("\u65e5\u672c \U0001F600 tab\there"), 7, "",
                   QStringLiteral("/\u00e9t\u00e9/"), QStringLiteral("line\r\nbreak; semi\u0001ctl")));
        texts.AddFolder(odd, QStringLiteral("ends in backslash\\"));
        seed(QStringLiteral("valid-texts.dat"), saved(texts));
    }
    {
        TCatalog deep;
        TFolderNode *folder = nullptr;
        for (int depth = 0; depth < 300; ++depth) {
            folder = deep.AddFolder(folder, QStringLiteral("d%1").arg(depth));
            if (depth % 50 == 0)
                add(deep, folder, record(QStringLiteral("f%1").arg(depth), depth, "", "/deep/", ""));
        }
        seed(QStringLiteral("valid-deep-300.dat"), saved(deep));
    }
    {
        TCatalog wide;
        for (int i = 0; i < 200; ++i)
            wide.AddFolder(nullptr, QStringLiteral("w%1").arg(i));
        TFolderNode *many = wide.AddFolder(nullptr, QStringLiteral("many"));
        for (int i = 0; i < 300; ++i)
            add(wide, many,
                record(QStringLiteral("r%1").arg(i), i, QString(32, QChar(u'a' + i % 6)), "/r/", ""));
        seed(QStringLiteral("valid-wide.dat"), saved(wide));
    }

    // Damaged copies of a valid file.
    const QByteArray good = saved(sample);
    seed(QStringLiteral("damaged-truncated-half.dat"), good.left(good.size() / 2));
    seed(QStringLiteral("damaged-truncated-checksum.dat"), good.left(good.size() - 2));
    QByteArray flipped = good;
    flipped[flipped.size() / 3] = char(flipped[flipped.size() / 3] ^ 0x20);
    seed(QStringLiteral("damaged-bit-flip.dat"), flipped);
    seed(QStringLiteral("damaged-trailing-bytes.dat"), good + "trailing garbage");
    seed(QStringLiteral("foreign-empty-file.dat"), QByteArray());
    seed(QStringLiteral("foreign-plain-xml.dat"), documentOf(sample));

    // Foreign containers.
    const QByteArray document = documentOf(sample);
    seed(QStringLiteral("container-gzip.dat"), zlibPacked(document, 31));
    seed(QStringLiteral("container-raw-deflate.dat"), zlibPacked(document, -15));
    seed(QStringLiteral("container-small-window.dat"), zlibPacked(document, 9));
    seed(QStringLiteral("container-preset-dictionary.dat"), zlibPacked(document, 15, "<Folder"));
    seed(QStringLiteral("container-zeros-1mib.dat"), zlibPacked(QByteArray(1 << 20, '\0'), 15));
}

void handWrittenDocuments()
{
    const QByteArray latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n";
    const QByteArray folder = "<Folder Name=\"F\" Files=\"1\" Folders=\"0\"><Files><File n=\"x\" s=\"1\" "
                              "d=\"03/15/08 14:05\" r=\"/r/\" m=\"\" c=\"\"/></Files></Folder>";
    struct TDocument
    {
        const char *name;
        QByteArray text;
    };
    const TDocument documents[] = {
        {"doc-empty-tree", latin1 + "<Tree Total=\"0\" Folders=\"0\"/>"},
        {"doc-no-declaration", "<Tree Total=\"1\" Folders=\"1\">" + folder + "</Tree>"},
        {"doc-utf8", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Tree Total=\"1\" Folders=\"1\">"
                     "<Folder Name=\"\xC3\xA9t\xC3\xA9\" Files=\"0\" Folders=\"0\"/></Tree>"},
        {"doc-latin1-bytes", latin1 +
                                 "<Tree Total=\"1\" Folders=\"1\"><Folder Name=\"\xE9t\xE9\" Files=\"0\" "
                                 "Folders=\"0\"/></Tree>"},
        {"doc-references", latin1 + "<Tree Folders=\"1\"><Folder Name=\"&#x1F600;&amp;&lt;&#65;&bogus;\" "
                                    "Files=\"0\" Folders=\"0\"/></Tree>"},
        {"doc-missing-attributes", latin1 + "<Tree Folders=\"1\"><Folder Files=\"1\"><Files><File/></Files>"
                                            "</Folder></Tree>"},
        {"doc-folders-without-children", latin1 + "<Tree Total=\"1\" Folders=\"1\"/>"},
        {"doc-files-without-element", latin1 +
                                          "<Tree Folders=\"1\"><Folder Name=\"F\" Files=\"2\" Folders=\"0\"/>"
                                          "</Tree>"},
        {"doc-count-not-decimal", latin1 + "<Tree Folders=\"x1\">" + folder + "</Tree>"},
        {"doc-size-not-decimal", latin1 + "<Tree Folders=\"1\"><Folder Name=\"F\" Files=\"1\"><Files>"
                                          "<File n=\"x\" s=\"12k\"/></Files></Folder></Tree>"},
        {"doc-comment-after-tree", latin1 + "<Tree Folders=\"1\">" + folder + "</Tree><!-- after -->"},
        {"doc-foreign-root", latin1 + "<Catalog/>"},
        {"doc-doctype-entity", latin1 + "<!DOCTYPE Tree [<!ENTITY e \"expanded\">]><Tree Folders=\"1\">"
                                        "<Folder Name=\"&e;\" Files=\"0\" Folders=\"0\"/></Tree>"},
        {"doc-counts-smaller-than-content",
         latin1 + "<Tree Folders=\"1\">" + folder + folder + folder + "</Tree>"},
        {"doc-deep-inside-files", latin1 + "<Tree Folders=\"1\"><Folder Name=\"F\" Files=\"1\"><Files>" +
                                      QByteArray("<x>").repeated(2000) + QByteArray("</x>").repeated(2000) +
                                      "</Files></Folder></Tree>"},
        {"doc-deep-folders", latin1 + "<Tree Folders=\"1\">" +
                                 QByteArray("<Folder Name=\"n\" Files=\"0\" Folders=\"1\">").repeated(3000) +
                                 QByteArray("</Folder>").repeated(3000) + "</Tree>"},
    };
    for (const TDocument &document : documents)
        seed(QString::fromLatin1(document.name) + QStringLiteral(".dat"), packed(document.text));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: dravik-fuzz-seeds OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    g_catalogSeeds = out + QStringLiteral("/catalog-file");
    g_streamSeeds = out + QStringLiteral("/zstreams");
    QDir().mkpath(g_catalogSeeds);
    QDir().mkpath(g_streamSeeds);
    QTemporaryDir work;
    g_work = &work;
    validCatalogs();
    handWrittenDocuments();
    writeBytes(g_streamSeeds + QStringLiteral("/plain-text"),
               QByteArray(1, '\x05') + "plain text, not a stream");
    std::printf("seeds written to %s\n", qPrintable(out));
    return 0;
}
