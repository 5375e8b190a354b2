#include "platform/system/ImageHeap.h"

#include <QFile>
#include <QStringList>
#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>

namespace velmora {
namespace {

// The mapping of this process that holds address, as /proc/self/smaps describes it: its
// header line and its VmFlags line.
QStringList MappingOf(const void* address) {
    QFile maps(QStringLiteral("/proc/self/smaps"));
    if (!maps.open(QIODevice::ReadOnly))
        return {};
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    QString header;
    bool inside = false;
    for (const QByteArray& raw : maps.readAll().split('\n')) {
        const QString line = QString::fromLatin1(raw);
        const QString range = line.section(u' ', 0, 0);
        bool fromOk = false;
        bool toOk = false;
        const std::uintptr_t from = range.section(u'-', 0, 0).toULongLong(&fromOk, 16);
        const std::uintptr_t to = range.section(u'-', 1, 1).toULongLong(&toOk, 16);
        if (fromOk && toOk && range.contains(u'-')) {
            inside = from <= at && at < to;
            header = line;
            continue;
        }
        if (inside && line.startsWith(QStringLiteral("VmFlags:")))
            return {header, line};
    }
    return {};
}

// A window buffer made after the preparation comes from the heap, in the part the kernel was
// told to back with huge pages, and a freed one is taken again by the next of its size
// instead of being handed back to the kernel.
TEST(ImageHeap, WindowBuffersComeFromTheAdvisedHeapAndAreReused) {
    EXPECT_FALSE(ImageHeapPrepared());
    const bool prepared = PrepareImageHeap();
    EXPECT_EQ(ImageHeapPrepared(), prepared);
    if (!prepared)
        GTEST_SKIP() << "the C library's allocator is not the one in use (a sanitizer build) "
                        "or the kernel refused the advice";
    // The first megabytes lie below the first huge-page boundary of the grown heap; buffers
    // made after them lie in the advised part.
    constexpr std::size_t KBuffer = 562 * 371 * 4;
    void* buffers[4] = {};
    for (void*& buffer : buffers) {
        buffer = std::malloc(KBuffer);
        ASSERT_NE(buffer, nullptr);
    }
    const QStringList mapping = MappingOf(buffers[3]);
    ASSERT_EQ(mapping.size(), 2);
    EXPECT_TRUE(mapping[0].endsWith(QStringLiteral("[heap]"))) << mapping[0].toStdString();
    EXPECT_TRUE(mapping[1].split(u' ', Qt::SkipEmptyParts).contains(QStringLiteral("hg")))
        << mapping[1].toStdString();
    void* const last = buffers[3];
    std::free(last);
    void* again = std::malloc(KBuffer);
    EXPECT_EQ(again, last);
    std::free(again);
    for (void* buffer : {buffers[0], buffers[1], buffers[2]})
        std::free(buffer);

    // Settled after start-up: the unused heap went back, so a block larger than anything
    // freed on it (as a growing buffer becomes) is a mapping of its own again; once only.
    EXPECT_TRUE(SettleImageHeap());
    void* later = std::malloc(3 * 4 * KBuffer);
    ASSERT_NE(later, nullptr);
    const QStringList laterMapping = MappingOf(later);
    ASSERT_EQ(laterMapping.size(), 2);
    EXPECT_FALSE(laterMapping[0].endsWith(QStringLiteral("[heap]")))
        << laterMapping[0].toStdString();
    std::free(later);
    EXPECT_FALSE(ImageHeapPrepared()) << "settled: freed memory may go back again";
    EXPECT_FALSE(SettleImageHeap());
}

} // namespace
} // namespace velmora
