#include "CatalogReader.h"

#include "Catalog.h"
#include "StorageErrors.h"
#include "support.h"

#include <QDateTime>
#include <QIODevice>
#include <charconv>
#include <cstring>
#include <pugixml.hpp>

namespace {

// A Files count is a hint for reserving room, never trusted beyond this.
constexpr qint64 MaxReservedRecords = 1 << 20;

// What the parser keeps: character references and entities expanded, literal line breaks and
// tabs in attribute values read as blanks (as XML wants); comments and processing instructions
// kept only so that the document level can be checked. Entities declared in a DTD are never
// expanded.
constexpr unsigned ParseOptions = pugi::parse_escapes | pugi::parse_wconv_attribute | pugi::parse_eol |
                                  pugi::parse_comments | pugi::parse_pi;

bool named(const pugi::xml_node &node, const char *name)
{
    return node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0;
}

bool isFolder(const pugi::xml_node &node)
{
    return named(node, "Folder");
}

QString quoted(const char *text)
{
    return u'"' + QString::fromUtf8(text) + u'"';
}

// A decimal integer, the whole text; nullopt for anything else (empty, blanks, letters, overflow).
std::optional<qint64> decimal(const char *text)
{
    const char *end = text + std::strlen(text);
    qint64 value = 0;
    const auto [stop, error] = std::from_chars(text, end, value);
    if (error != std::errc() || stop != end || text == end)
        return std::nullopt;
    return value;
}

} // namespace

class TCatalogReadContext
{
public:
    TCatalogReadContext(TCatalog &catalog)
        : Catalog(catalog), CurrentYear(QDate::currentDate().year()),
          Now(DayCountFromDateTime(QDateTime::currentDateTime()))
    {}

    // The count in the attribute, 0 when it is absent.
    qint64 Count(const pugi::xml_node &element, const char *attribute, const TFolderNode *folder) const
    {
        const pugi::xml_attribute value = element.attribute(attribute);
        if (!value)
            return 0;
        if (const auto count = decimal(value.value()))
            return *count;
        throw ECatalogError(QStringLiteral("The %1 count %2 of %3 is not a decimal integer")
                                .arg(QString::fromUtf8(attribute), quoted(value.value()), placeOf(folder)));
    }

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
            const unsigned bit = 1u << (unsigned(name[0]) & 31);
            if (seen & bit)
                continue; // the first of repeated attributes counts
            seen |= bit;
            const char *value = attribute.value();
            switch (name[0]) {
            case 'n':
                record->FileName = QString::fromUtf8(value);
                break;
            case 's':
                if (const auto size = decimal(value))
                    record->Size = *size;
                else
                    throw ECatalogError(
                        QStringLiteral("The size %1 of file %2 in %3 is not a decimal integer")
                            .arg(quoted(value), quoted(file.attribute("n").value()), placeOf(folder)));
                break;
            case 'd':
                record->DateTime = ParseDateText(latin1Scratch(value), CurrentYear);
                break;
            case 'r':
                record->RealPath = sharedRealPath(value);
                break;
            case 'm':
                record->Md5 = QString::fromUtf8(value);
                if (record->Md5.size() > Md5TextLength)
                    record->Md5.truncate(Md5TextLength);
                break;
            case 'c':
                if (*value)
                    record->Comment = QString::fromUtf8(value);
                break;
            default:
                break;
            }
        }
        record->State = record->Md5.isEmpty() ? fsPending : fsDigested;
        return record;
    }

    TCatalog &Catalog;
    TCatalogTotals Totals;

private:
    // Records of one folder mostly share their real path: one text serves them all.
    const QString &sharedRealPath(const char *value)
    {
        if (!m_lastRealPathBytes || std::strcmp(m_lastRealPathBytes, value) != 0) {
            m_lastRealPath = QString::fromUtf8(value);
            m_lastRealPathBytes = value; // the parsed text lives as long as the document
        }
        return m_lastRealPath;
    }

    // The value as a text without a fresh allocation for each record.
    const QString &latin1Scratch(const char *value)
    {
        const qsizetype size = qsizetype(std::strlen(value));
        bool ascii = true;
        for (qsizetype i = 0; i < size && ascii; ++i)
            ascii = uchar(value[i]) < 0x80;
        if (!ascii) {
            m_scratch = QString::fromUtf8(value, size);
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
    const char *m_lastRealPathBytes = nullptr;
    QString m_lastRealPath;
    QString m_scratch;
};

TFolderNode *ReadFolderElement(pugi::xml_node element, TFolderNode *parent, TCatalogReadContext &context)
{
    TCatalog &catalog = context.Catalog;
    TFolderNode *folder = catalog.AddFolder(parent, QString::fromUtf8(element.attribute("Name").value()));
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
    for (pugi::xml_node file = container.first_child(); file; file = file.next_sibling()) {
        if (!named(file, "File"))
            continue;
        records.push_back(context.ReadRecord(file, folder));
        context.Totals.TotalSize += records.back()->Size;
    }
    // The folder counts as one with records even when its list came out empty.
    catalog.SetFolderImage(folder, TFolderNode::FilledImage);
    context.Totals.Files += qint64(records.size());
    catalog.AppendRecords(folder, std::move(records));
    // The records' elements are no longer needed; freeing them now keeps the document and the
    // catalog from both being whole in memory at the end of a large load.
    element.remove_child(container);
    return folder;
}

namespace {

// Reads the device to its end into a buffer that pugixml takes over.
std::pair<char *, size_t> readWhole(QIODevice &device)
{
    auto allocate = pugi::get_memory_allocation_function();
    auto deallocate = pugi::get_memory_deallocation_function();
    size_t capacity =
        device.isSequential() ? 65536 : size_t(std::max<qint64>(device.size() - device.pos(), 0)) + 1;
    char *buffer = static_cast<char *>(allocate(capacity));
    size_t size = 0;
    for (;;) {
        if (!buffer)
            throw ECatalogError(QStringLiteral("Not enough memory to read the registry"));
        if (size == capacity) {
            char *larger = static_cast<char *>(allocate(capacity * 2));
            if (larger)
                std::memcpy(larger, buffer, size);
            deallocate(buffer);
            buffer = larger;
            capacity *= 2;
            continue;
        }
        const qint64 got = device.read(buffer + size, qint64(capacity - size));
        if (got < 0) {
            deallocate(buffer);
            ThrowReadError(device);
        }
        if (got == 0)
            break;
        size += size_t(got);
    }
    return {buffer, size};
}

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
    const auto [buffer, size] = readWhole(device);
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer_inplace_own(buffer, size, ParseOptions);
    if (!parsed)
        throw ECatalogError(QStringLiteral("XML error in the registry: %1 (at byte %2)")
                                .arg(QString::fromUtf8(parsed.description()))
                                .arg(parsed.offset));
    checkDocumentLevel(document);

    TCatalogReadContext context(catalog);
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
