#include "tests/support/bmp_writer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/scratch.h"

namespace ravelin::test {
namespace {

void Put16(std::vector<uint8_t>* out, uint32_t v) {
  out->push_back(static_cast<uint8_t>(v));
  out->push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>* out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void Set32(std::vector<uint8_t>* out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*out)[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

int Shift(uint32_t mask) { return mask == 0 ? 0 : __builtin_ctz(mask); }
int Bits(uint32_t mask) { return mask == 0 ? 0 : __builtin_popcount(mask); }

uint32_t EncodeMasked(uint32_t color, const BmpMasks& m) {
  uint32_t v = (ScaleToBits(RedOf(color), Bits(m.red)) << Shift(m.red)) |
               (ScaleToBits(GreenOf(color), Bits(m.green)) << Shift(m.green)) |
               (ScaleToBits(BlueOf(color), Bits(m.blue)) << Shift(m.blue));
  if (m.alpha != 0) v |= ScaleToBits(AlphaOf(color), Bits(m.alpha)) << Shift(m.alpha);
  return v;
}

uint8_t IndexOf(const BmpSpec& spec, uint32_t color) {
  if (spec.palette.empty()) return 0;
  for (size_t i = 0; i < spec.palette.size(); ++i) {
    if ((spec.palette[i] | 0xFF) == (color | 0xFF)) return static_cast<uint8_t>(i);
  }
  ADD_FAILURE() << "colour " << std::hex << color << " is not in the palette";
  return 0;
}

bool UsesMasks(const BmpSpec& spec) {
  return spec.compression == kBmpBitFields || spec.compression == kBmpAlphaBitFields;
}

uint32_t PixelAt(const BmpSpec& spec, int x, int rowFromBottom) {
  const int y = spec.topDown ? rowFromBottom : spec.height - 1 - rowFromBottom;
  const size_t i = static_cast<size_t>(y) * spec.width + x;
  return i < spec.pixels.size() ? spec.pixels[i] : 0;
}

// Uncompressed rows in file order.
std::vector<uint8_t> EncodeRows(const BmpSpec& spec) {
  std::vector<uint8_t> data;
  if (spec.width <= 0 || spec.height <= 0) return data;
  const size_t pitch = (static_cast<size_t>(spec.width) * spec.bpp + 31) / 32 * 4;
  const BmpMasks masks = UsesMasks(spec) ? spec.masks : BmpMasks{0x7C00, 0x03E0, 0x001F, 0};
  for (int row = 0; row < spec.height; ++row) {
    std::vector<uint8_t> line(pitch, 0);
    for (int x = 0; x < spec.width; ++x) {
      const uint32_t c = PixelAt(spec, x, row);
      switch (spec.bpp) {
        case 1: case 2: case 4: case 8: {
          const int bit = x * spec.bpp;
          line[bit / 8] |= static_cast<uint8_t>(IndexOf(spec, c) << (8 - spec.bpp - bit % 8));
          break;
        }
        case 16: {
          const uint32_t v = EncodeMasked(c, masks);
          line[x * 2] = static_cast<uint8_t>(v);
          line[x * 2 + 1] = static_cast<uint8_t>(v >> 8);
          break;
        }
        case 24:
          line[x * 3] = BlueOf(c);
          line[x * 3 + 1] = GreenOf(c);
          line[x * 3 + 2] = RedOf(c);
          break;
        case 32: {
          const uint32_t v = UsesMasks(spec) ? EncodeMasked(c, spec.masks)
                                             : (uint32_t{AlphaOf(c)} << 24) | (uint32_t{RedOf(c)} << 16) |
                                                   (uint32_t{GreenOf(c)} << 8) | BlueOf(c);
          for (int i = 0; i < 4; ++i) line[x * 4 + i] = static_cast<uint8_t>(v >> (8 * i));
          break;
        }
        default:
          break;
      }
    }
    data.insert(data.end(), line.begin(), line.end());
  }
  return data;
}

// RLE in encoded runs of equal indices, one row after the other from the bottom.
std::vector<uint8_t> EncodeRle(const BmpSpec& spec) {
  std::vector<uint8_t> data;
  const bool four = spec.compression == kBmpRle4;
  for (int row = 0; row < spec.height && spec.width > 0; ++row) {
    int x = 0;
    while (x < spec.width) {
      const uint8_t index = IndexOf(spec, PixelAt(spec, x, row));
      int run = 1;
      while (x + run < spec.width && run < 255 && IndexOf(spec, PixelAt(spec, x + run, row)) == index) ++run;
      data.push_back(static_cast<uint8_t>(run));
      data.push_back(four ? static_cast<uint8_t>(index << 4 | index) : index);
      x += run;
    }
    if (row + 1 < spec.height || spec.rleEndOfLineBeforeEnd) {
      data.push_back(0);
      data.push_back(0);
    }
  }
  data.push_back(0);
  data.push_back(1);
  return data;
}

}  // namespace

uint32_t ScaleToBits(uint8_t value, int bits) {
  if (bits <= 0) return 0;
  const uint64_t max = (uint64_t{1} << bits) - 1;
  return static_cast<uint32_t>((value * max + 127) / 255);
}

std::vector<uint8_t> WriteBmp(const BmpSpec& spec) {
  const bool core = spec.headerSize == 12;
  const bool indexed = spec.bpp <= 8;
  const bool rle = spec.compression == kBmpRle8 || spec.compression == kBmpRle4;

  std::vector<uint8_t> info;
  if (core) {
    Put32(&info, 12);
    Put16(&info, static_cast<uint32_t>(spec.width));
    Put16(&info, static_cast<uint32_t>(spec.height));
    Put16(&info, spec.planes);
    Put16(&info, spec.bpp);
  } else {
    Put32(&info, spec.headerSize);
    Put32(&info, static_cast<uint32_t>(spec.width));
    Put32(&info, static_cast<uint32_t>(spec.topDown ? -spec.height : spec.height));
    Put16(&info, spec.planes);
    Put16(&info, spec.bpp);
    Put32(&info, spec.compression);
    Put32(&info, 0);  // image size, filled in below
    Put32(&info, 2835);
    Put32(&info, 2835);
    Put32(&info, static_cast<uint32_t>(spec.colorsUsed >= 0 ? spec.colorsUsed : int64_t(spec.palette.size())));
    Put32(&info, 0);
    info.resize(std::max<size_t>(spec.headerSize, 40), 0);
    if (spec.headerSize >= 52 && spec.headerSize != 64) {
      Set32(&info, 40, spec.masks.red);
      Set32(&info, 44, spec.masks.green);
      Set32(&info, 48, spec.masks.blue);
    }
    if (spec.headerSize >= 56 && spec.headerSize != 64) Set32(&info, 52, spec.masks.alpha);
    if (spec.headerSize >= 108) Set32(&info, 56, 0x73524742);  // colour space "sRGB"
    if (spec.headerSize >= 124) Set32(&info, 108, 4);          // rendering intent: pictures
  }
  if (spec.headerSize == 40 && UsesMasks(spec)) {
    Put32(&info, spec.masks.red);
    Put32(&info, spec.masks.green);
    Put32(&info, spec.masks.blue);
    if (spec.compression == kBmpAlphaBitFields) Put32(&info, spec.masks.alpha);
  }
  if (indexed) {
    for (uint32_t c : spec.palette) {
      info.push_back(BlueOf(c));
      info.push_back(GreenOf(c));
      info.push_back(RedOf(c));
      if (!core) info.push_back(0);
    }
  }

  const std::vector<uint8_t> pixels =
      rle ? (spec.rleData.empty() ? EncodeRle(spec) : spec.rleData) : EncodeRows(spec);
  if (!core) Set32(&info, 20, static_cast<uint32_t>(pixels.size()));

  const uint32_t natural = static_cast<uint32_t>(14 + info.size());
  const uint32_t offset = spec.pixelOffset >= 0 ? static_cast<uint32_t>(spec.pixelOffset) : natural;
  std::vector<uint8_t> file;
  file.push_back('B');
  file.push_back('M');
  Put32(&file, static_cast<uint32_t>(natural + pixels.size()));
  Put32(&file, 0);
  Put32(&file, offset);
  file.insert(file.end(), info.begin(), info.end());
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) { return WriteBytes(path, bytes); }

}  // namespace ravelin::test
