#include "FormFixture.h"
#include "ProgressCyl.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

class TestMainFrame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsEmptyWithTheInitialButtonStates()
    {
        TFormFixture f;
        const QStringList enabled = {"CreateFolderBt", "AddFoldersBt", "LoadMdRegBt"};
        const QStringList disabled = {"RemoveFolderBt", "AddFilesBt",     "CommentsBt", "RemoveFilesBt",
                                      "CheckDupBt",     "SearchAllDupBt", "SaveMdBt"};
        for (const QString &name : enabled)
            QVERIFY2(f.Widget<QPushButton>(name.toLatin1())->isEnabled(), qPrintable(name));
        for (const QString &name : disabled)
            QVERIFY2(!f.Widget<QPushButton>(name.toLatin1())->isEnabled(), qPrintable(name));
        QCOMPARE(f.Widget<QPushButton>("CreateFolderBt")->toolTip(),
                 QStringLiteral("Create new root folder"));
        QCOMPARE(f.Widget<QLabel>("TitleLabel")->text(), QStringLiteral("Dravik"));
        QVERIFY(!f.Form->Modified());
    }
};

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
