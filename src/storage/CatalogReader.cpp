#include "CatalogReader.h"

#include "Catalog.h"
#include "DocumentText.h"
#include "StorageErrors.h"
#include "support.h"

#include <QDateTime>
#include <QHash>
#include <QIODevice>
#include <charconv>
#include <cstring>
#include <pugixml.hpp>

namespace {

// A Files count is a hint for reserving room, never trusted beyond this.
constexpr qint64 MaxReservedRecords = 1 << 20;

// The parser only finds the elements and the raw attribute values: references, entities and
// white space in values are decoded by TValueDecoder below, together with the conversion from the
// document's encoding, in one pass per value. Comments and processing instructions are kept only
// so that the document level can be checked. Entities declared in a DTD are never expanded.
constexpr unsigned ParseOptions = pugi::parse_comments | pugi::parse_pi;

bool named(const pugi::xml_node &node, const char *name)
{
    return node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0;
}

bool isFolder(const pugi::xml_node &node)
{
    return named(node, "Folder");
}

// A decimal integer, the whole text; nullopt for anything else (empty, blanks, letters, overflow).
std::optional<qint64> decimal(QByteArrayView text)
{
    qint64 value = 0;
    const auto [stop, error] = std::from_chars(text.begin(), text.end(), value);
    if (error != std::errc() || stop != text.end() || text.isEmpty())
        return std::nullopt;
    return value;
}

// True when the document declares ISO-8859-1: its bytes are then Latin-1 characters, otherwise
// UTF-8 (after pugixml's own conversion of UTF-16 and UTF-32).
bool declaresLatin1(const char *buffer, size_t size)
{
    const QByteArrayView head(buffer, qsizetype(std::min<size_t>(size, 256)));
    if (!head.startsWith("<?xml"))
        return false;
    const qsizetype end = head.indexOf("?>");
    const QByteArrayView declaration = head.first(end < 0 ? head.size() : end);
    const qsizetype at = declaration.indexOf("encoding");
    if (at < 0)
        return false;
    QByteArray value = declaration.sliced(at + 8).trimmed().toByteArray();
    if (!value.startsWith('='))
        return false;
    value = value.mid(1).trimmed();
    if (value.size() < 2 || (value[0] != '"' && value[0] != '\''))
        return false;
    const qsizetype close = value.indexOf(value[0], 1);
    const QByteArray name = value.mid(1, close < 0 ? -1 : close - 1).toLower();
    return name == "iso-8859-1" || name == "iso8859-1" || name == "iso_8859-1" || name == "latin1" ||
           name == "latin-1";
}

// Attribute values as text: the document's encoding, character and entity references, and
// literal line breaks and tabs (blanks in an attribute value) all handled in one pass.
class TValueDecoder
{
public:
    explicit TValueDecoder(bool latin1) : m_latin1(latin1) {}

    QString Text(const char *value) const
    {
        const qsizetype size = qsizetype(std::strlen(value));
        if (!needsDecoding(value, size))
            return plain(value, size);
        return decoded(value, size);
    }

    // The value as bytes for a number: decoded only when it has to be.
    QByteArray Ascii(const char *value) const
    {
        const qsizetype size = qsizetype(std::strlen(value));
        if (!needsDecoding(value, size))
            return QByteArray::fromRawData(value, size);
        return decoded(value, size).toUtf8();
    }

    bool IsPlainAscii(const char *value, qsizetype size) const
    {
        for (qsizetype i = 0; i < size; ++i) {
            const uchar c = uchar(value[i]);
            if (c >= 0x80 || c == '&' || c == '\t' || c == '\n' || c == '\r')
                return false;
        }
        return true;
    }

private:
    static bool needsDecoding(const char *value, qsizetype size)
    {
        for (qsizetype i = 0; i < size; ++i) {
            const char c = value[i];
            if (c == '&' || c == '\t' || c == '\n' || c == '\r')
                return true;
        }
        return false;
    }

    QString plain(const char *value, qsizetype size) const
    {
        return m_latin1 ? QString::fromLatin1(value, size) : QString::fromUtf8(value, size);
    }

