#include "CatalogReader.h"

#include "Catalog.h"
#include "StorageErrors.h"
#include "XmlPullReader.h"
#include "support.h"

#include <QDateTime>
#include <QHash>
#include <QIODevice>
#include <charconv>
#include <cstring>
#include <optional>
#include <utility>

namespace {

// A Files count is a hint for reserving room, never trusted beyond this.
constexpr qint64 MaxReservedRecords = 1 << 20;

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
// UTF-8 (UTF-16 and UTF-32 documents reach the reader as UTF-8).
bool declaresLatin1(QByteArrayView head)
{
    if (!head.startsWith("<?xml"))
        return false;
    const qsizetype end = head.indexOf("?>");
    const QByteArrayView declaration = head.first(end < 0 ? head.size() : end);
    const qsizetype at = declaration.indexOf("encoding");
    if (at < 0)
        return false;
    QByteArrayView value = declaration.sliced(at + 8).trimmed();
    if (!value.startsWith('='))
        return false;
    value = value.sliced(1).trimmed();
    if (value.size() < 2 || (value[0] != '"' && value[0] != '\''))
        return false;
    const qsizetype close = value.indexOf(value[0], 1);
    const QByteArray name = value.sliced(1, close < 0 ? value.size() - 1 : close - 1).toByteArray().toLower();
    return name == "iso-8859-1" || name == "iso8859-1" || name == "iso_8859-1" || name == "latin1" ||
           name == "latin-1";
}

// Attribute values as text: the document's encoding, character and entity references, and
// literal line breaks and tabs (blanks in an attribute value) all handled in one pass.
class TValueDecoder
{
public:
    explicit TValueDecoder(bool latin1) : m_latin1(latin1) {}

    QString Text(QByteArrayView value) const
    {
        if (!needsDecoding(value.data(), value.size()))
            return plain(value.data(), value.size());
        return decoded(value.data(), value.size());
    }

    // The value as bytes for a number: decoded only when it has to be.
    QByteArray Ascii(QByteArrayView value) const
    {
        if (!needsDecoding(value.data(), value.size()))
            return QByteArray::fromRawData(value.data(), value.size());
        return decoded(value.data(), value.size()).toUtf8();
    }

