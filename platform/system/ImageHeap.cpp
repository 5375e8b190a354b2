#include "platform/system/ImageHeap.h"

#include <cstdint>
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace velmora {

namespace {

constexpr std::size_t KMiB = std::size_t{1} << 20;
// The largest block kept on the heap: a buffer of a 2560 x 1440 screen at ratio 1. Larger
// blocks stay mappings of their own, above all a buffer that grows by doubling to tens of MiB
// (the inflated payload image): the C library moves a mapping to its new size without
// copying it, a heap block it copies.
constexpr std::size_t KHeapBlockLimit = 16 * KMiB;
// Freed memory up to this much stays with the process instead of going back at once.
constexpr std::size_t KKeptFree = 128 * KMiB;
// What the heap grows by at once, the part advised as huge-page memory: start-up's pictures
// and buffers together, with room.
constexpr std::size_t KAdvisedRegion = 64 * KMiB;
constexpr std::size_t KHugePage = 2 * KMiB;
// The C library's own threshold for a mapping of its own, as it starts.
constexpr std::size_t KUsualMappingThreshold = 128 * 1024;

bool GPrepared = false;
std::uintptr_t GAdvisedFrom = 0;
std::uintptr_t GAdvisedTo = 0;

} // namespace

bool PrepareImageHeap() {
#if defined(__GLIBC__)
    if (mallopt(M_MMAP_THRESHOLD, static_cast<int>(KHeapBlockLimit)) == 0)
        return false;
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(KKeptFree));
    // One growth of the whole region, so it is one range to advise; later growth goes back to
    // the allocator's usual steps.
    mallopt(M_TOP_PAD, static_cast<int>(KAdvisedRegion));
    // Larger than what is free at the top of the heap, so the heap must grow for it.
    const std::size_t probeSize = mallinfo2().keepcost + KHugePage;
    const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
    void* probe = std::malloc(probeSize);
    const auto after = reinterpret_cast<std::uintptr_t>(sbrk(0));
    std::free(probe);
    mallopt(M_TOP_PAD, static_cast<int>(KHugePage));
    if (probe == nullptr || after <= before)
        return false; // the blocks do not come from the program break
    const std::uintptr_t from = (before + KHugePage - 1) / KHugePage * KHugePage;
    const std::uintptr_t to = after / KHugePage * KHugePage;
    if (to <= from)
        return false;
    GPrepared = madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE) == 0;
    if (GPrepared) {
        GAdvisedFrom = from;
        GAdvisedTo = to;
    }
    return GPrepared;
#else
    return false;
#endif
}

bool ImageHeapPrepared() {
    return GPrepared;
}

bool SettleImageHeap() {
#if defined(__GLIBC__)
    if (GAdvisedTo <= GAdvisedFrom)
        return false;
    // Taken back while the whole region is still there; part of it goes back below.
    madvise(reinterpret_cast<void*>(GAdvisedFrom), GAdvisedTo - GAdvisedFrom, MADV_NOHUGEPAGE);
    GAdvisedFrom = GAdvisedTo = 0;
    GPrepared = false;
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(KUsualMappingThreshold));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * KUsualMappingThreshold));
    // The unused rest of the region goes back now, so the next large block is a mapping of its
    // own rather than a heap block that is copied as it grows.
    malloc_trim(0);
    return true;
#else
    return false;
#endif
}

} // namespace velmora
