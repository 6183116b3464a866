// Adding files to the current folder (picked or dropped) and folder structures from disk.

#include "AddCandidates.h"
#include "CatalogWatch.h"
#include "FilesListView.h"
#include "FolderScan.h"
#include "FoldersTreeView.h"
#include "LongOperation.h"
#include "UpdatesSuspended.h"
#include "main.h"

#include <QCoreApplication>

namespace {

const QString LineBreak = QStringLiteral("\r\n");

// What a walk passed over, for the box after "Add folders"; empty when it passed over nothing.
QString walkReportText(const TWalkReport &report)
{
    QStringList lines;
    if (report.UnreadableFolders.Count > 0)
        lines << QString::number(report.UnreadableFolders.Count) +
                     QStringLiteral(" folder(s) could not be read, their files were not added.");
    if (report.UnusableNames.Count > 0)
        lines << QString::number(report.UnusableNames.Count) +
                     QStringLiteral(" file(s) or folder(s) were not added, their names are not valid text.");
    if (report.LongPaths.Count > 0)
        lines << QString::number(report.LongPaths.Count) +
                     QStringLiteral(" file(s) or folder(s) were not added, their paths are too long.");
    return lines.join(LineBreak);
}

} // namespace

void TDravikForm::AddFilesBtClick()
{
    TFolderNode *folder = m_catalog.CurrentFolder();
    if (!folder)
        return;
    // The picker is modal, and meanwhile the digest queue may make another folder current: the
    // files go into the folder they were picked for.
    const TCatalogWatch watch(m_catalog, {}, {folder});
    QStringList candidates = m_prompts.PickFiles(QString());
    if (!watch.Holds(folder))
        return;
    AddFilesToFolder(std::move(candidates), folder);
    FilesList->setFocus();
}

void TDravikForm::AddFilesToFolder(QStringList candidates, TFolderNode *folder)
{
    if (candidates.isEmpty())
        return;
    int duplicates = 0;
    int missing = 0;
    {
        TLongOperation operation(*this);
        duplicates = DropCandidatesInFolder(*folder, candidates);
        missing = DropMissingCandidates(candidates);
        operation.SetTotal(candidates.size());
        std::vector<std::unique_ptr<TFileDat>> records;
        records.reserve(size_t(candidates.size()));
        for (qsizetype taken = 1; taken <= candidates.size(); ++taken) {
            operation.Progress(taken);
            records.push_back(NewRecordFromDisk(candidates[taken - 1]));
        }
        // Joined in one go: the list and the queue see them together, each in candidate order.
        m_catalog.AddRecords(folder, std::move(records));
        SetModified(true);
    }
    // The boxes let messages run: the folder is shown afterwards only if it is still there.
    const TCatalogWatch watch(m_catalog, {}, {folder});
    if (duplicates > 0)
        m_prompts.Information(
            QString::number(duplicates) +
            QStringLiteral(
                " file(s) was not added, already exists in the current folder (same filename and size)."));
    if (missing > 0)
        m_prompts.Information(
            QString::number(missing) +
            QStringLiteral(" file(s) was not added, does not exist or cannot be accessed."));
    if (watch.Holds(folder)) {
        FillFileList(folder);
        SelectFolder(folder);
    }
    if (!m_scheduler.Md5Running() && !m_catalog.Md5Queue().empty())
        m_scheduler.PostMd5Next();
}

void TDravikForm::HandleDroppedFiles(const QStringList &paths)
{
    if (paths.isEmpty() || !m_commands->MayRun(TCommandStates::cmDropFiles))
        return;
    // The files are added once the drop has been answered (the file manager waits for that
    // answer, and adding shows boxes), into the folder current at the drop: the digest queue may
    // show another one meanwhile.
    TFolderNode *folder = m_catalog.CurrentFolder();
    auto watch = std::make_shared<TCatalogWatch>(m_catalog, std::vector<TFileDat *>(),
                                                 std::vector<TFolderNode *>{folder});
    QMetaObject::invokeMethod(
        this,
        [this, paths, folder, watch] {
            if (!watch->Holds(folder))
                return;
            run(TCommandStates::cmDropFiles, [&] {
                AddFilesToFolder(paths, folder);
                FilesList->setFocus();
            });
        },
        Qt::QueuedConnection);
}

void TDravikForm::AddFoldersBtClick()
{
    // Taken before the picker, which is modal while the digest queue may switch folders.
    const TFolderNode *current = m_catalog.CurrentFolder();
    const QString base = current ? TCatalog::FolderPath(current) : QString();
    const QStringList picked = m_prompts.PickFolders(QString());
    if (!picked.isEmpty()) {
        TWalkReport report;
        {
            TLongOperation operation(*this, QStringLiteral("reading ") + QString::number(picked.size()) +
                                                QStringLiteral(" folders, please wait..."));
            const TUpdatesSuspended suspended(FoldersTree);
            const auto progress = [&operation](int done, int total) {
                operation.SetTotal(total);
                operation.Progress(done);
            };
            for (const QString &folder : picked)
                AddFolderStructure(m_catalog, base, folder, progress, &report);
            SetModified(true);
            // The digest queue that follows puts its own text there.
            operation.LeaveWaitText();
        }
        const QString passedOver = walkReportText(report);
        if (!passedOver.isEmpty())
            m_prompts.Information(passedOver);
    }
    if (!m_scheduler.Md5Running() && !m_catalog.Md5Queue().empty())
        m_scheduler.PostMd5Next();
}
