// The language table: every text the windows, messages and status lines show, found by a
// group name and a key, and the formatter that fills the placeholders "%s1%" to "%s4%".
// Start-up builds the process-wide table from the built-in English texts; the language-file
// reader of the settings layer may overlay it. Lookups run on the main thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ravelin {

// What a lookup gives for an unknown group or key.
inline constexpr char kNoStringError[] = "%NO_STRING_ERROR%";

// One pair of the text stream: ("_GROUP_", name) opens a group, (key, text) adds an entry
// to it, ("_END_", "") ends the stream. Texts are UTF-8.
struct LanguagePair {
  const char* first;
  const char* second;
};

// The built-in English stream, ended by its "_END_" pair.
extern const LanguagePair kBuiltInTexts[];
extern const size_t kBuiltInTextCount;

class LanguageTable {
 public:
  // Rebuilds the table from scratch out of the built-in English texts.
  void LoadBuiltIn();
  // Rebuilds the table from `count` pairs; reading stops at "_END_" or after `count` pairs.
  void Load(const LanguagePair* pairs, size_t count);

  // The entry's text, or kNoStringError. Group and key match without regard to letter case.
  // Remembers the group found, so consecutive lookups in one group skip the group search.
  std::string GetText(std::string_view group, std::string_view key) const;

  // Replaces every entry's text by lookup(group, key, current text); group and key are
  // handed over upper-cased, as the table holds them.
  void Overlay(const std::function<std::string(const std::string& group, const std::string& key,
                                               const std::string& current)>& lookup);

  // Number of groups and of the entries of one group (duplicates included; 0 when unknown).
  size_t GroupCount() const;
  size_t EntryCount(std::string_view group) const;

 private:
  struct Group {
    std::string name;  // upper-cased
    uint32_t first = 0;
    uint32_t last = 0;
    uint32_t byFirstChar[256] = {};  // first entry whose key begins with the code, or 0
  };
  struct Entry {
    std::u16string key;  // upper-cased; compared by UTF-16 code units
    std::string text;
  };

  size_t FindGroup(std::string_view upperName) const;

  std::vector<Group> groups_;    // record 0 stays empty and never matches
  std::vector<Entry> entries_;   // entry 0 holds nothing
  mutable size_t current_ = 0;   // the group the last lookup found
};

// Fills the placeholders "%s1%" to "%s4%" (any letter case) in order; an empty argument
// leaves its placeholder, and a placeholder brought in by an earlier argument is filled by a
// later one.
std::string FormatText(std::string_view text, std::string_view s1 = {}, std::string_view s2 = {},
                       std::string_view s3 = {}, std::string_view s4 = {});

// The process-wide table.
LanguageTable& GlobalLanguageTable();
// Builds the process-wide table from the built-in texts, from scratch. Returns true.
bool LoadLanguage();
// Lookup in the process-wide table.
std::string GetText(std::string_view group, std::string_view key);

}  // namespace ravelin
