// "Verify MD5 for selected files": the catalogued files read again and compared with their
// digests, on the user-interface thread as a long command that Escape stops; a summary, then the
// findings that need a look in the results window.

#include "CatalogWatch.h"
#include "DigestFileReader.h"
#include "LongOperation.h"
#include "Md5Engine.h"
#include "RemovableVolumes.h"
#include "SearchFilesForm.h"
#include "Verification.h"
#include "main.h"
#include "support.h"

#include <QApplication>
#include <QKeyEvent>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace {

constexpr qint64 BlockSize = qint64(1) << 20;
const QString LineBreak = QStringLiteral("\r\n");

// Escape pressed anywhere in the program while it lives: the command stops between two blocks.
class TEscapeStops : public QObject
{
public:
    TEscapeStops() { qApp->installEventFilter(this); }
    ~TEscapeStops() override { qApp->removeEventFilter(this); }
    bool Stopped() const { return m_stopped; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            m_stopped = true;
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_stopped = false;
};

// What the verification found for one record, and the content it read.
struct TFinding
{
    TFileDat *Record = nullptr;
    std::optional<TVerifyClass> Class; // none while its file is still to be read
    TMd5Text::TDigest Read{};
    TFileFacts Facts;
};

QString findingText(TVerifyClass verifyClass)
{
    switch (verifyClass) {
    case TVerifyClass::Corrupt:
        return QStringLiteral("Corrupt");
    case TVerifyClass::Edited:
        return QStringLiteral("Edited");
    case TVerifyClass::Missing:
        return QStringLiteral("Missing");
    case TVerifyClass::Offline:
        return QStringLiteral("Offline");
    case TVerifyClass::Unreadable:
        return QStringLiteral("Unreadable");
    default:
        return {};
    }
}

// One run of the command: the findings in catalog order, first what the disk says of every
// record, then what reading each file that is there says.
class TVerification
{
public:
    using TReadHook = std::function<void(const QString &, TDigestFileReader &)>;

    // What the disk says; missing files are marked as "Check file(s) existence" marks them, and
    // records being digested are left alone. Gives the bytes there are to read.
    qint64 Look(TCatalog &catalog, const std::vector<TFileDat *> &records)
    {
        TRemovableVolumes volumes = TRemovableVolumes::OfThisSystem();
        qint64 bytes = 0;
        for (TFileDat *record : records) {
            if (record->State == fsDigesting)
                continue;
            TFinding finding{record, std::nullopt, {}, {}};
            finding.Class = ClassBeforeReading(*record, volumes, finding.Facts);
            if (finding.Class == TVerifyClass::Missing)
                catalog.SetRecordState(record, fsMissing);
            if (!finding.Class)
                bytes += finding.Facts.Size;
            m_findings.push_back(finding);
        }
        return bytes;
    }

    // Reads the files in blocks, the progress by bytes, until done or stopped between two blocks.
    void Read(TLongOperation &operation, const TEscapeStops &escape, const TCatalogWatch &watch,
              const TReadHook &hook)
    {
        std::unique_ptr<unsigned char[]> block(new unsigned char[BlockSize]);
        qint64 done = 0;
        for (TFinding &finding : m_findings) {
            if (finding.Class || escape.Stopped() || !watch.Holds(finding.Record))
                continue;
            const QString path = finding.Record->FullPath();
            TDigestFileReader reader(path);
            if (hook)
                hook(path, reader);
            TMd5Context context;
            Md5Init(context);
            qint64 read = 0;
            bool readable = reader.IsOpen();
            while (readable && !escape.Stopped()) {
                const qint64 count = reader.Read(block.get(), BlockSize);
                readable = count >= 0;
                if (count <= 0)
                    break;
                Md5Update(context, block.get(), size_t(count));
                read += count;
                done += count;
                operation.Progress(done);
            }
            if (!watch.Holds(finding.Record) || (escape.Stopped() && readable && read < reader.Size()))
                continue;
            // The file may have been saved since the first look at it: size and date are taken
            // again for the bytes just read, so an edit is not taken for corruption and an
            // accepted digest goes with its own size and date.
            if (!readable || !reader.EndsAsOpened(read) ||
                !ReadFileFacts(path, finding.Facts.Size, finding.Facts.DateTime)) {
                finding.Class = TVerifyClass::Unreadable;
                continue;
            }
            Md5Final(context, finding.Read.data());
            finding.Class = ClassAfterReading(*finding.Record, finding.Read, finding.Facts);
        }
    }

