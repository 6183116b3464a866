#include "Prompts.h"

#include "StorageErrors.h"

QString TPrompts::StandardErrorText(const QString &text)
{
    return ::StandardErrorText(text);
}
