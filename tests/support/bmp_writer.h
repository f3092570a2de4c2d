// Test fixtures: builds BMP files in memory from a description, of every kind a BMP reader must
// take (core, info, V2-V5 and OS/2 2.x headers; 1- to 32-bit; BI_RGB, RLE4, RLE8, bit fields;
// top-down; palettes; alpha), and, through the raw fields, malformed ones. Pixels are given as
// RGBA and encoded by the writer; RLE data is encoded or taken as written by hand.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ravelin::test {

// A pixel or palette colour as 0xRRGGBBAA.
constexpr uint32_t Rgba(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
  return (uint32_t{r} << 24) | (uint32_t{g} << 16) | (uint32_t{b} << 8) | a;
}
constexpr uint8_t RedOf(uint32_t c) { return static_cast<uint8_t>(c >> 24); }
constexpr uint8_t GreenOf(uint32_t c) { return static_cast<uint8_t>(c >> 16); }
constexpr uint8_t BlueOf(uint32_t c) { return static_cast<uint8_t>(c >> 8); }
constexpr uint8_t AlphaOf(uint32_t c) { return static_cast<uint8_t>(c); }

// Compression codes of the info header.
constexpr uint32_t kBmpRgb = 0;
constexpr uint32_t kBmpRle8 = 1;
constexpr uint32_t kBmpRle4 = 2;
constexpr uint32_t kBmpBitFields = 3;
constexpr uint32_t kBmpAlphaBitFields = 6;

struct BmpMasks {
  uint32_t red = 0;
  uint32_t green = 0;
  uint32_t blue = 0;
  uint32_t alpha = 0;
};

struct BmpSpec {
  int32_t width = 1;
  int32_t height = 1;          // rows of the picture; the header holds -height when topDown
  uint16_t bpp = 24;
  uint32_t compression = kBmpRgb;
  uint32_t headerSize = 40;    // 12, 40, 52, 56, 64, 108 or 124 (others are written as 40 + zeros)
  bool topDown = false;
  std::vector<uint32_t> palette;  // indexed depths: RGBA entries (alpha not stored)
  // Bit fields: written after a 40-byte header, inside the larger ones. 16-bit BI_RGB pixels
  // are encoded as 5-5-5, 32-bit BI_RGB as B, G, R and the alpha byte.
  BmpMasks masks;
  std::vector<uint32_t> pixels;   // width x height RGBA, top row first; indexed: palette colours
  bool rleEndOfLineBeforeEnd = true;  // RLE encoder: last row ends with end-of-line, then end-of-bitmap
  std::vector<uint8_t> rleData;       // when not empty: the RLE stream exactly as written here

  // Raw header fields for malformed files.
  uint16_t planes = 1;
  int64_t colorsUsed = -1;     // -1: the palette's size
  int64_t pixelOffset = -1;    // -1: right after headers, masks and palette
};

// The file described by `spec`. A pixel of an indexed picture missing from the palette is a
// test failure (reported through GoogleTest) and is written as index 0; without a palette
// every index is 0.
std::vector<uint8_t> WriteBmp(const BmpSpec& spec);

// A channel value scaled to a mask of `bits` bits, as the writer stores it (rounded).
uint32_t ScaleToBits(uint8_t value, int bits);

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace ravelin::test
