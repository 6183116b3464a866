#pragma once

// The catalog document held in memory for the parser, in pages of its own: the text of records
// already read can go back to the system while the rest of the document is still being read, so
// a large load does not hold the whole text and all of the records at once.

#include <QtGlobal>
#include <cstddef>

class QIODevice;

class TDocumentText
{
public:
    // Reads the device from its position to its end. Throws ECatalogError when the text cannot
    // have room (larger than the computer's memory: a decompression bomb, not a catalog), and
    // EFileError when the device cannot be read.
    explicit TDocumentText(QIODevice &device);
    ~TDocumentText();
    TDocumentText(const TDocumentText &) = delete;
    TDocumentText &operator=(const TDocumentText &) = delete;

    char *Data() { return m_data; }
    size_t Size() const { return m_size; }

    // Gives the whole pages between the two places of the text back to the system. Nothing may
    // read those bytes afterwards: they read as zeros. Places outside the text are ignored.
    void Release(const char *from, const char *to);

private:
    void reserve(size_t capacity);

    char *m_data = nullptr;
    size_t m_size = 0;
    size_t m_capacity = 0; // bytes mapped, a whole number of pages
};
