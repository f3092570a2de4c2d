// Small FreeImage pictures of every depth with a known pattern, for the engine's tests of
// the image operations and the output depth; an owner that releases them, and pixel reading
// that looks through palettes.
#pragma once

#include <FreeImage.h>

#include <memory>

namespace ravelin::test {

struct BitmapUnloader {
  void operator()(FIBITMAP* image) const {
    if (image != nullptr) FreeImage_Unload(image);
  }
};
using OwnedBitmap = std::unique_ptr<FIBITMAP, BitmapUnloader>;

// A width x height standard bitmap at bpp (1, 4, 8, 16 as 5-6-5, 24, 32) with no symmetry:
// palette depths get a grey palette and index (5x + 3y + xy) mod the palette size, deeper
// ones colours from x and y. No image when FreeImage refuses.
FIBITMAP* MakePatternBitmap(unsigned width, unsigned height, unsigned bpp);
// A 48-bit RGB picture (three 16-bit channels) with colours from x and y.
FIBITMAP* MakeRgb16PatternBitmap(unsigned width, unsigned height);

// The colour of pixel (x, y), y counted from the bottom row as FreeImage stores it; palette
// entries for palette depths, the 8 high bits of each channel for 48-bit pictures. The
// fourth byte is always 0.
RGBQUAD ColorAt(FIBITMAP* image, unsigned x, unsigned y);
bool SameColor(const RGBQUAD& a, const RGBQUAD& b);

// True when both pictures have the same size and every pixel the same colour.
bool SamePixels(FIBITMAP* a, FIBITMAP* b);

}  // namespace ravelin::test
