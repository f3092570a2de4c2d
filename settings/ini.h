// The INI syntax shared by the configuration file, profiles and language files: one reader
// (groups and keys matched in any ASCII letter case, the first group of a name and the first
// key within it winning) and one writer (BOM, CR LF, "key = value" lines). The configuration
// file, the profile reader and the language loader call it; nothing here reports to the user.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ravelin {

// Files larger than this are not settings files; reading one fails as if it could not be
// opened. It keeps the in-memory index of a hostile file within a few hundred megabytes.
inline constexpr int64_t kMaxIniFileBytes = 16 * 1024 * 1024;

class IniFile;

// A view of one group of an IniFile (valid while the file lives). A missing group is empty.
class IniGroup {
 public:
  bool exists() const { return file_ != nullptr; }
  // Key lines in file order: the key without trailing blanks and tabs, the value without
  // leading ones (a line without "=" has an empty value).
  size_t size() const { return end_ - begin_; }
  std::string_view key(size_t i) const;
  std::string_view value(size_t i) const;

  // The value of the first line with this key (ASCII case ignored); false when there is none.
  bool Find(std::string_view key, std::string_view* value) const;
  // Typed reads: a missing key gives `fallback`; a present one is read by the rules below.
  int32_t ReadInteger(std::string_view key, int32_t fallback) const;
  float ReadReal(std::string_view key, float fallback) const;
  // Texts are read without leading and trailing blanks and tabs.
  std::string ReadText(std::string_view key, const std::string& fallback) const;

 private:
  friend class IniFile;
  const IniFile* file_ = nullptr;
  size_t begin_ = 0;
  size_t end_ = 0;
};

class IniFile {
 public:
  // Reads and parses a file; false (leaving no groups) when it cannot be opened, is not a
  // regular file or is larger than kMaxIniFileBytes.
  bool Load(const std::string& path);
  // Parses the bytes of a file: UTF-8 after a byte-order mark (bytes kept as they are);
  // without a mark UTF-8 when the bytes are well-formed UTF-8, else ISO-8859-1, each byte one
  // character, held as UTF-8. More than kMaxIniFileBytes
  // parse as an empty file.
  void Parse(std::string_view bytes);

  // The first group of that name (ASCII case ignored).
  IniGroup Group(std::string_view name) const;

 private:
  friend class IniGroup;
  // Offsets into text_; 32 bits suffice under kMaxIniFileBytes (doubled by ISO-8859-1).
  struct Span {
    uint32_t offset;
    uint32_t length;
  };
  struct Entry {
    Span key;
    Span value;
  };
  struct GroupRange {
    Span name;
    uint32_t firstEntry;
    uint32_t endEntry;
  };
  std::string_view View(Span span) const { return std::string_view(text_).substr(span.offset, span.length); }

  std::string text_;
  std::vector<Entry> entries_;
  std::vector<GroupRange> groups_;
};

// Integer rule of settings files: white space skipped, an optional sign, decimal digits up to
// the first other character; no digits give 0. Larger numbers keep their low 32 bits.
int32_t ParseDecimalInteger(std::string_view text);
// Real rule: "+Infinity", "-Infinity", "NaN" in any case; else a decimal number with "." read
// as far as it goes (no number gives 0). Numbers beyond the float range become infinite.
float ParseReal(std::string_view text);
// A real as written: six decimals and "." whatever the locale; the special values as the
// words ParseReal reads back.
std::string FormatReal(float value);

// Builds a settings file in memory and stores it in one piece.
class IniWriter {
 public:
  IniWriter();  // starts with the byte-order mark
  void EmptyLine();
  void Header(std::string_view group);
  // "key = value"; a line break in the value is written as a blank (a line cannot hold one).
  void Key(std::string_view key, std::string_view value);
  // The comment line "; " followed by `text`.
  void Comment(std::string_view text = {});

  const std::string& bytes() const { return bytes_; }

  // Writes the file beside `path` under a temporary name and renames it over `path` only when
  // it is completely written and flushed, so a failed save leaves the old file as it was.
  // False when the file could not be written; callers may ignore it.
  bool Save(const std::string& path) const;

 private:
  void Line(std::string_view text);
  std::string bytes_;
};

}  // namespace ravelin
