#include "tests/support/pattern_bitmaps.h"

namespace ravelin::test {
namespace {

RGBQUAD PatternColor(unsigned x, unsigned y) {
  RGBQUAD color;
  color.rgbRed = static_cast<BYTE>(40 * x + 7);
  color.rgbGreen = static_cast<BYTE>(60 * y + 11);
  color.rgbBlue = static_cast<BYTE>(200 - 30 * x - 20 * y);
  color.rgbReserved = 255;
  return color;
}

}  // namespace

FIBITMAP* MakePatternBitmap(unsigned width, unsigned height, unsigned bpp) {
  FIBITMAP* image = nullptr;
  if (bpp == 16) {
    image = FreeImage_Allocate(width, height, 16, FI16_565_RED_MASK, FI16_565_GREEN_MASK,
                               FI16_565_BLUE_MASK);
  } else {
    image = FreeImage_Allocate(width, height, bpp);
  }
  if (image == nullptr) return nullptr;
  if (bpp <= 8) {
    const unsigned colors = 1u << bpp;
    RGBQUAD* palette = FreeImage_GetPalette(image);
    for (unsigned i = 0; i < colors; ++i) {
      const BYTE level = static_cast<BYTE>(i * 255 / (colors - 1));
      palette[i].rgbRed = palette[i].rgbGreen = palette[i].rgbBlue = level;
      palette[i].rgbReserved = 0;
    }
    for (unsigned y = 0; y < height; ++y) {
      for (unsigned x = 0; x < width; ++x) {
        BYTE index = static_cast<BYTE>((5 * x + 3 * y + x * y) % colors);
        FreeImage_SetPixelIndex(image, x, y, &index);
      }
    }
    return image;
  }
  for (unsigned y = 0; y < height; ++y) {
    for (unsigned x = 0; x < width; ++x) {
      RGBQUAD color = PatternColor(x, y);
      FreeImage_SetPixelColor(image, x, y, &color);
    }
  }
  return image;
}

FIBITMAP* MakeRgb16PatternBitmap(unsigned width, unsigned height) {
  FIBITMAP* image = FreeImage_AllocateT(FIT_RGB16, width, height);
  if (image == nullptr) return nullptr;
  for (unsigned y = 0; y < height; ++y) {
    FIRGB16* row = reinterpret_cast<FIRGB16*>(FreeImage_GetScanLine(image, y));
    for (unsigned x = 0; x < width; ++x) {
      const RGBQUAD color = PatternColor(x, y);
      row[x].red = static_cast<WORD>(color.rgbRed * 257);
      row[x].green = static_cast<WORD>(color.rgbGreen * 257);
      row[x].blue = static_cast<WORD>(color.rgbBlue * 257);
    }
  }
  return image;
}

RGBQUAD ColorAt(FIBITMAP* image, unsigned x, unsigned y) {
  RGBQUAD color = {0, 0, 0, 0};
  if (FreeImage_GetImageType(image) == FIT_RGB16) {
    const FIRGB16* row = reinterpret_cast<const FIRGB16*>(FreeImage_GetScanLine(image, y));
    color.rgbRed = static_cast<BYTE>(row[x].red >> 8);
    color.rgbGreen = static_cast<BYTE>(row[x].green >> 8);
    color.rgbBlue = static_cast<BYTE>(row[x].blue >> 8);
    return color;
  }
  if (FreeImage_GetBPP(image) <= 8) {
    BYTE index = 0;
    FreeImage_GetPixelIndex(image, x, y, &index);
    color = FreeImage_GetPalette(image)[index];
  } else {
    FreeImage_GetPixelColor(image, x, y, &color);
  }
  color.rgbReserved = 0;
  return color;
}

bool SameColor(const RGBQUAD& a, const RGBQUAD& b) {
  return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}

bool SamePixels(FIBITMAP* a, FIBITMAP* b) {
  const unsigned width = FreeImage_GetWidth(a);
  const unsigned height = FreeImage_GetHeight(a);
  if (width != FreeImage_GetWidth(b) || height != FreeImage_GetHeight(b)) return false;
  for (unsigned y = 0; y < height; ++y) {
    for (unsigned x = 0; x < width; ++x) {
      if (!SameColor(ColorAt(a, x, y), ColorAt(b, x, y))) return false;
    }
  }
  return true;
}

}  // namespace ravelin::test
