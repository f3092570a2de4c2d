// The checked BMP loader: every input of a conversion is read through here instead of
// FreeImage_Load. It reads the file's headers (bounded), refuses what is malformed or what
// FreeImage's BMP reader must never see, and hands FreeImage an equivalent plain BMP (40-byte
// header, uncompressed rows) through its handle interface, so V4/V5 headers, OS/2 headers, bit
// fields and RLE files all load with the pixels the file holds. Called by the pipeline's load
// step and by the tests and fuzzer.
#pragma once

#include <FreeImage.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace ravelin {

enum class BmpLoadError {
  None,
  Unreadable,         // missing, not a regular file, or a read error
  NotBmp,             // no "BM" signature or too short to hold one
  UnsupportedHeader,  // info header size or planes not those of a BMP
  BadDimensions,      // width <= 0, height 0
  BadPalette,         // palette larger than the depth allows or than the file
  BadCompression,     // depth not allowed, or compression that does not fit the depth
  BadMasks,           // bit-field masks 0, not contiguous, overlapping or wider than a pixel
  Truncated,          // pixel offset outside the file, rows or RLE data shorter than the picture
  TooLarge,           // decoded bitmap cannot be computed or exceeds the memory limit
  DecodeFailed,       // FreeImage refused the rewritten file
};

// Loads a BMP file through the checks; nullptr on failure, with the reason in *error.
// The caller owns the returned bitmap (FreeImage_Unload).
FIBITMAP* LoadCheckedBmp(const std::string& path, BmpLoadError* error = nullptr);
// The same from bytes already in memory; the bytes are not kept.
FIBITMAP* LoadCheckedBmpFromMemory(const uint8_t* data, size_t size, BmpLoadError* error = nullptr);

// The size and FreeImage depth of the bitmap LoadCheckedBmp would make.
struct BmpDimensions {
  uint32_t width = 0;
  uint32_t height = 0;
  unsigned bpp = 0;
};
// The headers alone: the size and depth the load would give, or why the headers are refused.
// Reads no pixel data, so it costs the same for any claimed size; what the file's data holds
// is left to ProbeCheckedBmp.
bool ReadCheckedBmpHeader(const std::string& path, BmpDimensions* dimensions,
                          BmpLoadError* error = nullptr);
// Checks a file as LoadCheckedBmp does without allocating its bitmap: the headers, and for RLE
// files the compressed data, decoded row by row and dropped, since a few bytes of it can claim
// a picture of any size. False, with the reason in *error, when the load would be refused.
bool ProbeCheckedBmp(const std::string& path, BmpDimensions* dimensions, BmpLoadError* error = nullptr);

}  // namespace ravelin
