// Reading and checking the headers of a BMP file, and planning the plain BMP that FreeImage is
// given in its place. Used by the checked BMP loader only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/bmp/bmp_loader.h"
#include "engine/bmp/bmp_source.h"

namespace ravelin {

// One colour channel named by a bit-field mask.
struct BmpChannel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
};

// How the rows of the file become the rows FreeImage reads.
enum class BmpRowForm {
  Copy,    // rows as they stand (indexed, 24-bit, 32-bit BI_RGB)
  Masked,  // every 16-bit layout and 32-bit bit fields, expanded to 8-bit BGR or BGRA
  Rle8,    // decoded into 8-bit rows
  Rle4,    // decoded into 4-bit rows
};

struct BmpLayout {
  uint32_t width = 0;
  uint32_t height = 0;
  bool topDown = false;
  uint16_t bpp = 0;             // depth of the file
  uint64_t fileSize = 0;
  uint64_t dataOffset = 0;      // first byte of the pixel data
  uint64_t sourcePitch = 0;     // bytes per uncompressed row of the file, padding included
  uint64_t sourceLine = 0;      // bytes of a row that hold pixels
  BmpRowForm form = BmpRowForm::Copy;
  BmpChannel red, green, blue, alpha;  // used by Masked
  bool zeroAlphaMeansOpaque = false;   // 32-bit BI_RGB: fourth bytes all 0 give alpha 255

  // The plain BMP FreeImage reads.
  uint16_t outBpp = 0;
  uint64_t outPitch = 0;        // FreeImage's pitch for outBpp
  std::vector<uint8_t> palette; // BGRX entries, 4 bytes each
  int32_t xPelsPerMeter = 0;
  int32_t yPelsPerMeter = 0;
};

// The input buffer of the RLE decoder.
inline constexpr size_t kRleChunkBytes = 65536;

// The most bytes a decoded bitmap and its reading buffers may take: the smaller of the memory
// the process may use and 2 GiB (FreeImage
// 3.18 reads a bitmap's rows with one 32-bit sized read).
uint64_t BmpMemoryLimit();

// Reads and checks the headers and palette of `source`; fills `layout` and returns None, or
// the reason the file is refused. Reads only the headers and palette.
BmpLoadError ReadBmpLayout(BmpSource& source, uint64_t memoryLimit, BmpLayout* layout);

// The file header, 40-byte info header, masks and palette of the plain BMP for `layout`.
std::vector<uint8_t> BuildPlainBmpHead(const BmpLayout& layout);

}  // namespace ravelin
