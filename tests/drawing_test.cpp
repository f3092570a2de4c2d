#include "engine/marks/drawing.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

#include "engine/marks/watermark_font.h"
#include "tests/support/bitmaps.h"

namespace ravelin {
namespace {

using test::Near;
using test::PixelAt;
using test::Rgba;

TEST(Picture, RefusesSizesOutsideTheLimits) {
  struct Case { const char* why; int width; int height; };
  const Case kCases[] = {
      {"no width", 0, 10},
      {"negative height", 10, -1},
      {"a side far beyond any image", 100000, 10},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(nullptr, CreatePicture(c.width, c.height));
  }
  EXPECT_NE(nullptr, CreatePicture(1, 1));
}

TEST(Picture, TransferUndoesPremultiplyAndKeepsRowOrder) {
  struct Case { const char* why; Color color; Rgba expected; };
  const Case kCases[] = {
      {"opaque colour is exact", {200, 100, 50, 255}, {200, 100, 50, 255}},
      {"half alpha comes back within rounding", {200, 100, 50, 128}, {200, 100, 50, 128}},
      {"transparent is all zero", {200, 100, 50, 0}, {0, 0, 0, 0}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    Picture picture = CreatePicture(3, 2);
    FillPicture(picture.get(), c.color);
    FIBITMAP* bitmap = PictureToBitmap(picture.get());
    ASSERT_NE(nullptr, bitmap);
    EXPECT_EQ(32u, FreeImage_GetBPP(bitmap));
    EXPECT_TRUE(Near(c.expected, PixelAt(bitmap, 2, 1), 1)) << PixelAt(bitmap, 2, 1);
    FreeImage_Unload(bitmap);
  }

  // A red top row and a blue bottom row keep their places both ways.
  FIBITMAP* source = test::SolidBitmap(2, 2, 32, {0, 0, 255, 255});
  test::SetPixelAt(source, 0, 0, {255, 0, 0, 255});
  test::SetPixelAt(source, 1, 0, {255, 0, 0, 255});
  Picture picture = BitmapToPicture(source);
  FIBITMAP* back = PictureToBitmap(picture.get());
  EXPECT_EQ((Rgba{255, 0, 0, 255}), PixelAt(back, 1, 0));
  EXPECT_EQ((Rgba{0, 0, 255, 255}), PixelAt(back, 1, 1));
  FreeImage_Unload(source);
  FreeImage_Unload(back);
}

TEST(Picture, DrawingAllChannelsStaysInsideTheSource) {
  Picture target = CreatePicture(4, 4);
  FillPicture(target.get(), {0, 255, 0, 255});
  Picture source = CreatePicture(2, 2);
  FillPicture(source.get(), {255, 0, 0, 64});
  DrawPicture(target.get(), source.get(), 1, 1, 255, DrawMode::AllChannels);
  FIBITMAP* bitmap = PictureToBitmap(target.get());
  EXPECT_TRUE(Near({255, 0, 0, 64}, PixelAt(bitmap, 1, 1), 2)) << PixelAt(bitmap, 1, 1);
  // The replacing mode must not clear what lies outside the drawn picture.
  EXPECT_EQ((Rgba{0, 255, 0, 255}), PixelAt(bitmap, 0, 0));
  EXPECT_EQ((Rgba{0, 255, 0, 255}), PixelAt(bitmap, 3, 3));
  FreeImage_Unload(bitmap);
}

TEST(Picture, ConstantAlphaScalesTheDrawnPicture) {
  Picture source = CreatePicture(1, 1);
  FillPicture(source.get(), {0, 0, 255, 255});
  Picture blended = CreatePicture(1, 1);
  DrawPicture(blended.get(), source.get(), 0, 0, 128, DrawMode::Blend);
  FIBITMAP* bitmap = PictureToBitmap(blended.get());
  EXPECT_TRUE(Near({0, 0, 255, 128}, PixelAt(bitmap, 0, 0), 1)) << PixelAt(bitmap, 0, 0);
  FreeImage_Unload(bitmap);
}

TEST(Picture, ResizeWithoutSmoothingRepeatsPixels) {
  FIBITMAP* source = test::SolidBitmap(2, 1, 32, {0, 0, 0, 255});
  test::SetPixelAt(source, 1, 0, {255, 255, 255, 255});
  Picture picture = BitmapToPicture(source);
  Picture resized = ResizePicture(picture.get(), 4, 2);
  FIBITMAP* bitmap = PictureToBitmap(resized.get());
  for (unsigned x = 0; x < 4; ++x) {
    const uint8_t expected = x < 2 ? 0 : 255;
    EXPECT_EQ((Rgba{expected, expected, expected, 255}), PixelAt(bitmap, x, 1)) << x;
  }
  FreeImage_Unload(source);
  FreeImage_Unload(bitmap);
}

TEST(Fonts, FaceRuleAcceptsInstalledFamiliesAndStrongAliasesOnly) {
  struct Case { const char* why; const char* face; bool loads; };
  const Case kCases[] = {
      {"metric-compatible alias", "Arial", true},
      {"installed family", "DejaVu Sans", true},
      {"letter case ignored", "dejavu SANS", true},
      {"generic family sans-serif", "sans-serif", true},
      {"generic family serif", "Serif", true},
      {"generic family monospace", "monospace", true},
      {"not a generic family", "sans-serif2", false},
      {"unknown name only has weak fall-backs", "NoSuchFont123", false},
      {"no name at all", "", false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    Settings settings;
    settings.Font = c.face;
    EXPECT_EQ(c.loads, LoadWatermarkFont(settings) != nullptr);
  }
}

TEST(Fonts, HeightIsPointsAt96Dpi) {
  struct Case { int points; int pixels; };
  const Case kCases[] = {{14, 19}, {12, 16}, {10, 13}, {1, 1}, {0, 0}};
  for (const Case& c : kCases) EXPECT_EQ(c.pixels, FontPixelHeight(c.points)) << c.points;

  Settings settings;
  settings.Font = "DejaVu Sans";
  settings.FontSize = 0;
  EXPECT_EQ(nullptr, LoadWatermarkFont(settings)) << "no letters to draw";
  settings.FontSize = 100000;
  EXPECT_EQ(nullptr, LoadWatermarkFont(settings)) << "beyond kMaxFontPixels";
  settings.FontSize = 14;
  auto font = LoadWatermarkFont(settings);
  ASSERT_NE(nullptr, font);
  EXPECT_EQ(19, font->PixelHeight());
}

// The colours of a picture's pixels.
std::set<uint32_t> ColoursOf(cairo_surface_t* picture) {
  FIBITMAP* bitmap = PictureToBitmap(picture);
  std::set<uint32_t> colours;
  for (unsigned y = 0; y < FreeImage_GetHeight(bitmap); ++y) {
    for (unsigned x = 0; x < FreeImage_GetWidth(bitmap); ++x) {
      const Rgba c = PixelAt(bitmap, x, y);
      colours.insert(c.red << 24 | c.green << 16 | c.blue << 8 | c.alpha);
    }
  }
  FreeImage_Unload(bitmap);
  return colours;
}

TEST(Text, TwoDimensionalTextHasOnlyLetterAndBackgroundColours) {
  Font font("DejaVu Sans", 24, false, false, false, false);
  const TextExtent extent = MeasureText(font, "Sample");
  EXPECT_GT(extent.width, 24);
  EXPECT_GE(extent.height, 24);
  Picture picture = CreatePicture(extent.width, extent.height);
  DrawText(picture.get(), font, "Sample", 0, 0, {255, 255, 255, 200}, {0, 0, 255, 100});
  const std::set<uint32_t> colours = ColoursOf(picture.get());
  EXPECT_EQ(2u, colours.size()) << "no anti-aliasing, letters and background alone";

  Picture vector = CreatePicture(extent.width, extent.height);
  DrawVectorText(vector.get(), font, "Sample", 0, 0, {255, 255, 255, 255});
  EXPECT_GT(ColoursOf(vector.get()).size(), 3u) << "anti-aliased edges";
  EXPECT_NEAR(extent.width, MeasureVectorText(font, "Sample"), 3.0);
}

TEST(Text, UnderlineAndStrikeOutAddToTheLetters) {
  auto letterPixels = [](const Font& font) {
    Picture picture = CreatePicture(60, 40);
    DrawText(picture.get(), font, "ii", 0, 0, {255, 255, 255, 255}, {0, 0, 0, 0});
    FIBITMAP* bitmap = PictureToBitmap(picture.get());
    int count = 0;
    for (unsigned y = 0; y < 40; ++y) {
      for (unsigned x = 0; x < 60; ++x) count += PixelAt(bitmap, x, y).alpha != 0;
    }
    FreeImage_Unload(bitmap);
    return count;
  };
  const int plain = letterPixels(Font("DejaVu Sans", 24, false, false, false, false));
  EXPECT_GT(letterPixels(Font("DejaVu Sans", 24, false, false, true, false)), plain);
  EXPECT_GT(letterPixels(Font("DejaVu Sans", 24, false, false, false, true)), plain);
}

// Only "%eol%" breaks the lines of a mark: raw line breaks are characters of a line, laid out
// with it as one paragraph (one per break would be laid out again for every further one).
TEST(Text, RawLineBreaksStayInTheLine) {
  Font font("DejaVu Sans", 24, false, false, false, false);
  const int lineHeight = MeasureText(font, "AB").height;
  std::string many = "A";
  for (int i = 0; i < 2000; ++i) many += "\nB";
  const std::string kTexts[] = {"A\nB", "A\r\nB", "A\rB", "A\u2029B", "A\u2028B", many};
  for (const std::string& text : kTexts) {
    SCOPED_TRACE(text.substr(0, 8));
    const TextExtent extent = MeasureText(font, text);
    EXPECT_EQ(lineHeight, extent.height);
    EXPECT_GE(extent.width, MeasureText(font, "AB").width);
    EXPECT_GE(MeasureVectorText(font, text), MeasureVectorText(font, "AB"));
  }
}

}  // namespace
}  // namespace ravelin
