#include "cli/option_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <set>
#include <string>

#include "platform/text.h"
#include "settings/settings_layout.h"
#include "tests/support/scratch.h"

namespace ravelin {
namespace {

using S = Settings;

Settings CommandLineDefaults() {
  Settings settings;
  ResetSettings(settings, true);
  return settings;
}

// Compares every option field of the record.
void ExpectSameSettings(const Settings& expected, const Settings& actual) {
  for (size_t i = 0; i < SettingsLayoutSize(); ++i) {
    const SettingsKey& row = SettingsLayout()[i];
    EXPECT_EQ(FormatField(expected, row.field), FormatField(actual, row.field))
        << "[" << row.group << "] " << row.key;
  }
}

struct RowCase {
  const char* key;    // as a user might type it
  const char* value;  // flags are given "0", which they ignore
  std::function<void(Settings&)> expect;
  const char* profileKey = nullptr;  // when a profile spells it otherwise
};

const RowCase kRows[] = {
    // Input
    {"--dds-load-as", "rgba", [](S& s) { s.DDSLoadAs = 2; }},
    {"--gif-frame-loading", "last", [](S& s) { s.GIFFrameLoading = 3; }},
    {"--ico-frame-loading", "random", [](S& s) { s.ICOFrameLoading = 4; }},
    {"--psd-color-mode", "lab", [](S& s) { s.PSDColorMode = 2; }},
    {"--raw-load-as", "48hs", [](S& s) { s.RAWLoadAs = 4; }},
    {"--raw-header-size", "77", [](S& s) { s.RAWHeaderSize = 77; }},
    {"--raw-width", "77", [](S& s) { s.RAWImageWidth = 77; }},
    {"--raw-height", "77", [](S& s) { s.RAWImageHeight = 77; }},
    {"--raw-tone-mapping", "drr", [](S& s) { s.RAWToneMapping = 3; }},
    {"--tiff-frame-loading", "middle", [](S& s) { s.TIFFFrameLoading = 2; }},
    // Output
    {"--bmp-bpp", "24", [](S& s) { s.BMPBPP = 24; }},
    {"--bmp-compression", "rle", [](S& s) { s.BMPCompression = 1; }},
    {"--bmp-color-table", "exact", [](S& s) { s.BMPColorTable = 1; }},
    {"--dds-bpp", "24", [](S& s) { s.DDSBPP = 24; }},
    {"--exr-bpp", "24", [](S& s) { s.EXRBPP = 24; }},
    {"--exr-compression", "b44", [](S& s) { s.EXRCompression = 4; }},
    {"--gif-bpp", "24", [](S& s) { s.GIFBPP = 24; }},
    {"--hdr-bpp", "24", [](S& s) { s.HDRBPP = 24; }},
    {"--ico-bpp", "24", [](S& s) { s.ICOBPP = 24; }},
    {"--j2k-bpp", "24", [](S& s) { s.J2KBPP = 24; }},
    {"--jng-bpp", "24", [](S& s) { s.JNGBPP = 24; }},
    {"--jp2-bpp", "24", [](S& s) { s.JP2BPP = 24; }},
    {"--jpg-bpp", "24", [](S& s) { s.JPGBPP = 24; }},
    {"--jpg-quality", "50", [](S& s) { s.JPGQuality = 50; }},
    {"--jpg-chroma", "high", [](S& s) { s.JPGChroma = 3; }},
    {"--jpg-save-as", "progressive", [](S& s) { s.JPGSaveAs = 3; }},
    {"--jxr-bpp", "24", [](S& s) { s.JXRBPP = 24; }},
    {"--pbm-bpp", "24", [](S& s) { s.PBMBPP = 24; }},
    {"--pcx-bpp", "24", [](S& s) { s.PCXBPP = 24; }},
    {"--pfm-bpp", "24", [](S& s) { s.PFMBPP = 24; }},
    {"--pgm-bpp", "24", [](S& s) { s.PGMBPP = 24; }},
    {"--png-bpp", "24", [](S& s) { s.PNGBPP = 24; }},
    {"--png-compression", "zlib9", [](S& s) { s.PNGCompression = 3; }},
    {"--png-interlaced", "0", [](S& s) { s.PNGInterlaced = 1; }},
    {"--ppm-bpp", "24", [](S& s) { s.PPMBPP = 24; }},
    {"--psd-bpp", "24", [](S& s) { s.PSDBPP = 24; }},
    {"--tga-bpp", "24", [](S& s) { s.TGABPP = 24; }},
    {"--tga-compression", "rle", [](S& s) { s.TGACompression = 1; }},
    {"--tiff-bpp", "24", [](S& s) { s.TIFFBPP = 24; }},
    {"--tiff-compression", "lzw", [](S& s) { s.TIFFCompression = 6; }},
    {"--tiff-color-mode", "cmyk", [](S& s) { s.TIFFColorMode = 1; }},
    {"--wbmp-bpp", "24", [](S& s) { s.WBMPBPP = 24; }},
    {"--webp-bpp", "24", [](S& s) { s.WEBPBPP = 24; }},
    {"--webp-quality", "50", [](S& s) { s.WEBPQuality = 50; }},
    {"--xpm-bpp", "24", [](S& s) { s.XPMBPP = 24; }},
    // Transform
    {"--rotation-type", "advanced", [](S& s) { s.ImageRotationType = 1; }},
    {"--rotation", "90", [](S& s) { s.DoImageRotation = 1; s.ImageRotation = 90; }},
    {"--rotation-back-color", "FF8000", [](S& s) { s.ImageRotationBackColor = "FF8000"; }},
    {"--width", "640", [](S& s) { s.DoImageResize = 1; s.ImageWidth = 640; }},
    {"--width-unit", "percent", [](S& s) { s.ImageWidthUnit = 1; }},
    {"--height", "480", [](S& s) { s.DoImageResize = 1; s.ImageHeight = 480; }},
    {"--height-unit", "percent", [](S& s) { s.ImageHeightUnit = 1; }},
    {"--keep-aspect-ratio", "0", [](S& s) { s.KeepAspectRatio = 1; }},
    {"--resize-type", "largeimages", [](S& s) { s.ImageResizeType = 1; }},
    {"--resize-algorithm", "lanczos", [](S& s) { s.ImageResizeAlgorithm = 5; }},
    {"--flip-horizontal", "0", [](S& s) { s.DoImageFlipHorizontal = 1; }},
    {"--flip-vertical", "0", [](S& s) { s.DoImageFlipVertical = 1; }},
    // Adjustment
    {"--brightness", "-20", [](S& s) { s.DoImageColorCorrection = 1; s.ImageBrightness = -20; }},
    {"--contrast", "30", [](S& s) { s.DoImageColorCorrection = 1; s.ImageContrast = 30; }},
    {"--gamma", "2.5", [](S& s) { s.DoImageColorCorrection = 1; s.ImageGamma = 2.5f; }},
    {"--invert", "0", [](S& s) { s.DoImageColorCorrection = 1; s.ImageInvert = 1; }},
    {"--greyscale", "0", [](S& s) { s.DoImageGreyscale = 1; }},
    {"--threshold", "128", [](S& s) { s.DoImageThreshold = 1; s.ImageThreshold = 128; }},
    {"--dither", "bayer8", [](S& s) { s.DoImageDither = 1; s.ImageDitherAlgorithm = 2; }},
    // Frame
    {"--fr-solid-left", "5", [](S& s) { s.DoFrame = 1; s.SolidLeft = 5; }},
    {"--fr-solid-right", "5", [](S& s) { s.DoFrame = 1; s.SolidRight = 5; }},
    {"--fr-solid-top", "5", [](S& s) { s.DoFrame = 1; s.SolidTop = 5; }},
    {"--fr-solid-bottom", "5", [](S& s) { s.DoFrame = 1; s.SolidBottom = 5; }},
    {"--fr-solid-left-color", "FF0000", [](S& s) { s.SolidLeftColor = "FF0000"; }},
    {"--fr-solid-right-color", "FF0000", [](S& s) { s.SolidRightColor = "FF0000"; }},
    {"--fr-solid-top-color", "FF0000", [](S& s) { s.SolidTopColor = "FF0000"; }},
    {"--fr-solid-bottom-color", "FF0000", [](S& s) { s.SolidBottomColor = "FF0000"; }},
    {"--fr-solid-opacity", "128", [](S& s) { s.SolidOpacity = 128; }, "--WM-SOLID-OPACITY"},
    // Watermark
    {"--wm-text", "Hello", [](S& s) { s.DoWatermark = 1; s.Text = "Hello"; }},
    {"--wm-font", "DejaVu Sans", [](S& s) { s.Font = "DejaVu Sans"; }},
    {"--wm-font-size", "20", [](S& s) { s.FontSize = 20; }},
    {"--wm-font-leading", "3", [](S& s) { s.FontLeading = 3; }},
    {"--wm-font-color", "00FF00", [](S& s) { s.FontColor = "00FF00"; }},
    {"--wm-font-style", "bolditalic", [](S& s) { s.FontStyle = 3; }},
    {"--wm-font-effect", "strikethrought", [](S& s) { s.FontEffect = 2; }},
    {"--wm-text-antialiasing", "0", [](S& s) { s.TextAntialiasing = 1; }},
    {"--wm-text-alignment", "right", [](S& s) { s.TextAlignment = 2; }},
    {"--wm-text-padding", "4", [](S& s) { s.TextPadding = 4; }},
    {"--wm-text-opacity", "100", [](S& s) { s.TextOpacity = 100; }},
    {"--wm-back-color", "0000FF", [](S& s) { s.BackColor = "0000FF"; }},
    {"--wm-back-opacity", "100", [](S& s) { s.BackOpacity = 100; }},
    {"--wm-text-boundary", "frame", [](S& s) { s.TextBoundary = 1; }},
    {"--wm-text-position", "topleft", [](S& s) { s.TextPosition = 0; }},
    {"--wm-text-x-offset", "-3", [](S& s) { s.TextXOffset = -3; }},
    {"--wm-text-y-offset", "-3", [](S& s) { s.TextYOffset = -3; }},
    {"--wm-text-rotation", "45", [](S& s) { s.TextRotation = 45; }},
    {"--wm-text-size", "fixed", [](S& s) { s.TextSize = 0; }},
    {"--wm-image", "/tmp/logo.png", [](S& s) { s.DoWatermark = 2; s.Image = "/tmp/logo.png"; }},
    {"--wm-image-greyscale", "0", [](S& s) { s.ImageGreyscale = 1; }},
    {"--wm-image-opacity", "100", [](S& s) { s.ImageOpacity = 100; }},
    {"--wm-image-boundary", "frame", [](S& s) { s.ImageBoundary = 1; }},
    {"--wm-image-position", "middlecenter", [](S& s) { s.ImagePosition = 4; }},
    {"--wm-image-x-offset", "7", [](S& s) { s.ImageXOffset = 7; }},
    {"--wm-image-y-offset", "7", [](S& s) { s.ImageYOffset = 7; }},
    {"--wm-image-rotation", "30", [](S& s) { s.WatermarkImageRotation = 30; }},
    {"--wm-image-size", "fixed", [](S& s) { s.ImageSize = 0; }},
    // Advanced
    {"--filename-mask", "%filename%_x.%ext%", [](S& s) { s.FilenameMask = "%filename%_x.%ext%"; }},
    {"--file-timestamp", "custom", [](S& s) { s.FileTimestamp = 2; }},
    {"--file-timestamp-custom", "86400", [](S& s) { s.CustomTimestamp = 86400; }},
    {"--no-subfolders", "0", [](S& s) { s.KeepSubfolders = 0; }},
};

TEST(OptionTable, HoldsExactlyTheOptionsOfTheCases) {
  std::set<std::string> table, cases;
  for (size_t i = 0; i < OptionTableSize(); ++i) table.insert(OptionTableKey(i));
  for (const RowCase& c : kRows) cases.insert(ToUpperAscii(c.key));
  EXPECT_EQ(105u, OptionTableSize());
  EXPECT_EQ(105u, table.size()) << "no key twice";
  EXPECT_EQ(cases, table);
}

TEST(OptionTable, EveryRowSetsItsFieldsAndNoOthers) {
  const Settings base = CommandLineDefaults();
  for (const RowCase& c : kRows) {
    SCOPED_TRACE(c.key);
    Settings expected = base;
    c.expect(expected);

    Settings fromCommandLine = base;
    size_t position = 0;
    EXPECT_EQ(OptionOutcome::Applied,
              ApplyCommandLineOption(fromCommandLine, {std::string(c.key) + "=" + c.value}, &position));
    EXPECT_EQ(0u, position);
    ExpectSameSettings(expected, fromCommandLine);

    Settings fromProfile = base;
    const std::string profileKey = c.profileKey != nullptr ? c.profileKey : ToUpperAscii(c.key);
    EXPECT_TRUE(ApplyProfileOption(fromProfile, profileKey, c.value));
    ExpectSameSettings(expected, fromProfile);
  }
}

struct ValueCase {
  const char* parameter;
  std::function<void(const Settings&)> check;
};

const ValueCase kValues[] = {
    {"--width=$100", [](const S& s) { EXPECT_EQ(256, s.ImageWidth); }},
    {"--width=$fF", [](const S& s) { EXPECT_EQ(255, s.ImageWidth); }},
    {"--width=%101", [](const S& s) { EXPECT_EQ(5, s.ImageWidth); }},
    {"--width=%102", [](const S& s) { EXPECT_EQ(2, s.ImageWidth); }},
    {"--width=-$10", [](const S& s) { EXPECT_EQ(-16, s.ImageWidth); }},
    {"--width=12px", [](const S& s) { EXPECT_EQ(12, s.ImageWidth); }},
    {"--width=\t 42", [](const S& s) { EXPECT_EQ(42, s.ImageWidth); }},
    {"--width=abc", [](const S& s) { EXPECT_EQ(0, s.ImageWidth); EXPECT_EQ(1, s.DoImageResize); }},
    {"--width=0", [](const S& s) { EXPECT_EQ(1, s.DoImageResize); }},
    {"--width=$", [](const S& s) { EXPECT_EQ(0, s.ImageWidth); }},
    {"--width=4294967297", [](const S& s) { EXPECT_EQ(1, s.ImageWidth); }},
    {"--width=2147483648", [](const S& s) { EXPECT_EQ(std::numeric_limits<int32_t>::min(), s.ImageWidth); }},
    {"--width=$FFFFFFFFFFFF", [](const S& s) { EXPECT_EQ(-1, s.ImageWidth); }},
    {"--width=99999999999999999999", [](const S& s) { EXPECT_EQ(1661992959, s.ImageWidth); }},
    {"--brightness=-20", [](const S& s) { EXPECT_EQ(-20, s.ImageBrightness); }},
    {"--gamma=1,5", [](const S& s) { EXPECT_FLOAT_EQ(1.0f, s.ImageGamma); }},
    {"--gamma=1.5", [](const S& s) { EXPECT_FLOAT_EQ(1.5f, s.ImageGamma); }},
    {"--gamma=x", [](const S& s) { EXPECT_EQ(0.0f, s.ImageGamma); EXPECT_EQ(1, s.DoImageColorCorrection); }},
    {"--gamma=+infinity", [](const S& s) { EXPECT_EQ(std::numeric_limits<float>::infinity(), s.ImageGamma); }},
    {"--gamma=-Infinity", [](const S& s) { EXPECT_EQ(-std::numeric_limits<float>::infinity(), s.ImageGamma); }},
    {"--gamma=nAn", [](const S& s) { EXPECT_TRUE(std::isnan(s.ImageGamma)); }},
    {"--resize-algorithm=LANCZOS", [](const S& s) { EXPECT_EQ(5, s.ImageResizeAlgorithm); }},
    {"--resize-algorithm=LanCzos", [](const S& s) { EXPECT_EQ(5, s.ImageResizeAlgorithm); }},
    {"--resize-algorithm=  lanczos ", [](const S& s) { EXPECT_EQ(5, s.ImageResizeAlgorithm); }},
    {"--resize-algorithm=sharpest", [](const S& s) { EXPECT_EQ(0, s.ImageResizeAlgorithm); }},
    {"--tiff-compression=zlib9", [](const S& s) { EXPECT_EQ(3, s.TIFFCompression); }},
    {"--Jpg-Quality=95", [](const S& s) { EXPECT_EQ(95, s.JPGQuality); }},
    {"--JPG-QUALITY=7", [](const S& s) { EXPECT_EQ(7, s.JPGQuality); }},
    {"--invert=no", [](const S& s) { EXPECT_EQ(1, s.ImageInvert); EXPECT_EQ(1, s.DoImageColorCorrection); }},
    {"--greyscale", [](const S& s) { EXPECT_EQ(1, s.DoImageGreyscale); EXPECT_EQ(0, s.DoImageColorCorrection); }},
    {"--no-subfolders=1", [](const S& s) { EXPECT_EQ(0, s.KeepSubfolders); }},
    {"--filename-mask=\"%filename%.%ext%\"", [](const S& s) { EXPECT_EQ("%filename%.%ext%", s.FilenameMask); }},
    {"--wm-text=a=b", [](const S& s) { EXPECT_EQ("a=b", s.Text); }},
};

TEST(OptionValues, ConvertByTheRulesOfTheirKind) {
  for (const ValueCase& c : kValues) {
    SCOPED_TRACE(c.parameter);
    Settings settings = CommandLineDefaults();
    size_t position = 0;
    ASSERT_EQ(OptionOutcome::Applied, ApplyCommandLineOption(settings, {c.parameter}, &position));
    c.check(settings);
  }
}

TEST(OptionValues, MissingValueChangesNothing) {
  for (const char* parameter : {"--width", "--width=", "--width=--5", "--wm-text=", "--wm-text",
                                "--gamma=--1", "--dither"}) {
    SCOPED_TRACE(parameter);
    const Settings base = CommandLineDefaults();
    Settings settings = base;
    size_t position = 0;
    EXPECT_EQ(OptionOutcome::MissingValue, ApplyCommandLineOption(settings, {parameter, "640"}, &position));
    EXPECT_EQ(0u, position);
    ExpectSameSettings(base, settings);
  }
}

TEST(OptionValues, TextsJoinQuotedParameters) {
  Settings settings = CommandLineDefaults();
  const Parameters params = {"--wm-text=\"my", "big", "text\"", "--width=5"};
  size_t position = 0;
  EXPECT_EQ(OptionOutcome::Applied, ApplyCommandLineOption(settings, params, &position));
  EXPECT_EQ("my big text", settings.Text);
  EXPECT_EQ(2u, position) << "left on the last parameter it consumed";

  // A quote that is never closed takes every remaining parameter.
  position = 0;
  ApplyCommandLineOption(settings, {"--wm-font=\"Liberation", "Sans", "-q"}, &position);
  EXPECT_EQ("Liberation Sans -q", settings.Font);
  EXPECT_EQ(2u, position);

  // Only text options join; a number ends at its parameter.
  position = 0;
  ApplyCommandLineOption(settings, {"--width=\"5", "6\""}, &position);
  EXPECT_EQ(0u, position);
}

TEST(OptionTable, OtherKeysAreNotInTheTable) {
  for (const char* parameter : {"--wm-solid-opacity=128", "--input=a.bmp", "--profile=a.ini", "-i",
                                "photo.bmp", "--widths=5", "--", ""}) {
    SCOPED_TRACE(parameter);
    Settings settings = CommandLineDefaults();
    size_t position = 0;
    EXPECT_EQ(OptionOutcome::NotInTable, ApplyCommandLineOption(settings, {parameter}, &position));
    ExpectSameSettings(CommandLineDefaults(), settings);
  }
}

class Profile : public ::testing::Test {
 protected:
  std::string Write(const std::string& text) {
    const std::string path = dir_ / "profile.ini";
    EXPECT_TRUE(test::WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end())));
    return path;
  }
  test::ScratchDir dir_;
  Settings settings_ = CommandLineDefaults();
};

