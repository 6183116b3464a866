#pragma once

// A reference tool run by a benchmark: the seconds it took, its output thrown away. A tool that
// fails ends the benchmark.

#include <QElapsedTimer>
#include <QProcess>
#include <cstdio>
#include <cstdlib>

inline double SecondsOfRun(const QString &program, const QStringList &arguments)
{
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed\n", qPrintable(program));
        std::exit(1);
    }
    return double(timer.nsecsElapsed()) / 1e9;
}
