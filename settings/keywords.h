// The keyword tables of the enumerated settings: each table pairs upper-case keywords with
// the small index a setting stores. The option table and the profile reader turn a keyword
// into an index; the console echo prints an index back as its lower-case keyword.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ravelin {

// Table numbers; a setting's comment in the option table names the table it uses.
enum class KeywordTable : int {
  DdsLoadAs = 0,
  RawLoadAs = 1,
  FrameLoading = 2,
  ToneMapping = 3,
  Compression = 4,
  ColorTable = 5,
  ColorMode = 6,
  ChromaSubsampling = 7,
  JpegSaveAs = 8,
  RotationType = 9,
  SizeUnit = 10,
  ResizeType = 11,
  ResizeFilter = 12,
  DitherAlgorithm = 13,
  FrameType = 14,      // printing only
  WatermarkType = 15,  // printing only
  FontStyle = 16,
  FontEffect = 17,
  TextAlignment = 18,
  Boundary = 19,
  Position = 20,
  SizeMode = 21,
  FileTimestamp = 22,
};
inline constexpr int kKeywordTableCount = 23;

// The index of the first keyword of `table` equal to `text` after full Unicode upper-casing.
// No match, an empty text, a printing-only table (14, 15) or an unknown table give 0;
// callers trim the value first.
int8_t KeywordToIndex(int table, std::string_view text);
int8_t KeywordToIndex(KeywordTable table, std::string_view text);

// The printing name of `index` (the first keyword with that index) in lower case, or ""
// when the table has no such index or is unknown.
std::string IndexToKeyword(int table, int index);
std::string IndexToKeyword(KeywordTable table, int index);

// Every keyword `table` accepts, in table order and lower case (none for a printing-only table).
std::vector<std::string> TableKeywords(KeywordTable table);

}  // namespace ravelin
