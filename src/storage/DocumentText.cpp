#include "DocumentText.h"

#include "StorageErrors.h"

#include <QIODevice>
#include <sys/mman.h>
#include <unistd.h>

namespace {

size_t pageSize()
{
    static const size_t size = size_t(::sysconf(_SC_PAGESIZE));
    return size;
}

size_t wholePages(size_t bytes)
{
    return (bytes + pageSize() - 1) / pageSize() * pageSize();
}

qint64 physicalMemory()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    return pages > 0 ? qint64(pages) * qint64(pageSize()) : 0;
}

[[noreturn]] void throwNoRoom()
{
    throw ECatalogError(QStringLiteral("Not enough memory to read the registry"));
}

} // namespace

TDocumentText::TDocumentText(QIODevice &device)
{
    const qint64 expected = device.isSequential() ? 0 : std::max<qint64>(device.size() - device.pos(), 0);
    if (const qint64 memory = physicalMemory(); memory > 0 && expected > memory)
        throw ECatalogError(
            QStringLiteral("The registry document of %1 bytes does not fit in memory").arg(expected));
    // One byte more than expected, so that the end shows as a read of nothing within the room.
    reserve(wholePages(size_t(expected) + 1));
    for (;;) {
        if (m_size == m_capacity)
            reserve(m_capacity * 2);
        const qint64 got = device.read(m_data + m_size, qint64(m_capacity - m_size));
        if (got < 0)
            ThrowReadError(device);
        if (got == 0)
            break;
        m_size += size_t(got);
    }
}

TDocumentText::~TDocumentText()
{
    if (m_data)
        ::munmap(m_data, m_capacity);
}

void TDocumentText::reserve(size_t capacity)
{
    void *pages = m_data
                      ? ::mremap(m_data, m_capacity, capacity, MREMAP_MAYMOVE)
                      : ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED)
        throwNoRoom();
    m_data = static_cast<char *>(pages);
    m_capacity = capacity;
}

void TDocumentText::Release(const char *from, const char *to)
{
    if (from < m_data || to > m_data + m_size || from >= to)
        return;
    const size_t first = wholePages(size_t(from - m_data));
    const size_t end = size_t(to - m_data) / pageSize() * pageSize();
    if (end > first)
        ::madvise(m_data + first, end - first, MADV_DONTNEED);
}
