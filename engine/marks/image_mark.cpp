// The picture of an image watermark.
#include <algorithm>
#include <cstdint>
#include <new>

#include "engine/bmp/bmp_loader.h"
#include "engine/ops/color.h"
#include "engine/image_limits.h"
#include "engine/marks/mark_pictures.h"
#include "engine/marks/watermark.h"
#include "engine/watermark_picture.h"

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

}  // namespace

FIBITMAP* LoadWatermarkPicture(const std::string& path) {
  if (!CanLoadWatermarkImage(path)) return nullptr;
  const FREE_IMAGE_FORMAT format = WatermarkPictureFormat(path);
  if (format == FIF_BMP) return LoadCheckedBmp(path);
  return ToEightBitChannels(FreeImage_Load(format, path.c_str(), 0));
}

bool CanLoadWatermarkImage(const std::string& path) {
  // The header first: the pixels are decoded only for a size within the limits, at the depth
  // the file decodes to (64 bits for a PNG64).
  WatermarkPictureHeader header;
  if (!ReadWatermarkPictureHeader(path, &header) ||
      !WithinImageLimits(header.width, header.height, std::max(header.bpp, 32u))) {
    return false;
  }
  // A few bytes of RLE can claim any picture: their rows are decoded and dropped first.
  try {
    BmpDimensions dimensions;
    return header.format != FIF_BMP || ProbeCheckedBmp(path, &dimensions);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

Picture BuildImageMark(const Settings& settings, int maxWidth, int maxHeight) {
  // A plain PNG is read only as far as the mark picture reaches; others are decoded whole.
  bool taken = false;
  FIBITMAP* bitmap = nullptr;
  if (WatermarkPictureFormat(settings.Image) == FIF_PNG && CanLoadWatermarkImage(settings.Image) &&
      maxWidth > 0 && maxHeight > 0) {
    bitmap = LoadPngTopLeft(settings.Image, static_cast<unsigned>(maxWidth),
                            static_cast<unsigned>(maxHeight), &taken);
  }
  if (!taken) bitmap = LoadWatermarkPicture(settings.Image);
  if (bitmap == nullptr) return nullptr;
  // Only the top-left part the mark picture holds is drawn: the rest is never carried over.
  const unsigned width = FreeImage_GetWidth(bitmap);
  const unsigned height = FreeImage_GetHeight(bitmap);
  if (maxWidth > 0 && maxHeight > 0 &&
      (width > static_cast<unsigned>(maxWidth) || height > static_cast<unsigned>(maxHeight))) {
    FIBITMAP* part = FreeImage_Copy(bitmap, 0, 0, static_cast<int>(std::min<unsigned>(width, maxWidth)),
                                    static_cast<int>(std::min<unsigned>(height, maxHeight)));
    FreeImage_Unload(bitmap);
    if (part == nullptr) return nullptr;
    bitmap = part;
  }
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
