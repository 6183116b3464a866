#pragma once

// Writes the catalog document: the XML text of the catalog file, before compression.
//
//   <?xml version="1.0" encoding="ISO-8859-1"?>
//   <Tree Total="all folders" Folders="top-level folders">
//     <Folder Name="..." Files="records" Folders="sub-folders">
//       <Files>
//         <File n="name" s="size" d="mm/dd/yy hh:nn" r="real path" m="digest" c="comment"/>
//       </Files>
//       <Folder .../>
//     </Folder>
//   </Tree>
//
// Texts are written in ISO-8859-1; characters beyond it, control characters and the XML
// specials as character references. One element per line, indented by depth (up to 16 levels).

#include "Progress.h"

#include <QStringView>
#include <functional>
#include <string>
#include <string_view>

class QIODevice;
class TCatalog;
class TFolderNode;

// Where the document goes: its bytes in order, in pieces of about 64 KiB.
using TDocumentSink = std::function<void(const char *data, qint64 size)>;

// Buffered XML output in ISO-8859-1 to a sink; Flush() hands over what is buffered.
class TCatalogXmlWriter
{
public:
    explicit TCatalogXmlWriter(TDocumentSink sink);

    void Raw(std::string_view ascii) { m_buffer.append(ascii); }
    void StartLine(int depth); // indentation of an element at that depth
    void EndLine() { m_buffer.append("\r\n"); }
    // name="value" with a blank before it, the value escaped.
    void Attribute(std::string_view name, QStringView value);
    void Attribute(std::string_view name, qint64 value);
    // A value known to need no escaping.
    void AsciiAttribute(std::string_view name, std::string_view value);
    void FlushIfFull();
    void Flush();

private:
    void escaped(QStringView value);
    void reference(uint codePoint);

    TDocumentSink m_sink;
    std::string m_buffer;
};

// Writes the document of the whole catalog to the open device. Calls progress(position, folder
// count) after each folder whose pre-order position is a multiple of 10. Returns the number of
// records written and the sum of their sizes. Throws EFileError when the device refuses a write.
TCatalogTotals WriteCatalogDocument(const TCatalog &catalog, QIODevice &device,
                                    const TProgressFn &progress = {});
// The same into a sink, which throws to stop the writing.
TCatalogTotals WriteCatalogDocument(const TCatalog &catalog, const TDocumentSink &sink,
                                    const TProgressFn &progress = {});

// Writes the folder's start tag and its Files element at the given depth, and adds its records
// to the totals. Returns false when the element is already closed (no sub-folders); otherwise
// the caller writes the sub-folders and then closes it with CloseFolderElement.
bool WriteFolderElement(const TFolderNode &folder, int depth, TCatalogXmlWriter &xml, TCatalogTotals &totals);
void CloseFolderElement(int depth, TCatalogXmlWriter &xml);
