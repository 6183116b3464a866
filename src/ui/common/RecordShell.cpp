#include "RecordShell.h"

#include "FileDat.h"
#include "Prompts.h"
#include "support.h"

#include <QFileInfo>

namespace {

const QString LineBreak = QStringLiteral("\r\n");

// The record when it is there and has a real path; otherwise says which is missing.
const TFileDat *withRealPath(const TFileDat *record, TPrompts &prompts)
{
    if (!record) {
        prompts.Information(QStringLiteral("Please select the file and try again."));
        return nullptr;
    }
    if (record->RealPath.isEmpty()) {
        prompts.Information(QStringLiteral("Selected file doesn't have real path."));
        return nullptr;
    }
    return record;
}

} // namespace

void ShellOpenRecord(const TFileDat *record, TPrompts &prompts, TShell &shell)
{
    if (!withRealPath(record, prompts))
        return;
    const QString path = record->FullPath();
    if (FileSizeOf(path) >= 0)
        shell.Open(path);
    else
        prompts.Error(QStringLiteral("Error, file doesn't exist.") + LineBreak + u'"' + path + u'"');
}

void OpenRecordFolder(const TFileDat *record, TPrompts &prompts, TShell &shell)
{
    if (!withRealPath(record, prompts))
        return;
    if (QFileInfo(record->RealPath).isDir())
        shell.Open(record->RealPath);
    else
        prompts.Error(QStringLiteral("Error, folder doesn't exist.") + LineBreak + u'"' + record->RealPath +
                      u'"');
}

void CopyRecordDigest(const TFileDat *record, TPrompts &prompts, TShell &shell)
{
    if (!record) {
        prompts.Information(QStringLiteral("Please select the file and try again."));
        return;
    }
    const QString digest = record->Md5.Text();
    if (digest.isEmpty()) {
        prompts.Information(QStringLiteral("Selected file doesn't have MD5 code."));
        return;
    }
    shell.SetClipboardText(digest);
}
