// Feeds arbitrary bytes to the payload reader twice: as an inflated image (the table
// checks) and as an archive (inflation, then the table). Accepted tables must only name
// safe, in-range entries.
#include "installer/PayloadTable.h"
#include "installer/ZDecompress.h"

#include <QBuffer>
#include <cstdlib>

using namespace velmora;

namespace {

void CheckAccepted(QByteArrayView image) {
    std::vector<TPayloadEntry> entries;
    try {
        entries = ReadPayloadTable(image);
    } catch (const EPayloadFormatError&) {
        return;
    }
    for (const TPayloadEntry& entry : entries) {
        if (quint64(entry.DataOffset) + entry.DataSize > quint64(image.size()))
            std::abort();
        for (const QString& component : entry.Components) {
            if (component.isEmpty() || component == u".." || component.contains(u'/'))
                std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                                     static_cast<qsizetype>(size));
    CheckAccepted(bytes);

    QBuffer source;
    source.setData(bytes);
    source.open(QIODevice::ReadOnly);
    QByteArray image;
    try {
        // A small bound keeps decompression bombs from exhausting the fuzzer's memory.
        ZDecompressStream(source, image, qint64(64) << 20);
    } catch (const EDecompressionError&) {
        return 0;
    }
    CheckAccepted(image);
    return 0;
}
