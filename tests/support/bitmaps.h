// Test helpers for FreeImage bitmaps: solid pictures, pixels addressed from the top row, and
// colour comparison with a tolerance.
#pragma once

#include <cstdint>
#include <ostream>

#include <FreeImage.h>

namespace ravelin::test {

struct Rgba {
  uint8_t red = 0, green = 0, blue = 0, alpha = 255;
};

inline std::ostream& operator<<(std::ostream& out, const Rgba& c) {
  return out << "(" << int(c.red) << "," << int(c.green) << "," << int(c.blue) << "," << int(c.alpha)
             << ")";
}
inline bool operator==(const Rgba& a, const Rgba& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}
inline bool operator!=(const Rgba& a, const Rgba& b) { return !(a == b); }

// A width x height bitmap of `bpp` (24 or 32) bits filled with the colour.
FIBITMAP* SolidBitmap(unsigned width, unsigned height, unsigned bpp, Rgba color);
// The pixel at (x, y), y counted from the top row; alpha 255 for 24-bit bitmaps.
Rgba PixelAt(FIBITMAP* bitmap, unsigned x, unsigned y);
void SetPixelAt(FIBITMAP* bitmap, unsigned x, unsigned y, Rgba color);
// Every channel within `tolerance`.
bool Near(Rgba a, Rgba b, int tolerance = 1);

}  // namespace ravelin::test
