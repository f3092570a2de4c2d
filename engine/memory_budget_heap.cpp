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

// Maps [block, block + size) from its end down, a piece at a time; the pages the loader has
// reached by then are already there and cost nothing.
void MapFromTheEnd(uintptr_t block, size_t size) {
  constexpr uintptr_t kStep = uintptr_t{4} << 20;
  uintptr_t end = block + size;
  while (end > block) {
    const uintptr_t from = end - block > kStep ? end - kStep : block;
    if (!MapFreshMemory(reinterpret_cast<void*>(from), end - from)) return;
    end = from;
  }
}

}  // namespace

void AdviseHugePages(void* block, size_t size) {
  const uintptr_t start = reinterpret_cast<uintptr_t>(block);
  const uintptr_t begin = (start + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
  const uintptr_t end = (start + size) & ~(kHugePageBytes - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

bool MapFreshMemory(void* block, size_t size) {
#ifdef MADV_POPULATE_WRITE
  const uintptr_t start = reinterpret_cast<uintptr_t>(block);
  const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t begin = (start + page - 1) & ~(page - 1);
  const uintptr_t end = (start + size) & ~(page - 1);
  return end <= begin || madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE) == 0;
#else
  (void)block;
  (void)size;
  return false;
#endif
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
  // Kept as an address only: the block is free again at once, and the loader takes it.
  start_ = reinterpret_cast<uintptr_t>(block);
  size_ = static_cast<size_t>(bytes);
  std::free(block);
  // A bare thread that never allocates, so it takes no heap of its own that a later converting
  // thread could be given. When it cannot start, the loader maps the picture alone.
  mapping_ = pthread_create(&mapper_, nullptr, &ConversionHeap::Map, this) == 0;
}

void* ConversionHeap::Map(void* heap) {
  const ConversionHeap* self = static_cast<const ConversionHeap*>(heap);
  MapFromTheEnd(self->start_, self->size_);
  return nullptr;
}

ConversionHeap::~ConversionHeap() {
  if (mapping_) pthread_join(mapper_, nullptr);
  if (!active_) return;
  mallopt(M_TRIM_THRESHOLD, kDefaultTrimThreshold);
  mallopt(M_MMAP_MAX, kDefaultMmapMax);
  malloc_trim(0);
}

}  // namespace ravelin
