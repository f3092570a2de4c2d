// End-to-end runs with options and profiles: the debug echo of every group, the value checks
// of the console run, and operations, frame and watermark read back from the written PSD.
#include <gtest/gtest.h>

#include <FreeImage.h>

#include "tests/support/psd_check.h"
#include "tests/support/scratch.h"

namespace ravelin::test {
namespace {

// An 8 x 4 picture: the left half red, the right half blue, the top row green.
void WriteHalves(const std::string& path, unsigned w = 8, unsigned h = 4) {
  FIBITMAP* bitmap = FreeImage_Allocate(static_cast<int>(w), static_cast<int>(h), 24);
  for (unsigned y = 0; y < h; ++y) {
    for (unsigned x = 0; x < w; ++x) {
      RGBQUAD c{};
      if (y == 0) c.rgbGreen = 255; else if (x < w / 2) c.rgbRed = 255; else c.rgbBlue = 255;
      FreeImage_SetPixelColor(bitmap, x, h - 1 - y, &c);
    }
  }
  FreeImage_Save(FIF_BMP, bitmap, path.c_str(), 0);
  FreeImage_Unload(bitmap);
}

std::vector<std::string> Args(const ScratchDir& dir, std::vector<std::string> extra) {
  std::vector<std::string> args = {"-q", "-i", dir / "in.bmp"};
  args.insert(args.end(), extra.begin(), extra.end());
  return args;
}

TEST(Options, DebugEchoOfEveryGroup) {
  ScratchDir dir;
  WriteHalves(dir / "in.bmp");
  const RunResult run = RunRavelin(
      Args(dir, {"-d", "--psd-bpp=32", "--rotation=90", "--rotation-type=Advanced", "--rotation-back-color=FF0000",
                 "--width=50", "--width-unit=percent", "--height=50", "--height-unit=PERCENT", "--keep-aspect-ratio",
                 "--resize-type=largeimages", "--resize-algorithm=lanczos", "--flip-horizontal", "--flip-vertical",
                 "--brightness=-20", "--contrast=30", "--gamma=1.5", "--invert", "--greyscale", "--threshold=128",
                 "--dither=bayer8", "--fr-solid-left=1", "--fr-solid-right=2", "--fr-solid-top=3",
                 "--fr-solid-bottom=4", "--fr-solid-left-color=FF0000", "--fr-solid-right-color=00FF00",
                 "--fr-solid-top-color=0000FF", "--fr-solid-bottom-color=FFFFFF", "--fr-solid-opacity=128",
                 "--wm-text=\"Hello", "world\"", "--wm-font=DejaVu Sans", "--wm-font-size=9", "--wm-font-leading=2",
                 "--wm-font-color=00FF00", "--wm-font-style=bolditalic", "--wm-font-effect=strikethrought",
                 "--wm-text-antialiasing", "--wm-text-alignment=center", "--wm-text-padding=3",
                 "--wm-text-opacity=200", "--wm-back-color=123456", "--wm-back-opacity=50",
                 "--wm-text-boundary=frame", "--wm-text-position=topleft", "--wm-text-x-offset=1",
                 "--wm-text-y-offset=-2", "--wm-text-rotation=45", "--wm-text-size=fixed",
                 "--filename-mask=out_%n%.%ext%", "--file-timestamp=custom", "--file-timestamp-custom=1234567890",
                 "--no-subfolders"}),
      dir);
  const std::vector<std::string> expected = {
      "Input: " + dir / "in.bmp", "Output: " + dir.path(), "Conversion: psd", "PSD BPP: 32",
      "Image Rotation Type: advanced", "Image Rotation: 90", "Image Rotation Back Color: FF0000",
      "Width: 50 percent", "Height: 50 percent", "Keep Aspect Ratio: 1", "Image Resize Type: largeimages",
      "Image Resize Algorithm: lanczos", "Flip Horizontal: 1", "Flip Vertical: 1", "Brightness: -20",
      "Contrast: 30", "Gamma: 1.50", "Invert: 1", "Greyscale: 1", "Image Threshold: 128",
      "Image Dithering Algorithm: bayer8", "Frame: solid", "Frame left: 1", "Frame right: 2", "Frame top: 3",
      "Frame bottom: 4", "Frame left color: FF0000", "Frame right color: 00FF00", "Frame top color: 0000FF",
      "Frame bottom color: FFFFFF", "Frame opacity: 128", "Watermark: text", "Watermark text: Hello world",
      "Watermark font: DejaVu Sans", "Watermark font size: 9", "Watermark font leading: 2",
      "Watermark font color: 00FF00", "Watermark font style: bolditalic",
      "Watermark font effect: strikethrought", "Watermark text antialiasing: 1",
      "Watermark text alignment: center", "Watermark text padding: 3", "Watermark text opacity: 200",
      "Watermark background color: 123456", "Watermark background opacity: 50", "Watermark boundary: frame",
      "Watermark position: topleft", "Watermark offset (x/y): 1/-2", "Watermark rotation: 45",
      "Watermark size/mode: fixed", "Filename Mask: out_%n%.%ext%", "File Timestamp: custom",
      "Custom Timestamp: 1234567890", "Keep Subfolders: 0", "Processing: " + dir / "in.bmp",
      "File Format: BMP"};
  ASSERT_GE(run.lines.size(), expected.size());
  EXPECT_EQ(expected, std::vector<std::string>(run.lines.begin(), run.lines.begin() + static_cast<long>(expected.size())));
}

TEST(Options, DebugEchoOfAnImageWatermark) {
  ScratchDir dir;
  WriteHalves(dir / "in.bmp");
  WriteHalves(dir / "mark.bmp", 2, 2);
  const RunResult run = RunRavelin(
      Args(dir, {"-d", "--wm-image=" + dir / "mark.bmp", "--wm-image-greyscale", "--wm-image-opacity=90",
                 "--wm-image-boundary=frame", "--wm-image-position=middlecenter", "--wm-image-x-offset=0",
                 "--wm-image-y-offset=0", "--wm-image-rotation=180", "--wm-image-size=fit"}),
      dir);
  const std::vector<std::string> expected = {
      "Watermark: image", "Watermark image: " + dir / "mark.bmp", "Watermark greyscale: 1",
      "Watermark opacity: 90", "Watermark boundary: frame", "Watermark position: middlecenter",
      "Watermark offset (x/y): 0/0", "Watermark rotation: 180", "Watermark size/mode: fixed"};
  const auto first = std::find(run.lines.begin(), run.lines.end(), "Watermark: image");
  ASSERT_NE(run.lines.end(), first);
  EXPECT_EQ(expected, std::vector<std::string>(first, first + static_cast<long>(expected.size())));
  EXPECT_NE(run.lines.end(), std::find(run.lines.begin(), run.lines.end(), "[OK] Saving As: " + dir / "in.psd"));
}

TEST(Options, ValueChecksOfTheConsoleRun) {
  ScratchDir dir;
  WriteHalves(dir / "in.bmp");
  WriteBytes(dir / "notes.txt", {'h', 'i'});
  struct Case { const char* why; std::vector<std::string> options; const char* line; };
  const Case kCases[] = {
      {"bits per pixel outside the list", {"--psd-bpp=24"}, "Error: Invalid psd-bpp value"},
      {"width without height", {"--width=640"}, "Error: Invalid height value"},
      {"a width that is no number", {"--width=abc", "--height=5"}, "Error: Invalid width value"},
      {"brightness above 100", {"--brightness=101"}, "Error: Invalid brightness value"},
      {"contrast below -100", {"--contrast=-101"}, "Error: Invalid contrast value"},
      {"gamma above 9.99", {"--gamma=10"}, "Error: Invalid gamma value"},
      {"gamma not a number", {"--gamma=NaN"}, "Error: Invalid gamma value"},
      {"a font that cannot be made", {"--wm-text=x", "--wm-font=NoSuchFont123"}, "Error: Invalid watermark font"},
      {"a missing watermark picture", {"--wm-image=" + dir / "missing.png"}, "Error: Invalid watermark image"},
      {"a watermark file that is no picture", {"--wm-image=" + dir / "notes.txt"}, "Error: Invalid watermark image"},
      {"a profile that is a folder", {"--profile=" + dir.path()}, "Error: Invalid profile file"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(std::vector<std::string>{c.line}, RunRavelin(Args(dir, c.options), dir).lines);
  }
  for (const std::vector<std::string>& passing :
       {std::vector<std::string>{"--psd-bpp=32"}, {"--psd-bpp=0"}, {"--brightness=100"}, {"--gamma=0.01"},
        {"--gamma=9.99"}, {"--width=3", "--height=$2"}}) {
    EXPECT_EQ("", RunRavelin(Args(dir, passing), dir).out) << passing[0];
  }
}

TEST(Options, OperationsShowInTheWrittenPicture) {
  ScratchDir dir;
  WriteHalves(dir / "in.bmp");
  RgbImage image;

  ASSERT_EQ("", RunRavelin(Args(dir, {"--width=4", "--height=2"}), dir).out);
  ASSERT_TRUE(DecodeWithImageMagick(dir / "in.psd", &image));
  EXPECT_EQ(4u, image.width);
  EXPECT_EQ(2u, image.height);

  ASSERT_EQ("", RunRavelin(Args(dir, {"--flip-horizontal"}), dir).out);
  ASSERT_TRUE(DecodeWithImageMagick(dir / "in.psd", &image));
  const size_t bottomLeft = (3 * 8 + 0) * 3;
  EXPECT_EQ((std::vector<uint8_t>{0, 0, 255}), std::vector<uint8_t>(image.rgb.begin() + bottomLeft, image.rgb.begin() + bottomLeft + 3))
      << "after a horizontal flip blue is on the left";

  ASSERT_EQ("", RunRavelin(Args(dir, {"--greyscale"}), dir).out);
  ASSERT_TRUE(DecodeWithImageMagick(dir / "in.psd", &image));
  for (size_t i = 0; i < image.rgb.size(); i += 3) {
    EXPECT_EQ(image.rgb[i], image.rgb[i + 1]);
    EXPECT_EQ(image.rgb[i], image.rgb[i + 2]);
  }

  ASSERT_EQ("", RunRavelin(Args(dir, {"--fr-solid-left=2", "--fr-solid-left-color=FFFF00"}), dir).out);
  ASSERT_TRUE(DecodeWithImageMagick(dir / "in.psd", &image));
  for (unsigned y = 0; y < 4; ++y) {
    for (unsigned x = 0; x < 8; ++x) {
      const size_t at = (y * 8 + x) * 3;
      const bool yellow = image.rgb[at] == 255 && image.rgb[at + 1] == 255 && image.rgb[at + 2] == 0;
      EXPECT_EQ(x < 2, yellow) << x << "," << y;
    }
  }
}

TEST(Options, OversizeTargetFailsCleanly) {
  ScratchDir dir;
  WriteHalves(dir / "in.bmp");
  WriteBytes(dir / "in.psd", {'o', 'l', 'd'});
  EXPECT_EQ(std::vector<std::string>{"Conversion stopped"},
            RunRavelin(Args(dir, {"--width=100000", "--height=100000"}), dir).lines);
  EXPECT_EQ((std::vector<uint8_t>{'o', 'l', 'd'}), ReadBytes(dir / "in.psd"));
}

TEST(Options, ProfileAppliesAtItsPlace) {
  ScratchDir dir;
  WriteHalves(dir / "in.bmp");
  WriteBytes(dir / "a.ini", std::vector<uint8_t>{});
  const std::string profile =
      "\xEF\xBB\xBF[cli]\r\n--WIDTH = 4\r\n--HEIGHT = 2\r\n--FILENAME-MASK = \"%filename%_small.%ext%\"\r\n"
      "--INPUT = elsewhere.bmp\r\n";
  WriteBytes(dir / "a.ini", std::vector<uint8_t>(profile.begin(), profile.end()));
  RgbImage image;

  ASSERT_EQ("", RunRavelin(Args(dir, {"--profile=" + dir / "a.ini"}), dir).out);
  ASSERT_TRUE(DecodeWithImageMagick(dir / "in_small.psd", &image));
  EXPECT_EQ(4u, image.width);

  ASSERT_EQ("", RunRavelin(Args(dir, {"--profile=" + dir / "a.ini", "--width=6", "--filename-mask=later.%ext%"}), dir).out);
  ASSERT_TRUE(DecodeWithImageMagick(dir / "later.psd", &image));
  EXPECT_EQ(6u, image.width) << "an option after the profile overrides it";

  ASSERT_EQ("", RunRavelin(Args(dir, {"--width=6", "--profile=" + dir / "a.ini"}), dir).out);
  ASSERT_TRUE(DecodeWithImageMagick(dir / "in_small.psd", &image));
  EXPECT_EQ(4u, image.width) << "the profile overrides what stands before it";
}

}  // namespace
}  // namespace ravelin::test