    QString decoded(const char *value, qsizetype size) const
    {
        QString text;
        qsizetype runStart = 0;
        auto flush = [&](qsizetype end) {
            if (end > runStart)
                text += plain(value + runStart, end - runStart);
        };
        for (qsizetype i = 0; i < size;) {
            const char c = value[i];
            if (c == '\t' || c == '\n' || c == '\r') {
                flush(i);
                text += u' ';
                i += (c == '\r' && i + 1 < size && value[i + 1] == '\n') ? 2 : 1;
                runStart = i;
            } else if (c == '&') {
                const qsizetype semicolon = QByteArrayView(value + i, size - i).indexOf(';');
                const char32_t decodedChar =
                    semicolon > 1 ? reference(QByteArrayView(value + i + 1, semicolon - 1)) : 0;
                if (decodedChar == 0) {
                    ++i; // not a reference we know: the "&" stays as it is
                    continue;
                }
                flush(i);
                text += QString::fromUcs4(&decodedChar, 1);
                i += semicolon + 1;
                runStart = i;
            } else {
                ++i;
            }
        }
        flush(size);
        return text;
    }

    // The character of "lt", "#65", "#x41"...; 0 when the name is none of ours.
    static char32_t reference(QByteArrayView name)
    {
        if (name == "lt")
            return U'<';
        if (name == "gt")
            return U'>';
        if (name == "amp")
            return U'&';
        if (name == "quot")
            return U'"';
        if (name == "apos")
            return U'\'';
        if (name.size() < 2 || name[0] != '#')
            return 0;
        const bool hex = name[1] == 'x';
        const QByteArrayView digits = name.sliced(hex ? 2 : 1);
        quint32 code = 0;
        const auto [stop, error] = std::from_chars(digits.begin(), digits.end(), code, hex ? 16 : 10);
        if (error != std::errc() || stop != digits.end() || digits.isEmpty() || code == 0 ||
            code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return 0;
        return char32_t(code);
    }

    bool m_latin1;
};

} // namespace

class TCatalogReadContext
{
public:
    TCatalogReadContext(TCatalog &catalog, bool latin1, TDocumentText &text)
        : Catalog(catalog), Decoder(latin1), Text(text), CurrentYear(QDate::currentDate().year()),
          Now(DayCountFromDateTime(QDateTime::currentDateTime()))
    {}

    // The count in the attribute, 0 when it is absent.
    qint64 Count(const pugi::xml_node &element, const char *attribute, const TFolderNode *folder) const
    {
        const pugi::xml_attribute value = element.attribute(attribute);
        if (!value)
            return 0;
        if (const auto count = decimal(Decoder.Ascii(value.value())))
            return *count;
        throw ECatalogError(QStringLiteral("The %1 count %2 of %3 is not a decimal integer")
                                .arg(QString::fromUtf8(attribute), Quoted(value.value()), placeOf(folder)));
    }

    QString Quoted(const char *value) const { return u'"' + Decoder.Text(value) + u'"'; }

    static QString placeOf(const TFolderNode *folder)
    {
        return folder ? QStringLiteral("folder \"%1\"").arg(TCatalog::FolderPath(folder))
                      : QStringLiteral("the registry");
    }

    std::unique_ptr<TFileDat> ReadRecord(const pugi::xml_node &file, const TFolderNode *folder)
    {
        auto record = std::make_unique<TFileDat>();
        record->DateTime = Now; // a record without a date gets the time of loading
        unsigned seen = 0;
        for (pugi::xml_attribute attribute = file.first_attribute(); attribute;
             attribute = attribute.next_attribute()) {
            const char *name = attribute.name();
            if (name[0] == 0 || name[1] != 0)
                continue;
            static constexpr char Names[] = "nsdrmc";
            const char *known = std::strchr(Names, name[0]);
            if (!known)
                continue;
            const unsigned bit = 1u << (known - Names);
            if (seen & bit)
                continue; // the first of repeated attributes counts
            seen |= bit;
            const char *value = attribute.value();
            switch (name[0]) {
            case 'n':
                record->FileName = Decoder.Text(value);
                break;
            case 's':
                if (const auto size = decimal(Decoder.Ascii(value)))
                    record->Size = *size;
                else
                    throw ECatalogError(
                        QStringLiteral("The size %1 of file %2 in %3 is not a decimal integer")
                            .arg(Quoted(value), Quoted(file.attribute("n").value()), placeOf(folder)));
                break;
            case 'd':
                record->DateTime = ParseDateText(dateText(value), CurrentYear);
                break;
            case 'r':
                record->RealPath = sharedRealPath(value);
                break;
            case 'm':
                if (const auto digest = TMd5Text::ParseDigits(value))
                    record->Md5 = TMd5Text(*digest); // the usual digest, straight from the document
                else
                    record->Md5 = Decoder.Text(value);
                break;
            case 'c':
                if (*value)
                    record->Comment = Decoder.Text(value);
                break;
            default:
                break;
            }
        }
        record->State = record->Md5.isEmpty() ? fsPending : fsDigested;
        return record;
    }

