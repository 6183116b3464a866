#include "NameMatch.h"

#include <algorithm>

namespace {

// UTF-16 units of the character that starts at `at`: a surrogate pair is one character.
size_t characterLength(std::u16string_view text, size_t at)
{
    return at + 1 < text.size() && QChar::isHighSurrogate(text[at]) && QChar::isLowSurrogate(text[at + 1])
               ? 2
               : 1;
}

// Whether the text holds the (non-empty) word: a candidate must match the word's first two units
// before the rest is compared. Shorter and cheaper than a general search for the few dozen units
// of a file name.
bool containsWord(std::u16string_view text, std::u16string_view word)
{
    if (word.size() > text.size())
        return false;
    const char16_t first = word[0], second = word.size() > 1 ? word[1] : 0;
    const size_t last = text.size() - word.size();
    const char16_t *at = text.data();
    if (word.size() == 1) {
        for (size_t i = 0; i <= last; ++i) {
            if (at[i] == first)
                return true;
        }
        return false;
    }
    for (size_t i = 0; i <= last; ++i) {
        if (at[i] == first && at[i + 1] == second &&
            std::char_traits<char16_t>::compare(at + i + 2, word.data() + 2, word.size() - 2) == 0)
            return true;
    }
    return false;
}

} // namespace

void TNameMatcher::describeWildcardWord(TWord &word)
{
    const std::u16string_view text(word.Folded);
    word.Head = text.substr(0, text.find_first_of(u"*?"));
    word.Tail = text.substr(text.find_last_of(u"*?") + 1);
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find_first_of(u"*?", start), text.size());
        if (end - start > word.LongestRun.size())
            word.LongestRun = text.substr(start, end - start);
        start = end + 1;
    }
}

bool TNameMatcher::matchesWildcardWord(std::u16string_view name, const TWord &word)
{
    return name.size() >= word.Head.size() + word.Tail.size() && name.ends_with(word.Tail) &&
           name.starts_with(word.Head) && (word.LongestRun.empty() || containsWord(name, word.LongestRun)) &&
           MatchesWildcard(name, word.Folded);
}

void FoldCase(QStringView text, std::u16string &out)
{
    const char16_t *in = text.utf16();
    const size_t size = size_t(text.size());
    out.resize(size);
    char16_t *folded = out.data();
    // Most names are ASCII: two plain loops over them, which the compiler turns into vector code.
    char16_t allBits = 0;
    for (size_t i = 0; i < size; ++i)
        allBits |= in[i];
    if (allBits < 0x80) {
        for (size_t i = 0; i < size; ++i)
            folded[i] = char16_t(in[i] + (char16_t(in[i] - u'A') < 26 ? u'a' - u'A' : 0));
        return;
    }
    for (size_t i = 0; i < size; ++i) {
        const char16_t c = in[i];
        if (c < 0x80) {
            folded[i] = char16_t(c + (char16_t(c - u'A') < 26 ? u'a' - u'A' : 0));
        } else if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(in[i + 1])) {
            // Simple folding keeps every character in its plane, so the pair stays a pair.
            const char32_t ucs4 = QChar::toCaseFolded(QChar::surrogateToUcs4(c, in[i + 1]));
            folded[i] = QChar::highSurrogate(ucs4);
            folded[i + 1] = QChar::lowSurrogate(ucs4);
            ++i;
        } else {
            folded[i] = char16_t(QChar::toCaseFolded(char32_t(c)));
        }
    }
}

bool MatchesWildcard(std::u16string_view name, std::u16string_view word)
{
    // Greedy with one backtrack point: a later "*" supersedes an earlier one, so the cost stays
    // near name length times word length even for words full of stars.
    constexpr size_t None = size_t(-1);
    size_t n = 0, w = 0, starWord = None, starName = 0;
    while (n < name.size()) {
        if (w < word.size() && word[w] == u'*') {
            starWord = w++;
            starName = n;
        } else if (w < word.size() && word[w] == u'?') {
            n += characterLength(name, n);
            ++w;
        } else if (w < word.size() && word[w] == name[n]) {
            ++n;
            ++w;
        } else if (starWord != None) {
            w = starWord + 1;
            starName += characterLength(name, starName);
            n = starName;
        } else {
            return false;
        }
    }
    while (w < word.size() && word[w] == u'*')
        ++w;
    return w == word.size();
}

TNameMatcher TNameMatcher::Words(QStringView pattern)
{
    TNameMatcher matcher;
    qsizetype at = 0;
    while (at < pattern.size()) {
        while (at < pattern.size() && pattern[at].isSpace())
            ++at;
        const qsizetype start = at;
        while (at < pattern.size() && !pattern[at].isSpace())
            ++at;
        if (at == start)
            break;
        TWord word;
        FoldCase(pattern.sliced(start, at - start), word.Folded);
        word.Wildcard = word.Folded.find_first_of(u"*?") != std::u16string::npos;
        if (word.Wildcard)
            describeWildcardWord(word);
        matcher.m_words.push_back(std::move(word));
    }
    std::stable_sort(matcher.m_words.begin(), matcher.m_words.end(),
                     [](const TWord &a, const TWord &b) { return a.Folded.size() > b.Folded.size(); });
    return matcher;
}

TNameMatcher TNameMatcher::RegularExpression(const QString &expression)
{
    TNameMatcher matcher;
    if (expression.isEmpty())
        return matcher;
    QRegularExpression regex(expression, QRegularExpression::CaseInsensitiveOption |
                                             QRegularExpression::UseUnicodePropertiesOption);
    if (!regex.isValid()) {
        matcher.m_errorText = regex.errorString();
        return matcher;
    }
    regex.optimize();
    matcher.m_regex = std::move(regex);
    return matcher;
}

bool TNameMatcher::Matches(QStringView name)
{
    if (m_regex)
        return m_regex->match(name).hasMatch();
    if (m_words.empty())
        return false;
    FoldCase(name, m_foldedName);
    const std::u16string_view folded(m_foldedName);
    for (const TWord &word : m_words) {
        if (word.Wildcard ? !matchesWildcardWord(folded, word) : !containsWord(folded, word.Folded))
            return false;
    }
    return true;
}
