#include "engine/ops/color.h"

namespace ravelin {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads the hexadecimal digits of a pair up to the first other character ("1G" reads 1).
uint8_t HexPair(std::string_view pair) {
  int value = 0;
  for (char c : pair) {
    const int digit = HexDigit(c);
    if (digit < 0) break;
    value = value * 16 + digit;
  }
  return static_cast<uint8_t>(value);
}

}  // namespace

Color ParseColor(std::string_view text, uint8_t alpha) {
  Color color;
  color.alpha = alpha;
  if (text.size() != 6) return color;
  color.red = HexPair(text.substr(0, 2));
  color.green = HexPair(text.substr(2, 2));
  color.blue = HexPair(text.substr(4, 2));
  return color;
}

}  // namespace ravelin