TEST_F(Profile, AppliesTheExampleProfile) {
  ASSERT_TRUE(LoadProfile(settings_, Write("[CLI]\r\n--WIDTH = 800\r\n--HEIGHT = 600\r\n"
                                           "--RESIZE-ALGORITHM = lanczos\r\n--WM-TEXT = Sample text\r\n"
                                           "--FILENAME-MASK = \"%filename%_small.%ext%\"\r\n"
                                           "--INPUT = photo.bmp\r\n")));
  Settings expected = CommandLineDefaults();
  expected.DoImageResize = 1;
  expected.ImageWidth = 800;
  expected.ImageHeight = 600;
  expected.ImageResizeAlgorithm = 5;
  expected.DoWatermark = 1;
  expected.Text = "Sample text";
  expected.FilenameMask = "%filename%_small.%ext%";
  ExpectSameSettings(expected, settings_);
}

TEST_F(Profile, WithoutAMarkReadsUtf8ElseLatin1) {
  const struct { const char* why; std::string file; } kCases[] = {
      {"UTF-8 from an editor", "[CLI]\n--WM-TEXT = caf\xC3\xA9\n"},
      {"ISO-8859-1", "[CLI]\n--WM-TEXT = caf\xE9\n"},
      {"UTF-8 after a mark", "\xEF\xBB\xBF[CLI]\n--WM-TEXT = caf\xC3\xA9\n"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.why);
    Settings settings = CommandLineDefaults();
    ASSERT_TRUE(LoadProfile(settings, Write(c.file)));
    EXPECT_EQ("caf\xC3\xA9", settings.Text);
  }
}

