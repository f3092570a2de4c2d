#include "settings/formats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "i18n/language_table.h"
#include "settings/font_attributes.h"
#include "settings/settings.h"

namespace ravelin {
namespace {

class FormatTables : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadLanguage();
    BuildFormatTables();
  }
};

TEST_F(FormatTables, ActiveListsAreTheResetDefaults) {
  EXPECT_EQ(std::vector<std::string>{"bmp"}, ActiveInputExtensions());
  EXPECT_EQ(std::vector<std::string>{"psd"}, ActiveOutputExtensions());
  Settings settings;
  settings.InputFormat = "jpg";
  settings.OutputFormat = "png";
  ResetSettings(settings, true);
  EXPECT_EQ("bmp", settings.InputFormat);
  EXPECT_EQ("psd", settings.OutputFormat);
}

TEST_F(FormatTables, InputTableHoldsEveryFamilyAndMember) {
  struct Family { const char* family; std::vector<const char*> members; };
  const Family kFamilies[] = {
      {"bmp", {"bmp", "rle", "dib"}},
      {"dds", {"dds"}},
      {"emf", {"emf", "emz"}},
      {"gif", {"gif"}},
      {"hdr", {"hdr", "hdri"}},
      {"ico", {"ico"}},
      {"jpg", {"jpg", "jpeg", "jpe", "jif"}},
      {"pcd", {"pcd", "pcd1", "pcds", "ppcd"}},
      {"pcx", {"pcx"}},
      {"pic", {"pic", "pict", "pct"}},
      {"png", {"png"}},
      {"psd", {"psd"}},
      {"tga", {"tga", "targa"}},
      {"tiff", {"tiff", "tif"}},
      {"wmf", {"wmf", "wmz", "apm"}},
      {"raw", {"raw", "raw1", "raw2", "3fr", "arw", "sr2", "srf", "bay", "bmq", "cap", "iiq",
               "eip", "cine", "cr2", "crw", "cs1", "dc2", "dcr", "drf", "dsc", "k25", "kc2",
               "kdc", "dcs", "dng", "erf", "fff", "ia", "sti", "mdc", "mrw", "mef", "mos",
               "nef", "nrw", "orf", "pef", "ptx", "pxn", "qtk", "raf", "rdc", "rw2", "rwz",
               "x3f", "ari", "r3d", "rwl"}},
  };
  size_t members = 0;
  std::set<std::string> families;
  for (const Family& f : kFamilies) {
    for (const char* ext : f.members) {
      SCOPED_TRACE(ext);
      EXPECT_EQ(f.family, InputFormatFamily(ext));
      ++members;
    }
  }
  const std::vector<std::string> all = InputTableExtensions();
  EXPECT_EQ(79u, members);
  EXPECT_EQ(79u, all.size());
  for (const std::string& ext : all) families.insert(InputFormatFamily(ext));
  EXPECT_EQ(16u, families.size());
}

TEST_F(FormatTables, InputDescriptions) {
  struct Case { const char* why; const char* ext; const char* expected; };
  const Case kCases[] = {
      {"family", "bmp", "Windows or OS/2 Bitmap"},
      {"member takes its family's", "rle", "Windows or OS/2 Bitmap"},
      {"member takes its family's", "jif", "JPEG File"},
      {"member after one with its own", "wmz", "Windows Metafile Format"},
      {"member with its own", "apm", "Aldus Placeable Metafile"},
      {"raw family", "raw2", "Camera RAW Image"},
      {"raw member with its own", "3fr", "Hasselblad Camera RAW Image"},
      {"shared by several raw members", "dcs", "Kodak Camera RAW Image"},
      {"last row", "rwl", "Leica Camera RAW Image"},
      {"input and output descriptions differ", "psd", "Adobe Photoshop File"},
      {"lookups are exact", "BMP", ""},
      {"unknown", "xyz", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(c.expected, InputFormatDescription(c.ext));
  }
}

TEST_F(FormatTables, WalkVisitsBucketsAscendingNewestFirst) {
  const std::vector<std::string> all = InputTableExtensions();
  for (size_t i = 1; i < all.size(); ++i) {
    EXPECT_LE(FormatBucket(all[i - 1]), FormatBucket(all[i])) << all[i - 1] << " " << all[i];
  }
  // Pairs sharing a bucket: the one added later walks first.
  struct Case { const char* first; const char* second; uint32_t bucket; };
  const Case kCases[] = {
      {"cap", "emz", 306}, {"cs1", "jpg", 353}, {"pxn", "arw", 102}, {"dcr", "sr2", 307},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.first);
    EXPECT_EQ(c.bucket, FormatBucket(c.first));
    EXPECT_EQ(c.bucket, FormatBucket(c.second));
    const auto a = std::find(all.begin(), all.end(), c.first);
    const auto b = std::find(all.begin(), all.end(), c.second);
    ASSERT_NE(all.end(), a);
    EXPECT_EQ(a + 1, b);
  }
}

