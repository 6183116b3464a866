// The cost of --json against the text output of the same records, at two catalog sizes:
// `dravik-cli search CATALOG '*'` prints every record (the size of a dump), with and without
// --json, and with --count for the load and the search alone, so the printing's own cost is the
// difference; then the records written in this process as search writes them, text lines against
// JSON objects, into /dev/null. Medians of alternating rounds; the cost per record at both sizes
// shows whether it stays flat.

#include "BenchMedian.h"
#include "BenchProcess.h"
#include "CatalogFile.h"
#include "CliJson.h"
#include "GeneratedCatalog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int Rounds = 3;
constexpr quint32 Seed = 31;

std::vector<const TFileDat *> everyRecord(const TCatalog &catalog)
{
    std::vector<const TFileDat *> records;
    catalog.ForEachFolder([&](TFolderNode *folder) {
        for (const auto &record : folder->Records())
            records.push_back(record.get());
    });
    return records;
}

double writeTextSeconds(const std::vector<const TFileDat *> &records, FILE *sink)
{
    QElapsedTimer timer;
    timer.start();
    TLineWriter out(sink);
    QString line;
    for (const TFileDat *record : records) {
        line.clear();
        line += TCatalog::FolderPath(record->Folder) + record->FileName + u'\t' +
                QString::number(record->Size) + u'\t' + DateText(record->DateTime) + u'\t' + record->RealPath;
        out.Line(line);
    }
    out.Finish();
    return double(timer.nsecsElapsed()) / 1e9;
}

double writeJsonSeconds(const std::vector<const TFileDat *> &records, FILE *sink)
{
    QElapsedTimer timer;
    timer.start();
    TLineWriter out(sink);
    for (const TFileDat *record : records) {
        TJsonObject object("record");
        WriteJson(out, object.Record(*record, TCatalog::FolderPath(record->Folder)));
    }
    out.Finish();
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString program = QStringLiteral(DRAVIK_CLI_PATH);
    FILE *sink = std::fopen("/dev/null", "wb");
    double lastRatio = 0;
    for (const int records : {200'000, 1'000'000}) {
        TCatalog catalog;
        GenerateCatalog(catalog, records, records / 1000, Seed);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bench.dat"));
        SaveCatalog(catalog, path);

        std::vector<double> text, json, count, inText, inJson;
        const QString all = QStringLiteral("*");
        const std::vector<const TFileDat *> list = everyRecord(catalog);
        for (int round = 0; round < Rounds; ++round) {
            text.push_back(SecondsOfRun(program, {QStringLiteral("search"), path, all}));
            json.push_back(
                SecondsOfRun(program, {QStringLiteral("search"), QStringLiteral("--json"), path, all}));
            count.push_back(
                SecondsOfRun(program, {QStringLiteral("search"), QStringLiteral("--count"), path, all}));
            inText.push_back(writeTextSeconds(list, sink));
            inJson.push_back(writeJsonSeconds(list, sink));
        }
        const double printText = Median(text) - Median(count);
        const double printJson = Median(json) - Median(count);
        std::printf("%7d records: search text %.3f s, --json %.3f s, --count %.3f s; printing alone: text "
                    "%.0f ns, json %.0f ns a record\n",
                    records, Median(text), Median(json), Median(count), printText * 1e9 / records,
                    printJson * 1e9 / records);
        std::printf("%7d records in process: text %.0f ns, json %.0f ns a record\n", records,
                    Median(inText) * 1e9 / records, Median(inJson) * 1e9 / records);
        std::printf("%7d records: json_vs_text %.2f (whole run), printing_json_vs_text %.2f, "
                    "in_process_json_vs_text %.2f\n",
                    records, Median(json) / Median(text), printJson / printText,
                    Median(inJson) / Median(inText));
        lastRatio = Median(json) / Median(text);
    }
    std::fclose(sink);
    std::printf("ratio %.2f\n", lastRatio);
    return 0;
}