    QString Summary() const
    {
        std::map<TVerifyClass, int> counts;
        int verified = 0, notVerified = 0;
        for (const TFinding &finding : m_findings) {
            if (!finding.Class) {
                ++notVerified;
                continue;
            }
            ++counts[*finding.Class];
            if (*finding.Class != TVerifyClass::WithoutDigest &&
                *finding.Class != TVerifyClass::WithoutRealPath)
                ++verified;
        }
        QString text = QStringLiteral("Verification of ") + QString::number(verified) +
                       QStringLiteral(" file(s):") + LineBreak;
        const auto line = [&](int number, const QString &what) {
            if (number > 0)
                text += LineBreak + QString::number(number) + what;
        };
        line(counts[TVerifyClass::Ok], QStringLiteral(" file(s) unchanged."));
        line(counts[TVerifyClass::Corrupt],
             QStringLiteral(" file(s) corrupt: the content changed while size and date stayed the same."));
        line(counts[TVerifyClass::Edited],
             QStringLiteral(" file(s) edited: the content changed with the size or date."));
        line(counts[TVerifyClass::Missing], QStringLiteral(" file(s) missing, marked in RED."));
        line(counts[TVerifyClass::Offline], QStringLiteral(" file(s) offline: their drive is not there."));
        line(counts[TVerifyClass::Unreadable], QStringLiteral(" file(s) could not be read."));
        line(counts[TVerifyClass::WithoutDigest] + counts[TVerifyClass::WithoutRealPath],
             QStringLiteral(" file(s) without MD5 code or real path were not verified."));
        line(notVerified, QStringLiteral(" file(s) were not verified: the verification was stopped."));
        return text;
    }

    // The findings that need a look, in catalog order, of records the catalog still holds.
    std::vector<std::pair<TFileDat *, QString>> Rows(const TCatalogWatch &watch) const
    {
        std::vector<std::pair<TFileDat *, QString>> rows;
        for (const TFinding &finding : m_findings) {
            const QString text = finding.Class ? findingText(*finding.Class) : QString();
            if (!text.isEmpty() && watch.Holds(finding.Record))
                rows.emplace_back(finding.Record, text);
        }
        return rows;
    }

    // The edited records, with the content their files have now.
    std::map<const TFileDat *, TFinding> Edited() const
    {
        std::map<const TFileDat *, TFinding> edited;
        for (const TFinding &finding : m_findings) {
            if (finding.Class == TVerifyClass::Edited)
                edited.emplace(finding.Record, finding);
        }
        return edited;
    }

private:
    std::vector<TFinding> m_findings;
};

} // namespace

void TDravikForm::MorVerifymd5Click()
{
    std::vector<TFileDat *> named = SelectedRecords();
    if (named.empty()) {
        TFolderNode *folder = m_catalog.CurrentFolder();
        if (!folder) {
            m_prompts.Information(QStringLiteral("Please select a folder and try again."));
            return;
        }
        m_catalog.ForEachFolder(
            [&named](TFolderNode *each) {
                for (const auto &record : each->Records())
                    named.push_back(record.get());
            },
            folder);
        const TCatalogWatch watchFolder(m_catalog, {}, {folder});
        if (!m_prompts.ConfirmYesNo(
                QString::number(named.size()) + QStringLiteral(" file(s) in folder \"") + folder->Name() +
                QStringLiteral("\" and the folders below it will be verified, continue?")) ||
            !watchFolder.Holds(folder))
            return;
    }
    const TCatalogWatch watch(m_catalog, named);
    TVerification verification;
    {
        TLongOperation operation(*this, QStringLiteral("verifying ") + QString::number(named.size()) +
                                            QStringLiteral(" file(s), Escape stops it, please wait..."));
        const TEscapeStops escape;
        operation.SetTotal(verification.Look(m_catalog, watch.Held()));
        verification.Read(operation, escape, watch, m_verifyReadHook);
    }
    m_prompts.Information(verification.Summary());
    const std::vector<std::pair<TFileDat *, QString>> rows = verification.Rows(watch);
    if (rows.empty())
        return;

    // Deletes itself when closed.
    auto *form = new TSearchFilesForm(*this, nullptr, this);
    form->ShowResults(QStringLiteral("Verification results"), rows);
    // Only an edited record takes its file's new content; a corrupt one keeps its digest, which
    // is the proof.
    auto edited = std::make_shared<std::map<const TFileDat *, TFinding>>(verification.Edited());
    form->SetAcceptNewDigest([this, edited](TFileDat *record) {
        const auto found = edited->find(record);
        if (found == edited->end() || record->State == fsDigesting)
            return false;
        m_catalog.AcceptRecordContent(record, found->second.Read, found->second.Facts.Size,
                                      found->second.Facts.DateTime);
        edited->erase(found);
        MarkModified();
        return true;
    });
    showSearchWindow(form);
}
