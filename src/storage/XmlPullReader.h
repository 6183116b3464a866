#pragma once

// Reads an XML document from a device one piece of markup at a time, holding only a window of
// its text: a catalog of a million records is read without its whole text, or a tree of it, in
// memory.
//
// It checks what makes the document's structure: names, attributes (values in either quote),
// start and end tags that match, comments, CDATA sections, processing instructions and a
// document type declaration that are closed, and nothing left open at the end. Errors are thrown
// as ECatalogError "XML error in the registry: <what> (at byte <offset>)"; a document without
// any element is one of them.
//
// What it leaves to the caller: attribute values come raw, as they stand in the document, with
// their references and white space undecoded; the document's own encoding is the caller's too
// (Head() shows its declaration). Documents in UTF-16 or UTF-32, known by their byte order mark
// or their first "<", are read as UTF-8. Text, CDATA sections, XML declarations and a document
// type declaration are passed over wherever they may stand, as are comments and processing
// instructions inside elements; at the document level those two are reported, to be judged by
// the caller. Entities that a document type declaration declares are never expanded. The
// document ends at its first null character.

#include <QByteArray>
#include <QtGlobal>
#include <memory>
#include <string>
#include <vector>

class QIODevice;

struct TXmlAttribute
{
    QByteArrayView Name;
    QByteArrayView Value; // raw
};

class TXmlPullReader
{
public:
    enum TToken
    {
        StartElement, // Name() and Attributes() are the element's
        EndElement,   // Name() is the element's; an empty element's end follows its start
        Markup,       // a comment or processing instruction at the document level
        EndOfDocument,
    };

    // Reads the device from its position on. Throws EFileError when it cannot be read.
    explicit TXmlPullReader(QIODevice &device);
    ~TXmlPullReader();
    TXmlPullReader(const TXmlPullReader &) = delete;
    TXmlPullReader &operator=(const TXmlPullReader &) = delete;

    // The next token. Name() and Attributes() stay valid until the next call. Throws
    // ECatalogError for a document that is not well formed, EFileError when the device fails.
    TToken Next();
    QByteArrayView Name() const { return m_name; }
    const std::vector<TXmlAttribute> &Attributes() const { return m_attributes; }

    // The first bytes of the document (a window of them), with the XML declaration it opens
    // with; valid until the first call of Next().
    QByteArrayView Head() const { return QByteArrayView(m_buffer.get(), qsizetype(m_end)); }
    // True for a UTF-16 or UTF-32 document, whose text is read as UTF-8 whatever it declares.
    bool ConvertedToUtf8() const { return m_converted != nullptr; }

private:
    enum TScan
    {
        Complete,
        Incomplete, // the markup runs past the bytes read so far
    };

    bool refill();
    void endAtNull(size_t from);
    void grow();
    void readAsUtf8IfWide();
    TScan scanMarkup(const char *at, const char *end, TToken &token, bool &reported, const char *&next);
    TScan scanStartTag(const char *at, const char *end, const char *&next);
    TScan scanEndTag(const char *at, const char *end, const char *&next);
    TScan scanDocumentType(const char *at, const char *end, const char *&next);
    [[noreturn]] void fail(const char *what, const char *at) const;
    [[noreturn]] void failAtEnd() const;

    QIODevice *m_device;
    std::unique_ptr<QIODevice> m_converted; // the UTF-8 text of a UTF-16 or UTF-32 document
    std::unique_ptr<char[]> m_buffer;
    size_t m_capacity = 0;
    size_t m_pos = 0;  // the next byte to read
    size_t m_end = 0;  // the end of the bytes read
    qint64 m_base = 0; // document offset of m_buffer[0]
    bool m_eof = false;
    bool m_endsAtNull = false;       // once the encoding is known
    bool m_emptyElementOpen = false; // its end is the next token
    bool m_elementSeen = false;
    std::string m_openNames; // the names of the open elements, one after another
    std::vector<size_t> m_openStarts;
    QByteArrayView m_name;
    std::vector<TXmlAttribute> m_attributes;
};
