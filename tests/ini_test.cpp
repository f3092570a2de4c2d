#include "settings/ini.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "tests/support/scratch.h"

namespace ravelin {
namespace {

using namespace std::string_literals;

IniFile Parsed(const std::string& bytes) {
  IniFile file;
  file.Parse(bytes);
  return file;
}

struct LookupCase {
  const char* why;
  std::string bytes;
  const char* group;
  const char* key;
  bool found;
  std::string value;  // raw value as stored (leading blanks gone, trailing kept)
};

const LookupCase kLookups[] = {
    {"UTF-8 after a byte-order mark is kept", "\xEF\xBB\xBF[G]\r\nk = caf\xC3\xA9", "G", "k", true, "caf\xC3\xA9"},
    {"no mark, not UTF-8: each byte is an ISO-8859-1 character", "[G]\nk=caf\xE9", "G", "k", true, "caf\xC3\xA9"},
    {"no mark, well-formed UTF-8 is kept", "[G]\nk=caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "G", "k", true,
     "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
    // One ill-formed sequence anywhere makes the whole file ISO-8859-1.
    {"no mark, UTF-8 cut short at the end", "[G]\nk=\xC3\xA9\xC3", "G", "k", true, "\xC3\x83\xC2\xA9\xC3\x83"},
    {"no mark, overlong form", "[G]\nk=\xC0\xAF", "G", "k", true, "\xC3\x80\xC2\xAF"},
    {"no mark, surrogate", "[G]\nk=\xED\xA0\x80", "G", "k", true, "\xC3\xAD\xC2\xA0\xC2\x80"},
    {"no mark, above U+10FFFF", "[G]\nk=\xF4\x90\x80\x80", "G", "k", true, "\xC3\xB4\xC2\x90\xC2\x80\xC2\x80"},
    {"a mark is not taken as part of the first header", "\xEF\xBB\xBF[G]\nk=1", "G", "k", true, "1"},
    {"CR alone ends lines", "[G]\rk=1\rj=2", "G", "j", true, "2"},
    {"LF alone ends lines", "[G]\nk=1\nj=2", "G", "j", true, "2"},
    {"CR LF ends lines", "[G]\r\nk=1\r\nj=2\r\n", "G", "j", true, "2"},
    {"empty lines and leading blanks are ignored", "\n\n \t[G]\n\n\t  k=1\n", "G", "k", true, "1"},
    {"key trimmed at its end, value at its start", "[G]\nk \t= \t v \t", "G", "k", true, "v \t"},
    {"a value may hold further '='", "[G]\nk=a=b", "G", "k", true, "a=b"},
    {"a line without '=' is a key with an empty value", "[G]\nk  ", "G", "k", true, ""},
    {"a comment line is no key", "[G]\n;k=1\n  ; j=2", "G", "k", false, ""},
    {"a header runs to ']'", "[G]x\nk=1", "G", "k", true, "1"},
    {"a header without ']' runs to the line end", "[G\nk=1", "G", "k", true, "1"},
    {"group and key in any ASCII case", "[gEnErAl]\nCfG=3", "GENERAL", "cfg", true, "3"},
    {"the first group of a name wins", "[G]\nk=1\n[g]\nk=2\nj=3", "G", "j", false, ""},
    {"the first key within it wins", "[G]\nk=1\nK=2", "G", "k", true, "1"},
    {"a key is found only up to the next header", "[G]\n[H]\nk=1", "G", "k", false, ""},
    {"lines before the first header belong to no group", "k=1\n[G]", "G", "k", false, ""},
    {"NUL bytes are ordinary characters", "[G]\nk=a\0b"s, "G", "k", true, "a\0b"s},
    {"invalid UTF-8 after a mark is kept as it is", "\xEF\xBB\xBF[G]\nk=\xC3(\xFF", "G", "k", true, "\xC3(\xFF"},
};

TEST(IniSyntax, FindsKeysByTheRules) {
  for (const LookupCase& c : kLookups) {
    SCOPED_TRACE(c.why);
    const IniFile file = Parsed(c.bytes);
    std::string_view value;
    ASSERT_EQ(c.found, file.Group(c.group).Find(c.key, &value));
    if (c.found) {
      EXPECT_EQ(c.value, value);
    }
  }
}

TEST(IniSyntax, WalksTheFirstGroupInFileOrder) {
  const IniFile file = Parsed("[cli]\n--B = 2\n; note\n--A=1\n--B = 3\n[Other]\n--C=4\n[CLI]\n--D=5\n");
  const IniGroup group = file.Group("CLI");
  ASSERT_EQ(3u, group.size());
  EXPECT_EQ("--B", group.key(0));
  EXPECT_EQ("2", group.value(0));
  EXPECT_EQ("--A", group.key(1));
  EXPECT_EQ("3", group.value(2));
  EXPECT_FALSE(file.Group("Missing").exists());
  EXPECT_EQ(0u, file.Group("Missing").size());
}

TEST(IniSyntax, TextsAreTrimmedAndMissingKeysTakeTheFallback) {
  const IniFile file = Parsed("[G]\nname =  Arial \t\nempty=\n");
  const IniGroup group = file.Group("G");
  EXPECT_EQ("Arial", group.ReadText("name", "x"));
  EXPECT_EQ("", group.ReadText("empty", "x"));
  EXPECT_EQ("x", group.ReadText("missing", "x"));
  EXPECT_EQ(510, group.ReadInteger("missing", 510));
  EXPECT_EQ(0, group.ReadInteger("empty", 510));
  EXPECT_FLOAT_EQ(1.0f, group.ReadReal("missing", 1.0f));
}

TEST(IniValues, IntegerRule) {
  struct Case { const char* text; int32_t expected; };
  const Case kCases[] = {
      {"12", 12},           {"  -7x", -7},         {"\t+5", 5},
      {"", 0},              {"abc", 0},            {"-", 0},
      {"12px", 12},         {"1 2", 1},            {"$10", 0},
      {"-2147483648", std::numeric_limits<int32_t>::min()},
      {"2147483648", std::numeric_limits<int32_t>::min()},  // low 32 bits
      {"4294967297", 1},    {"99999999999999999999", 1661992959},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.expected, ParseDecimalInteger(c.text));
  }
}

TEST(IniValues, RealRule) {
  const float inf = std::numeric_limits<float>::infinity();
  struct Case { const char* text; float expected; };
  const Case kCases[] = {
      {"1.5", 1.5f},        {"  -0.25", -0.25f},   {"+2", 2.0f},
      {"1,5", 1.0f},        {"abc", 0.0f},         {"", 0.0f},
      {".5", 0.5f},         {"5.", 5.0f},          {"1e3", 1000.0f},
      {"2e", 2.0f},         {"+Infinity", inf},    {"-INFINITY", -inf},
      {"Infinity", 0.0f},   {"inf", 0.0f},         {"0x10", 0.0f},
      {"1e999", inf},       {"-1e999", -inf},      {"1e-999", 0.0f},
      {"0.0000000000000000000000000000000000000000000000000001", 0.0f},
      {"340282350000000000000000000000000000000000", inf},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.expected, ParseReal(c.text));
  }
  EXPECT_TRUE(std::isnan(ParseReal("nan")));
  EXPECT_TRUE(std::isnan(ParseReal(" NaN ")));
}

TEST(IniValues, RealsAreWrittenWithSixDecimalsAndReadBack) {
  EXPECT_EQ("1.000000", FormatReal(1.0f));
  EXPECT_EQ("0.010000", FormatReal(0.01f));
  EXPECT_EQ("-2.500000", FormatReal(-2.5f));
  EXPECT_EQ("+Infinity", FormatReal(std::numeric_limits<float>::infinity()));
  EXPECT_EQ("-Infinity", FormatReal(-std::numeric_limits<float>::infinity()));
  EXPECT_EQ("NaN", FormatReal(std::numeric_limits<float>::quiet_NaN()));
  for (const float value : {9.99f, -std::numeric_limits<float>::infinity(), 3.0e38f}) {
    EXPECT_EQ(FormatReal(value), FormatReal(ParseReal(FormatReal(value))));
  }
}

TEST(IniWriter, WritesMarkHeadersKeysAndComments) {
  IniWriter writer;
  writer.EmptyLine();
  writer.Header("General");
  writer.Key("CFG", "19");
  writer.Key("Text", "two\r\nlines\nand\r[Advanced]");
  writer.Comment();
  EXPECT_EQ("\xEF\xBB\xBF\r\n[General]\r\nCFG = 19\r\nText = two lines and [Advanced]\r\n; \r\n", writer.bytes());
  // What it writes, the reader reads back.
  const IniFile file = Parsed(writer.bytes());
  EXPECT_EQ("19", file.Group("General").ReadText("CFG", ""));
  EXPECT_FALSE(file.Group("Advanced").exists());
}

TEST(IniHostile, NeverCrashesOrHangs) {
  std::mt19937 random(7);
  std::string garbage(1 << 20, '\0');
  for (char& c : garbage) c = static_cast<char>(random());
  Parsed(garbage).Group("G").ReadInteger("k", 0);
  Parsed("\xEF\xBB\xBF" + garbage).Group("G").ReadReal("k", 0);

  // One line of 10 MB without a line end, numbers that overflow every type.
  const std::string longValue(10 * 1024 * 1024, '9');
  const IniFile file = Parsed("[G]\nk=" + longValue);
  EXPECT_EQ(longValue.size(), file.Group("G").ReadText("k", "").size());
  file.Group("G").ReadInteger("k", 0);
  EXPECT_EQ(std::numeric_limits<float>::infinity(), file.Group("G").ReadReal("k", 0));

  // Millions of tiny lines and headers stay linear.
  std::string many;
  for (int i = 0; i < 1000000; ++i) many += i % 2 ? "a\n" : "[\n";
  Parsed(many).Group("a").ReadText("a", "");

  // Every truncation of a small file parses.
  const std::string valid = "\xEF\xBB\xBF\r\n[General]\r\nCFG = 19\r\n; \r\n[Window]\r\nX=1";
  for (size_t n = 0; n <= valid.size(); ++n) Parsed(valid.substr(0, n)).Group("Window").ReadInteger("X", 0);
}

TEST(IniFileLoad, RefusesWhatIsNoSettingsFile) {
  test::ScratchDir dir;
  ASSERT_TRUE(test::WriteBytes(dir / "ok.ini", {'[', 'G', ']', '\n', 'k', '=', '1'}));
  IniFile file;
  EXPECT_TRUE(file.Load(dir / "ok.ini"));
  EXPECT_EQ(1, file.Group("G").ReadInteger("k", 0));

  EXPECT_FALSE(file.Load(dir / "missing.ini"));
  EXPECT_FALSE(file.Group("G").exists()) << "a failed load leaves nothing of an earlier one";
  EXPECT_FALSE(file.Load(dir.path()));
  ASSERT_EQ(0, mkfifo((dir / "fifo").c_str(), 0600));
  EXPECT_FALSE(file.Load(dir / "fifo")) << "a FIFO is refused without blocking";

  std::vector<uint8_t> big(static_cast<size_t>(kMaxIniFileBytes) + 1, 'a');
  ASSERT_TRUE(test::WriteBytes(dir / "big.ini", big));
  EXPECT_FALSE(file.Load(dir / "big.ini"));
  big.pop_back();
  ASSERT_TRUE(test::WriteBytes(dir / "big.ini", big));
  EXPECT_TRUE(file.Load(dir / "big.ini"));
}

}  // namespace
}  // namespace ravelin
