#pragma once

// The pictures and type names of the pickers' items: the platform's icons and its names for
// file types, looked up once per file-name extension. Looking them up by each file's content
// (what the platform's provider does) costs a read of every file, seconds for a folder of
// thousands. Folders get the platform's folder picture and name.
//
// Used on the user-interface thread only (the tree's file system model asks from there too).

#include <QFileIconProvider>
#include <QHash>

class TShellIcons : public QFileIconProvider
{
public:
    QIcon icon(IconType type) const override { return QFileIconProvider::icon(type); }
    QIcon icon(const QFileInfo &info) const override;
    QString type(const QFileInfo &info) const override;

private:
    struct TKind
    {
        QIcon Icon;
        QString Type;
    };
    const TKind &kindOf(const QFileInfo &info) const;

    mutable QHash<QString, TKind> m_byExtension;
};
