// Colour texts of the settings (six hexadecimal digits RRGGBB) turned into colours; used by
// rotation, the frame and the watermark.
#pragma once

#include <cstdint>
#include <string_view>

namespace ravelin {

struct Color {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  uint8_t alpha = 255;
};

// Red, green and blue from the first, middle and last two digits; a text whose length is
// not 6 gives black with the given alpha. A pair is read up to its first
// character that is not a hexadecimal digit.
Color ParseColor(std::string_view text, uint8_t alpha);

}  // namespace ravelin
