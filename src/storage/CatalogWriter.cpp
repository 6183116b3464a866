#include "CatalogWriter.h"

#include "Catalog.h"
#include "StorageErrors.h"
#include "support.h"

#include <QIODevice>
#include <algorithm>
#include <charconv>
#include <vector>

namespace {

constexpr size_t FlushSize = 65536;

// Indentation stops growing here: a catalog nested 200,000 levels deep would otherwise spend
// tens of gigabytes on leading blanks. The reader ignores layout, so nothing else changes.
constexpr int MaxIndentDepth = 16;

} // namespace

// ---- TCatalogXmlWriter

TCatalogXmlWriter::TCatalogXmlWriter(TDocumentSink sink) : m_sink(std::move(sink))
{
    m_buffer.reserve(FlushSize + 4096);
}

void TCatalogXmlWriter::StartLine(int depth)
{
    m_buffer.append(size_t(2 * std::min(depth, MaxIndentDepth)), ' ');
}

void TCatalogXmlWriter::Attribute(std::string_view name, QStringView value)
{
    m_buffer += ' ';
    m_buffer.append(name);
    m_buffer.append("=\"");
    escaped(value);
    m_buffer += '"';
}

void TCatalogXmlWriter::Attribute(std::string_view name, qint64 value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    m_buffer += ' ';
    m_buffer.append(name);
    m_buffer.append("=\"");
    m_buffer.append(digits, end);
    m_buffer += '"';
}

void TCatalogXmlWriter::AsciiAttribute(std::string_view name, std::string_view value)
{
    m_buffer += ' ';
    m_buffer.append(name);
    m_buffer.append("=\"");
    m_buffer.append(value);
    m_buffer += '"';
}

void TCatalogXmlWriter::reference(uint codePoint)
{
    char digits[12];
    const auto end = std::to_chars(digits, digits + sizeof digits, codePoint).ptr;
    m_buffer.append("&#");
    m_buffer.append(digits, end);
    m_buffer += ';';
}

namespace {

// Characters of ISO-8859-1 that the document holds as they are.
bool standsForItself(char16_t c)
{
    return c >= 0x20 && c <= 0xFF && c != u'&' && c != u'<' && c != u'>' && c != u'"';
}

} // namespace

