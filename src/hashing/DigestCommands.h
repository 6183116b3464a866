#pragma once

// The digest commands of the "More options..." menu, without their boxes: each does its work on
// the catalog and the scheduler and returns the box the window must show (if any), so the window
// handler only shows it. User-interface thread only.

#include <QList>
#include <QString>
#include <functional>
#include <optional>

class TDigestScheduler;
struct TFileDat;

enum TMessageKind
{
    mkNone,        // show nothing
    mkInformation, // "Information" box
    mkError,       // "Error" box
};

struct TCommandMessage
{
    TMessageKind Kind = mkNone;
    QString Text;
    // The queue is to start: WM_MD5NEXT is posted once the box (if any) is closed, so the queue
    // does not switch folders under an open box.
    bool PostMd5Next = false;
};

// "Skip file being calculated": stops the digest in progress; the queue goes on with the next.
TCommandMessage SkipFileBeingCalculated(TDigestScheduler &scheduler);
// "Stop all MD5 calculation": empties the queue and stops the digest in progress.
TCommandMessage StopAllMd5Calculation(TDigestScheduler &scheduler);
// "Restart all MD5 calculation": queues every record without digest whose file is present.
TCommandMessage RestartAllMd5Calculation(TDigestScheduler &scheduler);
// "Recalculate MD5 for selected files": selected holds the records of the selected rows of the
// current folder's list. The window clears the selection afterwards. Both leave posting
// WM_MD5NEXT to the caller (PostMd5Next).
TCommandMessage RecalculateMd5(TDigestScheduler &scheduler, const QList<TFileDat *> &selected);

// "Search for specific MD5 code": ask shows the input box and gives its text, or nothing when
// cancelled. When Found is set the window shows and selects that record's folder and row.
struct TSearchOutcome
{
    TCommandMessage Message;
    TFileDat *Found = nullptr;
};
TSearchOutcome SearchMd5Code(TDigestScheduler &scheduler, const std::function<std::optional<QString>()> &ask);

// The typed code without blanks, in lower case.
QString NormalisedMd5Code(const QString &typed);
