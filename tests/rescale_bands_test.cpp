#include "engine/ops/rescale_bands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "tests/support/pattern_bitmaps.h"

namespace ravelin {
namespace {

using Bitmap = test::OwnedBitmap;

// Noise, so that a pixel worked out in any other way than FreeImage's shows.
FIBITMAP* NoiseBitmap(unsigned width, unsigned height, unsigned bpp) {
  FIBITMAP* image = FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), static_cast<int>(bpp));
  std::mt19937 random(width * 7919u + height * 104729u + bpp);
  for (unsigned y = 0; y < height; ++y) {
    BYTE* line = FreeImage_GetScanLine(image, static_cast<int>(y));
    for (unsigned i = 0; i < FreeImage_GetLine(image); ++i) line[i] = static_cast<BYTE>(random() >> 24);
  }
  FreeImage_SetDotsPerMeterX(image, 3780);
  FreeImage_SetDotsPerMeterY(image, 2835);
  FreeImage_SetMetadataKeyValue(FIMD_COMMENTS, image, "Comment", "kept");
  return image;
}

std::string Comment(FIBITMAP* image) {
  FITAG* tag = nullptr;
  if (!FreeImage_GetMetadata(FIMD_COMMENTS, image, "Comment", &tag) || tag == nullptr) return "";
  return static_cast<const char*>(FreeImage_GetTagValue(tag));
}

void ExpectSameBitmap(FIBITMAP* expected, FIBITMAP* got) {
  ASSERT_NE(nullptr, expected);
  ASSERT_NE(nullptr, got);
  ASSERT_EQ(FreeImage_GetWidth(expected), FreeImage_GetWidth(got));
  ASSERT_EQ(FreeImage_GetHeight(expected), FreeImage_GetHeight(got));
  ASSERT_EQ(FreeImage_GetBPP(expected), FreeImage_GetBPP(got));
  EXPECT_EQ(FreeImage_GetRedMask(expected), FreeImage_GetRedMask(got));
  EXPECT_EQ(FreeImage_GetDotsPerMeterX(expected), FreeImage_GetDotsPerMeterX(got));
  EXPECT_EQ(FreeImage_GetDotsPerMeterY(expected), FreeImage_GetDotsPerMeterY(got));
  EXPECT_EQ(Comment(expected), Comment(got));
  const unsigned line = FreeImage_GetLine(expected);
  for (unsigned y = 0; y < FreeImage_GetHeight(expected); ++y) {
    const BYTE* a = FreeImage_GetScanLine(expected, static_cast<int>(y));
    const BYTE* b = FreeImage_GetScanLine(got, static_cast<int>(y));
    if (std::memcmp(a, b, line) != 0) {
      unsigned i = 0;
      while (a[i] == b[i]) ++i;
      FAIL() << "scan line " << y << " differs at byte " << i;
    }
  }
}

struct Case {
  const char* name;
  unsigned width, height, bpp;
  unsigned toWidth, toHeight;
  FREE_IMAGE_FILTER filter;
};

// Pictures large enough to be banded, in uneven sizes so the last band is a short one, going
// every way FreeImage orders its two passes; and two that are left to FreeImage whole.
const Case kCases[] = {
    {"smaller both ways", 1201, 877, 24, 600, 438, FILTER_LANCZOS3},
    {"smaller both ways at 32 bits", 1201, 877, 32, 451, 333, FILTER_CATMULLROM},
    {"larger both ways", 1031, 1019, 24, 1500, 1237, FILTER_BICUBIC},
    {"wider and lower", 1031, 1019, 32, 1700, 400, FILTER_BSPLINE},
    {"narrower and higher", 1031, 1019, 24, 500, 1800, FILTER_BILINEAR},
    {"only narrower", 1201, 877, 24, 733, 877, FILTER_BOX},
    {"only higher", 1201, 877, 32, 1201, 1390, FILTER_LANCZOS3},
    {"to one pixel", 1201, 877, 24, 1, 1, FILTER_LANCZOS3},
    {"to one column", 1201, 877, 32, 1, 900, FILTER_CATMULLROM},
    {"small, left whole", 64, 48, 24, 30, 20, FILTER_LANCZOS3},
    {"palette, left whole", 1201, 877, 8, 600, 438, FILTER_BICUBIC},
};

TEST(RescaleInBands, GivesFreeImagesOwnBytes) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Bitmap source(NoiseBitmap(c.width, c.height, c.bpp));
    ASSERT_NE(nullptr, source);
    Bitmap expected(FreeImage_Rescale(source.get(), static_cast<int>(c.toWidth), static_cast<int>(c.toHeight), c.filter));
    Bitmap got(RescaleInBands(source.release(), c.toWidth, c.toHeight, c.filter));
    ExpectSameBitmap(expected.get(), got.get());
  }
}

TEST(RescaleInBands, NoImageOrAZeroSideGivesNoImage) {
  EXPECT_EQ(nullptr, RescaleInBands(nullptr, 10, 10, FILTER_BOX));
  // The picture given is released either way.
  EXPECT_EQ(nullptr, RescaleInBands(NoiseBitmap(1201, 877, 24), 0, 400, FILTER_BOX));
}

}  // namespace
}  // namespace ravelin
