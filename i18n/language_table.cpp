#include "i18n/language_table.h"

#include <algorithm>
#include <cstring>

#include "platform/text.h"

namespace ravelin {
namespace {

constexpr char kGroupMarker[] = "_GROUP_";
constexpr char kEndMarker[] = "_END_";

// Group names and keys are ASCII, so ASCII case folding matches every one of them.
std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

bool Is(const char* text, const char* marker) {
  return text != nullptr && std::strcmp(text, marker) == 0;
}

const char* OrEmpty(const char* text) { return text != nullptr ? text : ""; }

// Placeholder match without regard to ASCII letter case; inserted text is not scanned again.
std::string ReplacePlaceholder(const std::string& text, std::string_view placeholder,
                               std::string_view value) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    bool match = i + placeholder.size() <= text.size();
    for (size_t k = 0; match && k < placeholder.size(); ++k) {
      char c = text[i + k];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      match = c == placeholder[k];
    }
    if (match) {
      out.append(value);
      i += placeholder.size();
    } else {
      out.push_back(text[i]);
      ++i;
    }
  }
  return out;
}

}  // namespace

void LanguageTable::LoadBuiltIn() { Load(kBuiltInTexts, kBuiltInTextCount); }

void LanguageTable::Load(const LanguagePair* pairs, size_t count) {
  // First pass: how many groups and entries the stream holds.
  size_t groupCount = 0;
  size_t entryCount = 0;
  size_t pairCount = 0;
  for (; pairs != nullptr && pairCount < count; ++pairCount) {
    const char* first = pairs[pairCount].first;
    if (Is(first, kEndMarker)) break;
    if (Is(first, kGroupMarker)) ++groupCount; else ++entryCount;
  }

  groups_.assign(groupCount + 1, Group{});
  entries_.assign(entryCount + 1, Entry{});
  current_ = 0;

  // Second pass: fill the records; a group's range closes when the next one opens.
  uint32_t g = 0;
  uint32_t n = 0;
  for (size_t p = 0; p < pairCount; ++p) {
    const LanguagePair& pair = pairs[p];
    if (Is(pair.first, kGroupMarker)) {
      groups_[g].last = n;
      ++g;
      groups_[g].name = UpperAscii(OrEmpty(pair.second));
      groups_[g].first = n + 1;
    } else {
      ++n;
      entries_[n].key = Utf8ToUtf16(UpperAscii(OrEmpty(pair.first)));
      entries_[n].text = OrEmpty(pair.second);
    }
  }
  groups_[g].last = n;

  for (size_t i = 1; i < groups_.size(); ++i) {
    Group& group = groups_[i];
    if (group.first > group.last) continue;
    std::stable_sort(entries_.begin() + group.first, entries_.begin() + group.last + 1,
                     [](const Entry& a, const Entry& b) { return a.key < b.key; });
    // Keys beginning with a code of 256 or more cannot be indexed and so are never found.
    bool havePrevious = false;
    char16_t previous = 0;
    for (uint32_t e = group.first; e <= group.last; ++e) {
      const std::u16string& key = entries_[e].key;
      const char16_t c = key.empty() ? 0 : key[0];
      if (!havePrevious || c != previous) {
        if (c < 256 && !key.empty()) group.byFirstChar[c] = e;
        previous = c;
        havePrevious = true;
      }
    }
  }
}

size_t LanguageTable::FindGroup(std::string_view upperName) const {
  for (size_t i = 1; i < groups_.size(); ++i) {
    if (groups_[i].name == upperName) return i;
  }
  return 0;
}

std::string LanguageTable::GetText(std::string_view group, std::string_view key) const {
  if (groups_.empty()) return kNoStringError;
  const std::string upperGroup = UpperAscii(group);
  if (current_ >= groups_.size() || groups_[current_].name != upperGroup) {
    current_ = FindGroup(upperGroup);
  }
  if (current_ == 0) return kNoStringError;

  const Group& found = groups_[current_];
  const std::u16string upperKey = Utf8ToUtf16(UpperAscii(key));
  // A sought key beginning with a code of 256 or more has no slot in the index.
  if (upperKey.empty() || upperKey[0] >= 256) return kNoStringError;
  uint32_t i = found.byFirstChar[upperKey[0]];
  if (i == 0) return kNoStringError;
  // The group is sorted: scan forward until the key is found or sorts before an entry.
  for (; i <= found.last; ++i) {
    const int order = upperKey.compare(entries_[i].key);
    if (order == 0) return entries_[i].text;
    if (order < 0) return kNoStringError;
  }
  return kNoStringError;
}

void LanguageTable::Overlay(
    const std::function<std::string(const std::string& group, const std::string& key,
                                    const std::string& current)>& lookup) {
  if (!lookup) return;
  for (size_t g = 1; g < groups_.size(); ++g) {
    const Group& group = groups_[g];
    for (uint32_t e = group.first; e <= group.last; ++e) {
      Entry& entry = entries_[e];
      std::string key;
      for (char16_t c : entry.key) key.push_back(static_cast<char>(c));  // keys are ASCII
      entry.text = lookup(group.name, key, entry.text);
    }
  }
}

size_t LanguageTable::GroupCount() const { return groups_.empty() ? 0 : groups_.size() - 1; }

size_t LanguageTable::EntryCount(std::string_view group) const {
  const size_t g = FindGroup(UpperAscii(group));
  if (g == 0 || groups_[g].first > groups_[g].last) return 0;
  return groups_[g].last - groups_[g].first + 1;
}

std::string FormatText(std::string_view text, std::string_view s1, std::string_view s2,
                       std::string_view s3, std::string_view s4) {
  std::string out(text);
  if (out.empty()) return out;
  const std::string_view arguments[] = {s1, s2, s3, s4};
  static constexpr std::string_view kPlaceholders[] = {"%s1%", "%s2%", "%s3%", "%s4%"};
  for (size_t k = 0; k < 4; ++k) {
    if (!arguments[k].empty()) out = ReplacePlaceholder(out, kPlaceholders[k], arguments[k]);
  }
  return out;
}

LanguageTable& GlobalLanguageTable() {
  static LanguageTable table;
  return table;
}

bool LoadLanguage() {
  GlobalLanguageTable().LoadBuiltIn();
  return true;
}

std::string GetText(std::string_view group, std::string_view key) {
  return GlobalLanguageTable().GetText(group, key);
}

}  // namespace ravelin
