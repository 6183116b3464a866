#include "Prompts.h"

#include "StorageErrors.h"

QString TPrompts::StandardErrorText(const QString &text, const QString &file)
{
    return ::StandardErrorText(text, file);
}
