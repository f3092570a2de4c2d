#include "engine/marks/frame.h"

#include <gtest/gtest.h>

#include "tests/support/bitmaps.h"

namespace ravelin {
namespace {

using test::PixelAt;
using test::Rgba;

constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kBlack{0, 0, 0, 255};

Settings SolidFrame(int left, int right, int top, int bottom) {
  Settings settings;
  settings.DoFrame = 1;
  settings.SolidLeft = left;
  settings.SolidRight = right;
  settings.SolidTop = top;
  settings.SolidBottom = bottom;
  settings.SolidLeftColor = "FF0000";
  settings.SolidRightColor = "00FF00";
  settings.SolidTopColor = "0000FF";
  settings.SolidBottomColor = "FFFF00";
  settings.SolidOpacity = 255;
  return settings;
}

TEST(Frame, NoFrameReturnsTheVeryImage) {
  FIBITMAP* image = test::SolidBitmap(8, 8, 32, kWhite);
  Settings settings = SolidFrame(2, 2, 2, 2);
  settings.DoFrame = 0;
  EXPECT_EQ(image, DrawFrame(image, settings, 8, 8));
  FreeImage_Unload(image);
  EXPECT_EQ(nullptr, DrawFrame(nullptr, SolidFrame(2, 2, 2, 2), 8, 8));
}

TEST(Frame, LeftAndTopMeetOnTheDiagonal) {
  FIBITMAP* image = DrawFrame(test::SolidBitmap(100, 80, 24, kWhite), SolidFrame(10, 0, 20, 0),
                              100, 80);
  ASSERT_NE(nullptr, image);
  struct Case { const char* why; unsigned x, y; Rgba expected; };
  const Case kCases[] = {
      {"top band", 50, 10, kBlue},
      {"top band reaches the right edge (no right side)", 99, 19, kBlue},
      {"below the top band", 50, 20, kWhite},
      {"left band", 5, 40, kRed},
      {"left band reaches the bottom (no bottom side)", 9, 79, kRed},
      {"right of the left band", 10, 40, kWhite},
      {"corner, above the seam from (0,0) to (10,20)", 8, 3, kBlue},
      {"corner, below the seam", 2, 15, kRed},
      {"middle", 50, 50, kWhite},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(c.expected, PixelAt(image, c.x, c.y));
  }
  // Along the seam each row turns from red to blue once, near x = y / 2.
  for (unsigned y = 1; y < 19; ++y) {
    unsigned firstBlue = 0;
    while (firstBlue < 10 && PixelAt(image, firstBlue, y).blue < 128) ++firstBlue;
    EXPECT_NEAR(y / 2.0, firstBlue, 1.0) << "row " << y;
  }
  FreeImage_Unload(image);
}

TEST(Frame, OpacityAndColourTexts) {
  struct Case { const char* why; int opacity; const char* leftColor; Rgba expected; int tolerance; };
  const Case kCases[] = {
      {"opacity 255 covers the band", 255, "FF0000", kRed, 0},
      {"opacity 0 leaves no trace", 0, "FF0000", kWhite, 0},
      {"opacity 128 mixes half and half", 128, "FF0000", {255, 127, 127, 255}, 1},
      {"a colour text of another length is black", 255, "F00", kBlack, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    Settings settings = SolidFrame(10, 0, 0, 0);
    settings.SolidOpacity = c.opacity;
    settings.SolidLeftColor = c.leftColor;
    FIBITMAP* image = DrawFrame(test::SolidBitmap(40, 30, 24, kWhite), settings, 40, 30);
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(24u, FreeImage_GetBPP(image));
    EXPECT_TRUE(test::Near(c.expected, PixelAt(image, 4, 15), c.tolerance)) << PixelAt(image, 4, 15);
    EXPECT_EQ(kWhite, PixelAt(image, 20, 15));
    FreeImage_Unload(image);
  }
}

TEST(Frame, WithoutWidthsTheImageOnlyLosesItsAlpha) {
  FIBITMAP* image = test::SolidBitmap(6, 5, 32, {10, 20, 30, 40});
  image = DrawFrame(image, SolidFrame(0, 0, 0, 0), 6, 5);
  ASSERT_NE(nullptr, image);
  EXPECT_EQ(24u, FreeImage_GetBPP(image));
  for (unsigned y = 0; y < 5; ++y) {
    for (unsigned x = 0; x < 6; ++x) EXPECT_EQ((Rgba{10, 20, 30, 255}), PixelAt(image, x, y));
  }
  FreeImage_Unload(image);
}

TEST(Frame, SidesWiderThanTheImageShareIt) {
  // Left 80 and right 40 on a width of 100: 67 and 33 pixels; top and bottom likewise.
  FIBITMAP* image = DrawFrame(test::SolidBitmap(100, 60, 24, kWhite), SolidFrame(80, 40, 50, 50),
                              100, 60);
  ASSERT_NE(nullptr, image);
  for (unsigned y = 0; y < 60; ++y) {
    for (unsigned x = 0; x < 100; ++x) {
      ASSERT_NE(kWhite, PixelAt(image, x, y)) << "the frame fills the image at " << x << "," << y;
    }
  }
  EXPECT_EQ(kRed, PixelAt(image, 30, 30));
  EXPECT_EQ((Rgba{0, 255, 0, 255}), PixelAt(image, 90, 30));
  EXPECT_EQ(kBlue, PixelAt(image, 66, 2));
  EXPECT_EQ((Rgba{255, 255, 0, 255}), PixelAt(image, 66, 58));
  FreeImage_Unload(image);
}

TEST(Frame, NegativeWidthsDrawNothing) {
  FIBITMAP* image = DrawFrame(test::SolidBitmap(20, 20, 24, kWhite), SolidFrame(-5, -5, -5, -5),
                              20, 20);
  ASSERT_NE(nullptr, image);
  EXPECT_EQ(kWhite, PixelAt(image, 0, 0));
  EXPECT_EQ(kWhite, PixelAt(image, 19, 19));
  FreeImage_Unload(image);
}

}  // namespace
}  // namespace ravelin
