#include "engine/bmp/bmp_loader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/bmp_writer.h"
#include "tests/support/scratch.h"

namespace ravelin {
namespace {

using test::BmpMasks;
using test::BmpSpec;
using test::Rgba;
using test::ReadBytes;
using test::ScratchDir;

struct Unload {
  void operator()(FIBITMAP* dib) const { FreeImage_Unload(dib); }
};
using Bitmap = std::unique_ptr<FIBITMAP, Unload>;

Bitmap LoadBytes(const std::vector<uint8_t>& bytes, BmpLoadError* error = nullptr) {
  return Bitmap(LoadCheckedBmpFromMemory(bytes.data(), bytes.size(), error));
}

// A mask's value scaled to 8 bits, rounded: what a correct reader gives for it.
uint8_t Expand(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 255;
  const int shift = __builtin_ctz(mask);
  const uint64_t max = uint64_t{mask} >> shift;
  return static_cast<uint8_t>((((pixel & mask) >> shift) * 255 + max / 2) / max);
}

// The RGBA of a pixel of any depth the loader returns; y counts from the top.
uint32_t PixelOf(FIBITMAP* dib, unsigned x, unsigned yTop) {
  const unsigned y = FreeImage_GetHeight(dib) - 1 - yTop;
  const BYTE* line = FreeImage_GetScanLine(dib, static_cast<int>(y));
  switch (FreeImage_GetBPP(dib)) {
    case 1: case 4: case 8: {
      BYTE index = 0;
      FreeImage_GetPixelIndex(dib, x, y, &index);
      const RGBQUAD& c = FreeImage_GetPalette(dib)[index];
      return Rgba(c.rgbRed, c.rgbGreen, c.rgbBlue);
    }
    case 16: {
      const uint32_t w = line[x * 2] | (line[x * 2 + 1] << 8);
      return Rgba(Expand(w, FreeImage_GetRedMask(dib)), Expand(w, FreeImage_GetGreenMask(dib)),
                  Expand(w, FreeImage_GetBlueMask(dib)));
    }
    case 24:
      return Rgba(line[x * 3 + FI_RGBA_RED], line[x * 3 + FI_RGBA_GREEN], line[x * 3 + FI_RGBA_BLUE]);
    case 32:
      return Rgba(line[x * 4 + FI_RGBA_RED], line[x * 4 + FI_RGBA_GREEN], line[x * 4 + FI_RGBA_BLUE],
                  line[x * 4 + FI_RGBA_ALPHA]);
    default:
      return 0;
  }
}

constexpr uint32_t kColors[] = {Rgba(255, 0, 0),    Rgba(0, 255, 0),   Rgba(0, 0, 255),
                                Rgba(18, 52, 86),   Rgba(250, 128, 7), Rgba(255, 255, 255),
                                Rgba(0, 0, 0)};
constexpr uint8_t kAlphas[] = {255, 0, 128, 17};
constexpr int kWidth = 5;   // odd, so every depth has row padding
constexpr int kHeight = 3;

constexpr BmpMasks k565{0xF800, 0x07E0, 0x001F, 0};
constexpr BmpMasks k555{0x7C00, 0x03E0, 0x001F, 0};
constexpr BmpMasks k444{0x0F00, 0x00F0, 0x000F, 0};
constexpr BmpMasks k4444{0x0F00, 0x00F0, 0x000F, 0xF000};
constexpr BmpMasks k1555{0x7C00, 0x03E0, 0x001F, 0x8000};
constexpr BmpMasks kBgrx{0x00FF0000, 0x0000FF00, 0x000000FF, 0};
constexpr BmpMasks kBgra{0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
constexpr BmpMasks kRgba{0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
constexpr BmpMasks k10bit{0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000};

// A picture of kWidth x kHeight in the colours a file of this kind can hold.
BmpSpec MakePicture(uint32_t headerSize, uint16_t bpp, uint32_t compression, BmpMasks masks,
                    bool topDown, bool withAlpha) {
  BmpSpec spec;
  spec.width = kWidth;
  spec.height = kHeight;
  spec.bpp = bpp;
  spec.compression = compression;
  spec.headerSize = headerSize;
  spec.topDown = topDown;
  spec.masks = masks;
  size_t colors = std::size(kColors);
  if (bpp <= 8) {
    colors = std::min<size_t>(colors, size_t{1} << bpp);
    spec.palette.assign(kColors, kColors + colors);
  }
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const uint32_t c = kColors[(x + 2 * y) % colors];
      spec.pixels.push_back(withAlpha ? (c & 0xFFFFFF00u) | kAlphas[(x + y) % 4] : c);
    }
  }
  return spec;
}

// What a correct reader gives for a pixel the writer stored in a file of this kind.
uint32_t Expected(const BmpSpec& spec, uint32_t c) {
  using test::ScaleToBits;
  const bool masked = spec.compression == test::kBmpBitFields || spec.compression == test::kBmpAlphaBitFields;
  if (spec.bpp == 16 || (spec.bpp == 32 && masked)) {
    const BmpMasks m = masked ? spec.masks : k555;
    auto channel = [](uint8_t v, uint32_t mask) -> uint8_t {
      if (mask == 0) return 255;
      const int shift = __builtin_ctz(mask);
      return Expand(ScaleToBits(v, __builtin_popcount(mask)) << shift, mask);
    };
    return Rgba(channel(test::RedOf(c), m.red), channel(test::GreenOf(c), m.green),
                channel(test::BlueOf(c), m.blue), channel(test::AlphaOf(c), m.alpha));
  }
  if (spec.bpp == 32) return c;
  return c | 0xFF;
}

void ExpectPicture(FIBITMAP* dib, const BmpSpec& spec, unsigned expectedBpp) {
  ASSERT_NE(nullptr, dib);
  ASSERT_EQ(unsigned(spec.width), FreeImage_GetWidth(dib));
  ASSERT_EQ(unsigned(spec.height), FreeImage_GetHeight(dib));
  ASSERT_EQ(expectedBpp, FreeImage_GetBPP(dib));
  // FreeImage always holds the full palette of the depth.
  if (spec.bpp <= 8) {
    ASSERT_EQ(1u << expectedBpp, FreeImage_GetColorsUsed(dib));
  }
  for (int y = 0; y < spec.height; ++y) {
    for (int x = 0; x < spec.width; ++x) {
      ASSERT_EQ(Expected(spec, spec.pixels[y * spec.width + x]), PixelOf(dib, x, y))
          << "pixel " << x << "," << y;
    }
  }
}

TEST(BmpLoader, LoadsEveryKindWithTheFilePixels) {
  using namespace test;
  struct Case {
    const char* why;
    uint32_t headerSize;
    uint16_t bpp;
    uint32_t compression;
    BmpMasks masks;
    bool topDown;
    bool withAlpha;
    unsigned expectedBpp;
  };
  const Case kCases[] = {
      {"OS/2 1.x 1-bit, 3-byte palette", 12, 1, kBmpRgb, {}, false, false, 1},
      {"OS/2 1.x 4-bit", 12, 4, kBmpRgb, {}, false, false, 4},
      {"OS/2 1.x 8-bit", 12, 8, kBmpRgb, {}, false, false, 8},
      {"OS/2 1.x 24-bit", 12, 24, kBmpRgb, {}, false, false, 24},
      {"OS/2 2.x 8-bit", 64, 8, kBmpRgb, {}, false, false, 8},
      {"OS/2 2.x 24-bit", 64, 24, kBmpRgb, {}, false, false, 24},
      {"OS/2 2.x RLE8", 64, 8, kBmpRle8, {}, false, false, 8},
      {"1-bit", 40, 1, kBmpRgb, {}, false, false, 1},
      {"4-bit", 40, 4, kBmpRgb, {}, false, false, 4},
      {"8-bit", 40, 8, kBmpRgb, {}, false, false, 8},
      {"16-bit BI_RGB is 5-5-5", 40, 16, kBmpRgb, {}, false, false, 24},
      {"24-bit", 40, 24, kBmpRgb, {}, false, false, 24},
      {"32-bit BI_RGB with alpha", 40, 32, kBmpRgb, {}, false, true, 32},
      {"top-down 1-bit", 40, 1, kBmpRgb, {}, true, false, 1},
      {"top-down 8-bit", 40, 8, kBmpRgb, {}, true, false, 8},
      {"top-down 24-bit", 40, 24, kBmpRgb, {}, true, false, 24},
      {"top-down 16-bit 5-6-5", 40, 16, kBmpBitFields, k565, true, false, 24},
      {"top-down V5 32-bit with alpha", 124, 32, kBmpBitFields, kBgra, true, true, 32},
      {"RLE8, last row ends with end-of-line", 40, 8, kBmpRle8, {}, false, false, 8},
      {"RLE4, last row ends with end-of-line", 40, 4, kBmpRle4, {}, false, false, 4},
      {"16-bit bit fields 5-6-5", 40, 16, kBmpBitFields, k565, false, false, 24},
      {"16-bit bit fields 5-5-5", 40, 16, kBmpBitFields, k555, false, false, 24},
      {"16-bit bit fields 4-4-4 become 24-bit", 40, 16, kBmpBitFields, k444, false, false, 24},
      {"16-bit 4-4-4-4 alpha bit fields become 32-bit", 40, 16, kBmpAlphaBitFields, k4444, false, true, 32},
      {"V2 header, 16-bit 5-6-5 masks inside", 52, 16, kBmpBitFields, k565, false, false, 24},
      {"V3 header, 32-bit with alpha mask inside", 56, 32, kBmpBitFields, kBgra, false, true, 32},
      {"V5 16-bit 1-5-5-5 with alpha", 124, 16, kBmpBitFields, k1555, false, true, 32},
      {"32-bit bit fields without alpha mask", 40, 32, kBmpBitFields, kBgrx, false, true, 32},
      {"V4 32-bit, red in the low byte", 108, 32, kBmpBitFields, kRgba, false, true, 32},
      {"V5 32-bit 10-10-10-2", 124, 32, kBmpBitFields, k10bit, false, true, 32},
      {"V4 24-bit", 108, 24, kBmpRgb, {}, false, false, 24},
      {"V5 24-bit, masks ignored for BI_RGB", 124, 24, kBmpRgb, kRgba, false, false, 24},
      {"V5 8-bit", 124, 8, kBmpRgb, {}, false, false, 8},
      {"V5 RLE8", 124, 8, kBmpRle8, {}, false, false, 8},
      {"V5 16-bit BI_RGB ignores the masks", 124, 16, kBmpRgb, k565, false, false, 24},
  };
  ScratchDir dir;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    const BmpSpec spec = MakePicture(c.headerSize, c.bpp, c.compression, c.masks, c.topDown, c.withAlpha);
    const std::vector<uint8_t> bytes = WriteBmp(spec);
    BmpLoadError error = BmpLoadError::DecodeFailed;
    Bitmap fromMemory = LoadBytes(bytes, &error);
    EXPECT_EQ(BmpLoadError::None, error);
    ExpectPicture(fromMemory.get(), spec, c.expectedBpp);

    ASSERT_TRUE(WriteFile(dir / "picture.bmp", bytes));
    Bitmap fromFile(LoadCheckedBmp(dir / "picture.bmp", &error));
    EXPECT_EQ(BmpLoadError::None, error);
    ExpectPicture(fromFile.get(), spec, c.expectedBpp);
  }
}

// A large bottom-up file is read in blocks straight into place, several at once; a row that
// straddles two blocks, an uneven last block and the row padding must come out as row by row.
TEST(BmpLoader, LargePicturesReadInBlocksKeepEveryPixel) {
  using namespace test;
  ScratchDir dir;
  for (const uint16_t bpp : {uint16_t{24}, uint16_t{8}}) {
    SCOPED_TRACE(bpp);
    BmpSpec spec;
    spec.width = bpp == 24 ? 1531 : 2903;  // rows with padding, blocks that end inside a row
    spec.height = 1201;
    spec.bpp = bpp;
    if (bpp == 8) {
      for (uint32_t i = 0; i < 256; ++i) spec.palette.push_back(Rgba(i, 255 - i, i * 7));
    }
    uint32_t noise = 12345;
    for (int i = 0; i < spec.width * spec.height; ++i) {
      noise = noise * 1103515245u + 12345u;
      spec.pixels.push_back(bpp == 8 ? spec.palette[noise >> 24] : (noise | 0xFF));
    }
    const std::vector<uint8_t> bytes = WriteBmp(spec);
    BmpLoadError error = BmpLoadError::DecodeFailed;
    Bitmap fromMemory = LoadBytes(bytes, &error);
    EXPECT_EQ(BmpLoadError::None, error);
    ExpectPicture(fromMemory.get(), spec, bpp);
    ASSERT_TRUE(WriteFile(dir / "large.bmp", bytes));
    Bitmap fromFile(LoadCheckedBmp(dir / "large.bmp", &error));
    EXPECT_EQ(BmpLoadError::None, error);
    ExpectPicture(fromFile.get(), spec, bpp);
  }
}

// Every 16-bit layout widens a channel to 8 bits by rounding (3 of 31 is 25, not 24), the
// layouts FreeImage knows as well as the others, so a value decodes the same in every file.
TEST(BmpLoader, SixteenBitChannelsWidenByRounding) {
  using namespace test;
  struct Case {
    const char* why;
    uint32_t headerSize;
    uint32_t compression;
    BmpMasks masks;  // what the file stores; BI_RGB is 5-5-5 whatever a V5 header says
  };
  const Case kCases[] = {
      {"BI_RGB 5-5-5", 40, kBmpRgb, k555},
      {"V5 BI_RGB with 5-6-5 masks in the header", 124, kBmpRgb, k555},
      {"bit fields 5-5-5", 40, kBmpBitFields, k555},
      {"bit fields 5-6-5", 40, kBmpBitFields, k565},
      {"V2 header 5-6-5", 52, kBmpBitFields, k565},
      {"bit fields 5-5-5, blue high", 40, kBmpBitFields, {0x001F, 0x03E0, 0x7C00, 0}},
      {"bit fields 6-5-5", 40, kBmpBitFields, {0xFC00, 0x03E0, 0x001F, 0}},
  };
  auto bits = [](uint32_t mask) { return __builtin_popcount(mask); };
  auto rounded = [](uint32_t value, int bits) {
    const uint32_t max = (1u << bits) - 1;
    return static_cast<uint8_t>((value * 255 + max / 2) / max);
  };
  // The two anchors the truncating widening got wrong.
  ASSERT_EQ(25, rounded(3, 5));
  ASSERT_EQ(53, rounded(13, 6));
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    const BmpMasks stored = c.compression == kBmpRgb ? k555 : c.masks;
    BmpSpec spec;
    spec.width = 64;  // every 6-bit value; a 5-bit channel runs through its values twice
    spec.height = 1;
    spec.bpp = 16;
    spec.compression = c.compression;
    spec.headerSize = c.headerSize;
    spec.masks = c.compression == kBmpRgb ? k565 : c.masks;
    auto valueAt = [](int x, int bits) { return static_cast<uint32_t>(x) % (1u << bits); };
    for (int x = 0; x < spec.width; ++x) {
      // The writer scales 8-bit values to the mask by rounding, which gives back each value.
      spec.pixels.push_back(Rgba(rounded(valueAt(x, bits(stored.red)), bits(stored.red)),
                                 rounded(valueAt(x, bits(stored.green)), bits(stored.green)),
                                 rounded(valueAt(x, bits(stored.blue)), bits(stored.blue))));
    }
    Bitmap dib = LoadBytes(WriteBmp(spec));
    ASSERT_NE(nullptr, dib);
    // The depth conversions of the image operations never widen again.
    Bitmap wide(FreeImage_ConvertTo24Bits(dib.get()));
    ASSERT_NE(nullptr, wide);
    const BYTE* line = FreeImage_GetScanLine(wide.get(), 0);
    for (int x = 0; x < spec.width; ++x) {
      SCOPED_TRACE("pixel " + std::to_string(x));
      EXPECT_EQ(rounded(valueAt(x, bits(stored.red)), bits(stored.red)), line[x * 3 + FI_RGBA_RED]);
      EXPECT_EQ(rounded(valueAt(x, bits(stored.green)), bits(stored.green)), line[x * 3 + FI_RGBA_GREEN]);
      EXPECT_EQ(rounded(valueAt(x, bits(stored.blue)), bits(stored.blue)), line[x * 3 + FI_RGBA_BLUE]);
    }
  }
}

