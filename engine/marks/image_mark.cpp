// The picture of an image watermark.
#include <algorithm>
#include <cstdint>

#include "engine/bmp/bmp_loader.h"
#include "engine/ops/color.h"
#include "engine/image_limits.h"
#include "engine/marks/mark_pictures.h"
#include "engine/marks/watermark.h"

namespace ravelin {
namespace {

// Grey by the weights 77, 150 and 29 in 256ths; the alpha stays.
void GreyPixel(uint8_t* red, uint8_t* green, uint8_t* blue, uint8_t /*alpha*/) {
  const uint8_t grey = static_cast<uint8_t>((77 * *red + 150 * *green + 29 * *blue) >> 8);
  *red = *green = *blue = grey;
}

// A 16-bit-per-channel PNG taken down to 8 bits per channel (alpha and grey kept); a standard
// bitmap as it is. Null for any other pixel type.
FIBITMAP* ToEightBitChannels(FIBITMAP* bitmap) {
  if (bitmap == nullptr || FreeImage_GetImageType(bitmap) == FIT_BITMAP) return bitmap;
  FIBITMAP* converted = nullptr;
  switch (FreeImage_GetImageType(bitmap)) {
    case FIT_RGB16:
      converted = FreeImage_ConvertTo24Bits(bitmap);
      break;
    case FIT_RGBA16:
      converted = FreeImage_ConvertTo32Bits(bitmap);
      break;
    case FIT_UINT16:
      converted = FreeImage_ConvertTo8Bits(bitmap);
      break;
    default:
      break;
  }
  FreeImage_Unload(bitmap);
  return converted;
}

// PNG and JPEG: the header first, the pixels only for a size within the limits (at the depth
// the file decodes to, 64 bits for a PNG64).
FIBITMAP* LoadWithinLimits(FREE_IMAGE_FORMAT format, const std::string& path) {
  FIBITMAP* header = FreeImage_Load(format, path.c_str(), FIF_LOAD_NOPIXELS);
  if (header == nullptr) return nullptr;
  const unsigned width = FreeImage_GetWidth(header);
  const unsigned height = FreeImage_GetHeight(header);
  const unsigned bpp = std::max(FreeImage_GetBPP(header), 32u);
  FreeImage_Unload(header);
  if (width == 0 || height == 0 || !WithinImageLimits(width, height, bpp)) return nullptr;
  return ToEightBitChannels(FreeImage_Load(format, path.c_str(), 0));
}

}  // namespace

FIBITMAP* LoadWatermarkPicture(const std::string& path) {
  if (path.empty()) return nullptr;
  switch (FreeImage_GetFileType(path.c_str(), 0)) {
    case FIF_BMP:
      return LoadCheckedBmp(path);
    case FIF_PNG:
      return LoadWithinLimits(FIF_PNG, path);
    case FIF_JPEG:
      return LoadWithinLimits(FIF_JPEG, path);
    default:
      return nullptr;
  }
}

bool CanLoadWatermarkImage(const std::string& path) {
  FIBITMAP* bitmap = LoadWatermarkPicture(path);
  if (bitmap == nullptr) return false;
  FreeImage_Unload(bitmap);
  return true;
}

Picture BuildImageMark(const Settings& settings, int maxWidth, int maxHeight) {
  FIBITMAP* bitmap = LoadWatermarkPicture(settings.Image);
  if (bitmap == nullptr) return nullptr;
  Picture source = BitmapToPicture(bitmap);
  FreeImage_Unload(bitmap);
  if (!source) return nullptr;
  Picture mark = CreatePicture(std::min(PictureWidth(source.get()), maxWidth),
                               std::min(PictureHeight(source.get()), maxHeight));
  if (!mark) return nullptr;
  // On the transparent mark picture the opacity becomes the mark's alpha, also for a picture
  // without alpha of its own (fully opaque), so the picture beneath shows through.
  const uint8_t opacity = static_cast<uint8_t>(std::clamp<int32_t>(settings.ImageOpacity, 0, 255));
  if (settings.ImageGreyscale) {
    DrawPictureFiltered(mark.get(), source.get(), 0, 0, opacity, DrawMode::AllChannels, GreyPixel);
  } else {
    DrawPicture(mark.get(), source.get(), 0, 0, opacity, DrawMode::AllChannels);
  }
  return mark;
}

}  // namespace ravelin
