// Saves a generated catalog of 1,000,000 records in 1,000 folders, loads it back, checks that
// both are equal, and times zlib's deflate (level 9) and inflate alone on the same document, in
// alternating rounds; prints the medians. Memory is measured on the first load.
// Usage: bench-catalog-io [records] [folders]
//        bench-catalog-io save FILE | load FILE | csv FILE   (one step alone, for a profiler)

#include "BenchMedian.h"
#include "Catalog.h"
#include "CatalogFile.h"
#include "CatalogWriter.h"
#include "CsvExport.h"
#include "GeneratedCatalog.h"
#include "support.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <string>
#include <unordered_set>
#include <zlib.h>

namespace {

// A field of /proc/self/status in bytes.
qint64 statusBytes(const char *field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0)
            return std::stoll(line.substr(key.size())) * 1024;
    }
    return -1;
}

void resetPeakMemory()
{
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5"; // VmHWM starts again from VmRSS
}

bool sameCatalog(const TCatalog &a, const TCatalog &b)
{
    std::vector<const TFolderNode *> fa, fb;
    a.ForEachFolder([&](TFolderNode *f) { fa.push_back(f); });
    b.ForEachFolder([&](TFolderNode *f) { fb.push_back(f); });
    if (fa.size() != fb.size())
        return false;
    for (size_t i = 0; i < fa.size(); ++i) {
        const TFolderNode &x = *fa[i], &y = *fb[i];
        if (x.Name() != y.Name() || x.Row() != y.Row() || x.RecordCount() != y.RecordCount() ||
            (x.Parent() == nullptr) != (y.Parent() == nullptr))
            return false;
        for (int r = 0; r < x.RecordCount(); ++r) {
            const TFileDat &p = *x.Record(r), &q = *y.Record(r);
            if (p.FileName != q.FileName || p.Size != q.Size ||
                DateText(p.DateTime) != DateText(q.DateTime) || p.RealPath != q.RealPath || p.Md5 != q.Md5 ||
                p.Comment != q.Comment || p.State != q.State)
                return false;
        }
    }
    return true;
}

// The heap a text's characters take (with the allocator's own word), 0 for a shared one seen before.
size_t textBytes(const QString &text, std::unordered_set<const void *> &seen)
{
    const void *block = const_cast<QString &>(text).data_ptr().d_ptr();
    return block && seen.insert(block).second ? malloc_usable_size(const_cast<void *>(block)) + sizeof(size_t)
                                              : 0;
}

// Where the resident bytes of the loaded records are: the records themselves, each text field,
// the folders' lists of record pointers.
void printRecordBytes(const TCatalog &catalog, int records)
{
    std::unordered_set<const void *> seen;
    size_t record = 0, name = 0, path = 0, digest = 0, comment = 0, list = 0;
    catalog.ForEachFolder([&](TFolderNode *folder) {
        list += size_t(folder->RecordCount()) * sizeof(void *);
        for (const auto &file : folder->Records()) {
            record += malloc_usable_size(file.get()) + sizeof(size_t);
            name += textBytes(file->FileName, seen);
            path += textBytes(file->RealPath, seen);
            // A digest lives in the record; only another text kept in its place has a block.
            digest += file->Md5.Digest() ? 0 : textBytes(file->Md5.Text(), seen);
            comment += textBytes(file->Comment, seen);
        }
    });
    const double n = records;
    std::printf(
        "heap_bytes_per_record %.1f: record %.1f (sizeof %zu), FileName %.1f, RealPath %.1f, Md5 %.1f, "
        "Comment %.1f, list %.1f\n",
        double(record + name + path + digest + comment + list) / n, double(record) / n, sizeof(TFileDat),
        double(name) / n, double(path) / n, double(digest) / n, double(comment) / n, double(list) / n);
}