    TCatalog &Catalog;
    const TValueDecoder Decoder;
    TDocumentText &Text;
    TCatalogTotals Totals;

private:
    // Records of one directory share one text of it, wherever they stand in the document: a
    // real path costs its characters once per directory, not once per record.
    const QString &sharedRealPath(const char *value)
    {
        if (*value == 0)
            return m_noRealPath;
        const QByteArray bytes = QByteArray::fromRawData(value, qsizetype(std::strlen(value)));
        if (bytes != m_lastRealPathBytes) {
            auto known = m_realPaths.constFind(bytes);
            if (known == m_realPaths.cend())
                known = m_realPaths.insert(QByteArray(value, bytes.size()), Decoder.Text(value));
            m_lastRealPathBytes = known.key();
            m_lastRealPath = known.value();
        }
        return m_lastRealPath;
    }

    // The date as a text without a fresh allocation for each record.
    const QString &dateText(const char *value)
    {
        const qsizetype size = qsizetype(std::strlen(value));
        if (!Decoder.IsPlainAscii(value, size)) {
            m_scratch = Decoder.Text(value);
            return m_scratch;
        }
        m_scratch.resize(size);
        QChar *out = m_scratch.data();
        for (qsizetype i = 0; i < size; ++i)
            out[i] = QChar(uchar(value[i]));
        return m_scratch;
    }