TEST_F(Profile, FollowsTheProfileRules) {
  ASSERT_TRUE(LoadProfile(settings_, Write("[other]\n--WIDTH=1\n"
                                           "[cli]\n"
                                           "--invert = 0\n"
                                           "--FR-SOLID-OPACITY = 128\n"
                                           "--wm-solid-opacity = 64\n"
                                           "--WM-FONT = \"Quoted Font\"\n"
                                           "--HEIGHT =\n"
                                           "--jpg-quality = 10\n"
                                           "--JPG-QUALITY = 20\n"
                                           "--OUTPUT = /tmp\n--CONVERSION = jpg\n--PROFILE = x.ini\n"
                                           "--QUIET\n--DEBUG\n--PAUSE\n"
                                           "[CLI]\n--WIDTH = 999\n")));
  EXPECT_EQ(1, settings_.ImageInvert) << "a flag takes effect whatever its value";
  EXPECT_EQ(1, settings_.DoImageColorCorrection);
  EXPECT_EQ(64, settings_.SolidOpacity) << "the frame opacity has the profile's own key";
  EXPECT_EQ("\"Quoted Font\"", settings_.Font) << "only the mask loses its quotes";
  EXPECT_EQ(0, settings_.ImageHeight);
  EXPECT_EQ(1, settings_.DoImageResize) << "an empty value is accepted";
  EXPECT_EQ(20, settings_.JPGQuality) << "a later line overrides";
  EXPECT_EQ(0, settings_.ImageWidth) << "only the first CLI group is read";
}

TEST_F(Profile, AcceptsAFileWithoutCliAndRefusesWhatCannotBeOpened) {
  const Settings base = settings_;
  EXPECT_TRUE(LoadProfile(settings_, Write("[General]\n--WIDTH=5\n")));
  EXPECT_TRUE(LoadProfile(settings_, Write("")));
  ExpectSameSettings(base, settings_);
  EXPECT_FALSE(LoadProfile(settings_, ""));
  EXPECT_FALSE(LoadProfile(settings_, dir_ / "missing.ini"));
  EXPECT_FALSE(LoadProfile(settings_, dir_.path()));
}

}  // namespace
}  // namespace ravelin
