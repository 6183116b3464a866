// Looking a digest up in the catalog: the typed code and the first record that holds it.

#include "Catalog.h"
#include "DigestSearch.h"
#include "TestRecords.h"

#include <QTest>

class TestDigestSearch : public QObject
{
    Q_OBJECT

    const QString Code = QStringLiteral("0123456789abcdef0123456789abcdef");

private Q_SLOTS:
    void typedCodesLoseTheirBlanksAndLetterCase()
    {
        QCOMPARE(Md5CodeToSearch(QStringLiteral(" 01234567 89ABCDEF 01234567 89ABCDEF ")), TMd5Text(Code));
        QCOMPARE(Md5CodeToSearch(Code.left(31)), std::nullopt);
        QCOMPARE(Md5CodeToSearch(Code + u'0'), std::nullopt);
        // Only the length is checked: such a code is searched, as the text it is.
        QCOMPARE(Md5CodeToSearch(QString(32, u'Z'))->Text(), QString(32, u'z'));
    }

    void theFirstRecordInTreeOrderIsFound()
    {
        // Tree order visits Home, Home\Sub, Other; level by level would reach Other first.
        TCatalog catalog;
        TFolderNode *home = catalog.AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *other = catalog.AddFolder(nullptr, QStringLiteral("Other"));
        TFolderNode *sub = catalog.AddFolder(home, QStringLiteral("Sub"));
        AppendTestRecord(catalog, other, MakeTestRecord({.Name = QStringLiteral("o"), .Md5 = Code}));
        AppendTestRecord(catalog, home,
                         MakeTestRecord({.Name = QStringLiteral("h"), .Md5 = QString(32, u'0')}));
        TFileDat *first =
            AppendTestRecord(catalog, sub, MakeTestRecord({.Name = QStringLiteral("s1"), .Md5 = Code}));
        AppendTestRecord(catalog, sub, MakeTestRecord({.Name = QStringLiteral("s2"), .Md5 = Code}));
        // A digest kept as other text than the program writes is no match for the code.
        AppendTestRecord(catalog, home,
                         MakeTestRecord({.Name = QStringLiteral("upper"), .Md5 = Code.toUpper()}));

        QCOMPARE(FindFirstRecordWithDigest(catalog, TMd5Text(Code)), first);
        QCOMPARE(FindFirstRecordWithDigest(catalog, TMd5Text(QString(32, u'f'))), nullptr);
    }
};

QTEST_GUILESS_MAIN(TestDigestSearch)
#include "tst_digestsearch.moc"
