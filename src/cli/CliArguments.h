#pragma once

// The words after the command's name: options (flags, or options with a value given as the next
// word or after "="), anywhere among the operands, until a "--" that makes every later word an
// operand. A word that starts with "-" and names no option of the command is an error, as is a
// value option given twice or without its value.

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

struct TKnownOption
{
    QString Name;    // "-o", "--append"
    bool TakesValue; // "-o CATALOG.dat" against "--append"
};

struct TArguments
{
    QStringList Operands;
    QHash<QString, QString> Values; // value options given
    QSet<QString> Flags;            // flags given
    QString Error;                  // set when the words do not fit the options

    bool Has(const QString &name) const { return Flags.contains(name) || Values.contains(name); }
    QString Value(const QString &name) const { return Values.value(name); }
};

TArguments ParseArguments(const QStringList &words, const std::vector<TKnownOption> &options);
