#include "settings/keywords.h"

#include <cstddef>

#include "platform/text.h"

namespace ravelin {
namespace {

struct Keyword {
  const char* text;
  int8_t index;
};

struct Table {
  const Keyword* rows;
  size_t count;
  bool parsed;  // false for the tables that exist only to print a value
};

constexpr Keyword kDdsLoadAs[] = {{"AUTO", 0}, {"BGRA", 1}, {"RGBA", 2}};
constexpr Keyword kRawLoadAs[] = {{"AUTO", 0}, {"8", 1},    {"16", 2},
                                  {"24", 3},   {"48HS", 4}, {"48", 5}};
constexpr Keyword kFrameLoading[] = {
    {"ALL", 0}, {"FIRST", 1}, {"MIDDLE", 2}, {"LAST", 3}, {"RANDOM", 4}};
constexpr Keyword kToneMapping[] = {
    {"NONE", 0}, {"LINEAR", 1}, {"AL", 2}, {"DRR", 3}, {"GD", 4}};
// One index means a different compression for each output format, so several keywords
// share it; the first of each index is the one printed.
constexpr Keyword kCompression[] = {
    {"NONE", 0},
    {"RLE", 1},          {"ZIP", 1},   {"ZLIB1", 1}, {"CCITTFAX3", 1},
    {"PIZ", 2},          {"ZLIB6", 2}, {"CCITTFAX4", 2},
    {"PXR24", 3},        {"ZLIB9", 3}, {"PACKBITS", 3},
    {"B44", 4},          {"DEFLATE", 4},
    {"ADOBEDEFLATE", 5},
    {"LZW", 6},
    {"JPEG", 7},
    {"LOGLUV", 8},
};
constexpr Keyword kColorTable[] = {{"AUTO", 0}, {"EXACT", 1}};
constexpr Keyword kColorMode[] = {{"RGB", 0}, {"CMYK", 1}, {"LAB", 2}};
constexpr Keyword kChromaSubsampling[] = {{"NONE", 0}, {"LOW", 1}, {"MEDIUM", 2}, {"HIGH", 3}};
constexpr Keyword kJpegSaveAs[] = {
    {"STANDARD", 0}, {"SIMPLE", 1}, {"OPTIMIZED", 2}, {"PROGRESSIVE", 3}};
constexpr Keyword kRotationType[] = {{"SIMPLE", 0}, {"ADVANCED", 1}};
constexpr Keyword kSizeUnit[] = {{"PIXELS", 0}, {"PERCENT", 1}};
constexpr Keyword kResizeType[] = {{"ALLIMAGES", 0}, {"LARGEIMAGES", 1}};
constexpr Keyword kResizeFilter[] = {{"BOX", 0},     {"BILINEAR", 1},   {"BSPLINE", 2},
                                     {"BICUBIC", 3}, {"CATMULLROM", 4}, {"LANCZOS", 5}};
constexpr Keyword kDitherAlgorithm[] = {{"FS", 0},       {"BAYER4", 1},   {"BAYER8", 2},
                                        {"BAYER16", 3},  {"CLUSTER6", 4}, {"CLUSTER8", 5},
                                        {"CLUSTER16", 6}};
constexpr Keyword kFrameType[] = {{"NONE", 0}, {"SOLID", 1}};
constexpr Keyword kWatermarkType[] = {{"NONE", 0}, {"TEXT", 1}, {"IMAGE", 2}};
constexpr Keyword kFontStyle[] = {{"REGULAR", 0}, {"BOLD", 1}, {"ITALIC", 2}, {"BOLDITALIC", 3}};
// "STRIKETHROUGHT" is the keyword users and profiles already write.
constexpr Keyword kFontEffect[] = {{"NONE", 0}, {"UNDERLINE", 1}, {"STRIKETHROUGHT", 2}};
constexpr Keyword kTextAlignment[] = {{"LEFT", 0}, {"CENTER", 1}, {"RIGHT", 2}};
constexpr Keyword kBoundary[] = {{"IMAGE", 0}, {"FRAME", 1}};
constexpr Keyword kPosition[] = {
    {"TOPLEFT", 0},    {"TOPCENTER", 1},    {"TOPRIGHT", 2},
    {"MIDDLELEFT", 3}, {"MIDDLECENTER", 4}, {"MIDDLERIGHT", 5},
    {"BOTTOMLEFT", 6}, {"BOTTOMCENTER", 7}, {"BOTTOMRIGHT", 8}};
constexpr Keyword kSizeMode[] = {{"FIXED", 0}};
constexpr Keyword kFileTimestamp[] = {{"CURRENT", 0}, {"ORIGINAL", 1}, {"CUSTOM", 2}};

template <size_t N>
constexpr Table Rows(const Keyword (&rows)[N], bool parsed = true) {
  return Table{rows, N, parsed};
}

// Indexed by table number.
constexpr Table kTables[kKeywordTableCount] = {
    Rows(kDdsLoadAs),        Rows(kRawLoadAs),        Rows(kFrameLoading),
    Rows(kToneMapping),      Rows(kCompression),      Rows(kColorTable),
    Rows(kColorMode),        Rows(kChromaSubsampling), Rows(kJpegSaveAs),
    Rows(kRotationType),     Rows(kSizeUnit),         Rows(kResizeType),
    Rows(kResizeFilter),     Rows(kDitherAlgorithm),  Rows(kFrameType, false),
    Rows(kWatermarkType, false), Rows(kFontStyle),    Rows(kFontEffect),
    Rows(kTextAlignment),    Rows(kBoundary),         Rows(kPosition),
    Rows(kSizeMode),         Rows(kFileTimestamp),
};

const Table* FindTable(int table) {
  if (table < 0 || table >= kKeywordTableCount) return nullptr;
  return &kTables[table];
}

}  // namespace

int8_t KeywordToIndex(int table, std::string_view text) {
  const Table* rows = FindTable(table);
  if (rows == nullptr || !rows->parsed || text.empty()) return 0;
  const std::string upper = ToUpperUnicode(text);
  for (size_t i = 0; i < rows->count; ++i) {
    if (upper == rows->rows[i].text) return rows->rows[i].index;
  }
  return 0;
}

int8_t KeywordToIndex(KeywordTable table, std::string_view text) {
  return KeywordToIndex(static_cast<int>(table), text);
}

std::string IndexToKeyword(int table, int index) {
  const Table* rows = FindTable(table);
  if (rows == nullptr) return std::string();
  for (size_t i = 0; i < rows->count; ++i) {
    if (rows->rows[i].index == index) return ToLowerAscii(rows->rows[i].text);
  }
  return std::string();
}

std::string IndexToKeyword(KeywordTable table, int index) {
  return IndexToKeyword(static_cast<int>(table), index);
}

std::vector<std::string> TableKeywords(KeywordTable table) {
  std::vector<std::string> words;
  const Table* rows = FindTable(static_cast<int>(table));
  if (rows == nullptr || !rows->parsed) return words;
  for (size_t i = 0; i < rows->count; ++i) words.push_back(ToLowerAscii(rows->rows[i].text));
  return words;
}

}  // namespace ravelin
