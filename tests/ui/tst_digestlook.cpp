#include "FileListModel.h"
#include "FormFixture.h"
#include "MD5ThUnit.h"
#include "RepaintPacer.h"

#include <QCryptographicHash>
#include <QPaintEvent>
#include <functional>

namespace {

// Hands every event of a widget to a function, before the widget sees it.
class TEventRecorder : public QObject
{
public:
    TEventRecorder(QObject *watched, std::function<void(QEvent *)> record) : m_record(std::move(record))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        m_record(event);
        return false;
    }

private:
    std::function<void(QEvent *)> m_record;
};

} // namespace

class TestDigestLook : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aRowTurnsBlueWhileDigestedAndShowsItsDigestAfter()
    {
        TFormFixture f;
        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        TFolderNode *other = f.Catalog().AddFolder(nullptr, QStringLiteral("Other"));
        const QString path = f.MakeFile(QStringLiteral("a.bin"), 100000);
        f.Form->SelectFolder(other);

        // The worker waits after its first block until the test has looked at the row.
        QAtomicInt reached, released;
        f.Form->Scheduler().SetWorkerSetup([&](CMd5Thread &worker) {
            worker.SetStepHook([&](CMd5Thread &w, TWorkerStep step, qint64) {
                if (step != wsBlockDone)
                    return;
                reached.storeRelease(1);
                while (!released.loadAcquire() && !w.isInterruptionRequested())
                    QThread::msleep(1);
            });
        });
        TFileDat *record = f.Catalog().AddRecord(folder, NewRecordFromDisk(path));
        f.Form->Scheduler().PostMd5Next();
        QTRY_VERIFY(reached.loadAcquire());

        // The scheduler brought the record's folder into view.
        QCOMPARE(f.Catalog().CurrentFolder(), folder);
        const int row = f.Form->FindRecordRow(record);
        QCOMPARE(row, 0);
        const QModelIndex index = f.FilesList()->model()->index(row, 0);
        QCOMPARE(index.data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
        QCOMPARE(TFileListModel::ImageIndexOf(record), 3);

        released.storeRelease(1);
        QTRY_COMPARE(record->State, fsDigested);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString expected =
            QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex());
        QCOMPARE(f.FilesList()->model()->index(row, TFileListModel::colMd5).data().toString(), expected);
        QVERIFY(!index.data(Qt::ForegroundRole).isValid());
        QTRY_COMPARE(f.Form->StatusText(), QStringLiteral("Operation completed"));
        QVERIFY(f.Form->Modified());
    }

    // Tiny files are digested in an instant; the view must still have shown each one first.
    void theViewFollowsTheQueueWhateverTheWorkersSpeed()
    {
        TFormFixture f;
        TFolderNode *first = f.Catalog().AddFolder(nullptr, QStringLiteral("First"));
        TFolderNode *second = f.Catalog().AddFolder(nullptr, QStringLiteral("Second"));
        QStringList seen;
        // Called for each worker just before it starts: what the user sees at that moment.
        f.Form->Scheduler().SetWorkerSetup([&](CMd5Thread &worker) {
            TFileDat *record = worker.Record();
            const QModelIndex folder = f.FoldersTree()->selectionModel()->currentIndex();
            const int row = f.Form->FindRecordRow(record);
            const QRect shown = f.FilesList()->visualRect(f.FilesList()->model()->index(row, 0));
            seen << QStringLiteral("%1 %2 %3 %4 %5")
                        .arg(record->FileName, folder.data().toString())
                        .arg(record->State == fsDigesting)
                        .arg(row >= 0 && f.FilesList()->viewport()->rect().intersects(shown))
                        .arg(f.FoldersTree()->hasFocus());
        });
        for (int i = 0; i < 40; ++i)
            f.Catalog().AddRecord(
                i < 30 ? first : second,
                NewRecordFromDisk(f.MakeFile(QStringLiteral("f%1").arg(i, 2, 10, QChar(u'0')), 1)));
        QApplication::setActiveWindow(f.Form.get());
        f.Form->Scheduler().PostMd5Next();
        QTRY_COMPARE(f.Form->StatusText(), QStringLiteral("Operation completed"));
        QCOMPARE(seen.size(), 40);
        QCOMPARE(seen.first(), QStringLiteral("f00 First 1 1 1"));
        QCOMPARE(seen[29], QStringLiteral("f29 First 1 1 1")); // scrolled down to it
        QCOMPARE(seen[30], QStringLiteral("f30 Second 1 1 1"));
        QCOMPARE(seen.last(), QStringLiteral("f39 Second 1 1 1"));
    }

    // One worker takes the records one after another: every digest must still land in its own
    // record and row, across a change of folder, with the usual end.
    void aLongQueueOfTinyFilesEndsWithEveryDigestShown()
    {
        TFormFixture f;
        TFolderNode *first = f.Catalog().AddFolder(nullptr, QStringLiteral("First"));
        TFolderNode *second = f.Catalog().AddFolder(nullptr, QStringLiteral("Second"));
        QList<TFileDat *> records;
        for (int i = 0; i < 200; ++i) {
            const QString path = f.MakeFile(QStringLiteral("t%1").arg(i), 1 + i % 7);
            records << f.Catalog().AddRecord(i % 2 ? second : first, NewRecordFromDisk(path));
        }
        f.Form->Scheduler().PostMd5Next();
        QTRY_COMPARE(f.Form->StatusText(), QStringLiteral("Operation completed"));
        QVERIFY(f.Form->Modified());
        QVERIFY(!f.Form->Scheduler().Md5Thread());
        for (TFileDat *record : std::as_const(records)) {
            QFile file(record->FullPath());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(record->Md5.Text(),
                     QString::fromLatin1(
                         QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex()));
            QCOMPARE(record->State, fsDigested);
        }
        for (TFolderNode *folder : {first, second}) {
            f.Form->SelectFolder(folder);
            for (int row = 0; row < f.FilesList()->model()->rowCount(); ++row)
                QCOMPARE(f.FilesList()->model()->index(row, TFileListModel::colMd5).data().toString(),
                         folder->Record(row)->Md5.Text());
        }
    }

    // A digest handed over changes one row; painting the whole list for it made long queues of
    // small files spend most of their time painting.
    void aDigestHandedOverRepaintsItsRowOnly()
    {
        TFormFixture f;
        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        for (int i = 0; i < 12; ++i)
            f.AddRecord(folder, QStringLiteral("r%1.txt").arg(i));
        f.Form->SelectFolder(folder);
        QWidget *viewport = f.FilesList()->viewport();
        QRegion painted;
        TEventRecorder paints(viewport, [&](QEvent *event) {
            if (event->type() == QEvent::Paint)
                painted += static_cast<QPaintEvent *>(event)->region();
        });
        QTRY_VERIFY(!painted.isEmpty()); // the first full paint of the list
        // Whatever waits to be painted is painted now, until nothing is left that could paint
        // after the change below, however slowly this machine runs.
        auto *pacer = f.Form->findChild<TRepaintPacer *>();
        QVERIFY(pacer);
        for (int flushes = 1;; ++flushes) {
            painted = QRegion();
            QCoreApplication::processEvents();
            pacer->Flush();
            if (painted.isEmpty())
                break;
            QVERIFY2(flushes < 100, "the list keeps painting by itself");
        }

        TFileDat *record = folder->Record(5);
        f.Catalog().SetRecordMd5(record, QString(32, u'c'));
        f.Catalog().SetRecordState(record, fsDigested);
        QTRY_VERIFY(!painted.isEmpty());
        const QRect row = f.FilesList()->visualRect(f.FilesList()->model()->index(5, 0));
        QCOMPARE(painted.boundingRect().top(), row.top());
        QCOMPARE(painted.boundingRect().height(), row.height());
    }

    void removingTheFolderOfTheDigestStopsItAndGoesOn()
    {
        TFormFixture f;
        TFolderNode *doomed = f.Catalog().AddFolder(nullptr, QStringLiteral("Doomed"));
        TFolderNode *kept = f.Catalog().AddFolder(nullptr, QStringLiteral("Kept"));
        QAtomicInt reached;
        f.Form->Scheduler().SetWorkerSetup([&](CMd5Thread &worker) {
            worker.SetStepHook([&](CMd5Thread &w, TWorkerStep step, qint64) {
                if (step != wsBlockDone || w.isInterruptionRequested())
                    return;
                reached.storeRelease(1);
                while (!w.isInterruptionRequested() && reached.loadAcquire() == 1)
                    QThread::msleep(1);
            });
        });
        f.Catalog().AddRecord(doomed, NewRecordFromDisk(f.MakeFile(QStringLiteral("big.bin"), 100000)));
        TFileDat *next =
            f.Catalog().AddRecord(kept, NewRecordFromDisk(f.MakeFile(QStringLiteral("next.bin"), 10)));
        f.Form->Scheduler().PostMd5Next();
        QTRY_VERIFY(reached.loadAcquire());

        f.Form->SelectFolder(doomed);
        f.Prompts.PlanYes();
        f.Form->RemoveFolderBtClick();
        QCOMPARE(f.Catalog().FolderCount(), 1);
        reached.storeRelease(2); // the next worker goes straight through
        QTRY_COMPARE(next->State, fsDigested);
    }
};

QTEST_MAIN(TestDigestLook)
#include "tst_digestlook.moc"
