// Adding through the window, offscreen, with the pickers answered at once:
// - "Add folders" over a generated tree of 100,000 small files in 2,000 directories, four levels
//   deep (5 x 5 x 10 x 8 directories below the top), timed until every record is in the catalog;
//   against `find DIR -type f -printf '%s %T@ %p\n' > /dev/null` over the same tree, which also
//   looks at every file's size and date. Rounds alternate, three each, tree in the page cache.
// - 10,000 files (on disk) added with AddFilesToFolder to a folder that already holds 100,000
//   records, until the list shows them.
// Prints the medians and, last, "ratio <add/find>".
//
//   bench-add-folders [files]   (default 100000)

#include "BenchMedian.h"
#include "BenchProcess.h"
#include "BenchPrompts.h"
#include "main.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeView>
#include <cstdio>

namespace {

constexpr int Rounds = 3;
constexpr int AddedFiles = 10'000;
constexpr int HeldRecords = 100'000;

[[noreturn]] void fail(const QString &text)
{
    std::fprintf(stderr, "bench-add-folders: %s\n", qPrintable(text));
    std::exit(1);
}

void writeFile(const QString &path, int size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(size, 'b')) != size)
        fail(QStringLiteral("cannot write %1").arg(path));
}

// 2,000 leaf directories four levels below the top, the files spread over them.
QStringList makeTree(const QString &top, int files)
{
    QStringList leaves;
    for (int a = 0; a < 5; ++a)
        for (int b = 0; b < 5; ++b)
            for (int c = 0; c < 10; ++c)
                for (int d = 0; d < 8; ++d)
                    leaves << QStringLiteral("%1/a%2/b%3/c%4/d%5").arg(top).arg(a).arg(b).arg(c).arg(d);
    for (const QString &leaf : std::as_const(leaves))
        if (!QDir().mkpath(leaf))
            fail(QStringLiteral("cannot create %1").arg(leaf));
    for (int i = 0; i < files; ++i)
        writeFile(QStringLiteral("%1/f%2.dat").arg(leaves[i % leaves.size()]).arg(i), 1 + i % 512);
    return leaves;
}

double timeFind(const QString &top)
{
    return SecondsOfRun(QStringLiteral("find"), {top, "-type", "f", "-printf", "%s %T@ %p\\n"});
}

double timeAddFolders(const QString &top, int files)
{
    TBenchPrompts prompts;
    TBenchShell shell;
    TDravikForm form(prompts, shell);
    form.show();
    QCoreApplication::processEvents();
    form.SelectFolder(form.Catalog().AddFolder(nullptr, QStringLiteral("Home")));
    prompts.PickedFolders = {top};
    // Digests would start on the first record: this measures the adding alone.
    form.Scheduler().StopDigest();
    QElapsedTimer timer;
    timer.start();
    form.AddFoldersBtClick();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    form.Catalog().ClearMd5Queue();
    if (int(form.Catalog().Md5Queue().size()) != 0 || !prompts.Shown.isEmpty())
        fail(QStringLiteral("unexpected boxes: %1").arg(prompts.Shown.join(u' ')));
    int records = 0;
    form.Catalog().ForEachFolder([&](TFolderNode *folder) { records += folder->RecordCount(); });
    if (records != files)
        fail(QStringLiteral("%1 records instead of %2").arg(records).arg(files));
    form.SetModified(false);
    form.Catalog().ClearCatalog();
    return seconds;
}

double timeAddFilesToLargeFolder(const QString &root)
{
    QDir().mkpath(root);
    QStringList candidates;
    for (int i = 0; i < AddedFiles; ++i) {
        candidates << QStringLiteral("%1/new%2.jpg").arg(root).arg(i);
        writeFile(candidates.last(), 100 + i % 900);
    }
    TBenchPrompts prompts;
    TBenchShell shell;
    TDravikForm form(prompts, shell);
    form.show();
    TFolderNode *folder = form.Catalog().AddFolder(nullptr, QStringLiteral("Large"));
    std::vector<std::unique_ptr<TFileDat>> held;
    for (int i = 0; i < HeldRecords; ++i) {
        auto record = std::make_unique<TFileDat>();
        // Every name also stands among the candidates in another letter case, so every candidate
        // is looked up on disk, and none has the held record's size.
        record->FileName =
            i < AddedFiles ? QStringLiteral("NEW%1.JPG").arg(i) : QStringLiteral("IMG_%1.JPG").arg(i);
        record->Size = 5000;
        record->RealPath = QStringLiteral("/home/user/Pictures/");
        record->State = fsDigested;
        held.push_back(std::move(record));
    }
    form.Catalog().AppendRecords(folder, std::move(held));
    form.SelectFolder(folder);
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    form.AddFilesToFolder(candidates, folder);
    QCoreApplication::processEvents(); // the list painted with the new rows
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    form.Scheduler().StopDigest();
    form.Catalog().ClearMd5Queue();
    if (folder->RecordCount() != HeldRecords + AddedFiles || !prompts.Shown.isEmpty())
        fail(QStringLiteral("the large folder holds %1 records").arg(folder->RecordCount()));
    form.SetModified(false);
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int files = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100'000;
    QTemporaryDir dir;
    const QString top = dir.filePath(QStringLiteral("tree"));
    makeTree(top, files);
    std::printf("%d files in 2000 directories, four levels deep\n", files);
    timeFind(top); // into the page cache

    std::vector<double> adds, finds;
    for (int round = 0; round < Rounds; ++round) {
        finds.push_back(timeFind(top));
        adds.push_back(timeAddFolders(top, files));
        std::printf("round %d: add folders %.3f s, find %.3f s\n", round + 1, adds.back(), finds.back());
        std::fflush(stdout);
    }
    const double add = Median(adds);
    const double find = Median(finds);

    std::vector<double> largeFolder;
    for (int round = 0; round < Rounds; ++round)
        largeFolder.push_back(timeAddFilesToLargeFolder(dir.filePath(QStringLiteral("candidates"))));
    std::printf("add_folders_seconds %.3f\nfind_seconds %.3f\nadd_10000_to_100000_seconds %.3f\nratio %.2f\n",
                add, find, Median(largeFolder), add / find);
    return 0;
}
