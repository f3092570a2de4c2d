#include "tests/support/bitmaps.h"

#include <cstdlib>

namespace ravelin::test {

FIBITMAP* SolidBitmap(unsigned width, unsigned height, unsigned bpp, Rgba color) {
  FIBITMAP* bitmap = FreeImage_Allocate(width, height, bpp);
  for (unsigned y = 0; y < height; ++y) {
    for (unsigned x = 0; x < width; ++x) SetPixelAt(bitmap, x, y, color);
  }
  return bitmap;
}

Rgba PixelAt(FIBITMAP* bitmap, unsigned x, unsigned y) {
  const unsigned bytes = FreeImage_GetBPP(bitmap) / 8;
  const BYTE* p = FreeImage_GetScanLine(bitmap, FreeImage_GetHeight(bitmap) - 1 - y) + x * bytes;
  return Rgba{p[FI_RGBA_RED], p[FI_RGBA_GREEN], p[FI_RGBA_BLUE],
              static_cast<uint8_t>(bytes == 4 ? p[FI_RGBA_ALPHA] : 255)};
}

void SetPixelAt(FIBITMAP* bitmap, unsigned x, unsigned y, Rgba color) {
  const unsigned bytes = FreeImage_GetBPP(bitmap) / 8;
  BYTE* p = FreeImage_GetScanLine(bitmap, FreeImage_GetHeight(bitmap) - 1 - y) + x * bytes;
  p[FI_RGBA_RED] = color.red;
  p[FI_RGBA_GREEN] = color.green;
  p[FI_RGBA_BLUE] = color.blue;
  if (bytes == 4) p[FI_RGBA_ALPHA] = color.alpha;
}

bool Near(Rgba a, Rgba b, int tolerance) {
  return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance &&
         std::abs(a.blue - b.blue) <= tolerance && std::abs(a.alpha - b.alpha) <= tolerance;
}

}  // namespace ravelin::test
