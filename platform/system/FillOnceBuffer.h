#pragma once

#include <cstddef>

namespace velmora {

// A buffer of tens of MiB about to be filled once from start to end: its pages are advised to
// the kernel as huge-page memory, faulted in 2 MiB at a time instead of 4 KiB. On a virtual
// machine each fault costs several microseconds, and an inflated payload of 92 MB took
// 23,000 of them, more time than the writing of its files. Only the whole 2 MiB pages inside
// [data, data + size) are advised. False when the kernel refused (nothing changed then).
bool AdviseFillOnce(void* data, size_t size);

} // namespace velmora
