#include "settings/keywords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace ravelin {
namespace {

struct Row {
  const char* keyword;
  int index;
};
struct TableCase {
  KeywordTable table;
  std::vector<Row> rows;
};

// Every table as users write it, in table order.
const std::vector<TableCase>& AllTables() {
  static const std::vector<TableCase> tables = {
      {KeywordTable::DdsLoadAs, {{"AUTO", 0}, {"BGRA", 1}, {"RGBA", 2}}},
      {KeywordTable::RawLoadAs, {{"AUTO", 0}, {"8", 1}, {"16", 2}, {"24", 3}, {"48HS", 4}, {"48", 5}}},
      {KeywordTable::FrameLoading, {{"ALL", 0}, {"FIRST", 1}, {"MIDDLE", 2}, {"LAST", 3}, {"RANDOM", 4}}},
      {KeywordTable::ToneMapping, {{"NONE", 0}, {"LINEAR", 1}, {"AL", 2}, {"DRR", 3}, {"GD", 4}}},
      {KeywordTable::Compression,
       {{"NONE", 0}, {"RLE", 1}, {"ZIP", 1}, {"ZLIB1", 1}, {"CCITTFAX3", 1}, {"PIZ", 2},
        {"ZLIB6", 2}, {"CCITTFAX4", 2}, {"PXR24", 3}, {"ZLIB9", 3}, {"PACKBITS", 3}, {"B44", 4},
        {"DEFLATE", 4}, {"ADOBEDEFLATE", 5}, {"LZW", 6}, {"JPEG", 7}, {"LOGLUV", 8}}},
      {KeywordTable::ColorTable, {{"AUTO", 0}, {"EXACT", 1}}},
      {KeywordTable::ColorMode, {{"RGB", 0}, {"CMYK", 1}, {"LAB", 2}}},
      {KeywordTable::ChromaSubsampling, {{"NONE", 0}, {"LOW", 1}, {"MEDIUM", 2}, {"HIGH", 3}}},
      {KeywordTable::JpegSaveAs, {{"STANDARD", 0}, {"SIMPLE", 1}, {"OPTIMIZED", 2}, {"PROGRESSIVE", 3}}},
      {KeywordTable::RotationType, {{"SIMPLE", 0}, {"ADVANCED", 1}}},
      {KeywordTable::SizeUnit, {{"PIXELS", 0}, {"PERCENT", 1}}},
      {KeywordTable::ResizeType, {{"ALLIMAGES", 0}, {"LARGEIMAGES", 1}}},
      {KeywordTable::ResizeFilter,
       {{"BOX", 0}, {"BILINEAR", 1}, {"BSPLINE", 2}, {"BICUBIC", 3}, {"CATMULLROM", 4}, {"LANCZOS", 5}}},
      {KeywordTable::DitherAlgorithm,
       {{"FS", 0}, {"BAYER4", 1}, {"BAYER8", 2}, {"BAYER16", 3}, {"CLUSTER6", 4}, {"CLUSTER8", 5},
        {"CLUSTER16", 6}}},
      {KeywordTable::FrameType, {{"NONE", 0}, {"SOLID", 1}}},
      {KeywordTable::WatermarkType, {{"NONE", 0}, {"TEXT", 1}, {"IMAGE", 2}}},
      {KeywordTable::FontStyle, {{"REGULAR", 0}, {"BOLD", 1}, {"ITALIC", 2}, {"BOLDITALIC", 3}}},
      {KeywordTable::FontEffect, {{"NONE", 0}, {"UNDERLINE", 1}, {"STRIKETHROUGHT", 2}}},
      {KeywordTable::TextAlignment, {{"LEFT", 0}, {"CENTER", 1}, {"RIGHT", 2}}},
      {KeywordTable::Boundary, {{"IMAGE", 0}, {"FRAME", 1}}},
      {KeywordTable::Position,
       {{"TOPLEFT", 0}, {"TOPCENTER", 1}, {"TOPRIGHT", 2}, {"MIDDLELEFT", 3}, {"MIDDLECENTER", 4},
        {"MIDDLERIGHT", 5}, {"BOTTOMLEFT", 6}, {"BOTTOMCENTER", 7}, {"BOTTOMRIGHT", 8}}},
      {KeywordTable::SizeMode, {{"FIXED", 0}}},
      {KeywordTable::FileTimestamp, {{"CURRENT", 0}, {"ORIGINAL", 1}, {"CUSTOM", 2}}},
  };
  return tables;
}

bool PrintingOnly(KeywordTable table) {
  return table == KeywordTable::FrameType || table == KeywordTable::WatermarkType;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

TEST(KeywordTables, EveryKeywordParsesToItsIndexInAnyCase) {
  ASSERT_EQ(static_cast<size_t>(kKeywordTableCount), AllTables().size());
  for (const TableCase& t : AllTables()) {
    for (const Row& row : t.rows) {
      SCOPED_TRACE(std::to_string(static_cast<int>(t.table)) + " " + row.keyword);
      const int expected = PrintingOnly(t.table) ? 0 : row.index;
      EXPECT_EQ(expected, KeywordToIndex(t.table, row.keyword));
      EXPECT_EQ(expected, KeywordToIndex(t.table, Lower(row.keyword)));
      EXPECT_EQ(expected, KeywordToIndex(static_cast<int>(t.table), row.keyword));
    }
  }
}

TEST(KeywordTables, EveryIndexPrintsItsFirstKeywordLowered) {
  for (const TableCase& t : AllTables()) {
    int highest = 0;
    std::vector<bool> seen(16, false);
    for (const Row& row : t.rows) {
      highest = std::max(highest, row.index);
      if (seen[row.index]) continue;  // a later keyword of a shared index is never printed
      seen[row.index] = true;
      SCOPED_TRACE(std::to_string(static_cast<int>(t.table)) + " " + row.keyword);
      EXPECT_EQ(Lower(row.keyword), IndexToKeyword(t.table, row.index));
    }
    EXPECT_EQ("", IndexToKeyword(t.table, highest + 1));
    EXPECT_EQ("", IndexToKeyword(t.table, -1));
  }
}

TEST(KeywordTables, ParsingEdgeCases) {
  struct Case { const char* why; int table; const char* text; int expected; };
  const Case kCases[] = {
      {"mixed case", 12, "LaNcZoS", 5},
      {"callers trim: a leading space does not match", 12, " LANCZOS", 0},
      {"a trailing space does not match either", 12, "LANCZOS ", 0},
      {"48HS before 48", 1, "48hs", 4},
      {"48 alone", 1, "48", 5},
      {"unknown bit depth", 1, "32", 0},
      {"ZIP shares index 1", 4, "zip", 1},
      {"RLE shares index 1", 4, "RLE", 1},
      {"a keyword of another table", 4, "LANCZOS", 0},
      {"the only size mode", 21, "FIXED", 0},
      {"any other size mode", 21, "FIT", 0},
      {"printing-only frame type", 14, "SOLID", 0},
      {"printing-only watermark type", 15, "IMAGE", 0},
      {"empty text", 12, "", 0},
      {"table below range", -1, "LANCZOS", 0},
      {"table above range", 23, "LANCZOS", 0},
      {"misspelt effect is the accepted one", 17, "strikethrough", 0},
      {"effect as users write it", 17, "StrikeThrought", 2},
      // Full Unicode upper-casing, not just A-Z: dotless i upper-cases to I.
      {"dotless i upper-cases to I", 3, "l\xC4\xB1near", 1},
      {"a non-ASCII letter never matches", 18, "l\xC3\xA9" "ft", 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(c.expected, KeywordToIndex(c.table, c.text));
  }
}

TEST(KeywordTables, PrintingEdgeCases) {
  struct Case { const char* why; int table; int index; const char* expected; };
  const Case kCases[] = {
      {"first keyword of a shared index", 4, 1, "rle"},
      {"shared index 2", 4, 2, "piz"},
      {"shared index 3", 4, 3, "pxr24"},
      {"shared index 4", 4, 4, "b44"},
      {"printing-only tables still print", 15, 1, "text"},
      {"frame type", 14, 1, "solid"},
      {"position", 20, 8, "bottomright"},
      {"size mode has only index 0", 21, 2, ""},
      {"unknown table", 23, 0, ""},
      {"negative table", -1, 0, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(c.expected, IndexToKeyword(c.table, c.index));
  }
}

}  // namespace
}  // namespace ravelin
