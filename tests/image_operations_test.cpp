#include "engine/ops/image_operations.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/image_limits.h"
#include "tests/support/pattern_bitmaps.h"

namespace ravelin {
namespace {

using Bitmap = test::OwnedBitmap;

using Operation = FIBITMAP* (*)(FIBITMAP*, const Settings&);

FIBITMAP* ResizeCurrent(FIBITMAP* image, const Settings& settings) {
  if (image == nullptr) return ResizeImage(image, settings, 0, 0);
  return ResizeImage(image, settings, FreeImage_GetWidth(image), FreeImage_GetHeight(image));
}

struct NamedOperation {
  const char* name;
  Operation run;
  Flag Settings::*on;
};
const NamedOperation kOperations[] = {
    {"rotate", RotateImage, &Settings::DoImageRotation},
    {"resize", ResizeCurrent, &Settings::DoImageResize},
    {"flip", FlipImage, &Settings::DoImageFlipHorizontal},
    {"adjust", AdjustImageColors, &Settings::DoImageColorCorrection},
    {"greyscale", GreyscaleImage, &Settings::DoImageGreyscale},
    {"threshold", ThresholdImage, &Settings::DoImageThreshold},
    {"dither", DitherImage, &Settings::DoImageDither},
};

// Settings under which every operation would change a picture once switched on.
Settings ActiveSettings() {
  Settings settings;
  settings.ImageRotation = 90;
  settings.ImageWidth = 2;
  settings.ImageHeight = 2;
  settings.KeepAspectRatio = 0;
  settings.ImageInvert = 1;
  settings.ImageThreshold = 128;
  return settings;
}

TEST(ImageOperations, NoImageInGivesNoImageOut) {
  Settings settings = ActiveSettings();
  for (const NamedOperation& op : kOperations) {
    SCOPED_TRACE(op.name);
    settings.*op.on = 1;
    EXPECT_EQ(nullptr, op.run(nullptr, settings));
  }
}

TEST(ImageOperations, SwitchedOffReturnsTheSameImage) {
  const Settings settings = ActiveSettings();
  Bitmap image(test::MakePatternBitmap(4, 3, 8));
  for (const NamedOperation& op : kOperations) {
    SCOPED_TRACE(op.name);
    EXPECT_EQ(image.get(), op.run(image.get(), settings));
  }
  EXPECT_TRUE(test::SamePixels(image.get(), Bitmap(test::MakePatternBitmap(4, 3, 8)).get()));
}

// The depth an operation works at shows in its result.
TEST(ImageOperations, ConvertsToTheDepthItWorksAtFirst) {
  struct Case { const char* why; Operation run; Flag Settings::*on; unsigned bpp; unsigned expectedBpp; };
  const Case kCases[] = {
      {"1-bit rotated at 24", RotateImage, &Settings::DoImageRotation, 1, 24},
      {"4-bit rotated at 24", RotateImage, &Settings::DoImageRotation, 4, 24},
      {"8-bit rotated at 24", RotateImage, &Settings::DoImageRotation, 8, 24},
      {"16-bit rotated at 24", RotateImage, &Settings::DoImageRotation, 16, 24},
      {"32-bit rotated as it is", RotateImage, &Settings::DoImageRotation, 32, 32},
      {"1-bit adjusted at 24", AdjustImageColors, &Settings::DoImageColorCorrection, 1, 24},
      {"4-bit adjusted at 24", AdjustImageColors, &Settings::DoImageColorCorrection, 4, 24},
      {"8-bit adjusted as it is", AdjustImageColors, &Settings::DoImageColorCorrection, 8, 8},
      {"16-bit adjusted at 24, FreeImage skips it otherwise", AdjustImageColors,
       &Settings::DoImageColorCorrection, 16, 24},
      {"32-bit adjusted as it is", AdjustImageColors, &Settings::DoImageColorCorrection, 32, 32},
      {"1-bit to grey", GreyscaleImage, &Settings::DoImageGreyscale, 1, 8},
      {"16-bit to grey", GreyscaleImage, &Settings::DoImageGreyscale, 16, 8},
      {"4-bit threshold", ThresholdImage, &Settings::DoImageThreshold, 4, 1},
      {"16-bit threshold", ThresholdImage, &Settings::DoImageThreshold, 16, 1},
      {"1-bit dither", DitherImage, &Settings::DoImageDither, 1, 1},
      {"8-bit dither", DitherImage, &Settings::DoImageDither, 8, 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    Settings settings = ActiveSettings();
    settings.*c.on = 1;
    Bitmap result(c.run(test::MakePatternBitmap(5, 3, c.bpp), settings));
    ASSERT_NE(nullptr, result);
    EXPECT_EQ(c.expectedBpp, FreeImage_GetBPP(result.get()));
    EXPECT_EQ(FIT_BITMAP, FreeImage_GetImageType(result.get()));
  }
}

TEST(ImageOperations, DeepPicturesGoTo24BitsFirst) {
  const Operation kRuns[] = {RotateImage, AdjustImageColors, GreyscaleImage, ThresholdImage,
                             DitherImage};
  Settings settings = ActiveSettings();
  settings.DoImageRotation = settings.DoImageColorCorrection = settings.DoImageGreyscale =
      settings.DoImageThreshold = settings.DoImageDither = 1;
  for (Operation run : kRuns) {
    Bitmap result(run(test::MakeRgb16PatternBitmap(5, 3), settings));
    ASSERT_NE(nullptr, result);
    EXPECT_EQ(FIT_BITMAP, FreeImage_GetImageType(result.get()));
  }
}

Settings Rotation(int degrees, int type) {
  Settings settings;
  settings.DoImageRotation = 1;
  settings.ImageRotation = degrees;
  settings.ImageRotationType = static_cast<Choice>(type);
  return settings;
}

TEST(Rotation, ActsOnlyForAnglesFrom1To359) {
  struct Case { int degrees; bool rotates; };
  const Case kCases[] = {{0, false}, {360, false}, {-90, false}, {720, false},
                         {1, true},  {90, true},   {359, true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.degrees);
    FIBITMAP* image = test::MakePatternBitmap(5, 3, 24);
    Bitmap result(RotateImage(image, Rotation(c.degrees, kRotationSimple)));
    EXPECT_EQ(!c.rotates, result.get() == image);
  }
}

TEST(Rotation, SizeAfterRotation) {
  struct Case { const char* why; int degrees; int type; unsigned width; unsigned height; };
  const Case kCases[] = {
      {"quarter turn swaps the sides", 90, kRotationSimple, 3, 5},
      {"half turn keeps them", 180, kRotationSimple, 5, 3},
      {"three quarters swap them", 270, kRotationSimple, 3, 5},
      {"odd angle grows the picture", 30, kRotationSimple, 7, 6},
      {"advanced rotation keeps the size", 30, kRotationAdvanced, 5, 3},
      {"unknown type does not rotate", 90, 7, 5, 3},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    Bitmap result(RotateImage(test::MakePatternBitmap(5, 3, 24), Rotation(c.degrees, c.type)));
    ASSERT_NE(nullptr, result);
    EXPECT_EQ(c.width, FreeImage_GetWidth(result.get()));
    EXPECT_EQ(c.height, FreeImage_GetHeight(result.get()));
    EXPECT_EQ(24u, FreeImage_GetBPP(result.get()));
  }
}

// The limit check relies on predicting FreeImage's size; compare with what it really makes.
TEST(Rotation, PredictedSizeMatchesFreeImage) {
  const int kAngles[] = {1, 10, 44, 45, 46, 89, 90, 91, 134, 135, 136, 180, 224,
                         225, 226, 269, 270, 271, 314, 315, 316, 359};
  for (unsigned width = 1; width <= 9; width += 4) {
    for (unsigned height = 1; height <= 11; height += 5) {
      Bitmap source(test::MakePatternBitmap(width, height, 24));
      for (int degrees : kAngles) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + " by " +
                     std::to_string(degrees));
        Bitmap rotated(FreeImage_Rotate(source.get(), degrees, nullptr));
        ASSERT_NE(nullptr, rotated);
        uint64_t predictedWidth = 0;
        uint64_t predictedHeight = 0;
        RotatedSize(width, height, degrees, kRotationSimple, &predictedWidth, &predictedHeight);
        EXPECT_EQ(FreeImage_GetWidth(rotated.get()), predictedWidth);
        EXPECT_EQ(FreeImage_GetHeight(rotated.get()), predictedHeight);
      }
    }
  }
}

TEST(Rotation, CornerTakesTheBackgroundColour) {
  Settings settings = Rotation(45, kRotationSimple);
  settings.ImageRotationBackColor = "FF8000";
  Bitmap result(RotateImage(test::MakePatternBitmap(8, 8, 24), settings));
  ASSERT_NE(nullptr, result);
  const RGBQUAD corner = test::ColorAt(result.get(), 0, 0);
  EXPECT_EQ(0xFF, corner.rgbRed);
  EXPECT_EQ(0x80, corner.rgbGreen);
  EXPECT_EQ(0x00, corner.rgbBlue);
}

TEST(Rotation, FourQuarterTurnsGiveTheOriginal) {
  Bitmap original(test::MakePatternBitmap(5, 3, 24));
  FIBITMAP* image = FreeImage_Clone(original.get());
  for (int i = 0; i < 4; ++i) image = RotateImage(image, Rotation(90, kRotationSimple));
  Bitmap result(image);
  ASSERT_NE(nullptr, result);
  EXPECT_TRUE(test::SamePixels(original.get(), result.get()));
}

TEST(Rotation, RefusesAPictureThatWouldOutgrowTheLimit) {
  // 29990 x 1000 turned by 2 degrees is 30007 pixels wide. Kept at 1 bit so the fixture is
  // small: the refusal has to come before the 24-bit copy is made.
  FIBITMAP* image = FreeImage_Allocate(29990, 1000, 1);
  ASSERT_NE(nullptr, image);
  uint64_t width = 0;
  uint64_t height = 0;
  RotatedSize(29990, 1000, 2, kRotationSimple, &width, &height);
  ASSERT_GT(width, kMaxPsdSide);
  EXPECT_EQ(nullptr, RotateImage(image, Rotation(2, kRotationSimple)));
}

Settings Resize(int width, int widthUnit, int height, int heightUnit, bool keepAspect,
                int type = kResizeAllImages) {
  Settings settings;
  settings.DoImageResize = 1;
  settings.ImageWidth = width;
  settings.ImageWidthUnit = static_cast<Choice>(widthUnit);
  settings.ImageHeight = height;
  settings.ImageHeightUnit = static_cast<Choice>(heightUnit);
  settings.KeepAspectRatio = keepAspect ? 1 : 0;
  settings.ImageResizeType = static_cast<Choice>(type);
  return settings;
}

TEST(Resizing, SizeAfterResizing) {
  constexpr int kPx = kUnitPixels;
  constexpr int kPc = kUnitPercent;
  struct Case {
    const char* why;
    unsigned width, height;
    Settings settings;
    bool resized;
    unsigned expectedWidth, expectedHeight;
  };
  const Case kCases[] = {
      {"landscape keeps its ratio by the width", 800, 600, Resize(400, kPx, 400, kPx, true),
       true, 400, 300},
      {"portrait keeps its ratio by the height", 600, 800, Resize(400, kPx, 400, kPx, true),
       true, 300, 400},
      {"without the ratio both sides count", 800, 600, Resize(400, kPx, 400, kPx, false), true,
       400, 400},
      {"percent: 400.5 rounds to the even 400", 801, 10, Resize(50, kPc, 100, kPc, false), true,
       400, 10},
      {"percent: 401.5 rounds to the even 402", 803, 10, Resize(50, kPc, 100, kPc, false), true,
       402, 10},
      {"percent: 3.6 rounds up", 12, 10, Resize(30, kPc, 100, kPc, false), true, 4, 10},
      {"ratio: 2.5 rounds away from zero", 4, 1, Resize(10, kPx, 1, kPx, true), true, 10, 3},
      {"ratio: 3.5 rounds away from zero", 2, 4, Resize(1, kPx, 7, kPx, true), true, 4, 7},
      {"large images only: smaller in both directions", 300, 300,
       Resize(400, kPx, 400, kPx, true, kResizeLargeImages), false, 300, 300},
      {"large images only: taller than the target", 300, 300,
       Resize(400, kPx, 200, kPx, false, kResizeLargeImages), true, 400, 200},
      {"target width 0 stops even with the ratio kept", 300, 200, Resize(0, kPx, 100, kPx, true),
       false, 300, 200},
      {"negative target height", 300, 200, Resize(100, kPx, -5, kPx, false), false, 300, 200},
      {"unknown unit gives 0", 300, 200, Resize(100, 2, 100, kPx, false), false, 300, 200},
      {"already the target size", 300, 200, Resize(300, kPx, 200, kPx, false), false, 300, 200},
      {"the largest side a document holds", 3, 1, Resize(30000, kPx, 1, kPx, false), true, 30000,
       1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    FIBITMAP* image = test::MakePatternBitmap(c.width, c.height, 24);
    Bitmap result(ResizeImage(image, c.settings, c.width, c.height));
    ASSERT_NE(nullptr, result);
    EXPECT_EQ(c.resized, result.get() != image);
    EXPECT_EQ(c.expectedWidth, FreeImage_GetWidth(result.get()));
    EXPECT_EQ(c.expectedHeight, FreeImage_GetHeight(result.get()));
  }
}

TEST(Resizing, FailsWithoutAllocatingForImpossibleSizes) {
  struct Case { const char* why; unsigned width, height; Settings settings; };
  const Case kCases[] = {
      {"100000 x 100000", 4, 4, Resize(100000, kUnitPixels, 100000, kUnitPixels, false)},
      {"one side over the limit", 4, 4, Resize(40000, kUnitPixels, 10, kUnitPixels, false)},
      {"percent over the limit", 400, 4, Resize(10000, kUnitPercent, 100, kUnitPercent, false)},
      {"the largest percent of a wide picture", 60000, 1,
       Resize(2147483647, kUnitPercent, 100, kUnitPercent, false)},
      {"a wide picture's height rounds to 0", 1000, 1, Resize(10, kUnitPixels, 10, kUnitPixels, true)},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(nullptr, ResizeImage(test::MakePatternBitmap(c.width, c.height, 8), c.settings, c.width, c.height));
  }
}

TEST(Flipping, MovesPixelsAndTwoFlipsGiveTheOriginal) {
  struct Case { bool horizontal; bool vertical; };
  const Case kCases[] = {{true, false}, {false, true}, {true, true}};
  const unsigned kDepths[] = {1, 4, 8, 16, 24, 32};
  for (unsigned bpp : kDepths) {
    for (const Case& c : kCases) {
      SCOPED_TRACE("bpp " + std::to_string(bpp) + (c.horizontal ? " horizontal" : "") +
                   (c.vertical ? " vertical" : ""));
      Bitmap original(test::MakePatternBitmap(6, 4, bpp));
      Settings settings;
      settings.DoImageFlipHorizontal = c.horizontal;
      settings.DoImageFlipVertical = c.vertical;
      Bitmap flipped(FreeImage_Clone(original.get()));
      ASSERT_EQ(flipped.get(), FlipImage(flipped.get(), settings));
      for (unsigned y = 0; y < 4; ++y) {
        for (unsigned x = 0; x < 6; ++x) {
          const unsigned fromX = c.horizontal ? 5 - x : x;
          const unsigned fromY = c.vertical ? 3 - y : y;
          ASSERT_TRUE(test::SameColor(test::ColorAt(original.get(), fromX, fromY),
                                      test::ColorAt(flipped.get(), x, y)));
        }
      }
      ASSERT_EQ(flipped.get(), FlipImage(flipped.get(), settings));
      EXPECT_TRUE(test::SamePixels(original.get(), flipped.get()));
    }
  }
}

TEST(ColourCorrection, InvertsAtEveryDepth) {
  const unsigned kDepths[] = {1, 4, 8, 16, 24, 32};
  Settings settings;
  settings.DoImageColorCorrection = 1;
  settings.ImageInvert = 1;
  for (unsigned bpp : kDepths) {
    SCOPED_TRACE(bpp);
    Bitmap original(test::MakePatternBitmap(5, 3, bpp));
    Bitmap inverted(AdjustImageColors(FreeImage_Clone(original.get()), settings));
    ASSERT_NE(nullptr, inverted);
    for (unsigned y = 0; y < 3; ++y) {
      for (unsigned x = 0; x < 5; ++x) {
        // A 16-bit picture is compared after its own 24-bit conversion.
        const RGBQUAD before = test::ColorAt(original.get(), x, y);
        const RGBQUAD after = test::ColorAt(inverted.get(), x, y);
        ASSERT_EQ(255 - before.rgbRed, after.rgbRed);
        ASSERT_EQ(255 - before.rgbGreen, after.rgbGreen);
        ASSERT_EQ(255 - before.rgbBlue, after.rgbBlue);
      }
    }
  }
}

TEST(ColourCorrection, NeutralValuesKeepTheImage) {
  // FreeImage reports failure when there is nothing to change; the picture goes on as it is.
  Settings settings;
  settings.DoImageColorCorrection = 1;
  FIBITMAP* image = test::MakePatternBitmap(5, 3, 24);
  Bitmap result(AdjustImageColors(image, settings));
  EXPECT_EQ(image, result.get());
  EXPECT_TRUE(test::SamePixels(Bitmap(test::MakePatternBitmap(5, 3, 24)).get(), result.get()));
}

TEST(ColourCorrection, BrightnessRaisesEveryChannel) {
  Settings settings;
  settings.DoImageColorCorrection = 1;
  settings.ImageBrightness = 50;
  Bitmap original(test::MakePatternBitmap(5, 3, 24));
  Bitmap brighter(AdjustImageColors(FreeImage_Clone(original.get()), settings));
  ASSERT_NE(nullptr, brighter);
  const RGBQUAD before = test::ColorAt(original.get(), 0, 0);
  const RGBQUAD after = test::ColorAt(brighter.get(), 0, 0);
  EXPECT_GT(after.rgbRed, before.rgbRed);
  EXPECT_GT(after.rgbGreen, before.rgbGreen);
  EXPECT_GT(after.rgbBlue, before.rgbBlue);
}

TEST(Greyscale, EveryPixelIsGrey) {
  Settings settings;
  settings.DoImageGreyscale = 1;
  Bitmap grey(GreyscaleImage(test::MakePatternBitmap(5, 3, 24), settings));
  ASSERT_NE(nullptr, grey);
  EXPECT_EQ(8u, FreeImage_GetBPP(grey.get()));
  for (unsigned y = 0; y < 3; ++y) {
    for (unsigned x = 0; x < 5; ++x) {
      const RGBQUAD pixel = test::ColorAt(grey.get(), x, y);
      ASSERT_EQ(pixel.rgbRed, pixel.rgbGreen);
      ASSERT_EQ(pixel.rgbRed, pixel.rgbBlue);
    }
  }
}

bool OnlyBlackAndWhite(FIBITMAP* image) {
  for (unsigned y = 0; y < FreeImage_GetHeight(image); ++y) {
    for (unsigned x = 0; x < FreeImage_GetWidth(image); ++x) {
      const RGBQUAD pixel = test::ColorAt(image, x, y);
      const bool black = pixel.rgbRed == 0 && pixel.rgbGreen == 0 && pixel.rgbBlue == 0;
      const bool white = pixel.rgbRed == 255 && pixel.rgbGreen == 255 && pixel.rgbBlue == 255;
      if (!black && !white) return false;
    }
  }
  return true;
}

TEST(Threshold, SplitsAtTheLevel) {
  Settings settings;
  settings.DoImageThreshold = 1;
  settings.ImageThreshold = 128;
  Bitmap original(test::MakePatternBitmap(16, 16, 8));  // grey levels 0 to 255
  Bitmap result(ThresholdImage(FreeImage_Clone(original.get()), settings));
  ASSERT_NE(nullptr, result);
  EXPECT_EQ(1u, FreeImage_GetBPP(result.get()));
  for (unsigned y = 0; y < 16; ++y) {
    for (unsigned x = 0; x < 16; ++x) {
      const bool light = test::ColorAt(original.get(), x, y).rgbRed >= 128;
      ASSERT_EQ(light ? 255 : 0, test::ColorAt(result.get(), x, y).rgbRed);
    }
  }
  EXPECT_TRUE(OnlyBlackAndWhite(result.get()));
}

TEST(Threshold, OneBitPictureIsThresholdedAt24Bits) {
  // Level 0 makes every pixel white once the picture is at 24 bits; FreeImage would only
  // copy a 1-bit picture, black pixels and all.
  Settings settings;
  settings.DoImageThreshold = 1;
  settings.ImageThreshold = 0;
  Bitmap result(ThresholdImage(test::MakePatternBitmap(5, 3, 1), settings));
  ASSERT_NE(nullptr, result);
  for (unsigned x = 0; x < 5; ++x) EXPECT_EQ(255, test::ColorAt(result.get(), x, 0).rgbRed);
}

TEST(Dithering, EveryAlgorithmGivesBlackAndWhite) {
  for (int algorithm = 0; algorithm <= 7; ++algorithm) {  // 7 is outside the table
    SCOPED_TRACE(algorithm);
    Settings settings;
    settings.DoImageDither = 1;
    settings.ImageDitherAlgorithm = static_cast<Choice>(algorithm);
    Bitmap result(DitherImage(test::MakePatternBitmap(20, 20, 24), settings));
    ASSERT_NE(nullptr, result);
    EXPECT_EQ(1u, FreeImage_GetBPP(result.get()));
    EXPECT_TRUE(OnlyBlackAndWhite(result.get()));
  }
}

TEST(Dithering, AfterThresholdDithersTheThresholdPicture) {
  Settings settings;
  settings.DoImageThreshold = 1;
  settings.ImageThreshold = 100;
  settings.DoImageDither = 1;
  Bitmap thresholded(ThresholdImage(test::MakePatternBitmap(16, 16, 8), settings));
  ASSERT_NE(nullptr, thresholded);
  Bitmap both(DitherImage(FreeImage_Clone(thresholded.get()), settings));
  ASSERT_NE(nullptr, both);
  EXPECT_EQ(1u, FreeImage_GetBPP(both.get()));
  EXPECT_TRUE(test::SamePixels(thresholded.get(), both.get()));
}

}  // namespace
}  // namespace ravelin
