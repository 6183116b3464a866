#include "CliArguments.h"

#include <algorithm>

namespace {

const TKnownOption *findOption(const std::vector<TKnownOption> &options, const QString &name)
{
    const auto found = std::find_if(options.begin(), options.end(),
                                    [&](const TKnownOption &option) { return option.Name == name; });
    return found == options.end() ? nullptr : &*found;
}

} // namespace

TArguments ParseArguments(const QStringList &words, const std::vector<TKnownOption> &options)
{
    TArguments parsed;
    bool operandsOnly = false;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString &word = words[i];
        if (operandsOnly || word == u'-' || !word.startsWith(u'-')) {
            parsed.Operands << word;
            continue;
        }
        if (word == QLatin1String("--")) {
            operandsOnly = true;
            continue;
        }
        const qsizetype equals = word.startsWith(QLatin1String("--")) ? word.indexOf(u'=') : -1;
        const QString name = equals < 0 ? word : word.left(equals);
        const TKnownOption *option = findOption(options, name);
        if (!option) {
            parsed.Error = QStringLiteral("unknown option %1").arg(name);
            return parsed;
        }
        if (!option->TakesValue) {
            if (equals >= 0) {
                parsed.Error = QStringLiteral("option %1 takes no value").arg(name);
                return parsed;
            }
            parsed.Flags << name;
            continue;
        }
        if (parsed.Values.contains(name)) {
            parsed.Error = QStringLiteral("option %1 given twice").arg(name);
            return parsed;
        }
        if (equals >= 0) {
            parsed.Values.insert(name, word.mid(equals + 1));
        } else if (i + 1 < words.size()) {
            parsed.Values.insert(name, words[++i]);
        } else {
            parsed.Error = QStringLiteral("option %1 needs a value").arg(name);
            return parsed;
        }
    }
    return parsed;
}
