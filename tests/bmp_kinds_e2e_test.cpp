// Every kind of BMP file converts through the built binary, and the PSD read back holds
// exactly the file's pixels: colours through ImageMagick, transparency from the fourth plane.
#include <gtest/gtest.h>

#include "tests/support/bmp_writer.h"
#include "tests/support/psd_check.h"
#include "tests/support/scratch.h"

namespace ravelin::test {
namespace {

constexpr int kWidth = 5;
constexpr int kHeight = 3;

// Colours that every depth stores exactly (5-bit channels keep 0 and 255).
const std::vector<uint32_t> kPrimaries = {Rgba(0, 0, 0), Rgba(255, 255, 255), Rgba(255, 0, 0), Rgba(0, 255, 0),
                                          Rgba(0, 0, 255), Rgba(255, 255, 0), Rgba(0, 255, 255), Rgba(255, 0, 255)};

std::vector<uint32_t> PixelsFrom(const std::vector<uint32_t>& colours) {
  std::vector<uint32_t> pixels;
  for (int i = 0; i < kWidth * kHeight; ++i) pixels.push_back(colours[static_cast<size_t>(i * 7 + i / kWidth) % colours.size()]);
  return pixels;
}

std::vector<uint32_t> Gradient(bool withAlpha) {
  std::vector<uint32_t> pixels;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      pixels.push_back(Rgba(static_cast<uint8_t>(x * 50 + 3), static_cast<uint8_t>(y * 90 + 1),
                            static_cast<uint8_t>(200 - x * 20 - y), withAlpha ? static_cast<uint8_t>(x * 60 + y) : 255));
    }
  }
  return pixels;
}

struct Kind {
  const char* why;
  BmpSpec spec;
  bool keepsAlpha = false;  // the PSD's fourth plane holds the file's alpha; else it is opaque
};

BmpSpec Spec(uint16_t bpp, uint32_t compression, uint32_t header, std::vector<uint32_t> pixels,
             std::vector<uint32_t> palette = {}) {
  BmpSpec spec;
  spec.width = kWidth;
  spec.height = kHeight;
  spec.bpp = bpp;
  spec.compression = compression;
  spec.headerSize = header;
  spec.pixels = std::move(pixels);
  spec.palette = std::move(palette);
  return spec;
}

std::vector<Kind> Kinds() {
  const std::vector<uint32_t> two = {Rgba(10, 20, 30), Rgba(240, 230, 220)};
  std::vector<uint32_t> sixteen, many;
  for (int i = 0; i < 16; ++i) sixteen.push_back(Rgba(static_cast<uint8_t>(i * 16), static_cast<uint8_t>(255 - i * 9), 77));
  for (int i = 0; i < 256; ++i) many.push_back(Rgba(static_cast<uint8_t>(i), static_cast<uint8_t>(i * 3), static_cast<uint8_t>(255 - i)));

  std::vector<Kind> kinds;
  kinds.push_back({"24-bit, info header", Spec(24, kBmpRgb, 40, Gradient(false))});
  kinds.push_back({"24-bit, V4 header", Spec(24, kBmpRgb, 108, Gradient(false))});
  kinds.push_back({"24-bit, V5 header", Spec(24, kBmpRgb, 124, Gradient(false))});
  kinds.push_back({"24-bit, V2 and V3 headers", Spec(24, kBmpRgb, 52, Gradient(false))});
  kinds.push_back({"24-bit, 56-byte header", Spec(24, kBmpRgb, 56, Gradient(false))});
  kinds.push_back({"24-bit, OS/2 2.x header", Spec(24, kBmpRgb, 64, Gradient(false))});
  Kind topDown{"24-bit, top-down", Spec(24, kBmpRgb, 40, Gradient(false))};
  topDown.spec.topDown = true;
  kinds.push_back(topDown);
  kinds.push_back({"8-bit, OS/2 core header", Spec(8, kBmpRgb, 12, PixelsFrom(many), many)});
  kinds.push_back({"1-bit palette", Spec(1, kBmpRgb, 40, PixelsFrom(two), two)});
  kinds.push_back({"4-bit palette", Spec(4, kBmpRgb, 40, PixelsFrom(sixteen), sixteen)});
  kinds.push_back({"8-bit palette", Spec(8, kBmpRgb, 40, PixelsFrom(many), many)});
  kinds.push_back({"RLE8, end of line before end of bitmap", Spec(8, kBmpRle8, 40, PixelsFrom(many), many)});
  kinds.push_back({"RLE4", Spec(4, kBmpRle4, 40, PixelsFrom(sixteen), sixteen)});
  kinds.push_back({"16-bit 5-5-5", Spec(16, kBmpRgb, 40, PixelsFrom(kPrimaries))});
  Kind rgb565{"16-bit bit fields 5-6-5", Spec(16, kBmpBitFields, 40, PixelsFrom(kPrimaries))};
  rgb565.spec.masks = {0xF800, 0x07E0, 0x001F, 0};
  kinds.push_back(rgb565);
  kinds.push_back({"32-bit, fourth bytes all 0, is opaque", Spec(32, kBmpRgb, 40, Gradient(false))});
  for (uint32_t& pixel : kinds.back().spec.pixels) pixel &= 0xFFFFFF00u;
  kinds.push_back({"32-bit with alpha in the fourth bytes", Spec(32, kBmpRgb, 40, Gradient(true)), true});
  Kind fields{"32-bit bit fields without an alpha mask, is opaque", Spec(32, kBmpBitFields, 40, Gradient(true))};
  fields.spec.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0};
  kinds.push_back(fields);
  Kind swapped{"32-bit bit fields with red in the low byte", Spec(32, kBmpBitFields, 40, Gradient(false))};
  swapped.spec.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0};
  kinds.push_back(swapped);
  Kind v5alpha{"32-bit V5 with an alpha mask", Spec(32, kBmpBitFields, 124, Gradient(true)), true};
  v5alpha.spec.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
  kinds.push_back(v5alpha);
  return kinds;
}

TEST(BmpKinds, EveryKindConvertsToTheSamePixels) {
  ScratchDir dir;
  for (const Kind& kind : Kinds()) {
    SCOPED_TRACE(kind.why);
    const std::string input = dir / "in.bmp";
    ASSERT_TRUE(WriteFile(input, WriteBmp(kind.spec)));
    const RunResult run = RunRavelin({"-q", "-i", input}, dir);
    ASSERT_EQ("", run.out);
    RgbImage decoded;
    ASSERT_TRUE(DecodeWithImageMagick(dir / "in.psd", &decoded));
    ASSERT_EQ(static_cast<unsigned>(kWidth), decoded.width);
    ASSERT_EQ(static_cast<unsigned>(kHeight), decoded.height);
    std::vector<uint8_t> rgb, alpha;
    for (uint32_t pixel : kind.spec.pixels) {
      rgb.insert(rgb.end(), {RedOf(pixel), GreenOf(pixel), BlueOf(pixel)});
      alpha.push_back(kind.keepsAlpha ? AlphaOf(pixel) : 255);
    }
    EXPECT_EQ(rgb, decoded.rgb);
    unsigned w = 0, h = 0;
    std::vector<uint8_t> plane;
    ASSERT_TRUE(ReadPsdAlpha(dir / "in.psd", &w, &h, &plane));
    EXPECT_EQ(alpha, plane);
  }
}

}  // namespace
}  // namespace ravelin::test
