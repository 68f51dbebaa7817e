#include "platform/heap.h"

#include <malloc.h>

namespace platform {

namespace {
// The largest block the heap may serve itself; larger ones are mapped anew.
constexpr std::size_t kLargestHeapBlock = std::size_t(32) << 20;
}  // namespace

void keepFreedMemory(std::size_t bytes) {
    mallopt(M_TRIM_THRESHOLD, int(bytes));
    mallopt(M_MMAP_THRESHOLD, int(kLargestHeapBlock));
}

}  // namespace platform
