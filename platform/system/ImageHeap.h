#pragma once

namespace velmora {

// Prepares the C library's heap for a program that makes many pictures and window buffers of
// a few hundred KiB to a few MiB at start-up. By default each such block is a mapping of its
// own that the kernel faults in 4 KiB at a time and takes back when it is freed; on a virtual
// machine that was more than half of the wizard's first frame. Afterwards blocks up to 16 MiB
// come from the heap, freed ones are kept for the next, and the next 64 MiB of heap are
// advised to the kernel as huge-page memory, faulted in 2 MiB at a time.
//
// Call it first thing in main, before anything large is allocated. True when the heap was
// grown and advised; false (and nothing changed but the allocator's thresholds) where the C
// library's allocator is not the one in use, as under a sanitizer, or the kernel refuses.
bool PrepareImageHeap();
// Whether this process holds a heap prepared so and not yet settled. Handing freed memory back
// to the kernel (malloc_trim) meanwhile would undo it: the next pictures would be faulted in
// page by page again.
bool ImageHeapPrepared();

// Start-up is over: blocks above 128 KiB are mappings of their own again, freed memory goes
// back as usual, and the heap not yet touched is no longer advised (huge pages in place
// stay). An install streams tens of MiB through buffers that grow by doubling; on the prepared
// heap they were copied at each step and the window stalled for twice as long. True when
// there was a prepared heap to settle.
bool SettleImageHeap();

} // namespace velmora
