#include "platform/text.h"

#include <clocale>
#include <cwctype>
#include <locale.h>

namespace ravelin {
namespace {

// A UTF-8 character-type locale of our own, so case mapping does not depend on the
// locale the program was started in.
locale_t Utf8Locale() {
  static locale_t locale = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (l == static_cast<locale_t>(0)) l = newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
    return l;
  }();
  return locale;
}

// Decodes one UTF-8 sequence at text[i]; returns false for a malformed one.
bool DecodeUtf8(std::string_view text, size_t* i, char32_t* out) {
  const unsigned char c = static_cast<unsigned char>(text[*i]);
  size_t length = 0;
  char32_t value = 0;
  if (c < 0x80) { *out = c; ++*i; return true; }
  if ((c & 0xE0) == 0xC0) { length = 2; value = c & 0x1F; }
  else if ((c & 0xF0) == 0xE0) { length = 3; value = c & 0x0F; }
  else if ((c & 0xF8) == 0xF0) { length = 4; value = c & 0x07; }
  else return false;
  if (*i + length > text.size()) return false;
  for (size_t k = 1; k < length; ++k) {
    const unsigned char next = static_cast<unsigned char>(text[*i + k]);
    if ((next & 0xC0) != 0x80) return false;
    value = (value << 6) | (next & 0x3F);
  }
  static const char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kMinimum[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
  *out = value;
  *i += length;
  return true;
}

void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

template <typename Map>
std::string MapUnicode(std::string_view text, Map map) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    char32_t c = 0;
    const size_t start = i;
    if (!DecodeUtf8(text, &i, &c)) {
      // Bytes that are not UTF-8 pass through unchanged.
      out.push_back(text[start]);
      i = start + 1;
      continue;
    }
    AppendUtf8(static_cast<char32_t>(map(static_cast<wint_t>(c), Utf8Locale())), &out);
  }
  return out;
}

}  // namespace

std::string ToUpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string ToLowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string ToUpperUnicode(std::string_view text) { return MapUnicode(text, towupper_l); }
std::string ToLowerUnicode(std::string_view text) { return MapUnicode(text, towlower_l); }

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    char32_t c = 0;
    const size_t start = i;
    if (!DecodeUtf8(text, &i, &c)) {
      out.push_back(static_cast<unsigned char>(text[start]));
      i = start + 1;
    } else if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

std::string TrimBlanksAndTabs(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  return std::string(text.substr(begin, end - begin));
}

std::string TrimSpaces(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  return std::string(text.substr(begin, end - begin));
}

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ToUpperAscii(a) == ToUpperAscii(b);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::string ReplaceAllIgnoreCase(std::string_view text, std::string_view token,
                                 std::string_view value) {
  if (token.empty()) return std::string(text);
  const std::string upperText = ToUpperAscii(text);
  const std::string upperToken = ToUpperAscii(token);
  std::string out;
  size_t from = 0;
  for (;;) {
    const size_t at = upperText.find(upperToken, from);
    if (at == std::string::npos) break;
    out.append(text.substr(from, at - from));
    out.append(value);
    from = at + token.size();
  }
  out.append(text.substr(from));
  return out;
}

}  // namespace ravelin
