#include "AddCandidates.h"
#include "Catalog.h"
#include "LocaleText.h"
#include "support.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The duplicate pass as written down for the window: every record against every candidate, a
// candidate leaving the list at its first match.
int pairwiseReference(const TFolderNode &folder, QStringList &candidates)
{
    int duplicates = 0;
    for (const auto &record : folder.Records()) {
        for (qsizetype c = 0; c < candidates.size();) {
            const QString name = candidates[c].mid(candidates[c].lastIndexOf(u'/') + 1);
            if (SameTextLocale(name, record->FileName) && FileSizeOf(candidates[c]) == record->Size) {
                ++duplicates;
                candidates.removeAt(c);
            } else {
                ++c;
            }
        }
    }
    return duplicates;
}

} // namespace

class TestAddCandidates : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void indexedPassGivesThePairwiseResult()
    {
        // Few names in several spellings and few sizes, so names meet often and sizes decide; some
        // candidates are missing on disk, some named twice.
        const QStringList names{"a.txt", "A.TXT", "b.bin", "B.bin", "Straße.doc",
                                "c",     "c.",    "ä.txt", "Ä.TXT"};
        QRandomGenerator random(20261210);
        for (int round = 0; round < 40; ++round) {
            QTemporaryDir disk;
            TCatalog catalog;
            TFolderNode *folder = catalog.AddFolder(nullptr, QStringLiteral("F"));
            const int records = int(random.bounded(12));
            for (int r = 0; r < records; ++r) {
                auto record = std::make_unique<TFileDat>();
                record->FileName = names[random.bounded(int(names.size()))];
                record->Size = random.bounded(3);
                catalog.AddRecord(folder, std::move(record));
            }
            QStringList candidates;
            const int count = int(random.bounded(15));
            for (int c = 0; c < count; ++c) {
                const QString dir = disk.filePath(QString::number(random.bounded(3)));
                QDir().mkpath(dir);
                const QString path = dir + u'/' + names[random.bounded(int(names.size()))];
                if (random.bounded(5) != 0) {
                    QFile file(path);
                    QVERIFY(file.open(QIODevice::WriteOnly));
                    file.write(QByteArray(random.bounded(3), 'x'));
                } else {
                    QFile::remove(path);
                }
                candidates << path;
            }
            QStringList expected = candidates;
            const int expectedCount = pairwiseReference(*folder, expected);
            QCOMPARE(DropCandidatesInFolder(*folder, candidates), expectedCount);
            QCOMPARE(candidates, expected);
        }
    }

    void missingPassKeepsFilesOnly()
    {
        QTemporaryDir disk;
        const QString file = disk.filePath(QStringLiteral("f"));
        QFile(file).open(QIODevice::WriteOnly);
        QStringList candidates{disk.filePath(QStringLiteral("gone")), disk.path(), file, file};
        QCOMPARE(DropMissingCandidates(candidates), 2);
        QCOMPARE(candidates, QStringList({file, file}));
    }
};

QTEST_GUILESS_MAIN(TestAddCandidates)
#include "tst_addcandidates.moc"
