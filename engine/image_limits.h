// Size limits for every bitmap the engine makes: a side may not exceed what a Photoshop
// document can hold, and the pixels of a new bitmap must fit into the machine's memory.
// The image operations check a new size here before FreeImage allocates it; the pipeline
// checks its pixel buffer the same way.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ravelin {

// The longest side, in pixels, a Photoshop document can have.
inline constexpr uint64_t kMaxPsdSide = 30000;

// a x b (or a + b) into *out; false, with *out untouched, when the result does not fit.
bool MulSize(size_t a, size_t b, size_t* out);
bool AddSize(size_t a, size_t b, size_t* out);

// Bytes of a FreeImage bitmap of width x height at bpp, rows padded to 4 bytes; false on
// overflow.
bool BitmapBytes(uint64_t width, uint64_t height, unsigned bpp, size_t* out);

// Physical memory of this machine in bytes; SIZE_MAX when the system does not say.
size_t PhysicalMemoryBytes();

// The memory this process may use: physical memory, or less under an address-space or data
// size limit (setrlimit), so that work refused here is not begun only to fail part-way.
size_t UsableMemoryBytes();

// True when a new bitmap of width x height at bpp may be made: neither side exceeds
// kMaxPsdSide and its bytes do not exceed memoryBytes (UsableMemoryBytes when not given). A side of 0 passes: FreeImage refuses that itself.
bool WithinImageLimits(uint64_t width, uint64_t height, unsigned bpp, size_t memoryBytes);
bool WithinImageLimits(uint64_t width, uint64_t height, unsigned bpp);

}  // namespace ravelin
