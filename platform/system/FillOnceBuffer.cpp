#include "platform/system/FillOnceBuffer.h"

#include <cstdint>
#include <sys/mman.h>

namespace velmora {

bool AdviseFillOnce(void* data, size_t size) {
    constexpr uintptr_t kHugePage = uintptr_t(2) << 20;
    const auto start = reinterpret_cast<uintptr_t>(data);
    const uintptr_t from = (start + kHugePage - 1) & ~(kHugePage - 1);
    const uintptr_t to = (start + size) & ~(kHugePage - 1);
    if (to <= from)
        return false;
    return ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE) == 0;
}

} // namespace velmora
