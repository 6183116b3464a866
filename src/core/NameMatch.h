#pragma once

// Which file names a search pattern picks, for the name search of the window and of dravik-cli.
//
// A pattern is a list of words separated by blanks, and a name is picked when every word matches
// it: a word without "*" or "?" matches a name that contains it, a word with them must match the
// whole name ("*" any run of characters, "?" one character). Letter case never counts, in any
// script: names and words are compared in Unicode case folding (each character folded alone, as
// QString::toCaseFolded folds). A pattern without words picks nothing.
//
// A regular expression instead matches a name that holds a match anywhere, letter case ignored.
//
// A matcher keeps a scratch buffer for the folded name, so that matching a million names
// allocates nothing per name: one matcher serves one thread at a time.

#include <QRegularExpression>
#include <QString>
#include <QStringView>
#include <optional>
#include <string>
#include <vector>

class TNameMatcher
{
public:
    static TNameMatcher Words(QStringView pattern);
    // A matcher whose IsValid() is false, with ErrorText(), when the expression does not compile.
    static TNameMatcher RegularExpression(const QString &expression);

    bool IsValid() const { return m_errorText.isEmpty(); }
    QString ErrorText() const { return m_errorText; }
    // True when no name can match: a pattern without words, or an expression that did not compile.
    bool PicksNothing() const { return !m_regex && m_words.empty(); }

    bool Matches(QStringView name);

private:
    struct TWord
    {
        std::u16string Folded;
        bool Wildcard = false; // holds "*" or "?": matches the whole name
        // Of a wildcard word, what every name it matches must hold, checked first because most
        // names fail there: its text before the first and after the last "*" or "?", and its
        // longest run of text without them.
        std::u16string Head, Tail, LongestRun;
    };

    TNameMatcher() = default;
    static void describeWildcardWord(TWord &word);
    static bool matchesWildcardWord(std::u16string_view name, const TWord &word);

    std::vector<TWord> m_words;  // longest first: a long word rules a name out soonest
    std::u16string m_foldedName; // the scratch buffer
    std::optional<QRegularExpression> m_regex;
    QString m_errorText;
};

// The text in case folding, one character at a time, into `out` (replacing what it held).
void FoldCase(QStringView text, std::u16string &out);

// Whether the whole (folded) name matches the (folded) wildcard word.
bool MatchesWildcard(std::u16string_view name, std::u16string_view word);
