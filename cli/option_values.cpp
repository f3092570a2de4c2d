#include "cli/option_values.h"

#include "platform/text.h"
#include "settings/ini.h"

namespace ravelin {
namespace {

// The value of a digit in `base`, or -1 when it is none.
int DigitValue(char c, unsigned base) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value >= 0 && static_cast<unsigned>(value) < base ? value : -1;
}

}  // namespace

int32_t ParseOptionInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  unsigned base = 10;
  if (i < text.size() && text[i] == '$') { base = 16; ++i; }
  else if (i < text.size() && text[i] == '%') { base = 2; ++i; }
  // Unsigned arithmetic wraps, which keeps exactly the low 32 bits.
  uint32_t value = 0;
  for (int digit; i < text.size() && (digit = DigitValue(text[i], base)) >= 0; ++i) {
    value = value * base + static_cast<uint32_t>(digit);
  }
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

float ParseOptionReal(std::string_view text) { return ParseReal(text); }

int8_t ParseOptionKeyword(KeywordTable table, std::string_view text) {
  return KeywordToIndex(table, TrimSpaces(text));
}

}  // namespace ravelin
