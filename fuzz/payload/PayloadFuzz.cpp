// Feeds arbitrary bytes to the payload reader twice: as an inflated image (the table
// checks) and as an archive (inflation bounded by its table, then the table). Accepted
// tables must only name safe, in-range entries below the product folder.
#include "installer/PayloadTable.h"
#include "installer/ZDecompress.h"

#include <QBuffer>
#include <cstdlib>
#include <vector>

using namespace velmora;

namespace {

const QString kProduct = QStringLiteral("Velmora");
constexpr qint64 kMaxInflated = qint64(4) << 20;

void Require(bool condition) {
    if (!condition)
        std::abort();
}

void CheckAccepted(QByteArrayView image) {
    std::vector<TPayloadEntry> entries;
    try {
        entries = ReadPayloadTable(image, kProduct);
    } catch (const EPayloadFormatError&) {
        return;
    }
    quint64 nameBytes = 0;
    for (const TPayloadEntry& entry : entries) {
        Require(quint64(entry.DataOffset) + entry.DataSize <= quint64(image.size()));
        nameBytes += quint64(entry.RawName.size());
        Require(entry.Components.size() >= 2 && entry.Components.first() == kProduct);
        Require(entry.Components.join(u'\\') == entry.Name);
        Require(EscapeControlCharacters(entry.Name) == entry.Name);
        for (const QString& component : entry.Components) {
            Require(!component.isEmpty() && component != u"." && component != u".." &&
                    !component.contains(u'/') && !IsReservedTemporaryName(component));
            Require(component.toUtf8().size() <= kMaxComponentBytes);
        }
    }
    Require(nameBytes <= quint64(image.size()));
}

} // namespace

// Freed images wait in the address sanitizer's quarantine (256 MB by default), which the
// memory limit would count against the target: a smaller one keeps the limit about the
// target's own use.
extern "C" __attribute__((used, visibility("default"))) const char* __asan_default_options() {
    return "quarantine_size_mb=32";
}

// Under libFuzzer the target always runs with a memory limit of 256 MB: the bounds on
// inflation and validation are what it proves. It goes first, so a limit given on the
// command line still wins.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static char limit[] = "-rss_limit_mb=256";
    static std::vector<char*> arguments;
    arguments.assign(*argv, *argv + *argc);
    arguments.insert(arguments.begin() + (arguments.empty() ? 0 : 1), limit);
    arguments.push_back(nullptr);
    *argc = static_cast<int>(arguments.size()) - 1;
    *argv = arguments.data();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckAccepted(bytes);

    QBuffer source;
    source.setData(bytes);
    source.open(QIODevice::ReadOnly);
    QByteArray image;
    try {
        // As the installer inflates (bounded by the table), with a small fixed bound so a
        // table declaring gigabytes cannot exhaust the fuzzer's memory either.
        ZDecompressStream(source, image, kMaxInflated, DeclaredImageSize);
    } catch (const EDecompressionError&) {
        return 0;
    }
    // What the bound promises: never more than a complete table declares.
    const qint64 declared = DeclaredImageSize(image);
    Require(declared < 0 || image.size() <= declared);
    CheckAccepted(image);
    return 0;
}