void TCatalogXmlWriter::escaped(QStringView value)
{
    const char16_t *text = value.utf16();
    const qsizetype size = value.size();
    for (qsizetype i = 0; i < size; ++i) {
        // Most text needs no reference: copy the run in one go.
        qsizetype run = i;
        while (run < size && standsForItself(text[run]))
            ++run;
        if (run > i) {
            const size_t at = m_buffer.size();
            m_buffer.resize(at + size_t(run - i));
            std::copy(text + i, text + run, m_buffer.begin() + qsizetype(at));
            i = run;
            if (i == size)
                break;
        }
        const char16_t c = text[i];
        switch (c) {
        case u'&':
            m_buffer.append("&amp;");
            continue;
        case u'<':
            m_buffer.append("&lt;");
            continue;
        case u'>':
            m_buffer.append("&gt;");
            continue;
        case u'"':
            m_buffer.append("&quot;");
            continue;
        default:
            break;
        }
        if (c < 0x20) {
            // Literal tabs and line breaks would come back as blanks from an attribute.
            reference(c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < size &&
                   QChar::isLowSurrogate(value[i + 1].unicode())) {
            reference(QChar::surrogateToUcs4(c, value[i + 1].unicode()));
            ++i;
        } else if (QChar::isSurrogate(c)) {
            reference(0xFFFD); // half a pair names no character
        } else {
            reference(c);
        }
    }
}

void TCatalogXmlWriter::FlushIfFull()
{
    if (m_buffer.size() >= FlushSize)
        Flush();
}

void TCatalogXmlWriter::Flush()
{
    if (m_buffer.empty())
        return;
    m_sink(m_buffer.data(), qint64(m_buffer.size()));
    m_buffer.clear();
}

// ---- The document

bool WriteFolderElement(const TFolderNode &folder, int depth, TCatalogXmlWriter &xml, TCatalogTotals &totals)
{
    const bool hasSubFolders = !folder.SubFolders().empty();
    const bool hasFiles = folder.HasRecordList();
    xml.StartLine(depth);
    xml.Raw("<Folder");
    xml.Attribute("Name", folder.Name());
    xml.Attribute("Files", qint64(folder.RecordCount()));
    xml.Attribute("Folders", qint64(folder.SubFolders().size()));
    if (!hasFiles && !hasSubFolders) {
        xml.Raw("/>");
        xml.EndLine();
        return false;
    }
    xml.Raw(">");
    xml.EndLine();
    if (hasFiles) {
        xml.StartLine(depth + 1);
        xml.Raw("<Files>");
        xml.EndLine();
        for (const auto &record : folder.Records()) {
            xml.StartLine(depth + 2);
            xml.Raw("<File");
            xml.Attribute("n", record->FileName);
            xml.Attribute("s", record->Size);
            char date[DateTextLength];
            xml.AsciiAttribute("d", std::string_view(date, size_t(WriteDateText(record->DateTime, date))));
            xml.Attribute("r", record->RealPath);
            // The digest of a record being digested is not final yet.
            TMd5Text::TDigitsBuffer digits;
            TMd5Text::TTextBuffer text;
            if (record->State == fsDigesting)
                xml.Attribute("m", QStringView());
            else if (const std::string_view ascii = record->Md5.Digits(digits); !ascii.empty())
                xml.AsciiAttribute("m", ascii);
            else
                xml.Attribute("m", record->Md5.View(text));
            xml.Attribute("c", record->Comment);
            xml.Raw("/>");
            xml.EndLine();
            xml.FlushIfFull();
            totals.TotalSize += record->Size;
        }
        totals.Files += folder.RecordCount();
        xml.StartLine(depth + 1);
        xml.Raw("</Files>");
        xml.EndLine();
    }
    if (!hasSubFolders) {
        CloseFolderElement(depth, xml);
        return false;
    }
    return true;
}

void CloseFolderElement(int depth, TCatalogXmlWriter &xml)
{
    xml.StartLine(depth);
    xml.Raw("</Folder>");
    xml.EndLine();
}

TCatalogTotals WriteCatalogDocument(const TCatalog &catalog, QIODevice &device, const TProgressFn &progress)
{
    return WriteCatalogDocument(
        catalog, [&device](const char *data, qint64 size) { WriteAll(device, data, size); }, progress);
}

TCatalogTotals WriteCatalogDocument(const TCatalog &catalog, const TDocumentSink &sink,
                                    const TProgressFn &progress)
{
    TCatalogXmlWriter xml(sink);
    TCatalogTotals totals;
    const qint64 folderCount = catalog.FolderCount();
    xml.Raw("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>");
    xml.EndLine();
    xml.Raw("<Tree");
    xml.Attribute("Total", folderCount);
    xml.Attribute("Folders", qint64(catalog.RootFolders().size()));
    if (catalog.RootFolders().empty()) {
        xml.Raw("/>");
        xml.EndLine();
        xml.Flush();
        return totals;
    }
    xml.Raw(">");
    xml.EndLine();

    // Pre-order with an explicit stack of open Folder elements, so deep trees stay off the call
    // stack; each entry is a sibling list and the next folder to write from it.
    std::vector<std::pair<const TFolderNode::FolderList *, size_t>> open;
    open.emplace_back(&catalog.RootFolders(), 0);
    qint64 position = 0;
    while (!open.empty()) {
        auto &[siblings, next] = open.back();
        const int depth = int(open.size());
        if (next == siblings->size()) {
            open.pop_back();
            if (!open.empty())
                CloseFolderElement(depth - 1, xml);
            continue;
        }
        const TFolderNode &folder = *(*siblings)[next++];
        const bool stillOpen = WriteFolderElement(folder, depth, xml, totals);
        xml.FlushIfFull();
        if (progress && position % 10 == 0)
            progress(position, folderCount);
        ++position;
        if (stillOpen)
            open.emplace_back(&folder.SubFolders(), 0);
    }
    xml.Raw("</Tree>");
    xml.EndLine();
    xml.Flush();
    return totals;
}
