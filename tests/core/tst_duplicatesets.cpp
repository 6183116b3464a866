#include "DuplicateSets.h"
#include "support.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

// Compares every pair in order and builds the sets as they are met: the slow, obvious way the
// grouped search must agree with.
std::vector<TDuplicateSet> pairwiseReference(const std::vector<TFileDat *> &records)
{
    std::vector<TDuplicateSet> sets;
    for (size_t i = 0; i < records.size(); ++i) {
        for (size_t j = i + 1; j < records.size(); ++j) {
            if (records[i]->Md5.Text() != records[j]->Md5.Text())
                continue;
            TDuplicateSet *set = nullptr;
            for (size_t s = 0; s < sets.size(); ++s) {
                if (sets[s].Digest.Text() == records[i]->Md5.Text()) {
                    set = &sets[s];
                    break;
                }
            }
            if (!set) {
                sets.push_back({int(sets.size()) + 1, records[i]->Md5, {records[i]}});
                set = &sets.back();
            }
            if (std::find(set->Records.begin(), set->Records.end(), records[j]) == set->Records.end())
                set->Records.push_back(records[j]);
        }
    }
    return sets;
}

QString randomDigest(QRandomGenerator &random)
{
    QString digest;
    for (int i = 0; i < 32; ++i)
        digest += QLatin1Char("0123456789abcdef"[random.bounded(16)]);
    return digest;
}

} // namespace

class TestDuplicateSets : public QObject
{
    Q_OBJECT

private:
    std::vector<std::unique_ptr<TFileDat>> m_owned;

    std::vector<TFileDat *> records(const QStringList &digests)
    {
        std::vector<TFileDat *> made;
        for (const QString &digest : digests) {
            m_owned.push_back(std::make_unique<TFileDat>());
            m_owned.back()->Md5 = digest;
            m_owned.back()->FileName = QString::number(m_owned.size());
            made.push_back(m_owned.back().get());
        }
        return made;
    }

private Q_SLOTS:
    void setsInOrderOfTheirFirstRecord()
    {
        const QString a(32, u'a'), b(32, u'b');
        const auto r = records({a, b, a, b, a}); // A1 B1 A2 B2 A3
        const auto sets = FindDuplicateSets(r);
        QCOMPARE(sets.size(), size_t(2));
        QCOMPARE(sets[0].Number, 1);
        QCOMPARE(sets[0].Digest.Text(), a);
        QCOMPARE(sets[0].Records, std::vector<TFileDat *>({r[0], r[2], r[4]}));
        QCOMPARE(sets[1].Number, 2);
        QCOMPARE(sets[1].Records, std::vector<TFileDat *>({r[1], r[3]}));
    }

    void letterCaseAndSingletonsMakeNoSet()
    {
        const auto r = records({QString(32, u'a'), QString(32, u'A'), QString(32, u'c')});
        QVERIFY(FindDuplicateSets(r).empty());
        QVERIFY(FindDuplicateSets({}).empty());
    }

    void equalHashesOfDifferentDigestsStayApart()
    {
        // A digest's hash looks at its first bytes only: these two differ after them.
        const QString first = QStringLiteral("0123456789abcdef0123456789abcdef");
        const QString second = QStringLiteral("0123456789abcdeffedcba9876543210");
        QCOMPARE(TMd5Text(first).Hash(), TMd5Text(second).Hash());
        const auto r = records({first, second, first, second, second});
        const auto sets = FindDuplicateSets(r);
        QCOMPARE(sets.size(), size_t(2));
        QCOMPARE(sets[0].Records, std::vector<TFileDat *>({r[0], r[2]}));
        QCOMPARE(sets[1].Records, std::vector<TFileDat *>({r[1], r[3], r[4]}));
        QCOMPARE(sets, pairwiseReference(r));
    }

    void agreesWithComparingEveryPair()
    {
        QRandomGenerator random(2024);
        for (int round = 0; round < 20; ++round) {
            QStringList pool;
            const int distinct = 1 + int(random.bounded(40));
            for (int i = 0; i < distinct; ++i)
                pool << randomDigest(random);
            QStringList digests;
            const int count = int(random.bounded(300));
            for (int i = 0; i < count; ++i)
                digests << pool[random.bounded(distinct)];
            const auto r = records(digests);
            QCOMPARE(FindDuplicateSets(r), pairwiseReference(r));
        }
    }

    void collectingTakesRecordsWithADigestInTreeOrder()
    {
        TCatalog catalog;
        TFolderNode *home = catalog.AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *sub = catalog.AddFolder(home, QStringLiteral("Sub"));
        TFolderNode *other = catalog.AddFolder(nullptr, QStringLiteral("Other"));
        auto add = [&](TFolderNode *folder, const QString &md5) {
            auto record = std::make_unique<TFileDat>();
            record->Md5 = md5;
            record->State = md5.isEmpty() ? fsPending : fsMissing; // state does not matter
            return catalog.AddRecord(folder, std::move(record));
        };
        TFileDat *o = add(other, QString(32, u'1'));
        TFileDat *s = add(sub, QString(32, u'1'));
        add(sub, QString());
        TFileDat *h = add(home, QString(32, u'2'));

        QCOMPARE(CollectAllDuplicateCandidates(catalog), std::vector<TFileDat *>({h, s, o}));
        QCOMPARE(CollectDuplicateCandidates(sub), std::vector<TFileDat *>({s}));
        QCOMPARE(CollectDuplicateCandidates(nullptr), std::vector<TFileDat *>());
        const auto sets = FindDuplicateSets(CollectAllDuplicateCandidates(catalog));
        QCOMPARE(sets.size(), size_t(1)); // across folders only
        QVERIFY(FindDuplicateSets(CollectDuplicateCandidates(sub)).empty());
    }
};

bool operator==(const TDuplicateSet &a, const TDuplicateSet &b)
{
    return a.Number == b.Number && a.Digest == b.Digest && a.Records == b.Records;
}

QTEST_GUILESS_MAIN(TestDuplicateSets)
#include "tst_duplicatesets.moc"