TEST(FormatBucket, HashesUtf16CodeUnits) {
  struct Case { const char* why; const char* text; uint32_t bucket; };
  const Case kCases[] = {
      {"empty", "", 0},
      {"one unit", "a", 97},
      {"accepted extensions", "rle", 107},
      {"accepted extensions", "dib", 157},
      {"accepted extensions", "bmp", 165},
      {"long text wraps in 32 bits", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", 256},
      {"description", "Windows or OS/2 Bitmap", 232},
      {"two UTF-8 bytes are one unit", "\xC3\xA9", 233},
      {"a character outside the BMP is a surrogate pair", "\xF0\x9F\x98\x80", 259},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(c.bucket, FormatBucket(c.text));
  }
}

TEST_F(FormatTables, AcceptedInputExtensions) {
  const std::vector<std::string> expected = {"rle", "dib", "bmp"};
  EXPECT_EQ(expected, AcceptedInputExtensions());
  BuildFormatTables();  // again, as a console start that falls back to window mode does
  RebuildAcceptedInputExtensions();
  EXPECT_EQ(expected, AcceptedInputExtensions());

  struct Case { const char* ext; bool accepted; };
  const Case kCases[] = {
      {"bmp", true}, {"dib", true}, {"rle", true},
      {"DIB", false},  // the caller lowers first
      {"jpg", false},  // known to the table, but not of an active family
      {"psd", false}, {"", false}, {"bm", false}, {"bmp ", false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.ext);
    EXPECT_EQ(c.accepted, IsAcceptedInputExtension(c.ext));
  }
}

TEST_F(FormatTables, OutputTable) {
  EXPECT_EQ(23u, OutputTableSize());
  struct Case { const char* ext; const char* description; std::vector<int> depths; };
  const Case kCases[] = {
      {"psd", "Adobe Photoshop", {32}},
      {"bmp", "Windows or OS/2 Bitmap", {1, 4, 8, 16, 24, 32}},
      {"jxr", "JPEG XR Image Format", {1, 8, 16, 24, 32, 48, 96}},
      {"tiff", "Tagged Image File Format", {1, 4, 8, 24, 32, 48, 96}},
      {"webp", "Google WebP Image Format", {24, 32}},
      {"pcx", "ZSoft Paintbrush", {24}},
      {"dds", "DirectDraw Surface", {32}},
      {"xpm", "X11 Pixmap Format", {24}},
      {"PSD", "", {}},
      {"rle", "", {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.ext);
    EXPECT_EQ(c.description, OutputFormatDescription(c.ext));
    EXPECT_EQ(c.depths, AllowedBitDepths(c.ext));
  }
  EXPECT_EQ("1,4,8,24,32,48", AllowedBppText("png"));
}

TEST_F(FormatTables, OutputChecks) {
  struct Ext { const char* text; bool output; };
  const Ext kExts[] = {{"psd", true}, {"PSD", false}, {"jpg", false}, {"", false}, {"psd ", false}};
  for (const Ext& c : kExts) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.output, IsOutputExtension(c.text));
  }

  struct Bpp { const char* ext; int bpp; bool valid; };
  const Bpp kBpps[] = {
      {"psd", 0, true},   {"psd", 32, true},  {"psd", 24, false}, {"psd", -32, false},
      {"bmp", 16, true},  {"bmp", 48, false}, {"ppm", 48, true},  {"gif", 1, false},
      {"nope", 0, true},  // automatic is always allowed
      {"nope", 24, false},
  };
  for (const Bpp& c : kBpps) {
    SCOPED_TRACE(std::string(c.ext) + " " + std::to_string(c.bpp));
    EXPECT_EQ(c.valid, IsValidBpp(c.ext, c.bpp));
  }
}

TEST_F(FormatTables, InputFileFilter) {
  EXPECT_EQ(
      "All Supported Files|*.rle;*.dib;*.bmp|Windows or OS/2 Bitmap|*.bmp;*.dib;*.rle|"
      "All Files (*.*)|*.*",
      InputFileFilter());
}

TEST(FontAttributes, StyleAndEffect) {
  struct Case { int style; int effect; bool bold, italic, underline, strikeOut; };
  const Case kCases[] = {
      {0, 0, false, false, false, false}, {1, 0, true, false, false, false},
      {2, 0, false, true, false, false},  {3, 0, true, true, false, false},
      {0, 1, false, false, true, false},  {0, 2, false, false, false, true},
      {3, 2, true, true, false, true},
      {4, 3, false, false, false, false},  // out of range adds nothing
      {-1, -1, false, false, false, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.style) + "/" + std::to_string(c.effect));
    const FontAttributes a = FontAttributesFor(c.style, c.effect);
    EXPECT_EQ(c.bold, a.bold);
    EXPECT_EQ(c.italic, a.italic);
    EXPECT_EQ(c.underline, a.underline);
    EXPECT_EQ(c.strikeOut, a.strikeOut);
  }
}

}  // namespace
}  // namespace ravelin
