// The memory a large picture is loaded into, prepared in one piece before the load. Left to the
// allocator, a large picture is a fresh mapping that the kernel fills one 4 KiB page per fault
// as the loader clears it; reserved here in the heap and marked for huge pages, the loader's
// block is carved from a range the kernel maps in 2 MiB pieces. Nothing is touched in advance,
// so the resident size grows only as the loader uses the memory. The allocator's own ways
// come back when the load ends: the later steps' blocks are held and given back as before.
#pragma once

#include <pthread.h>

#include <cstddef>
#include <cstdint>

namespace ravelin {

// The piece large memory is mapped in when the kernel grants huge pages.
constexpr uintptr_t kHugePageBytes = uintptr_t{2} << 20;

// Marks the whole huge pages inside a block to be mapped as such. A hint: a kernel that
// refuses it changes nothing.
void AdviseHugePages(void* block, size_t size);

// For fresh, untouched memory that is written whole right away. Left to itself the kernel maps
// it one page per fault as it is written; asked to map the whole pages of the range in one
// call, it does the same work without a trap per page. A hint: false when the kernel did not
// take it, which changes nothing.
bool MapFreshMemory(void* block, size_t size);

// Large blocks of the calling thread come from the one heap that can be reserved ahead: called
// by a thread that converts, before its first allocation.
void UseSharedHeapForConversions();

// Reserves `bytes` (the loaded picture's) for the scope of one load; below a size where faults
// matter it does nothing. While the loader clears and fills the picture from its start, a
// thread of the reserve maps it from the end, so the two cores share the mapping.
class ConversionHeap {
 public:
  explicit ConversionHeap(uint64_t bytes);
  ~ConversionHeap();
  ConversionHeap(const ConversionHeap&) = delete;
  ConversionHeap& operator=(const ConversionHeap&) = delete;

  // Whether the reserve was made (large enough and the allocator gave it).
  bool active() const { return active_; }

 private:
  static void* Map(void* heap);

  bool active_ = false;
  // The thread that maps the reserve, and what it maps.
  pthread_t mapper_{};
  bool mapping_ = false;
  uintptr_t start_ = 0;
  size_t size_ = 0;
};

}  // namespace ravelin
