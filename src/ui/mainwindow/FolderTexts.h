#pragma once

// The texts that the folder commands and the folder moves share.

#include <QString>

inline QString FolderAlreadyExistsText(const QString &name)
{
    return QStringLiteral("Folder \"") + name + QStringLiteral("\" already exists, cannot continue.");
}

inline QString SelectAFolderText()
{
    return QStringLiteral("Please select a folder and try again.");
}
