// Feeds arbitrary bytes to the document reader. Beyond "no crash, no overread", whatever was
// read must save and reload without error, and saving is stable after one reload (names that
// the reader normalises, such as empty ones, settle on the first pass).
#include "skin/document/BinaryTreeDocument100.h"

#include <cstdint>
#include <cstdlib>

using namespace velmora;

namespace {

QByteArray Reload(const QByteArray& ABytes) {
    TBinaryTreeDocument100 doc;
    doc.WriteBuffer(ABytes.constData(), ABytes.size());
    return doc.SaveToByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TBinaryTreeDocument100 doc;
    // Small limits keep each run fast; the bounds themselves are what is under test.
    doc.SetReadLimits({.MaxDepth = 64, .MaxNodes = 20000});
    try {
        doc.WriteBuffer(data, static_cast<std::int64_t>(size));
    } catch (const EBinaryTreeError&) {
        // Failures keep the nodes read so far, which must still be a sound tree.
    }
    const QByteArray first = doc.SaveToByteArray();
    if (first.size() < 28 || doc.DataSize() != static_cast<std::uint64_t>(first.size()))
        std::abort();
    try {
        const QByteArray second = Reload(first);
        if (Reload(second) != second)
            std::abort();
    } catch (const EVelmoraError&) {
        std::abort(); // the writer produced something the reader refuses
    }
    if (size > 8) {
        const QString probe =
            QString::fromLatin1(reinterpret_cast<const char*>(data) + size - 8, 8);
        (void)doc.FindNodeByPath(probe);
        (void)doc.FindNode(probe);
    }
    return 0;
}
