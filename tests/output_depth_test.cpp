#include "engine/ops/output_depth.h"

#include <gtest/gtest.h>

#include "tests/support/pattern_bitmaps.h"

namespace ravelin {
namespace {

using Bitmap = test::OwnedBitmap;

TEST(OutputDepth, ChoosesTheFirstAllowedDepthAtLeastTheSource) {
  struct Case { const char* why; const char* ext; int source; int expected; };
  const Case kCases[] = {
      {"one allowed depth", "psd", 1, 32},
      {"one allowed depth, equal", "psd", 32, 32},
      {"exact match in a long list", "bmp", 24, 24},
      {"deeper than every entry: the last", "bmp", 48, 32},
      {"the smallest entry", "bmp", 1, 1},
      {"between two entries: the next", "bmp", 2, 4},
      {"gap in the list", "png", 16, 24},
      {"jpg stops at 24", "jpg", 32, 24},
      {"only float", "exr", 8, 96},
      {"up to 96", "tiff", 48, 48},
      {"unknown output has no list", "xyz", 24, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(c.expected, ChooseAutoBpp(c.ext, c.source));
  }
}

JobContext Job(const char* ext, int targetBpp) {
  JobContext job;
  job.OutputExt = ext;
  job.TargetBpp = targetBpp;
  return job;
}

TEST(OutputDepth, ReturnsTheVeryImageWhenTheDepthFits) {
  JobContext job = Job("psd", 32);
  FIBITMAP* image = test::MakePatternBitmap(3, 2, 32);
  Bitmap result(ConvertOutputDepth(image, job));
  EXPECT_EQ(image, result.get());
}

TEST(OutputDepth, AutomaticDepthComesFromTheSourceForEveryFile) {
  struct Case { const char* ext; int sourceBpp; unsigned imageBpp; int expected; };
  const Case kCases[] = {
      {"psd", 8, 24, 32},
      {"psd", 1, 1, 32},
      // The source depth counts, not the depth the operations left.
      {"bmp", 24, 1, 24},
      {"bmp", 48, 8, 32},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.ext) + " from " + std::to_string(c.sourceBpp));
    JobContext job = Job(c.ext, 8);  // the choice of an earlier file
    job.AutoBpp = true;
    job.SourceBpp = c.sourceBpp;
    Bitmap result(ConvertOutputDepth(test::MakePatternBitmap(3, 2, c.imageBpp), job));
    ASSERT_NE(nullptr, result);
    EXPECT_EQ(c.expected, job.TargetBpp);
    EXPECT_EQ(static_cast<unsigned>(c.expected), FreeImage_GetBPP(result.get()));
  }
}

TEST(OutputDepth, ConvertsByTheTable) {
  struct Case {
    const char* why;
    const char* ext;
    int target;
    unsigned inputBpp;  // 48 is a 16-bit-a-channel RGB picture
    FREE_IMAGE_TYPE type;
    unsigned expectedBpp;
  };
  const Case kCases[] = {
      {"1 from 24", "png", 1, 24, FIT_BITMAP, 1},
      {"1 from 8", "bmp", 1, 8, FIT_BITMAP, 1},
      {"4 from 32", "png", 4, 32, FIT_BITMAP, 4},
      {"4 from 1", "bmp", 4, 1, FIT_BITMAP, 4},
      {"8 jpg from 24", "jpg", 8, 24, FIT_BITMAP, 8},
      {"8 png from 24", "png", 8, 24, FIT_BITMAP, 8},
      {"8 png from 32 goes through 24", "png", 8, 32, FIT_BITMAP, 8},
      {"8 png from 4 goes through 24", "png", 8, 4, FIT_BITMAP, 8},
      {"8 png from 48 goes through 24", "png", 8, 48, FIT_BITMAP, 8},
      {"16 tga from 24", "tga", 16, 24, FIT_BITMAP, 16},
      {"16 bmp from 8", "bmp", 16, 8, FIT_BITMAP, 16},
      {"16 bmp from 48 goes through 24", "bmp", 16, 48, FIT_BITMAP, 16},
      {"24 from 1", "bmp", 24, 1, FIT_BITMAP, 24},
      {"24 from 16", "bmp", 24, 16, FIT_BITMAP, 24},
      {"32 from 1", "psd", 32, 1, FIT_BITMAP, 32},
      {"32 from 4", "psd", 32, 4, FIT_BITMAP, 32},
      {"32 from 8", "psd", 32, 8, FIT_BITMAP, 32},
      {"32 from 16", "psd", 32, 16, FIT_BITMAP, 32},
      {"32 from 24", "psd", 32, 24, FIT_BITMAP, 32},
      {"48 from 24", "png", 48, 24, FIT_RGB16, 48},
      {"96 from 24", "exr", 96, 24, FIT_RGBF, 96},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    FIBITMAP* input = c.inputBpp == 48 ? test::MakeRgb16PatternBitmap(6, 4)
                                       : test::MakePatternBitmap(6, 4, c.inputBpp);
    JobContext job = Job(c.ext, c.target);
    Bitmap result(ConvertOutputDepth(input, job));
    ASSERT_NE(nullptr, result);
    EXPECT_EQ(c.expectedBpp, FreeImage_GetBPP(result.get()));
    EXPECT_EQ(c.type, FreeImage_GetImageType(result.get()));
    EXPECT_EQ(6u, FreeImage_GetWidth(result.get()));
  }
}

// A red picture tells the two 8-bit ways apart: the Wu quantiser keeps the colour, the
// plain conversion of a 24-bit picture makes it grey.
TEST(OutputDepth, EightBitsQuantiseExceptForTheJpegFamily) {
  struct Case { const char* ext; bool keepsColour; };
  const Case kCases[] = {{"png", true}, {"bmp", true}, {"tiff", true}, {"jpg", false},
                         {"j2k", false}, {"jp2", false}, {"jxr", false}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.ext);
    FIBITMAP* red = FreeImage_Allocate(4, 4, 24);
    RGBQUAD color = {0, 0, 200, 0};  // blue, green, red
    for (unsigned y = 0; y < 4; ++y) {
      for (unsigned x = 0; x < 4; ++x) FreeImage_SetPixelColor(red, x, y, &color);
    }
    JobContext job = Job(c.ext, 8);
    Bitmap result(ConvertOutputDepth(red, job));
    ASSERT_NE(nullptr, result);
    const RGBQUAD pixel = test::ColorAt(result.get(), 1, 1);
    EXPECT_EQ(c.keepsColour, pixel.rgbRed > pixel.rgbGreen + 100);
  }
}

