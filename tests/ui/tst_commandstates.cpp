#include "CommandStates.h"

#include <QSignalSpy>
#include <QTest>

// The gate alone: facts reported one at a time, the enabled states and the answers read back.
class TestCommandStates : public QObject
{
    Q_OBJECT

private:
    using TGate = TCommandStates;

    static void report(TGate &gate, const QString &event)
    {
        if (event == u"current")
            gate.CurrentFolderChanged(true);
        else if (event == u"no current")
            gate.CurrentFolderChanged(false);
        else if (event == u"filled")
            gate.ListFilled(true);
        else if (event == u"emptied")
            gate.ListFilled(false);
        else if (event == u"selected")
            gate.SelectionChanged(true);
        else if (event == u"rows and selection")
            gate.ListChanged(true, true);
        else if (event == u"folders")
            gate.FoldersChanged(true);
        else if (event == u"no folders")
            gate.FoldersChanged(false);
        else if (event == u"busy")
            gate.SetBusy(true);
        else if (event == u"modified")
            gate.SetModified(true);
        else if (event == u"off")
            gate.CommandsOff();
        else if (event == u"on")
            gate.CommandsOn();
        else
            QFAIL(qPrintable(QStringLiteral("unknown event ") + event));
    }

    static QStringList enabledButtons(const TGate &gate)
    {
        static const char *const names[] = {"Load",        "AddFolders", "AddFiles", "Check",
                                            "RemoveFiles", "Comments",   "CheckAll", "RemoveFolder"};
        QStringList enabled;
        for (int button = 0; button < TGate::ButtonCount; ++button) {
            if (gate.Enabled(TGate::TButton(button)))
                enabled << QString::fromLatin1(names[button]);
        }
        if (gate.Modified())
            enabled << QStringLiteral("Save");
        return enabled;
    }

private Q_SLOTS:
    void enabledStatesFollowTheEvents_data()
    {
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QStringList>("enabled");
        const QStringList base{"Load", "AddFolders"};
        QTest::newRow("at start") << QStringList() << base;
        QTest::newRow("a folder current")
            << QStringList{"current"} << base + QStringList{"AddFiles", "RemoveFolder"};
        QTest::newRow("the current folder gone takes Check too")
            << QStringList{"current", "filled", "no current"} << base;
        QTest::newRow("the list filled") << QStringList{"filled"} << base + QStringList{"Check"};
        QTest::newRow("the list filled empty") << QStringList{"filled", "emptied"} << base;
        QTest::newRow("rows selected")
            << QStringList{"selected"} << base + QStringList{"RemoveFiles", "Comments"};
        QTest::newRow("rows selected while busy") << QStringList{"busy", "selected"} << base;
        QTest::newRow("commands off") << QStringList{"current", "filled", "off"} << QStringList();
        QTest::newRow("commands on from what is known")
            << QStringList{"off", "rows and selection", "folders", "on"}
            << base + QStringList{"Check", "RemoveFiles", "Comments", "CheckAll"};
        QTest::newRow("commands on never disables")
            << QStringList{"current", "no folders", "on"} << base + QStringList{"AddFiles", "RemoveFolder"};
        QTest::newRow("unsaved changes") << QStringList{"modified", "off"} << QStringList{"Save"};
    }

    void enabledStatesFollowTheEvents()
    {
        QFETCH(QStringList, events);
        QFETCH(QStringList, enabled);
        TGate gate;
        for (const QString &event : events)
            report(gate, event);
        QCOMPARE(enabledButtons(gate), enabled);
    }

    void entryPointsAskTheGate()
    {
        TGate gate;
        QSignalSpy changes(&gate, &TGate::changed);
        QVERIFY(gate.MayRun(TGate::cmCreateFolder) && gate.MayRun(TGate::cmMenuCommand));
        QVERIFY(!gate.MayRun(TGate::cmAddFiles));     // its button is off
        QVERIFY(!gate.MayRun(TGate::cmDropFiles));    // no folder to drop into
        QVERIFY(!gate.MayRun(TGate::cmSaveRegistry)); // nothing unsaved

        gate.CurrentFolderChanged(true);
        gate.SetModified(true);
        QCOMPARE(changes.count(), 2);
        gate.SetModified(true); // no change, no signal
        QCOMPARE(changes.count(), 2);
        QVERIFY(gate.MayRun(TGate::cmAddFiles) && gate.MayRun(TGate::cmDropFiles) &&
                gate.MayRun(TGate::cmSaveRegistry));

        gate.SetBusy(true);
        for (int command = TGate::cmCreateFolder; command <= TGate::cmClose; ++command)
            QVERIFY2(!gate.MayRun(TGate::TCommand(command)), qPrintable(QString::number(command)));
    }
};

QTEST_GUILESS_MAIN(TestCommandStates)
#include "tst_commandstates.moc"
