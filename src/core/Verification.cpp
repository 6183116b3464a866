#include "Verification.h"

#include "RemovableVolumes.h"
#include "support.h"

std::optional<TVerifyClass> ClassBeforeReading(const TFileDat &record, TRemovableVolumes &volumes,
                                               TFileFacts &facts)
{
    if (record.RealPath.isEmpty())
        return TVerifyClass::WithoutRealPath;
    const QString path = record.FullPath();
    // One look at the disk for size and date: a catalog of millions of files is looked at first.
    if (!ReadFileFacts(path, facts.Size, facts.DateTime)) {
        facts.Size = -1;
        return volumes.IsOffline(path) ? TVerifyClass::Offline : TVerifyClass::Missing;
    }
    if (record.Md5.isEmpty())
        return TVerifyClass::WithoutDigest;
    return std::nullopt;
}

TVerifyClass ClassAfterReading(const TFileDat &record, const TMd5Text::TDigest &read, const TFileFacts &facts)
{
    if (SameDigest(record.Md5, read))
        return TVerifyClass::Ok;
    const bool sameSize = record.Size == facts.Size;
    const bool sameDate = DateMinute(record.DateTime) == DateMinute(facts.DateTime);
    return sameSize && sameDate ? TVerifyClass::Corrupt : TVerifyClass::Edited;
}

bool SameDigest(const TMd5Text &stored, const TMd5Text::TDigest &read)
{
    if (const TMd5Text::TDigest *bytes = stored.Digest())
        return *bytes == read;
    return stored.Text().compare(TMd5Text(read).Text(), Qt::CaseInsensitive) == 0;
}

const char *VerifyClassName(TVerifyClass verifyClass)
{
    switch (verifyClass) {
    case TVerifyClass::Ok:
        return "ok";
    case TVerifyClass::Edited:
        return "edited";
    case TVerifyClass::Corrupt:
        return "corrupt";
    case TVerifyClass::Missing:
        return "missing";
    case TVerifyClass::Offline:
        return "offline";
    case TVerifyClass::Unreadable:
        return "unreadable";
    case TVerifyClass::WithoutDigest:
        return "nodigest";
    case TVerifyClass::WithoutRealPath:
        return "norealpath";
    }
    return "";
}
