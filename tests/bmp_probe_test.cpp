// The header-only check before a load: the size and depth the load will have, and the same
// refusals, without the bitmap being made. RLE data is walked, since a few bytes of it can
// claim any size.
#include <gtest/gtest.h>

#include "engine/bmp/bmp_loader.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/scratch.h"

namespace ravelin::test {
namespace {

BmpSpec Rle8(int32_t width, int32_t height, std::vector<uint8_t> stream) {
  BmpSpec spec;
  spec.width = width;
  spec.height = height;
  spec.bpp = 8;
  spec.compression = kBmpRle8;
  spec.palette = {Rgba(0, 0, 0), Rgba(255, 255, 255)};
  spec.rleData = std::move(stream);
  return spec;
}

TEST(BmpProbe, AgreesWithTheLoad) {
  BmpSpec masked;
  masked.width = 3;
  masked.height = 2;
  masked.bpp = 16;
  masked.compression = kBmpBitFields;
  masked.masks = {0x0F00, 0x00F0, 0x000F, 0xF000};
  masked.pixels.assign(6, Rgba(255, 0, 0));
  BmpSpec topDown;
  topDown.width = 5;
  topDown.height = 2;
  topDown.topDown = true;
  topDown.pixels.assign(10, Rgba(1, 2, 3));
  struct Case { const char* why; BmpSpec spec; };
  const Case kCases[] = {
      {"bit fields with alpha load at 32 bits", masked},
      {"top-down 24-bit", topDown},
      {"RLE8 ending early with end-of-bitmap", Rle8(7, 5, {2, 1, 0, 1})},
  };
  ScratchDir dir;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    ASSERT_TRUE(WriteBytes(dir / "a.bmp", WriteBmp(c.spec)));
    BmpDimensions probed;
    BmpLoadError error = BmpLoadError::DecodeFailed;
    ASSERT_TRUE(ProbeCheckedBmp(dir / "a.bmp", &probed, &error));
    EXPECT_EQ(BmpLoadError::None, error);
    FIBITMAP* loaded = LoadCheckedBmp(dir / "a.bmp");
    ASSERT_NE(nullptr, loaded);
    EXPECT_EQ(FreeImage_GetWidth(loaded), probed.width);
    EXPECT_EQ(FreeImage_GetHeight(loaded), probed.height);
    EXPECT_EQ(FreeImage_GetBPP(loaded), probed.bpp);
    FreeImage_Unload(loaded);
  }
}

TEST(BmpProbe, RefusesBeforeAllocating) {
  ScratchDir dir;
  struct Case { const char* why; std::vector<uint8_t> bytes; BmpLoadError error; };
  const Case kCases[] = {
      {"30000 x 30000 RLE8 in six bytes", WriteBmp(Rle8(30000, 30000, {255, 1, 255, 2, 0, 0})), BmpLoadError::Truncated},
      {"RLE8 rows missing", WriteBmp(Rle8(4, 3, {4, 1, 0, 0})), BmpLoadError::Truncated},
      {"not a BMP", {'P', 'K', 3, 4}, BmpLoadError::NotBmp},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    ASSERT_TRUE(WriteBytes(dir / "a.bmp", c.bytes));
    BmpDimensions probed;
    BmpLoadError error = BmpLoadError::None;
    EXPECT_FALSE(ProbeCheckedBmp(dir / "a.bmp", &probed, &error));
    EXPECT_EQ(c.error, error);
  }
  BmpDimensions probed;
  BmpLoadError error = BmpLoadError::None;
  EXPECT_FALSE(ProbeCheckedBmp(dir / "missing.bmp", &probed, &error));
  EXPECT_EQ(BmpLoadError::Unreadable, error);
}

// A complete RLE picture of that size is a real picture: the probe passes it through and
// leaves the decision to the memory budget.
TEST(BmpProbe, PassesAHugeCompleteRlePicture) {
  ScratchDir dir;
  ASSERT_TRUE(WriteBytes(dir / "a.bmp", WriteBmp(Rle8(30000, 30000, {255, 1, 0, 1}))));
  BmpDimensions probed;
  ASSERT_TRUE(ProbeCheckedBmp(dir / "a.bmp", &probed));
  EXPECT_EQ(30000u, probed.width);
  EXPECT_EQ(30000u, probed.height);
  EXPECT_EQ(8u, probed.bpp);
}

}  // namespace
}  // namespace ravelin::test
