#include "engine/marks/overlay.h"

namespace ravelin {

FIBITMAP* ToTwentyFourBits(FIBITMAP* image) {
  if (image == nullptr || FreeImage_GetBPP(image) == 24) return image;
  FIBITMAP* converted = FreeImage_ConvertTo24Bits(image);
  FreeImage_Unload(image);
  return converted;
}

bool BlendOver(FIBITMAP* image, FIBITMAP* overlay, long long left, long long top) {
  if (image == nullptr || overlay == nullptr || FreeImage_GetBPP(image) != 24 ||
      FreeImage_GetBPP(overlay) != 32 || FreeImage_GetImageType(image) != FIT_BITMAP ||
      FreeImage_GetImageType(overlay) != FIT_BITMAP) {
    return false;
  }
  const long long imageWidth = FreeImage_GetWidth(image);
  const long long imageHeight = FreeImage_GetHeight(image);
  const long long width = FreeImage_GetWidth(overlay);
  const long long height = FreeImage_GetHeight(overlay);
  if (left < 0 || top < 0 || left + width > imageWidth || top + height > imageHeight) {
    return false;
  }
  for (long long row = 0; row < height; ++row) {
    // Both bitmaps keep their bottom row first.
    const BYTE* in = FreeImage_GetScanLine(overlay, static_cast<int>(height - 1 - row));
    BYTE* out = FreeImage_GetScanLine(image, static_cast<int>(imageHeight - 1 - (top + row))) +
                left * 3;
    for (long long column = 0; column < width; ++column, in += 4, out += 3) {
      const unsigned alpha = in[FI_RGBA_ALPHA];
      if (alpha == 0) continue;
      const unsigned rest = 255 - alpha;
      out[FI_RGBA_RED] = static_cast<BYTE>((alpha * in[FI_RGBA_RED] + rest * out[FI_RGBA_RED] + 127) / 255);
      out[FI_RGBA_GREEN] =
          static_cast<BYTE>((alpha * in[FI_RGBA_GREEN] + rest * out[FI_RGBA_GREEN] + 127) / 255);
      out[FI_RGBA_BLUE] =
          static_cast<BYTE>((alpha * in[FI_RGBA_BLUE] + rest * out[FI_RGBA_BLUE] + 127) / 255);
    }
  }
  return true;
}

}  // namespace ravelin
