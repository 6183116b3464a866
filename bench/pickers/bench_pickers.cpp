// Times the pickers in their real windows on large folders: the file picker on a folder of
// 10,000 files, the folder picker on a folder of 2,000 sub-folders. For each: showing the
// window until every item is listed and the count text is right, "Select all", "Count" (file
// picker) and "Accept" over all of them. Each figure is the median of five rounds on a fresh
// window; the reference is reading the same folder's entries with QDir alone. Last line:
// select_all_ms <median of the file picker's "Select all">.

#include "BenchMedian.h"
#include "BenchPrompts.h"
#include "FilesDialog.h"
#include "FoldersDialog.h"
#include "Prompts.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Files = 10'000;
constexpr int Folders = 2'000;
constexpr int Rounds = 5;

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

[[noreturn]] void fail(const char *what, const QString &detail)
{
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(detail));
    std::exit(1);
}

// Names as a camera and a download folder give them: mixed case, digits, a few extensions.
QString itemName(int i)
{
    static const char *const extensions[] = {"JPG", "png", "mp4", "pdf", "txt"};
    return QStringLiteral("%1_%2.%3")
        .arg(i % 3 ? QStringLiteral("IMG") : QStringLiteral("holiday"))
        .arg(i, 5, 10, QLatin1Char('0'))
        .arg(QString::fromLatin1(extensions[i % 5]));
}

QString stateText(QWidget &form)
{
    return form.findChild<QLabel *>(QStringLiteral("StateLabel"))->text();
}

void repaintList(QWidget &form)
{
    for (auto *view : form.findChildren<QAbstractItemView *>()) {
        if (view->isVisible())
            view->viewport()->repaint();
    }
}

// Shows the window and waits until its count text says the whole folder is listed.
template <typename Form>
double showUntilListed(Form &form, const QString &countText)
{
    QElapsedTimer timer;
    timer.start();
    form.show();
    while (stateText(form) != countText) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (timer.elapsed() > 30'000)
            fail("never listed", stateText(form));
    }
    repaintList(form);
    return msSince(timer);
}

double timed(const std::function<void()> &step, QWidget &form)
{
    QElapsedTimer timer;
    timer.start();
    step();
    repaintList(form);
    return msSince(timer);
}

double readFolderMs(const QString &folder, QDir::Filters filters, qsizetype expected)
{
    QElapsedTimer timer;
    timer.start();
    const QFileInfoList entries = QDir(folder).entryInfoList(filters, QDir::NoSort);
    const double ms = msSince(timer);
    if (entries.size() != expected)
        fail("reference read", QString::number(entries.size()));
    return ms;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir disk;
    const QString files = QDir::cleanPath(disk.filePath(QStringLiteral("files")));
    const QString folders = QDir::cleanPath(disk.filePath(QStringLiteral("folders")));
    QDir().mkpath(files);
    for (int i = 0; i < Files; ++i) {
        QFile file(files + u'/' + itemName(i));
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(i % 4096, 'b')) < 0)
            fail("cannot write", file.fileName());
    }
    for (int i = 0; i < Folders; ++i)
        QDir().mkpath(folders + u'/' + QFileInfo(itemName(i)).completeBaseName());

    TBenchPrompts prompts;
    prompts.Answer = false;
    std::vector<double> readFiles, readFolders;
    std::vector<double> fileShow, fileSelectAll, fileCount, fileAccept;
    std::vector<double> folderShow, folderSelectAll, folderAccept;
    for (int round = 0; round < Rounds; ++round) {
        readFiles.push_back(readFolderMs(files, QDir::Files | QDir::Hidden, Files));
        readFolders.push_back(
            readFolderMs(folders, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, Folders));

        LastFileDialogPath = files + u'/';
        QStringList picked;
        {
            TFileDialogForm form(picked, disk.path(), &prompts);
            fileShow.push_back(showUntilListed(form, QStringLiteral("%1 files").arg(Files)));
            fileSelectAll.push_back(timed([&] { form.SelectAllBtClick(); }, form));
            if (stateText(form) != QStringLiteral("%1 files selected").arg(Files))
                fail("select all", stateText(form));
            fileCount.push_back(timed([&] { form.CountBtClick(); }, form));
            if (!prompts.Shown.value(prompts.Shown.size() - 1)
                     .startsWith(QStringLiteral("Measured %1 file(s)").arg(Files)))
                fail("count", prompts.Shown.value(prompts.Shown.size() - 1));
            fileAccept.push_back(timed([&] { form.AcceptBtClick(); }, form));
        }
        if (picked.size() != Files)
            fail("accept", QString::number(picked.size()));

        LastFoldersDialogPath = folders + u'/';
        {
            TFoldersDialogForm form(picked, disk.path(), &prompts);
            folderShow.push_back(showUntilListed(form, QStringLiteral("%1 folders").arg(Folders)));
            folderSelectAll.push_back(timed([&] { form.SelectAllBtClick(); }, form));
            if (stateText(form) != QStringLiteral("%1 folders selected").arg(Folders))
                fail("select all folders", stateText(form));
            folderAccept.push_back(timed([&] { form.AcceptBtClick(); }, form));
        }
        if (picked.size() != Folders)
            fail("accept folders", QString::number(picked.size()));
    }

    std::printf("file picker, %d files:\n", Files);
    std::printf("  read the folder with QDir alone %.1f ms\n", Median(readFiles));
    std::printf("  show until listed %.1f ms (%.1f x the bare read)\n", Median(fileShow),
                Median(fileShow) / Median(readFiles));
    std::printf("  select all %.1f ms\n", Median(fileSelectAll));
    std::printf("  count %.1f ms\n", Median(fileCount));
    std::printf("  accept %.1f ms\n", Median(fileAccept));
    std::printf("folder picker, %d folders:\n", Folders);
    std::printf("  read the folder with QDir alone %.1f ms\n", Median(readFolders));
    std::printf("  show until listed %.1f ms (%.1f x the bare read)\n", Median(folderShow),
                Median(folderShow) / Median(readFolders));
    std::printf("  select all %.1f ms\n", Median(folderSelectAll));
    std::printf("  accept %.1f ms\n", Median(folderAccept));
    std::printf("listed_ms %.1f\n", Median(fileShow));
    std::printf("select_all_ms %.1f\n", Median(fileSelectAll));
    return 0;
}
