// The memory a large conversion will use, prepared in one piece before the picture is loaded.
// Left to the allocator, each large picture is a fresh mapping that the kernel fills one 4 KiB
// page per fault as the loader clears it; reserved here from the memory estimate, in the heap
// and marked for huge pages, the loader's and the writer's blocks are carved from a range the
// kernel maps in 2 MiB pieces. Nothing is touched in advance, so the resident size grows only
// as the conversion uses the memory, and the heap is given back when the conversion ends.
#pragma once

#include <cstdint>

namespace ravelin {

// Large blocks of the calling thread come from the one heap that can be reserved ahead: called
// by a thread that converts, before its first allocation.
void UseSharedHeapForConversions();

// Reserves `bytes` (the conversion's estimated peak) for the scope of one conversion; below a
// size where faults matter it does nothing.
class ConversionHeap {
 public:
  explicit ConversionHeap(uint64_t bytes);
  ~ConversionHeap();
  ConversionHeap(const ConversionHeap&) = delete;
  ConversionHeap& operator=(const ConversionHeap&) = delete;

  // Whether the reserve was made (large enough and the allocator gave it).
  bool active() const { return active_; }

 private:
  bool active_ = false;
};

}  // namespace ravelin
