#include "engine/image_limits.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <initializer_list>

namespace ravelin {

bool MulSize(size_t a, size_t b, size_t* out) {
  size_t product = 0;
  if (__builtin_mul_overflow(a, b, &product)) return false;
  *out = product;
  return true;
}

bool AddSize(size_t a, size_t b, size_t* out) {
  size_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum)) return false;
  *out = sum;
  return true;
}

bool BitmapBytes(uint64_t width, uint64_t height, unsigned bpp, size_t* out) {
  if (width > SIZE_MAX || height > SIZE_MAX) return false;
  // A row is padded to whole 32-bit words, as FreeImage lays it out.
  size_t rowBits = 0;
  size_t paddedBits = 0;
  size_t bytes = 0;
  if (!MulSize(static_cast<size_t>(width), bpp, &rowBits)) return false;
  if (!AddSize(rowBits, 31, &paddedBits)) return false;
  if (!MulSize(paddedBits / 32 * 4, static_cast<size_t>(height), &bytes)) return false;
  *out = bytes;
  return true;
}

size_t PhysicalMemoryBytes() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  size_t bytes = 0;
  if (pages <= 0 || pageSize <= 0 ||
      !MulSize(static_cast<size_t>(pages), static_cast<size_t>(pageSize), &bytes)) {
    return SIZE_MAX;
  }
  return bytes;
}

size_t UsableMemoryBytes() {
  size_t bytes = PhysicalMemoryBytes();
  for (const int resource : {RLIMIT_AS, RLIMIT_DATA}) {
    struct rlimit limit;
    if (getrlimit(resource, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < bytes) {
      bytes = static_cast<size_t>(limit.rlim_cur);
    }
  }
  return bytes;
}

bool WithinImageLimits(uint64_t width, uint64_t height, unsigned bpp, size_t memoryBytes) {
  if (width > kMaxPsdSide || height > kMaxPsdSide) return false;
  size_t bytes = 0;
  return BitmapBytes(width, height, bpp, &bytes) && bytes <= memoryBytes;
}

bool WithinImageLimits(uint64_t width, uint64_t height, unsigned bpp) {
  return WithinImageLimits(width, height, bpp, UsableMemoryBytes());
}

}  // namespace ravelin
