#include "ShellIcons.h"

#include <QMimeDatabase>

QIcon TShellIcons::icon(const QFileInfo &info) const
{
    if (info.isDir())
        return QFileIconProvider::icon(info.isRoot() ? Drive : Folder);
    return kindOf(info).Icon;
}

QString TShellIcons::type(const QFileInfo &info) const
{
    if (info.isDir())
        return QFileIconProvider::type(info);
    return kindOf(info).Type;
}

const TShellIcons::TKind &TShellIcons::kindOf(const QFileInfo &info) const
{
    const QString extension = info.suffix().toLower();
    auto known = m_byExtension.constFind(extension);
    if (known != m_byExtension.constEnd())
        return *known;
    // By the extension alone, so that every file of one extension looks the same; files without
    // one are of the unknown type.
    const QString sample = extension.isEmpty() ? QString() : QStringLiteral("item.") + extension;
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(sample, QMimeDatabase::MatchExtension);
    const QIcon fallback = QFileIconProvider::icon(File);
    TKind kind{QIcon::fromTheme(mime.iconName(), QIcon::fromTheme(mime.genericIconName(), fallback)),
               mime.comment().isEmpty() ? mime.name() : mime.comment()};
    return *m_byExtension.insert(extension, kind);
}