TEST(BmpLoader, KeepsPaletteAndResolution) {
  BmpSpec spec = MakePicture(108, 8, test::kBmpRgb, {}, false, false);
  Bitmap dib = LoadBytes(test::WriteBmp(spec));
  ASSERT_NE(nullptr, dib);
  const RGBQUAD* palette = FreeImage_GetPalette(dib.get());
  for (size_t i = 0; i < spec.palette.size(); ++i) {
    EXPECT_EQ(spec.palette[i], Rgba(palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue)) << i;
  }
  EXPECT_EQ(2835u, FreeImage_GetDotsPerMeterX(dib.get()));
}

// Encoders end the last row with end-of-line before end-of-bitmap, or with end-of-bitmap alone.
TEST(BmpLoader, RleFinalRowForms) {
  for (bool finalEol : {true, false}) {
    for (uint32_t compression : {test::kBmpRle8, test::kBmpRle4}) {
      SCOPED_TRACE(std::string(finalEol ? "end-of-line before end-of-bitmap" : "end-of-bitmap only") +
                   (compression == test::kBmpRle8 ? ", RLE8" : ", RLE4"));
      BmpSpec spec = MakePicture(40, compression == test::kBmpRle8 ? 8 : 4, compression, {}, false, false);
      spec.rleEndOfLineBeforeEnd = finalEol;
      Bitmap dib = LoadBytes(test::WriteBmp(spec));
      ExpectPicture(dib.get(), spec, spec.bpp);
    }
  }
}

