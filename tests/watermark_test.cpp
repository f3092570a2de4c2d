#include "engine/marks/watermark.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "engine/marks/drawing.h"
#include "engine/marks/frame.h"
#include "engine/marks/mark_pictures.h"
#include "tests/support/bitmaps.h"
#include "tests/support/png_header.h"
#include "tests/support/scratch.h"

namespace ravelin {
namespace {

using test::PixelAt;
using test::Rgba;

constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kBlack{0, 0, 0, 255};

// A text mark in white letters on an opaque black block, at the top left without offsets.
Settings TextMark(const std::string& text) {
  Settings settings;
  settings.DoWatermark = 1;
  settings.Text = text;
  settings.Font = "DejaVu Sans";
  settings.FontSize = 18;
  settings.FontColor = "FFFFFF";
  settings.TextOpacity = 255;
  settings.BackColor = "000000";
  settings.BackOpacity = 255;
  settings.TextPosition = 0;
  settings.TextXOffset = 0;
  settings.TextYOffset = 0;
  return settings;
}

Settings ImageMark(const std::string& path) {
  Settings settings;
  settings.DoWatermark = 2;
  settings.Image = path;
  settings.ImageOpacity = 255;
  settings.ImagePosition = 0;
  settings.ImageXOffset = 0;
  settings.ImageYOffset = 0;
  return settings;
}

// The block a mark left on a white image: the bounding box of its non-white pixels.
struct Box {
  unsigned left = ~0u, top = ~0u, right = 0, bottom = 0;  // right and bottom exclusive
};
Box MarkedBox(FIBITMAP* image) {
  Box box;
  for (unsigned y = 0; y < FreeImage_GetHeight(image); ++y) {
    for (unsigned x = 0; x < FreeImage_GetWidth(image); ++x) {
      if (PixelAt(image, x, y) == kWhite) continue;
      box.left = std::min(box.left, x);
      box.top = std::min(box.top, y);
      box.right = std::max(box.right, x + 1);
      box.bottom = std::max(box.bottom, y + 1);
    }
  }
  return box;
}

FIBITMAP* Watermarked(const Settings& settings, unsigned width, unsigned height,
                      const JobContext& job = JobContext()) {
  auto font = LoadWatermarkFont(settings);
  return DrawWatermark(test::SolidBitmap(width, height, 24, kWhite), settings, job, font.get(),
                       width, height);
}

TEST(WatermarkPlacement, NinePositionsWithOffsets) {
  struct Case { int position; int x, y; };
  // A 100 x 20 mark on 800 x 600 with offsets 10 and 10.
  const Case kCases[] = {
      {0, 10, 10},  {1, 350, 10},  {2, 690, 10},  {3, 10, 290}, {4, 350, 290},
      {5, 690, 290}, {6, 10, 570}, {7, 350, 570}, {8, 690, 570}, {9, 0, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.position);
    Settings settings;
    settings.TextPosition = static_cast<Choice>(c.position);
    settings.TextXOffset = 10;
    settings.TextYOffset = 10;
    const MarkPoint at = PlaceMark(100, 20, MarkKind::Text, settings, 800, 600);
    EXPECT_EQ(c.x, at.x);
    EXPECT_EQ(c.y, at.y);
  }
}

TEST(WatermarkPlacement, FrameBoundary) {
  struct Case { const char* why; int doFrame; int boundary; int position; int x, y; };
  const Case kCases[] = {
      {"inside a 20-pixel frame", 1, 1, 0, 20, 20},
      {"bottom right inside the frame", 1, 1, 8, 800 - 20 - 100, 600 - 20 - 20},
      {"centred within the frame's area, frame offsets added", 1, 1, 4, 20 + (760 - 100) / 2,
       20 + (560 - 20) / 2},
      {"whole image when the boundary is the image", 1, 0, 0, 0, 0},
      {"whole image when no frame is drawn", 0, 1, 0, 0, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    Settings settings;
    settings.DoFrame = static_cast<Choice>(c.doFrame);
    settings.SolidLeft = settings.SolidRight = settings.SolidTop = settings.SolidBottom = 20;
    settings.ImageBoundary = static_cast<Choice>(c.boundary);
    settings.ImagePosition = static_cast<Choice>(c.position);
    settings.ImageXOffset = settings.ImageYOffset = 0;
    const MarkPoint at = PlaceMark(100, 20, MarkKind::Image, settings, 800, 600);
    EXPECT_EQ(c.x, at.x);
    EXPECT_EQ(c.y, at.y);
  }
}

TEST(WatermarkPlacement, FitKeepsTheTopLeftPart) {
  Settings settings;
  settings.TextXOffset = 10;
  settings.TextYOffset = 5;
  FIBITMAP* mark = test::SolidBitmap(50, 20, 32, {255, 0, 0, 255});
  test::SetPixelAt(mark, 49, 0, {0, 255, 0, 255});
  EXPECT_EQ(mark, FitMark(mark, MarkKind::Text, settings, 60, 25)) << "fits exactly";

  mark = FitMark(mark, MarkKind::Text, settings, 40, 100);
  ASSERT_NE(nullptr, mark);
  EXPECT_EQ(30u, FreeImage_GetWidth(mark));
  EXPECT_EQ(20u, FreeImage_GetHeight(mark));
  EXPECT_EQ((Rgba{255, 0, 0, 255}), PixelAt(mark, 29, 0)) << "the right end is cut";
  FreeImage_Unload(mark);

  mark = test::SolidBitmap(50, 20, 32, kBlack);
  EXPECT_EQ(nullptr, FitMark(mark, MarkKind::Text, settings, 10, 100)) << "no room left";
}

TEST(WatermarkText, TokensAndAlignment) {
  JobContext job;
  job.InputPath = "/in/Photo.bmp";
  struct Case { const char* why; const char* text; const char* expected; };
  const Case kCases[] = {
      {"token replaced, case kept", "File %filename%", "File Photo"},
      {"tokens in any case", "%FILENAME% %Ext[U]%", "Photo "},
      {"a single percent sign leaves the text alone", "50% %filename", "50% %filename"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    Settings settings;
    settings.Text = c.text;
    EXPECT_EQ(c.expected, WatermarkText(settings, job));
  }
  // A token that only a replacement brings in stays.
  job.InputPath = "/in/a%n%b.bmp";
  Settings settings;
  settings.Text = "%filename%";
  EXPECT_EQ("a%n%b", WatermarkText(settings, job));

  struct Align { int alignment; int padding; int expected; };
  const Align kAligns[] = {{0, 5, 5}, {1, 5, 45}, {2, 5, 85}, {3, 5, 0}};
  for (const Align& a : kAligns) {
    settings.TextAlignment = static_cast<Choice>(a.alignment);
    settings.TextPadding = a.padding;
    EXPECT_EQ(a.expected, AlignTextLine(10, 100, settings)) << a.alignment;
  }
  settings.TextAlignment = 1;
  EXPECT_EQ(46, AlignTextLine(9, 100, settings)) << "45.5 rounds away from zero";
}

TEST(WatermarkText, MultiLineBlockSize) {
  Settings settings = TextMark("A%EOL%BB");
  settings.FontLeading = 4;
  settings.TextPadding = 5;
  auto font = LoadWatermarkFont(settings);
  ASSERT_NE(nullptr, font);
  const TextExtent a = MeasureText(font->font(), "A");
  const TextExtent bb = MeasureText(font->font(), "BB");
  const int lineHeight = std::max({a.height, bb.height, 10});
  const unsigned width = std::max({a.width, bb.width, 10}) + 10;
  const unsigned height = lineHeight + (lineHeight + 4) + 10;

  FIBITMAP* image = Watermarked(settings, 300, 200);
  ASSERT_NE(nullptr, image);
  const Box box = MarkedBox(image);
  EXPECT_EQ(0u, box.left);
  EXPECT_EQ(0u, box.top);
  EXPECT_EQ(width, box.right);
  EXPECT_EQ(height, box.bottom);
  FreeImage_Unload(image);
}

// The leftmost and rightmost letter (white) columns inside the rows [top, bottom) of the block.
std::pair<unsigned, unsigned> LetterColumns(FIBITMAP* image, unsigned top, unsigned bottom,
                                            unsigned width) {
  unsigned first = width, last = 0;
  for (unsigned y = top; y < bottom; ++y) {
    for (unsigned x = 0; x < width; ++x) {
      if (PixelAt(image, x, y) != kWhite) continue;
      first = std::min(first, x);
      last = std::max(last, x);
    }
  }
  return {first, last};
}

TEST(WatermarkText, LinesAlignInTheBlockButASingleLineSitsAtThePadding) {
  // The image is grey so that the white letters stand apart from it.
  auto draw = [](const std::string& text, int alignment) {
    Settings settings = TextMark(text);
    settings.TextPadding = 3;
    settings.TextAlignment = static_cast<Choice>(alignment);
    auto font = LoadWatermarkFont(settings);
    return DrawWatermark(test::SolidBitmap(400, 120, 24, {128, 128, 128, 255}), settings,
                         JobContext(), font.get(), 400, 120);
  };
  Settings settings = TextMark("");
  auto font = LoadWatermarkFont(settings);
  const TextExtent wide = MeasureText(font->font(), "WWWWWW");
  const TextExtent narrow = MeasureText(font->font(), "i");
  const unsigned block = wide.width + 6;

  FIBITMAP* left = draw("i%eol%WWWWWW", 0);
  FIBITMAP* right = draw("i%eol%WWWWWW", 2);
  const auto leftLetters = LetterColumns(left, 3, 3 + wide.height, block);
  const auto rightLetters = LetterColumns(right, 3, 3 + wide.height, block);
  EXPECT_LT(leftLetters.second, 3u + narrow.width);
  EXPECT_GE(rightLetters.first, block - 3 - narrow.width);
  FreeImage_Unload(left);
  FreeImage_Unload(right);

  FIBITMAP* single[3];
  for (int alignment = 0; alignment < 3; ++alignment) single[alignment] = draw("Sample", alignment);
  for (int alignment = 1; alignment < 3; ++alignment) {
    EXPECT_EQ(0, memcmp(FreeImage_GetBits(single[0]), FreeImage_GetBits(single[alignment]),
                        FreeImage_GetPitch(single[0]) * 120))
        << "alignment " << alignment;
  }
  for (FIBITMAP* image : single) FreeImage_Unload(image);
}

TEST(WatermarkText, AntialiasedTextBlendsItsEdges) {
  auto distinctColours = [](bool antialiasing) {
    Settings settings = TextMark("Sample");
    settings.TextAntialiasing = antialiasing;
    auto font = LoadWatermarkFont(settings);
    FIBITMAP* image = DrawWatermark(test::SolidBitmap(200, 60, 24, {128, 128, 128, 255}),
                                    settings, JobContext(), font.get(), 200, 60);
    std::set<uint32_t> colours;
    for (unsigned y = 0; y < 60; ++y) {
      for (unsigned x = 0; x < 200; ++x) {
        const Rgba c = PixelAt(image, x, y);
        colours.insert(c.red << 16 | c.green << 8 | c.blue);
      }
    }
    FreeImage_Unload(image);
    return colours.size();
  };
  EXPECT_EQ(3u, distinctColours(false)) << "letters, block and image";
  EXPECT_GT(distinctColours(true), 3u);
}

TEST(WatermarkText, OversizedTextIsCutOrFails) {
  Settings settings = TextMark(std::string(20000, 'W'));  // some 300000 pixels wide
  FIBITMAP* image = Watermarked(settings, 300, 100);
  ASSERT_NE(nullptr, image);
  const Box box = MarkedBox(image);
  EXPECT_EQ(300u, box.right) << "cut at the right edge";
  FreeImage_Unload(image);

  // A rotated mark is drawn whole: far beyond the limits it cannot be made, and a conversion
  // that asked for it fails rather than come out without it.
  settings.TextRotation = 90;
  EXPECT_EQ(nullptr, Watermarked(settings, 300, 100));
}

// A turned mark whose kept top-left part is all transparent corner is not drawn at all; the
// image comes out as drawing, turning and cutting the mark would leave it. Where the kept part
// reaches the turned block, the mark is drawn.
TEST(WatermarkText, TurnedMarkThatShowsNothingIsNotDrawn) {
  Settings settings = TextMark("Sample text");
  settings.FontSize = 96;
  auto font = LoadWatermarkFont(settings);
  ASSERT_NE(nullptr, font);
  Picture picture = BuildTextMark(settings, JobContext(), font->font(), INT32_MAX, INT32_MAX);
  int showing = 0, hidden = 0;
  for (int angle = 5; angle < 360; angle += 35) {
    for (const auto& [width, height] : {std::pair<unsigned, unsigned>{60, 40}, {25, 25}, {300, 30}}) {
      SCOPED_TRACE("turned by " + std::to_string(angle) + " on " + std::to_string(width) + " x " +
                   std::to_string(height));
      settings.TextRotation = angle;
      // What drawing, turning and cutting the mark keeps.
      FIBITMAP* kept = FitMark(RotateMark(PictureToBitmap(picture.get()), MarkKind::Text, settings),
                               MarkKind::Text, settings, width, height);
      ASSERT_NE(nullptr, kept);
      bool anyPixel = false;
      for (unsigned y = 0; y < FreeImage_GetHeight(kept); ++y) {
        for (unsigned x = 0; x < FreeImage_GetWidth(kept); ++x) anyPixel |= PixelAt(kept, x, y).alpha != 0;
      }
      FreeImage_Unload(kept);
      (anyPixel ? showing : hidden) += 1;
      FIBITMAP* image = Watermarked(settings, width, height);
      ASSERT_NE(nullptr, image);
      EXPECT_EQ(anyPixel, MarkedBox(image).right != 0);
      FreeImage_Unload(image);
    }
  }
  EXPECT_GT(showing, 0);
  EXPECT_GT(hidden, 0);
}

std::string SavePicture(const test::ScratchDir& dir, const char* name, FREE_IMAGE_FORMAT format,
                        FIBITMAP* bitmap);

// Lines laid out in pieces (here of a few bytes, so that short texts are cut many times) give
// the very pixels of lines laid out whole: each alignment, 2D and vector text, padding, leading
// (overlapping lines too), a half-transparent background, underlined 2D letters, the whole block
// (as a turned mark is drawn) and a window smaller than the block.
TEST(WatermarkText, LinesLaidOutInPiecesDrawTheSamePixels) {
  std::string longLine, cyrillic;
  while (longLine.size() < 300) longLine += "watermark AVATAR text, ";
  while (cyrillic.size() < 300) cyrillic += "Привет, мир — АВТО 2024; ";
  struct Text {
    const char* why;
    std::string text;
  };
  const Text kTexts[] = {
      {"many lines", "Alpha%eol%be%eol%Gamma delta, epsilon%eol%%eol%WAVE fi"},
      {"one long line", longLine},
      {"a long line among short ones", "short%eol%" + longLine + "%eol%" + longLine.substr(40) + "%EOL%x"},
      {"one script besides the shared characters", cyrillic},
  };
  const std::pair<int, int> kWindows[] = {{INT32_MAX, INT32_MAX}, {170, 55}};
  TextBounds pieces;
  pieces.pieceBytes = 8;
  for (const Text& text : kTexts) {
    for (int variant = 0; variant < 12; ++variant) {
      Settings settings = TextMark(text.text);
      settings.TextAlignment = static_cast<Choice>(variant % 3);
      settings.TextAntialiasing = variant / 3 % 2;
      settings.TextPadding = variant < 6 ? 0 : 7;
      settings.FontLeading = variant < 6 ? 4 : -9;
      settings.BackOpacity = variant < 6 ? 255 : 128;
      settings.FontEffect = variant < 6 ? 0 : 1;
      settings.FontSize = 11;
      auto font = LoadWatermarkFont(settings);
      ASSERT_NE(nullptr, font);
      for (const auto& [maxWidth, maxHeight] : kWindows) {
        SCOPED_TRACE(std::string(text.why) + ", variant " + std::to_string(variant) + ", window " +
                     std::to_string(maxWidth));
        // Underlined vector text is laid out whole.
        EXPECT_EQ(!(settings.TextAntialiasing && settings.FontEffect == 1),
                  MeasureTextBlock(settings, JobContext(), font->font(), maxWidth, pieces).singleFont);
        Picture whole = BuildTextMark(settings, JobContext(), font->font(), maxWidth, maxHeight);
        Picture cut = BuildTextMark(settings, JobContext(), font->font(), maxWidth, maxHeight,
                                    nullptr, pieces);
        ASSERT_TRUE(whole && cut);
        ASSERT_EQ(PictureWidth(whole.get()), PictureWidth(cut.get()));
        ASSERT_EQ(PictureHeight(whole.get()), PictureHeight(cut.get()));
        cairo_surface_flush(whole.get());
        cairo_surface_flush(cut.get());
        const size_t bytes = static_cast<size_t>(cairo_image_surface_get_stride(whole.get())) *
                             static_cast<size_t>(PictureHeight(whole.get()));
        EXPECT_EQ(0, std::memcmp(cairo_image_surface_get_data(whole.get()),
                                 cairo_image_surface_get_data(cut.get()), bytes));
      }
    }
  }
}

// Text that may change font or direction far from where it shows, or a line with no place to
// cut it, is laid out whole; beyond the bounds of a whole line the mark is refused and the
// step fails, as for any mark that cannot be made.
TEST(WatermarkText, TextThatCannotBeLaidOutInPiecesIsBoundedOrRefused) {
  TextBounds bounds;
  bounds.pieceBytes = 8;
  bounds.wholeLineBytes = 200;
  struct Case {
    const char* why;
    std::string text;
    bool singleFont;
    bool refused;
  };
  std::string shortHebrew, hebrew, marks = "a";
  while (shortHebrew.size() < 150) shortHebrew += "abc \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D ";
  while (hebrew.size() < 300) hebrew += "abc \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D ";
  while (marks.size() < 300) marks += "\xCC\x81";  // combining acute accents: no place to cut
  const Case kCases[] = {
      {"right-to-left letters, a short line", shortHebrew, false, false},
      {"right-to-left letters, a long line", hebrew, false, true},
      {"a line of combining marks", marks, true, true},
      {"two scripts", "Привет Γειά " + std::string(40, 'x'), false, false},
      {"a raw line break", "abc\ndef ghi jkl mno", false, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    Settings settings = TextMark(c.text);
    auto font = LoadWatermarkFont(settings);
    const TextBlock block = MeasureTextBlock(settings, JobContext(), font->font(), 100, bounds);
    EXPECT_EQ(c.singleFont, block.singleFont);
    EXPECT_EQ(c.refused, block.refused);
    Picture picture = BuildTextMark(settings, JobContext(), font->font(), 100, 40, nullptr, bounds);
    EXPECT_EQ(c.refused, picture == nullptr);
  }
}

// A 15 MB text, in one line or in %eol% lines, is laid out only as far as the picture shows:
// the conversion completes within an address space far below what laying out all of it takes.
TEST(WatermarkText, HugeTextConvertsWithinBoundedMemory) {
  test::RunLimits limits;
  limits.cpuSeconds = 60;
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
  limits.addressSpaceBytes = uint64_t{768} << 20;  // the sanitizers reserve more than this
#endif
  test::ScratchDir home;
  const std::string input = SavePicture(home, "in.bmp", FIF_BMP, test::SolidBitmap(400, 200, 24, kWhite));
  for (const char* unit : {"watermark text ", "watermark text%eol%"}) {
    SCOPED_TRACE(unit);
    std::string text;
    while (text.size() < (size_t{15} << 20)) text += unit;
    const std::string profile = home / "huge.ini";
    const std::string contents = "[CLI]\n--wm-font=DejaVu Sans\n--wm-text-alignment=RIGHT\n--wm-text=" + text + "\n";
    ASSERT_TRUE(test::WriteBytes(profile, std::vector<uint8_t>(contents.begin(), contents.end())));
    test::ScratchDir out;
    const test::RunResult run =
        test::RunRavelin({"--profile=" + profile, "-i", input, "-o", out.path()}, home, "", limits);
    EXPECT_EQ(0, run.exitCode);
    EXPECT_NE(run.lines.end(), std::find(run.lines.begin(), run.lines.end(), "Conversion complete")) << run.out;
    EXPECT_EQ(1u, test::ListFolder(out.path()).size());
  }
}

TEST(WatermarkText, MissingFontOrNoRoom) {
  Settings settings = TextMark("Sample");
  FIBITMAP* image = DrawWatermark(test::SolidBitmap(50, 40, 32, kWhite), settings, JobContext(),
                                  nullptr, 50, 40);
  ASSERT_NE(nullptr, image);
  EXPECT_EQ(24u, FreeImage_GetBPP(image)) << "no mark, but 24 bits";
  EXPECT_EQ(0u, MarkedBox(image).right);
  FreeImage_Unload(image);

  settings.TextXOffset = 50;
  EXPECT_EQ(nullptr, Watermarked(settings, 50, 40)) << "offsets leave no room: the step fails";
}

// Writes a bitmap to the scratch folder in the format.
std::string SavePicture(const test::ScratchDir& dir, const char* name, FREE_IMAGE_FORMAT format,
                        FIBITMAP* bitmap) {
  const std::string path = dir / name;
  EXPECT_TRUE(FreeImage_Save(format, bitmap, path.c_str(), 0));
  FreeImage_Unload(bitmap);
  return path;
}

TEST(WatermarkImage, OpaquePictureCoversItsRectangle) {
  test::ScratchDir dir;
  const std::string path =
      SavePicture(dir, "mark.bmp", FIF_BMP, test::SolidBitmap(30, 10, 24, {10, 200, 30, 255}));
  Settings settings = ImageMark(path);
  settings.ImagePosition = 8;
  settings.ImageXOffset = 5;
  settings.ImageYOffset = 5;
  FIBITMAP* image = Watermarked(settings, 100, 50);
  ASSERT_NE(nullptr, image);
  const Box box = MarkedBox(image);
  EXPECT_EQ(65u, box.left);
  EXPECT_EQ(35u, box.top);
  EXPECT_EQ(95u, box.right);
  EXPECT_EQ(45u, box.bottom);
  for (unsigned y = box.top; y < box.bottom; ++y) {
    for (unsigned x = box.left; x < box.right; ++x) {
      ASSERT_EQ((Rgba{10, 200, 30, 255}), PixelAt(image, x, y)) << x << "," << y;
    }
  }
  FreeImage_Unload(image);
}

TEST(WatermarkImage, GreyscaleKeepsTransparency) {
  test::ScratchDir dir;
  FIBITMAP* picture = test::SolidBitmap(20, 10, 32, {200, 40, 90, 255});
  for (unsigned y = 0; y < 10; ++y) {
    for (unsigned x = 10; x < 20; ++x) test::SetPixelAt(picture, x, y, {200, 40, 90, 0});
  }
  const std::string path = SavePicture(dir, "mark.png", FIF_PNG, picture);
  Settings settings = ImageMark(path);
  settings.ImageGreyscale = 1;
  FIBITMAP* image = DrawWatermark(test::SolidBitmap(40, 20, 24, {0, 0, 255, 255}), settings,
                                  JobContext(), nullptr, 40, 20);
  ASSERT_NE(nullptr, image);
  const uint8_t grey = (77 * 200 + 150 * 40 + 29 * 90) >> 8;
  EXPECT_EQ((Rgba{grey, grey, grey, 255}), PixelAt(image, 5, 5));
  EXPECT_EQ((Rgba{0, 0, 255, 255}), PixelAt(image, 15, 5)) << "transparent part shows the image";
  FreeImage_Unload(image);
}

TEST(WatermarkImage, OnlyPngJpegAndBmpAreTaken) {
  test::ScratchDir dir;
  struct Case { const char* name; FREE_IMAGE_FORMAT format; bool taken; };
  const Case kCases[] = {
      {"mark.png", FIF_PNG, true}, {"mark.jpg", FIF_JPEG, true}, {"mark.bmp", FIF_BMP, true},
      {"mark.tif", FIF_TIFF, false}, {"mark.tga", FIF_TARGA, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string path =
        SavePicture(dir, c.name, c.format, test::SolidBitmap(8, 8, 24, {50, 60, 70, 255}));
    EXPECT_EQ(c.taken, CanLoadWatermarkImage(path));
    FIBITMAP* image = Watermarked(ImageMark(path), 20, 20);
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(c.taken, MarkedBox(image).right != 0);
    FreeImage_Unload(image);
  }
  EXPECT_FALSE(CanLoadWatermarkImage(dir / "missing.png"));
  ASSERT_TRUE(test::WriteBytes(dir / "broken.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'}));
  EXPECT_FALSE(CanLoadWatermarkImage(dir / "broken.png"));
}

// A picture without alpha is fully opaque: the mark's opacity blends it with the image beneath
// (opacity 1 leaves the image all but untouched), never with black.
TEST(WatermarkImage, OpacityBlendsAPictureWithoutAlpha) {
  test::ScratchDir dir;
  const Rgba colour{200, 40, 90, 255};
  struct Case { const char* name; FREE_IMAGE_FORMAT format; int tolerance; };
  const Case kCases[] = {
      {"mark.jpg", FIF_JPEG, 3},  // a flat 16 x 16 block survives JPEG all but exactly
      {"mark.bmp", FIF_BMP, 1},
      {"mark.png", FIF_PNG, 1},
  };
  for (const Case& c : kCases) {
    const std::string path = SavePicture(dir, c.name, c.format, test::SolidBitmap(16, 16, 24, colour));
    for (int opacity : {255, 128, 1}) {
      SCOPED_TRACE(std::string(c.name) + " at opacity " + std::to_string(opacity));
      Settings settings = ImageMark(path);
      settings.ImageOpacity = opacity;
      FIBITMAP* image = Watermarked(settings, 40, 40);
      ASSERT_NE(nullptr, image);
      auto blend = [&](uint8_t mark) {
        return static_cast<uint8_t>((opacity * mark + (255 - opacity) * 255 + 127) / 255);
      };
      const Rgba expected{blend(colour.red), blend(colour.green), blend(colour.blue), 255};
      EXPECT_TRUE(test::Near(expected, PixelAt(image, 8, 8), c.tolerance))
          << expected << " " << PixelAt(image, 8, 8);
      EXPECT_EQ(kWhite, PixelAt(image, 30, 30)) << "outside the mark";
      FreeImage_Unload(image);
    }
  }
}

// PNG48 and PNG64 marks are taken down to 8 bits per channel.
TEST(WatermarkImage, SixteenBitPerChannelPngs) {
  test::ScratchDir dir;
  for (const bool withAlpha : {false, true}) {
    SCOPED_TRACE(withAlpha ? "PNG64" : "PNG48");
    FIBITMAP* deep = FreeImage_AllocateT(withAlpha ? FIT_RGBA16 : FIT_RGB16, 12, 6);
    ASSERT_NE(nullptr, deep);
    for (unsigned y = 0; y < 6; ++y) {
      BYTE* line = FreeImage_GetScanLine(deep, static_cast<int>(y));
      for (unsigned x = 0; x < 12; ++x) {
        // The left half half transparent in the PNG64.
        const WORD values[] = {0xC8FF, 0x2801, 0x5A80, static_cast<WORD>(x < 6 ? 0x8000 : 0xFFFF)};
        std::memcpy(line + x * (withAlpha ? 8 : 6), values, withAlpha ? 8 : 6);
      }
    }
    const std::string path = SavePicture(dir, withAlpha ? "mark64.png" : "mark48.png", FIF_PNG, deep);
    EXPECT_TRUE(CanLoadWatermarkImage(path));
    FIBITMAP* image = DrawWatermark(test::SolidBitmap(20, 10, 24, {0, 0, 0, 255}),
                                    ImageMark(path), JobContext(), nullptr, 20, 10);
    ASSERT_NE(nullptr, image);
    EXPECT_TRUE(test::Near((Rgba{200, 40, 90, 255}), PixelAt(image, 8, 2))) << PixelAt(image, 8, 2);
    const Rgba left = PixelAt(image, 2, 2);
    if (withAlpha) {
      EXPECT_TRUE(test::Near((Rgba{100, 20, 45, 255}), left)) << "half over black: " << left;
    } else {
      EXPECT_TRUE(test::Near((Rgba{200, 40, 90, 255}), left)) << left;
    }
    EXPECT_EQ((Rgba{0, 0, 0, 255}), PixelAt(image, 15, 8)) << "outside the mark";
    FreeImage_Unload(image);
  }
}

// The check before a run reads the picture's header alone; a picture that then cannot be
// decoded fails the step instead of leaving the image without its mark (a text turned beyond
// the limits: OversizedTextIsCutOrFails).
TEST(WatermarkImage, AMarkThatCannotBeMadeFailsTheStep) {
  test::ScratchDir dir;
  ASSERT_TRUE(test::WriteBytes(dir / "nodata.png", test::PngClaiming(30, 10)));
  EXPECT_TRUE(CanLoadWatermarkImage(dir / "nodata.png"));
  EXPECT_EQ(nullptr, Watermarked(ImageMark(dir / "nodata.png"), 100, 50));

}

// A plain PNG mark is read only as far as the part that can show, with the very pixels
// FreeImage gives for it; other PNGs are left to FreeImage.
TEST(WatermarkImage, PngIsReadOnlyAsFarAsItCanShow) {
  test::ScratchDir dir;
  for (const unsigned bpp : {24u, 32u}) {
    FIBITMAP* noise = test::SolidBitmap(37, 23, bpp, kWhite);
    uint32_t seed = 12345;
    for (unsigned y = 0; y < 23; ++y) {
      for (unsigned x = 0; x < 37; ++x) {
        seed = seed * 1103515245u + 12345u;
        test::SetPixelAt(noise, x, y, {uint8_t(seed >> 24), uint8_t(seed >> 16), uint8_t(seed >> 8), uint8_t(seed)});
      }
    }
    const std::string path = dir / ("noise" + std::to_string(bpp) + ".png");
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, noise, path.c_str(), 0));
    FreeImage_Unload(noise);
    FIBITMAP* whole = FreeImage_Load(FIF_PNG, path.c_str(), 0);
    ASSERT_NE(nullptr, whole);
    for (const auto& [width, height] : {std::pair<unsigned, unsigned>{37, 23}, {10, 5}, {100, 100}, {1, 23}}) {
      SCOPED_TRACE(std::to_string(bpp) + " bits, " + std::to_string(width) + " x " + std::to_string(height));
      bool taken = false;
      FIBITMAP* part = LoadPngTopLeft(path, width, height, &taken);
      EXPECT_TRUE(taken);
      ASSERT_NE(nullptr, part);
      ASSERT_EQ(bpp, FreeImage_GetBPP(part));
      ASSERT_EQ(std::min(37u, width), FreeImage_GetWidth(part));
      ASSERT_EQ(std::min(23u, height), FreeImage_GetHeight(part));
      for (unsigned y = 0; y < FreeImage_GetHeight(part); ++y) {
        for (unsigned x = 0; x < FreeImage_GetWidth(part); ++x) {
          ASSERT_EQ(PixelAt(whole, x, y), PixelAt(part, x, y)) << x << "," << y;
        }
      }
      FreeImage_Unload(part);
    }
    FreeImage_Unload(whole);
  }

  struct Case { const char* why; std::vector<uint8_t> bytes; bool taken; };
  std::vector<uint8_t> cut = test::ReadBytes(dir / "noise24.png");
  cut.resize(cut.size() / 2);
  const Case kCases[] = {
      {"PNG64", test::PngClaiming(10, 10, 16, 6), false},
      {"rows cut off", cut, true},
      {"no rows at all", test::PngClaiming(10, 10), true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    ASSERT_TRUE(test::WriteBytes(dir / "case.png", c.bytes));
    bool taken = !c.taken;
    EXPECT_EQ(nullptr, LoadPngTopLeft(dir / "case.png", 50, 50, &taken));
    EXPECT_EQ(c.taken, taken);
  }
  const std::string interlaced = dir / "interlaced.png";
  FIBITMAP* small = test::SolidBitmap(8, 8, 24, {1, 2, 3, 255});
  ASSERT_TRUE(FreeImage_Save(FIF_PNG, small, interlaced.c_str(), PNG_INTERLACED));
  FreeImage_Unload(small);
  bool taken = true;
  EXPECT_EQ(nullptr, LoadPngTopLeft(interlaced, 50, 50, &taken));
  EXPECT_FALSE(taken) << "interlaced: FreeImage reads it";
  FIBITMAP* image = Watermarked(ImageMark(interlaced), 20, 20);
  ASSERT_NE(nullptr, image);
  EXPECT_EQ((Rgba{1, 2, 3, 255}), PixelAt(image, 4, 4));
  FreeImage_Unload(image);
}

TEST(WatermarkImage, RotationTurnsTheMark) {
  test::ScratchDir dir;
  const std::string path =
      SavePicture(dir, "mark.bmp", FIF_BMP, test::SolidBitmap(30, 10, 24, {10, 200, 30, 255}));
  Settings settings = ImageMark(path);
  settings.WatermarkImageRotation = 90;
  FIBITMAP* image = Watermarked(settings, 100, 50);
  ASSERT_NE(nullptr, image);
  const Box box = MarkedBox(image);
  EXPECT_EQ(10u, box.right - box.left);
  EXPECT_EQ(30u, box.bottom - box.top);
  FreeImage_Unload(image);
}

// Timings of the frame and the watermark on a 6000 x 4000 picture; run with
// --gtest_also_run_disabled_tests --gtest_filter='*Benchmark*'.
TEST(MarksBenchmark, DISABLED_FrameAndWatermarkOnALargePicture) {
  auto time = [](const char* what, auto step) {
    FIBITMAP* image = test::SolidBitmap(6000, 4000, 24, kWhite);
    const auto start = std::chrono::steady_clock::now();
    image = step(image);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start).count();
    std::printf("%-40s %6lld ms\n", what, static_cast<long long>(ms));
    FreeImage_Unload(image);
  };
  Settings frame;
  frame.DoFrame = 1;
  frame.SolidLeft = frame.SolidRight = frame.SolidTop = frame.SolidBottom = 40;
  frame.SolidOpacity = 200;
  time("frame, 40-pixel sides", [&](FIBITMAP* image) { return DrawFrame(image, frame, 6000, 4000); });
  Settings text = TextMark("Sample watermark %eol%second line");
  text.FontSize = 48;
  auto font = LoadWatermarkFont(text);
  time("2D text mark", [&](FIBITMAP* image) {
    return DrawWatermark(image, text, JobContext(), font.get(), 6000, 4000);
  });
  text.TextAntialiasing = 1;
  time("vector text mark", [&](FIBITMAP* image) {
    return DrawWatermark(image, text, JobContext(), font.get(), 6000, 4000);
  });
  test::ScratchDir dir;
  const std::string path =
      SavePicture(dir, "mark.png", FIF_PNG, test::SolidBitmap(800, 600, 32, {10, 20, 30, 128}));
  Settings picture = ImageMark(path);
  picture.ImageGreyscale = 1;
  time("800 x 600 PNG mark, greyscale", [&](FIBITMAP* image) {
    return DrawWatermark(image, picture, JobContext(), nullptr, 6000, 4000);
  });
}

// The time of a text mark with many raw line breaks, growing with their number (not with its
// square); run with --gtest_also_run_disabled_tests --gtest_filter='*Benchmark*'.
TEST(MarksBenchmark, DISABLED_RawLineBreaksInTheText) {
  for (const int breaks : {20000, 60000}) {
    std::string text;
    for (int i = 0; i < breaks; ++i) text += "line\n";
    Settings settings = TextMark(text);
    auto font = LoadWatermarkFont(settings);
    const auto start = std::chrono::steady_clock::now();
    FIBITMAP* image = DrawWatermark(test::SolidBitmap(400, 200, 24, kWhite), settings, JobContext(),
                                    font.get(), 400, 200);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start).count();
    std::printf("%6d raw line breaks %6lld ms\n", breaks, static_cast<long long>(ms));
    if (image != nullptr) FreeImage_Unload(image);
  }
}

// Marks far larger than the picture they go on: the work is bounded by what the picture can
// show; run as the benchmarks above.
TEST(MarksBenchmark, DISABLED_MarksLargerThanThePicture) {
  auto time = [](const char* what, const Settings& settings) {
    auto font = LoadWatermarkFont(settings);
    const auto start = std::chrono::steady_clock::now();
    FIBITMAP* image = DrawWatermark(test::SolidBitmap(400, 200, 24, kWhite), settings, JobContext(),
                                    font.get(), 400, 200);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start).count();
    std::printf("%-40s %6lld ms%s\n", what, static_cast<long long>(ms), image ? "" : " (fails)");
    if (image != nullptr) FreeImage_Unload(image);
  };
  std::string words;
  while (words.size() < (size_t{15} << 20)) words += "watermark text ";
  time("15 MB of text", TextMark(words));
  Settings antialiased = TextMark(words);
  antialiased.TextAntialiasing = 1;
  time("15 MB of vector text", antialiased);
  std::string lines;
  while (lines.size() < (size_t{15} << 20)) lines += "watermark text%eol%";
  time("15 MB of text in %eol% lines", TextMark(lines));
  Settings turned = TextMark("Sample");
  turned.FontSize = 3072;
  turned.TextRotation = 30;
  time("3072-point text turned by 30 degrees", turned);
}

}  // namespace
}  // namespace ravelin