    int CurrentYear;
    double Now;
    QHash<QByteArray, QString> m_realPaths; // by the bytes of the attribute
    QByteArray m_lastRealPathBytes;
    QString m_lastRealPath;
    const QString m_noRealPath;
    QString m_scratch;
};

TFolderNode *ReadFolderElement(pugi::xml_node element, TFolderNode *parent, TCatalogReadContext &context)
{
    TCatalog &catalog = context.Catalog;
    TFolderNode *folder = catalog.AddFolder(parent, context.Decoder.Text(element.attribute("Name").value()));
    const qint64 fileCount = context.Count(element, "Files", folder);
    if (fileCount < 1)
        return folder;

    pugi::xml_node container = element.first_child();
    while (container && (container.type() != pugi::node_element || isFolder(container)))
        container = container.next_sibling();
    if (!container)
        throw ECatalogError(QStringLiteral("Folder \"%1\" counts %2 files but has no Files element")
                                .arg(TCatalog::FolderPath(folder))
                                .arg(fileCount));

    std::vector<std::unique_ptr<TFileDat>> records;
    records.reserve(size_t(std::min(fileCount, MaxReservedRecords)));
    bool flat = true; // the container holds nothing below its children
    for (pugi::xml_node file = container.first_child(); file; file = file.next_sibling()) {
        flat = flat && !file.first_child();
        if (!named(file, "File"))
            continue;
        records.push_back(context.ReadRecord(file, folder));
        context.Totals.TotalSize += records.back()->Size;
    }
    context.Totals.Files += qint64(records.size());
    catalog.AppendRecords(folder, std::move(records));
    // The folder counts as one with records even when its list came out empty.
    catalog.SetFolderImage(folder, TFolderNode::FilledImage);
    // The records' elements and their text are no longer needed; freeing them now keeps the
    // document and the catalog from both being whole in memory at the end of a large load. The
    // XML library frees a subtree recursively, so a container with deeper content stays until the
    // document goes (which frees its memory without a walk).
    if (flat) {
        // The container's text runs up to the next node of the document; nothing else points
        // into it.
        const char *from = container.name();
        pugi::xml_node next = container;
        while (next && !next.next_sibling())
            next = next.parent();
        next = next ? next.next_sibling() : pugi::xml_node();
        const char *to = !next ? context.Text.Data() + context.Text.Size()
                         : next.type() == pugi::node_element || next.type() == pugi::node_pi ? next.name()
                                                                                             : next.value();
        element.remove_child(container);
        context.Text.Release(from, to);
    }
    return folder;
}

namespace {

void checkDocumentLevel(const pugi::xml_document &document)
{
    bool elementSeen = false;
    for (pugi::xml_node node = document.first_child(); node; node = node.next_sibling()) {
        if (elementSeen)
            throw ECatalogError(
                QStringLiteral("The registry has unexpected content after its <Tree> element"));
        if (node.type() == pugi::node_element) {
            if (!named(node, "Tree"))
                throw ECatalogError(QStringLiteral("The document element is <%1>, not <Tree>")
                                        .arg(QString::fromUtf8(node.name())));
            elementSeen = true;
        } else if (node.type() != pugi::node_comment && node.type() != pugi::node_pi) {
            throw ECatalogError(
                QStringLiteral("The registry has unexpected content before its <Tree> element"));
        }
    }
    if (!elementSeen)
        throw ECatalogError(QStringLiteral("The registry has no <Tree> element"));
}

TFolderNode *parentOf(TFolderNode *folder)
{
    return folder ? folder->Parent() : nullptr;
}

} // namespace

TCatalogTotals ReadCatalogDocument(TCatalog &catalog, QIODevice &device, const TProgressFn &progress)
{
    TDocumentText text(device);
    const bool latin1 = declaresLatin1(text.Data(), text.Size());
    pugi::xml_document document;
    // A Latin-1 document is parsed as it is, its bytes passed through; TValueDecoder reads them.
    const pugi::xml_parse_result parsed = document.load_buffer_inplace(
        text.Data(), text.Size(), ParseOptions, latin1 ? pugi::encoding_utf8 : pugi::encoding_auto);
    if (!parsed)
        throw ECatalogError(QStringLiteral("XML error in the registry: %1 (at byte %2)")
                                .arg(QString::fromUtf8(parsed.description()))
                                .arg(parsed.offset));
    checkDocumentLevel(document);

    TCatalogReadContext context(catalog, latin1, text);
    pugi::xml_node element = document.document_element();
    const qint64 total = context.Count(element, "Total", nullptr);
    TFolderNode *folder = nullptr; // the folder of the current element's level

    for (qint64 step = 0;; ++step) {
        if (progress && step % 5 == 0)
            progress(step, total);
        const bool container = element == document.document_element() || isFolder(element);
        if (container && context.Count(element, "Folders", folder) >= 1) {
            // Enter at the first Folder child, past the Files element and anything foreign.
            pugi::xml_node child = element.first_child();
            while (child && !isFolder(child))
                child = child.next_sibling();
            if (!child)
                throw ECatalogError(
                    QStringLiteral("%1 counts %2 sub-folders but contains none")
                        .arg(folder ? TCatalogReadContext::placeOf(folder) : QStringLiteral("The registry"))
                        .arg(context.Count(element, "Folders", folder)));
            element = child;
            folder = ReadFolderElement(element, folder, context);
        } else if (pugi::xml_node sibling = element.next_sibling()) {
            element = sibling;
            if (isFolder(element))
                folder = ReadFolderElement(element, parentOf(folder), context);
        } else {
            // Climb until an ancestor has a next sibling; past the document element the walk ends.
            bool found = false;
            element = element.parent();
            folder = parentOf(folder);
            while (element && element.type() != pugi::node_document) {
                if (pugi::xml_node next = element.next_sibling()) {
                    element = next;
                    if (isFolder(element))
                        folder = ReadFolderElement(element, parentOf(folder), context);
                    found = true;
                    break;
                }
                element = element.parent();
                folder = parentOf(folder);
            }
            if (!found)
                break;
        }
    }
    return context.Totals;
}