TEST(OutputDepth, SixteenBitsAre555ForIconsAndTargaOnly) {
  struct Case { const char* ext; unsigned greenMask; };
  const Case kCases[] = {{"ico", FI16_555_GREEN_MASK}, {"tga", FI16_555_GREEN_MASK},
                         {"bmp", FI16_565_GREEN_MASK}, {"jxr", FI16_565_GREEN_MASK}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.ext);
    JobContext job = Job(c.ext, 16);
    Bitmap result(ConvertOutputDepth(test::MakePatternBitmap(3, 2, 24), job));
    ASSERT_NE(nullptr, result);
    EXPECT_EQ(c.greenMask, FreeImage_GetGreenMask(result.get()));
  }
}

TEST(OutputDepth, NoImageForADepthOutsideTheTable) {
  const int kTargets[] = {0, 2, 7, 15, 64, 128, -1};
  for (int target : kTargets) {
    SCOPED_TRACE(target);
    JobContext job = Job("psd", target);
    EXPECT_EQ(nullptr, ConvertOutputDepth(test::MakePatternBitmap(3, 2, 24), job));
  }
  JobContext job = Job("psd", 32);
  EXPECT_EQ(nullptr, ConvertOutputDepth(nullptr, job));
}

}  // namespace
}  // namespace ravelin
