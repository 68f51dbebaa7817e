#pragma once
// The process's heap: how much freed memory it keeps for reuse.
#include <cstddef>

namespace platform {

// Keeps up to `bytes` of freed memory in the process for its next
// allocations, and serves large blocks from the heap too, instead of handing
// them back to the kernel at once. For a process that builds and lets go of
// the same large working set over and over: each return to the kernel costs
// a page fault per page when the memory is used again.
void keepFreedMemory(std::size_t bytes);

}  // namespace platform