TEST(BmpLoader, DecodesHandWrittenRleSafely) {
  struct Case {
    const char* why;
    uint16_t bpp;
    std::vector<uint8_t> rle;
    const char* top;     // expected indices of the top row, or nullptr when refused
    const char* bottom;
  };
  const Case kCases[] = {
      {"encoded runs", 8, {3, 1, 0, 0, 2, 2, 0, 1}, "220000", "111000"},
      {"delta moves right and up", 8, {1, 1, 0, 2, 2, 1, 1, 3, 0, 1}, "000300", "100000"},
      {"absolute runs, odd one padded", 8, {0, 3, 1, 2, 3, 0, 0, 0, 0, 4, 3, 2, 1, 0, 0, 1}, "321000", "123000"},
      {"run past the row end is clipped", 8, {9, 2, 0, 0, 1, 1, 0, 1}, "100000", "222222"},
      {"absolute run past the row end is clipped", 8, {0, 8, 1, 2, 3, 1, 2, 3, 1, 2, 0, 1}, "000000", "123123"},
      {"delta past the picture ends it", 8, {1, 1, 0, 2, 250, 250, 5, 3, 0, 1}, "000000", "100000"},
      {"delta past the row end, then pixels", 8, {0, 2, 255, 0, 2, 1, 0, 0, 1, 1, 0, 1}, "100000", "000000"},
      {"end-of-bitmap early leaves index 0", 8, {2, 3, 0, 1}, "000000", "330000"},
      {"no end-of-bitmap after the last end-of-line", 8, {6, 1, 0, 0, 6, 2, 0, 0}, "222222", "111111"},
      {"last row complete without any end code", 8, {6, 1, 0, 0, 6, 2}, "222222", "111111"},
      {"data after the picture is ignored", 8, {6, 1, 0, 0, 6, 2, 0, 0, 7, 3, 0, 1}, "222222", "111111"},
      {"data ends inside the last row", 8, {6, 1, 0, 0, 3, 2}, nullptr, nullptr},
      {"data ends inside the first row", 8, {6, 1}, nullptr, nullptr},
      {"data ends inside an absolute run", 8, {0, 0, 0, 6, 1, 2}, nullptr, nullptr},
      {"data ends inside a delta", 8, {0, 2, 1}, nullptr, nullptr},
      {"RLE4 nibbles and padded absolute run", 4, {0, 5, 0x12, 0x31, 0x20, 0, 0, 0, 4, 0x31, 0, 1}, "313100", "123120"},
      {"RLE4 run past the row end is clipped", 4, {7, 0x12, 0, 1}, "000000", "121212"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    BmpSpec spec;
    spec.width = 6;
    spec.height = 2;
    spec.bpp = c.bpp;
    spec.compression = c.bpp == 8 ? test::kBmpRle8 : test::kBmpRle4;
    spec.palette = {kColors[6], kColors[0], kColors[1], kColors[2]};
    spec.rleData = c.rle;
    BmpLoadError error = BmpLoadError::None;
    Bitmap dib = LoadBytes(test::WriteBmp(spec), &error);
    if (c.top == nullptr) {
      EXPECT_EQ(nullptr, dib);
      EXPECT_EQ(BmpLoadError::Truncated, error);
      continue;
    }
    ASSERT_NE(nullptr, dib);
    ASSERT_EQ(c.bpp, FreeImage_GetBPP(dib.get()));
    std::string rows[2];
    for (unsigned y = 0; y < 2; ++y) {
      for (unsigned x = 0; x < 6; ++x) {
        BYTE index = 0;
        FreeImage_GetPixelIndex(dib.get(), x, y, &index);
        rows[y] += static_cast<char>('0' + index);
      }
    }
    EXPECT_EQ(c.top, rows[1]);
    EXPECT_EQ(c.bottom, rows[0]);
  }
}

TEST(BmpLoader, AlphaOfThirtyTwoBitFiles) {
  struct Case {
    const char* why;
    uint32_t compression;
    BmpMasks masks;
    std::vector<uint32_t> pixels;  // 3 x 1
    std::vector<uint8_t> alpha;
    bool transparent;
  };
  const Case kCases[] = {
      {"BI_RGB with every fourth byte 0 is opaque", test::kBmpRgb, {},
       {Rgba(1, 2, 3, 0), Rgba(4, 5, 6, 0), Rgba(7, 8, 9, 0)}, {255, 255, 255}, false},
      {"BI_RGB with one non-zero fourth byte keeps its alpha", test::kBmpRgb, {},
       {Rgba(1, 2, 3, 0), Rgba(4, 5, 6, 7), Rgba(7, 8, 9, 0)}, {0, 7, 0}, true},
      {"bit fields without alpha mask are opaque", test::kBmpBitFields, kBgrx,
       {Rgba(1, 2, 3, 0), Rgba(4, 5, 6, 9), Rgba(7, 8, 9, 0)}, {255, 255, 255}, false},
      {"an alpha mask keeps alpha even when all 0", test::kBmpBitFields, kBgra,
       {Rgba(1, 2, 3, 0), Rgba(4, 5, 6, 0), Rgba(7, 8, 9, 0)}, {0, 0, 0}, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    BmpSpec spec;
    spec.width = 3;
    spec.height = 1;
    spec.bpp = 32;
    spec.compression = c.compression;
    spec.masks = c.masks;
    spec.headerSize = c.compression == test::kBmpRgb ? 40 : 124;
    spec.pixels = c.pixels;
    Bitmap dib = LoadBytes(test::WriteBmp(spec));
    ASSERT_NE(nullptr, dib);
    for (unsigned x = 0; x < 3; ++x) {
      const uint32_t got = PixelOf(dib.get(), x, 0);
      EXPECT_EQ(c.pixels[x] >> 8, got >> 8) << x;
      EXPECT_EQ(c.alpha[x], test::AlphaOf(got)) << x;
    }
    EXPECT_EQ(c.transparent, FreeImage_IsTransparent(dib.get()) != FALSE);
  }
}

// Byte offsets inside a file with a 40-byte header.
constexpr size_t kOffBitsAt = 10;
constexpr size_t kWidthAt = 18;
constexpr size_t kHeightAt = 22;

void Patch32(std::vector<uint8_t>* bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) (*bytes)[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

TEST(BmpLoader, RefusesMalformedFiles) {
  using namespace test;
  struct Case {
    const char* why;
    std::function<void(BmpSpec*)> describe;
    std::function<void(std::vector<uint8_t>*)> patch;  // applied to the written bytes
    BmpLoadError expected;
  };
  auto header = [](uint32_t size) { return [size](BmpSpec* s) { s->headerSize = size; }; };
  auto depth = [](uint16_t bpp) { return [bpp](BmpSpec* s) { s->bpp = bpp; }; };
  auto compress = [](uint16_t bpp, uint32_t compression) {
    return [bpp, compression](BmpSpec* s) {
      s->bpp = bpp;
      s->compression = compression;
      if (bpp <= 8) s->palette = {kColors[0], kColors[1]};
      s->pixels.assign(s->pixels.size(), kColors[0]);
      s->masks = k565;
    };
  };
  auto masks = [](uint16_t bpp, BmpMasks m) {
    return [bpp, m](BmpSpec* s) {
      s->bpp = bpp;
      s->compression = kBmpBitFields;
      s->headerSize = 124;
      s->masks = m;
    };
  };
  auto indexed = [](uint16_t bpp, int64_t used, size_t entries) {
    return [bpp, used, entries](BmpSpec* s) {
      s->bpp = bpp;
      s->colorsUsed = used;
      s->palette.assign(kColors, kColors + entries);
      s->pixels.assign(s->pixels.size(), kColors[0]);
    };
  };
  auto none = [](BmpSpec*) {};
  auto keep = [](std::vector<uint8_t>*) {};
  const Case kCases[] = {
      {"header size 0", header(0), keep, BmpLoadError::UnsupportedHeader},
      {"header size 16", header(16), keep, BmpLoadError::UnsupportedHeader},
      {"header size 41", header(41), keep, BmpLoadError::UnsupportedHeader},
      {"header size 200", header(200), keep, BmpLoadError::UnsupportedHeader},
      {"planes 0", [](BmpSpec* s) { s->planes = 0; }, keep, BmpLoadError::UnsupportedHeader},
      {"planes 2", [](BmpSpec* s) { s->planes = 2; }, keep, BmpLoadError::UnsupportedHeader},
      {"depth 0", depth(0), keep, BmpLoadError::BadCompression},
      {"depth 2", depth(2), keep, BmpLoadError::BadCompression},
      {"depth 7", depth(7), keep, BmpLoadError::BadCompression},
      {"depth 64", depth(64), keep, BmpLoadError::BadCompression},
      {"RLE8 at 4 bits", compress(4, kBmpRle8), keep, BmpLoadError::BadCompression},
      {"RLE4 at 8 bits", compress(8, kBmpRle4), keep, BmpLoadError::BadCompression},
      {"RLE8 at 24 bits", compress(24, kBmpRle8), keep, BmpLoadError::BadCompression},
      {"bit fields at 8 bits", compress(8, kBmpBitFields), keep, BmpLoadError::BadCompression},
      {"bit fields at 24 bits", compress(24, kBmpBitFields), keep, BmpLoadError::BadCompression},
      {"JPEG inside", compress(24, 4), keep, BmpLoadError::BadCompression},
      {"PNG inside", compress(24, 5), keep, BmpLoadError::BadCompression},
      {"unknown compression", compress(24, 99), keep, BmpLoadError::BadCompression},
      {"top-down RLE8",
       [&](BmpSpec* s) { compress(8, kBmpRle8)(s); s->topDown = true; }, keep, BmpLoadError::BadCompression},
      {"OS/2 2.x Huffman code", [&](BmpSpec* s) { compress(16, kBmpBitFields)(s); s->headerSize = 64; },
       keep, BmpLoadError::BadCompression},
      {"width 0", none, [](std::vector<uint8_t>* b) { Patch32(b, kWidthAt, 0); }, BmpLoadError::BadDimensions},
      {"width negative", none, [](std::vector<uint8_t>* b) { Patch32(b, kWidthAt, uint32_t(-4)); },
       BmpLoadError::BadDimensions},
      {"height 0", none, [](std::vector<uint8_t>* b) { Patch32(b, kHeightAt, 0); }, BmpLoadError::BadDimensions},
      {"height INT32_MIN", none, [](std::vector<uint8_t>* b) { Patch32(b, kHeightAt, 0x80000000u); },
       BmpLoadError::BadDimensions},
      {"8-bit palette of 257", indexed(8, 257, 2), keep, BmpLoadError::BadPalette},
      {"1-bit palette of 3", indexed(1, 3, 2), keep, BmpLoadError::BadPalette},
      {"palette beyond the file", indexed(8, 200, 2), keep, BmpLoadError::BadPalette},
      {"indexed without palette", indexed(8, 0, 0), keep, BmpLoadError::BadPalette},
      {"pixel offset at the file end", none,
       [](std::vector<uint8_t>* b) { Patch32(b, kOffBitsAt, uint32_t(b->size())); }, BmpLoadError::Truncated},
      {"pixel offset far beyond", none, [](std::vector<uint8_t>* b) { Patch32(b, kOffBitsAt, 0xFFFFFFF0u); },
       BmpLoadError::Truncated},
      {"pixel offset inside the header", none, [](std::vector<uint8_t>* b) { Patch32(b, kOffBitsAt, 20); },
       BmpLoadError::Truncated},
      {"last row short", none, [](std::vector<uint8_t>* b) { b->resize(b->size() - 4); }, BmpLoadError::Truncated},
      {"rows far shorter than the height", none, [](std::vector<uint8_t>* b) { Patch32(b, kHeightAt, 100000); },
       BmpLoadError::Truncated},
      {"masks cut off after the header", compress(16, kBmpBitFields),
       [](std::vector<uint8_t>* b) { b->resize(60); }, BmpLoadError::Truncated},
      {"red mask 0", masks(32, {0, 0xFF00, 0xFF, 0}), keep, BmpLoadError::BadMasks},
      {"mask not contiguous", masks(32, {0xFF0F00, 0xF0, 0x0F, 0}), keep, BmpLoadError::BadMasks},
      {"masks overlapping", masks(32, {0xFF0000, 0x01FF00, 0xFF, 0}), keep, BmpLoadError::BadMasks},
      {"alpha mask overlapping", masks(32, {0xFF0000, 0xFF00, 0xFF, 0x80000001}), keep, BmpLoadError::BadMasks},
      {"alpha mask not contiguous", masks(32, {0xFF0000, 0xFF00, 0xFF, 0x81000000}), keep, BmpLoadError::BadMasks},
      {"16-bit mask wider than the pixel", masks(16, {0x1F0000, 0x07E0, 0x1F, 0}), keep, BmpLoadError::BadMasks},
      {"2000000000 x 2000000000", none,
       [](std::vector<uint8_t>* b) { Patch32(b, kWidthAt, 2000000000); Patch32(b, kHeightAt, 2000000000); },
       BmpLoadError::TooLarge},
      {"widest row at 32 bits", depth(32),
       [](std::vector<uint8_t>* b) { Patch32(b, kWidthAt, 0x7FFFFFFF); }, BmpLoadError::TooLarge},
      {"tall RLE picture beyond memory", compress(8, kBmpRle8),
       [](std::vector<uint8_t>* b) { Patch32(b, kWidthAt, 60000); Patch32(b, kHeightAt, 0x7FFFFFFF); },
       BmpLoadError::TooLarge},
      {"not a BMP", none, [](std::vector<uint8_t>* b) { (*b)[0] = 'P'; (*b)[1] = 'K'; }, BmpLoadError::NotBmp},
      {"empty", none, [](std::vector<uint8_t>* b) { b->clear(); }, BmpLoadError::NotBmp},
      {"signature only", none, [](std::vector<uint8_t>* b) { b->resize(2); }, BmpLoadError::Truncated},
      {"info header cut", none, [](std::vector<uint8_t>* b) { b->resize(30); }, BmpLoadError::Truncated},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    BmpSpec spec;
    spec.width = 4;
    spec.height = 2;
    spec.pixels.assign(8, kColors[3]);
    c.describe(&spec);
    std::vector<uint8_t> bytes = WriteBmp(spec);
    c.patch(&bytes);
    BmpLoadError error = BmpLoadError::None;
    Bitmap dib = LoadBytes(bytes, &error);
    EXPECT_EQ(nullptr, dib);
    EXPECT_EQ(c.expected, error);
  }
}

TEST(BmpLoader, RefusesWhatIsNoFile) {
  ScratchDir dir;
  ASSERT_TRUE(test::WriteFile(dir / "empty.bmp", {}));
  const struct {
    const char* why;
    std::string path;
    BmpLoadError expected;
  } kCases[] = {
      {"missing", dir / "missing.bmp", BmpLoadError::Unreadable},
      {"a folder", dir.path(), BmpLoadError::Unreadable},
      {"empty file", dir / "empty.bmp", BmpLoadError::NotBmp},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.why);
    BmpLoadError error = BmpLoadError::None;
    EXPECT_EQ(nullptr, LoadCheckedBmp(c.path, &error));
    EXPECT_EQ(c.expected, error);
  }
}

// Every prefix of a small valid file either fails or gives exactly the full picture.
TEST(BmpLoader, TruncationAtEveryByte) {
  using namespace test;
  const BmpSpec kFiles[] = {
      MakePicture(40, 24, kBmpRgb, {}, false, false),
      MakePicture(12, 8, kBmpRgb, {}, false, false),
      MakePicture(40, 4, kBmpRgb, {}, true, false),
      MakePicture(124, 32, kBmpBitFields, kBgra, false, true),
      MakePicture(40, 16, kBmpAlphaBitFields, k4444, false, true),
      MakePicture(40, 8, kBmpRle8, {}, false, false),
      MakePicture(64, 4, kBmpRle4, {}, false, false),
  };
  for (const BmpSpec& spec : kFiles) {
    SCOPED_TRACE("header " + std::to_string(spec.headerSize) + ", " + std::to_string(spec.bpp) + " bits");
    const std::vector<uint8_t> bytes = WriteBmp(spec);
    Bitmap full = LoadBytes(bytes);
    ASSERT_NE(nullptr, full);
    const unsigned bpp = FreeImage_GetBPP(full.get());
    ExpectPicture(full.get(), spec, bpp);
    for (size_t size = 0; size < bytes.size(); ++size) {
      SCOPED_TRACE("first " + std::to_string(size) + " bytes");
      // A copy of exactly `size` bytes, so reading past it is caught by sanitizers.
      std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
      BmpLoadError error = BmpLoadError::None;
      Bitmap dib = LoadBytes(prefix, &error);
      if (dib == nullptr) {
        EXPECT_NE(BmpLoadError::None, error);
        continue;
      }
      ExpectPicture(dib.get(), spec, bpp);
    }
  }
}

// Hostile header values: every byte of the headers and masks set to a few extremes either fails
// or loads a picture, never crashes. The high bytes of width and height are left alone: there
// they only name large valid pictures, which cost time (the size limits have their own test).
TEST(BmpLoader, CorruptHeaderBytesNeverCrash) {
  using namespace test;
  const BmpSpec kFiles[] = {
      MakePicture(40, 8, kBmpRle8, {}, false, false),
      MakePicture(124, 32, kBmpBitFields, kBgra, false, true),
      MakePicture(12, 4, kBmpRgb, {}, false, false),
      MakePicture(40, 16, kBmpBitFields, k565, true, false),
  };
  for (const BmpSpec& spec : kFiles) {
    const std::vector<uint8_t> bytes = WriteBmp(spec);
    const size_t headEnd = std::min<size_t>(bytes.size(), 14 + spec.headerSize + 16);
    for (size_t at = 0; at < headEnd; ++at) {
      if (spec.headerSize != 12 && (at == 20 || at == 21 || at == 24 || at == 25)) continue;
      for (uint8_t value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
        std::vector<uint8_t> corrupt = bytes;
        corrupt[at] = value;
        Bitmap dib = LoadBytes(corrupt);
        if (dib != nullptr) {
          EXPECT_GT(FreeImage_GetWidth(dib.get()), 0u);
          EXPECT_GT(FreeImage_GetHeight(dib.get()), 0u);
        }
      }
    }
  }
}

// Files as a common converter writes them by default: V4/V5 headers, bit fields for alpha.
TEST(BmpLoader, LoadsFilesFromImageMagick) {
  if (std::system("command -v convert >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ImageMagick";
  ScratchDir dir;
  const struct {
    const char* why;
    const char* arguments;
    uint32_t background;
    uint32_t point;  // the pixel at 0,0
    int alphaSlack;
  } kCases[] = {
      {"24-bit", "-size 3x2 xc:red -fill blue -draw 'point 0,0'", Rgba(255, 0, 0), Rgba(0, 0, 255), 0},
      {"32-bit with alpha", "-size 3x2 xc:'rgba(0,255,0,0.5)' -fill 'rgba(0,0,255,1)' -draw 'point 0,0'",
       Rgba(0, 255, 0, 128), Rgba(0, 0, 255), 1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.why);
    const std::string path = dir / "magick.bmp";
    const std::string command = std::string("convert ") + c.arguments + " '" + path + "' 2>/dev/null";
    ASSERT_EQ(0, std::system(command.c_str()));
    const std::vector<uint8_t> bytes = ReadBytes(path);
    ASSERT_GT(bytes.size(), 18u);
    EXPECT_GT(bytes[14], 40) << "expected a V4 or V5 header";
    BmpLoadError error = BmpLoadError::DecodeFailed;
    Bitmap dib(LoadCheckedBmp(path, &error));
    ASSERT_NE(nullptr, dib) << static_cast<int>(error);
    ASSERT_EQ(3u, FreeImage_GetWidth(dib.get()));
    ASSERT_EQ(2u, FreeImage_GetHeight(dib.get()));
    for (unsigned y = 0; y < 2; ++y) {
      for (unsigned x = 0; x < 3; ++x) {
        const uint32_t want = (x == 0 && y == 0) ? c.point : c.background;
        const uint32_t got = PixelOf(dib.get(), x, y);
        EXPECT_EQ(want >> 8, got >> 8) << x << "," << y;
        EXPECT_NEAR(test::AlphaOf(want), test::AlphaOf(got), c.alphaSlack) << x << "," << y;
      }
    }
  }
}

}  // namespace
}  // namespace ravelin
