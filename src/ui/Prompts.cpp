#include "Prompts.h"

QString TPrompts::StandardErrorText(const QString &text)
{
    if (!text.isEmpty() && text.back() > u'.')
        return text + u'.';
    return text;
}