double seconds(QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    const std::string step = argc == 3 ? argv[1] : "";
    if (step == "save" || step == "load" || step == "csv") {
        TCatalog catalog;
        QElapsedTimer timer;
        if (step == "save") {
            GenerateCatalog(catalog, 1000000, 1000, 1);
            timer.start();
            SaveCatalog(catalog, QString::fromLocal8Bit(argv[2]));
        } else if (step == "csv") {
            LoadCatalog(catalog, QString::fromLocal8Bit(argv[2]));
            timer.start();
            ExportCatalogCsvFile(catalog, QString::fromLocal8Bit(argv[2]) + QStringLiteral(".csv"));
        } else {
            timer.start();
            LoadCatalog(catalog, QString::fromLocal8Bit(argv[2]));
        }
        std::printf("%s_seconds %.3f\n", argv[1], seconds(timer));
        return 0;
    }
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int folders = argc > 2 ? std::atoi(argv[2]) : 1000;
    constexpr quint32 Seed = 20240611;
    // Saving and zlib alone take turns, and so do loading and inflating: a busy moment of the
    // machine then weighs on both sides of a ratio, and the medians leave the worst round out.
    constexpr int Rounds = 3;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.dat"));

    QElapsedTimer timer;
    std::vector<double> saveSeconds, deflateSeconds, loadSeconds, inflateSeconds;
    QByteArray packed;
    qint64 plainSize = 0;
    {
        TCatalog original;
        GenerateCatalog(original, records, folders, Seed);
        QBuffer xml;
        xml.open(QIODevice::WriteOnly);
        WriteCatalogDocument(original, xml);
        const QByteArray &plain = xml.data();
        plainSize = plain.size();
        for (int round = 0; round < Rounds; ++round) {
            timer.start();
            SaveCatalog(original, path);
            saveSeconds.push_back(seconds(timer));
            packed = QByteArray(qsizetype(compressBound(uLong(plain.size()))), '\0');
            uLongf packedSize = uLongf(packed.size());
            timer.start();
            compress2(reinterpret_cast<Bytef *>(packed.data()), &packedSize,
                      reinterpret_cast<const Bytef *>(plain.constData()), uLong(plain.size()), 9);
            deflateSeconds.push_back(seconds(timer));
            packed.resize(qsizetype(packedSize));
        }
    }

    resetPeakMemory();
    const qint64 before = statusBytes("VmRSS");
    TCatalog loaded;
    timer.start();
    auto totals = LoadCatalog(loaded, path);
    loadSeconds.push_back(seconds(timer));
    const qint64 peak = statusBytes("VmHWM");
    const qint64 rssAfter = statusBytes("VmRSS");
    for (int round = 0; round < Rounds; ++round) {
        QByteArray unpacked(plainSize, '\0');
        uLongf unpackedSize = uLongf(unpacked.size());
        timer.start();
        uncompress(reinterpret_cast<Bytef *>(unpacked.data()), &unpackedSize,
                   reinterpret_cast<const Bytef *>(packed.constData()), uLong(packed.size()));
        inflateSeconds.push_back(seconds(timer));
        if (unpackedSize != uLongf(plainSize))
            return 1;
        if (round + 1 < Rounds) {
            loaded.ClearCatalog(); // as the first round found it: no catalog to dispose of first
            timer.start();
            totals = LoadCatalog(loaded, path);
            loadSeconds.push_back(seconds(timer));
        }
    }

    TCatalog again;
    GenerateCatalog(again, records, folders, Seed);
    if (!totals || totals->Files != records || !sameCatalog(again, loaded)) {
        std::printf("loaded catalog differs from the saved one\n");
        return 1;
    }
    const double save = Median(saveSeconds), deflate9 = Median(deflateSeconds);
    const double load = Median(loadSeconds), inflate = Median(inflateSeconds);

    std::printf("records %d in %d folders\n", records, folders);
    std::printf("medians of %d alternating rounds\n", Rounds);
    std::printf("xml_bytes %lld\n", static_cast<long long>(plainSize));
    std::printf("file_bytes %lld\n", static_cast<long long>(QFile(path).size()));
    std::printf("save_seconds %.3f\n", save);
    std::printf("deflate9_seconds %.3f\n", deflate9);
    std::printf("save_vs_deflate9 %.2f\n", save / deflate9);
    std::printf("load_seconds %.3f\n", load);
    std::printf("inflate_seconds %.3f\n", inflate);
    std::printf("load_peak_bytes_per_record %.0f\n", double(peak - before) / records);
    std::printf("rss_after_load_bytes %lld (%.0f per record)\n", static_cast<long long>(rssAfter),
                double(rssAfter - before) / records);
    printRecordBytes(loaded, records);
    std::printf("load_vs_inflate %.2f\n", load / inflate);
    return 0;
}
