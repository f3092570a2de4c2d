#include "engine/memory_budget_heap.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>

namespace ravelin {
namespace {

// Below this a load's faults cost too little to be worth changing the allocator's mode.
constexpr uint64_t kSmallestReserve = uint64_t{8} << 20;

// The allocator's own defaults, restored when the conversion ends.
constexpr int kDefaultTrimThreshold = 128 * 1024;
constexpr int kDefaultMmapMax = 65536;

}  // namespace

void AdviseHugePages(void* block, size_t size) {
  const uintptr_t start = reinterpret_cast<uintptr_t>(block);
  const uintptr_t begin = (start + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
  const uintptr_t end = (start + size) & ~(kHugePageBytes - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

void UseSharedHeapForConversions() {
  // Only the first heap grows in place; a thread's own heap hands every large block out as a
  // mapping of its own, which cannot be prepared ahead.
  mallopt(M_ARENA_MAX, 1);
}

ConversionHeap::ConversionHeap(uint64_t bytes) {
  if (bytes < kSmallestReserve || bytes > SIZE_MAX / 2) return;
  // Large blocks come from the heap, and the reserve stays in it until the scope ends.
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, -1);
  active_ = true;
  void* block = std::malloc(static_cast<size_t>(bytes));
  if (block == nullptr) return;
  AdviseHugePages(block, static_cast<size_t>(bytes));
  std::free(block);
}

ConversionHeap::~ConversionHeap() {
  if (!active_) return;
  mallopt(M_TRIM_THRESHOLD, kDefaultTrimThreshold);
  mallopt(M_MMAP_MAX, kDefaultMmapMax);
  malloc_trim(0);
}

}  // namespace ravelin
