#include "TempFiles.h"

#include "CodeCript.h"
#include "DiskFiles.h"
#include "ScrambledTexts.h"
#include "StorageErrors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

namespace {

int drawFromSystem(int bound)
{
    return int(QRandomGenerator::global()->bounded(bound));
}

QString nextName(const QString &folder, const TRandomDraw &draw)
{
    return folder + RandomName(8, draw) + QStringLiteral(".dat");
}

bool nameTaken(const QString &path)
{
    // A directory or a dangling link under the name counts as taken too.
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

const QString &TempFolder()
{
    static const QString folder = [] {
        QString path = QDir::toNativeSeparators(QDir::tempPath());
        if (!path.endsWith(QDir::separator()))
            path += QDir::separator();
        return path;
    }();
    return folder;
}

QString TempNameCharacters()
{
    return DecodeText(QString::fromLatin1(ScrambledTexts::TempNameChars));
}

QString RandomName(int n, const TRandomDraw &draw)
{
    const QString chars = TempNameCharacters();
    QString name;
    name.reserve(n);
    for (int i = 0; i < n; ++i)
        name += chars[draw(int(chars.size()))];
    return name;
}

QString RandomName(int n)
{
    return RandomName(n, drawFromSystem);
}

QString NewTempFileName(const QString &folder, const TRandomDraw &draw)
{
    QString path = nextName(folder, draw);
    while (nameTaken(path))
        path = nextName(folder, draw);
    return path;
}

QString NewTempFileName()
{
    QString path = nextName(TempFolder(), drawFromSystem);
    while (nameTaken(path)) {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
        path = nextName(TempFolder(), drawFromSystem);
    }
    return path;
}

TScratchFile::TScratchFile()
{
    for (;;) {
        m_file.setFileName(NewTempFileName());
        if (const int refused = DiskFault(TDiskStep::Create, m_file.fileName()))
            throw EFileError(
                QStringLiteral("Cannot create %1: %2").arg(DeviceName(m_file), SystemErrorText(refused)));
        if (m_file.open(QIODevice::ReadWrite | QIODevice::NewOnly | QIODevice::Unbuffered))
            break;
        if (!nameTaken(m_file.fileName()))
            throw EFileError(
                QStringLiteral("Cannot create %1: %2").arg(DeviceName(m_file), m_file.errorString()));
        // Taken between the look and the creation: draw again.
    }
    QFile::remove(m_file.fileName());
}
