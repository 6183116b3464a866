// Fuzz target: arbitrary bytes loaded as a catalog file through the real path (the zlib container,
// the temporary file, the document reader, the catalog).
//
// Beyond "no crash, no hang, no leak" it checks what the loader promises: a failed load leaves an
// empty catalog and no temporary file; a load that succeeds gives a catalog that the writer and
// the reader carry through unchanged.

#include "Catalog.h"
#include "CatalogFile.h"
#include "CatalogReader.h"
#include "CatalogWriter.h"
#include "FuzzSupport.h"
#include "StorageErrors.h"

#include <QBuffer>
#include <QFile>
#include <cstdint>
#include <cstring>
#include <vector>
#include <zlib.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString &temp = Fuzz::PrivateTempFolder();
    static const QString inputFolder = [] {
        const QString folder = Fuzz::PrivateTempFolder() + QStringLiteral("-input");
        QDir().mkpath(folder);
        return folder;
    }();
    const QString path = inputFolder + QStringLiteral("/input.dat");
    {
        QFile input(path);
        if (!input.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        input.write(reinterpret_cast<const char *>(data), qint64(size));
    }

    TCatalog catalog;
    bool loaded = false;
    try {
        loaded = LoadCatalog(catalog, path).has_value();
    } catch (const EStorageError &) {
        Fuzz::Require(!catalog.HasFolders(), "a failed load leaves an empty catalog");
    }
    Fuzz::Require(Fuzz::EntriesOf(temp).isEmpty(), "a load leaves no temporary file");
    // The round trip costs seconds per input on the deepest trees; ctest carries those through
    // the writer and the reader (tst_deepcatalogs), so the fuzzer spends its time elsewhere.
    constexpr int MaxRoundTripFolders = 10000;
    if (!loaded || catalog.FolderCount() > MaxRoundTripFolders)
        return 0;

    QBuffer document;
    document.open(QIODevice::ReadWrite);
    WriteCatalogDocument(catalog, document);
    document.seek(0);
    TCatalog again;
    try {
        ReadCatalogDocument(again, document);
    } catch (const EStorageError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        Fuzz::Require(false, "a written catalog reads back");
    }
    Fuzz::Require(Fuzz::Fingerprint(again) == Fuzz::Fingerprint(catalog),
                  "a written catalog reads back the same");
    return 0;
}

#ifdef DRAVIK_LIBFUZZER
// Mutating compressed bytes mostly breaks the checksum, so most of the time the document inside
// the container is mutated and compressed again, to reach the reader behind the container; the
// rest of the time the container's own bytes are.
extern "C" size_t LLVMFuzzerMutate(uint8_t *data, size_t size, size_t maxSize);

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t *data, size_t size, size_t maxSize, unsigned int seed)
{
    constexpr uLong MaxDocument = 1 << 18;
    if (seed % 4 == 0)
        return LLVMFuzzerMutate(data, size, maxSize);
    std::vector<uint8_t> document(MaxDocument);
    uLongf documentSize = MaxDocument;
    if (uncompress(document.data(), &documentSize, data, uLong(size)) != Z_OK)
        return LLVMFuzzerMutate(data, size, maxSize);
    const size_t room = std::min<size_t>(MaxDocument, documentSize * 2 + 64);
    documentSize = LLVMFuzzerMutate(document.data(), documentSize, room);
    std::vector<uint8_t> packed(compressBound(documentSize));
    uLongf packedSize = uLongf(packed.size());
    if (compress2(packed.data(), &packedSize, document.data(), documentSize, 1 + int(seed % 9)) != Z_OK ||
        packedSize > maxSize)
        return LLVMFuzzerMutate(data, size, maxSize);
    std::memcpy(data, packed.data(), packedSize);
    return packedSize;
}
#endif