    bool IsPlainAscii(QByteArrayView value) const
    {
        for (const char byte : value) {
            const uchar c = uchar(byte);
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
                // Appended by hand: a conversion from UTF-32 would take U+FEFF for a byte order
                // mark and drop it.
                if (QChar::requiresSurrogates(decodedChar)) {
                    text += QChar(QChar::highSurrogate(decodedChar));
                    text += QChar(QChar::lowSurrogate(decodedChar));
                } else {
                    text += QChar(decodedChar);
                }
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

// The first attribute of that name; the first of repeated attributes counts.
std::optional<QByteArrayView> attributeValue(const std::vector<TXmlAttribute> &attributes,
                                             QByteArrayView name)
{
    for (const TXmlAttribute &attribute : attributes) {
        if (attribute.Name == name)
            return attribute.Value;
    }
    return std::nullopt;
}

// What an open element is to the catalog.
struct TOpenElement
{
    enum TRole : quint8
    {
        Tree,
        Folder,
        Records, // the Files element of a folder that counts files
    };
    TRole Role;
    bool HasFolderChild = false;
    bool HasRecordsElement = false; // its first element that is not a Folder has been met
    TFolderNode *Node = nullptr;
    qint64 Files = 0;
    qint64 Folders = 0;
};

// Builds the catalog from the document's elements as they come: a folder when its start tag is
// read, its records when its Files element ends. Elements whose content is not read are passed
// over by depth alone.
class TCatalogDocumentReader
{
public:
    TCatalogDocumentReader(TCatalog &catalog, QIODevice &device, const TProgressFn &progress)
        : m_catalog(catalog), m_xml(device),
          m_decoder(!m_xml.ConvertedToUtf8() && declaresLatin1(m_xml.Head())), m_progress(progress),
          m_currentYear(QDate::currentDate().year()),
          m_now(DayCountFromDateTime(QDateTime::currentDateTime()))
    {}

    TCatalogTotals Read()
    {
        for (;;) {
            switch (m_xml.Next()) {
            case TXmlPullReader::StartElement:
                start();
                break;
            case TXmlPullReader::EndElement:
                end();
                break;
            case TXmlPullReader::Markup:
                if (m_treeRead)
                    throwContentAfterTree();
                break;
            case TXmlPullReader::EndOfDocument: // after the document element, which is the Tree
                return m_totals;
            }
        }
    }

private:
    void start()
    {
        if (m_passedDepth > 0) {
            ++m_passedDepth;
            return;
        }
        const QByteArrayView name = m_xml.Name();
        if (m_open.empty()) {
            startTree(name);
            return;
        }
        TOpenElement &parent = m_open.back();
        switch (parent.Role) {
        case TOpenElement::Tree:
        case TOpenElement::Folder:
            if (name == "Folder") {
                parent.HasFolderChild = true;
                if (parent.Folders >= 1) {
                    startFolder(parent.Node);
                    return;
                }
            } else if (parent.Role == TOpenElement::Folder && !parent.HasRecordsElement) {
                parent.HasRecordsElement = true;
                if (parent.Files >= 1) {
                    m_records.reserve(size_t(std::min(parent.Files, MaxReservedRecords)));
                    m_open.push_back({TOpenElement::Records});
                    return;
                }
            }
            break;
        case TOpenElement::Records:
            if (name == "File")
                readRecord(m_open[m_open.size() - 2].Node);
            break;
        }
        m_passedDepth = 1;
    }

    void end()
    {
        if (m_passedDepth > 0) {
            --m_passedDepth;
            return;
        }
        const TOpenElement element = m_open.back();
        m_open.pop_back();
        switch (element.Role) {
        case TOpenElement::Tree:
            requireFolderChild(element);
            m_treeRead = true;
            break;
        case TOpenElement::Folder:
            if (element.Files >= 1 && !element.HasRecordsElement)
                throw ECatalogError(QStringLiteral("Folder %1 counts %2 files but has no Files element")
                                        .arg(QuotedValue(TCatalog::FolderPath(element.Node)))
                                        .arg(element.Files));
            requireFolderChild(element);
            break;
        case TOpenElement::Records: {
            TFolderNode *folder = m_open.back().Node;
            m_totals.Files += qint64(m_records.size());
            m_catalog.AppendRecords(folder, std::exchange(m_records, {}));
            // The folder counts as one with records even when its list came out empty.
            m_catalog.SetFolderImage(folder, TFolderNode::FilledImage);
            break;
        }
        }
    }

    void startTree(QByteArrayView name)
    {
        if (m_treeRead)
            throwContentAfterTree();
        if (name != "Tree")
            throw ECatalogError(QStringLiteral("The document element is <%1>, not <Tree>")
                                    .arg(ShortenedValue(QString::fromUtf8(name))));
        m_total = count("Total", nullptr);
        m_open.push_back({TOpenElement::Tree});
        m_open.back().Folders = count("Folders", nullptr);
        if (m_progress)
            m_progress(0, m_total);
    }

    void startFolder(TFolderNode *parent)
    {
        const std::optional<QByteArrayView> name = attributeValue(m_xml.Attributes(), "Name");
        TFolderNode *folder = m_catalog.AddFolder(parent, name ? m_decoder.Text(*name) : QString());
        m_open.push_back({TOpenElement::Folder});
        TOpenElement &element = m_open.back();
        element.Node = folder;
        element.Files = count("Files", folder);
        element.Folders = count("Folders", folder);
        if (m_progress && ++m_foldersRead % 5 == 0)
            m_progress(m_foldersRead, m_total);
    }

    void requireFolderChild(const TOpenElement &element) const
    {
        if (element.Folders < 1 || element.HasFolderChild)
            return;
        throw ECatalogError(QStringLiteral("%1 counts %2 sub-folders but contains none")
                                .arg(element.Node ? placeOf(element.Node) : QStringLiteral("The registry"))
                                .arg(element.Folders));
    }

    [[noreturn]] static void throwContentAfterTree()
    {
        throw ECatalogError(QStringLiteral("The registry has unexpected content after its <Tree> element"));
    }

    // The count in the attribute of the current element, 0 when it is absent.
    qint64 count(const char *attribute, const TFolderNode *folder) const
    {
        const std::optional<QByteArrayView> value = attributeValue(m_xml.Attributes(), attribute);
        if (!value)
            return 0;
        if (const auto number = decimal(m_decoder.Ascii(*value)))
            return *number;
        throw ECatalogError(QStringLiteral("The %1 count %2 of %3 is not a decimal integer")
                                .arg(QString::fromUtf8(attribute), quoted(*value), placeOf(folder)));
    }

    QString quoted(QByteArrayView value) const { return QuotedValue(m_decoder.Text(value)); }

    static QString placeOf(const TFolderNode *folder)
    {
        return folder ? QStringLiteral("folder ") + QuotedValue(TCatalog::FolderPath(folder))
                      : QStringLiteral("the registry");
    }

    void readRecord(const TFolderNode *folder)
    {
        auto record = std::make_unique<TFileDat>();
        record->DateTime = m_now; // a record without a date gets the time of loading
        unsigned seen = 0;
        for (const TXmlAttribute &attribute : m_xml.Attributes()) {
            if (attribute.Name.size() != 1)
                continue;
            static constexpr char Names[] = "nsdrmc";
            const char *known = std::strchr(Names, attribute.Name[0]);
            if (!known)
                continue;
            const unsigned bit = 1u << (known - Names);
            if (seen & bit)
                continue; // the first of repeated attributes counts
            seen |= bit;
            const QByteArrayView value = attribute.Value;
            switch (*known) {
            case 'n':
                record->FileName = m_decoder.Text(value);
                break;
            case 's':
                if (const auto size = decimal(m_decoder.Ascii(value)))
                    record->Size = *size;
                else
                    throw ECatalogError(
                        QStringLiteral("The size %1 of file %2 in %3 is not a decimal integer")
                            .arg(quoted(value), quoted(attributeValue(m_xml.Attributes(), "n").value_or("")),
                                 placeOf(folder)));
                break;
            case 'd':
                record->DateTime = ParseDateText(dateText(value), m_currentYear);
                break;
            case 'r':
                record->RealPath = sharedRealPath(value);
                break;
            case 'm':
                if (const auto digest =
                        TMd5Text::ParseDigits(std::string_view(value.data(), size_t(value.size()))))
                    record->Md5 = TMd5Text(*digest); // the usual digest, straight from the document
                else
                    record->Md5 = m_decoder.Text(value);
                break;
            case 'c':
                if (!value.isEmpty())
                    record->Comment = m_decoder.Text(value);
                break;
            default:
                break;
            }
        }
        record->State = record->Md5.isEmpty() ? fsPending : fsDigested;
        m_totals.TotalSize += record->Size;
        m_records.push_back(std::move(record));
    }

    // Records of one directory share one text of it, wherever they stand in the document: a
    // real path costs its characters once per directory, not once per record.
    const QString &sharedRealPath(QByteArrayView value)
    {
        if (value.isEmpty())
            return m_noRealPath;
        if (value != m_lastRealPathBytes) {
            auto known = m_realPaths.constFind(QByteArray::fromRawData(value.data(), value.size()));
            if (known == m_realPaths.cend())
                known = m_realPaths.insert(value.toByteArray(), m_decoder.Text(value));
            m_lastRealPathBytes = known.key();
            m_lastRealPath = known.value();
        }
        return m_lastRealPath;
    }

    // The date as a text without a fresh allocation for each record.
    const QString &dateText(QByteArrayView value)
    {
        if (!m_decoder.IsPlainAscii(value)) {
            m_scratch = m_decoder.Text(value);
            return m_scratch;
        }
        m_scratch.resize(value.size());
        QChar *out = m_scratch.data();
        for (const char c : value)
            *out++ = QChar(uchar(c));
        return m_scratch;
    }

    TCatalog &m_catalog;
    TXmlPullReader m_xml;
    const TValueDecoder m_decoder;
    const TProgressFn &m_progress;
    const int m_currentYear;
    const double m_now;
    TCatalogTotals m_totals;
    qint64 m_total = 0;
    qint64 m_foldersRead = 0;
    bool m_treeRead = false;
    std::vector<TOpenElement> m_open;
    qint64 m_passedDepth = 0;                         // elements open inside one whose content is not read
    std::vector<std::unique_ptr<TFileDat>> m_records; // of the Files element being read
    QHash<QByteArray, QString> m_realPaths;           // by the bytes of the attribute
    QByteArray m_lastRealPathBytes;
    QString m_lastRealPath;
    const QString m_noRealPath;
    QString m_scratch;
};

} // namespace

TCatalogTotals ReadCatalogDocument(TCatalog &catalog, QIODevice &device, const TProgressFn &progress)
{
    return TCatalogDocumentReader(catalog, device, progress).Read();
}
