#include "engine/watermark_picture.h"

#include "engine/bmp/bmp_loader.h"

namespace ravelin {

FREE_IMAGE_FORMAT WatermarkPictureFormat(const std::string& path) {
  if (path.empty()) return FIF_UNKNOWN;
  const FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path.c_str(), 0);
  return (format == FIF_PNG || format == FIF_JPEG || format == FIF_BMP) ? format : FIF_UNKNOWN;
}

bool ReadWatermarkPictureHeader(const std::string& path, WatermarkPictureHeader* header) {
  *header = WatermarkPictureHeader{};
  header->format = WatermarkPictureFormat(path);
  if (header->format == FIF_UNKNOWN) return false;
  if (header->format == FIF_BMP) {
    BmpDimensions dimensions;
    if (!ReadCheckedBmpHeader(path, &dimensions)) return false;
    header->width = dimensions.width;
    header->height = dimensions.height;
    header->bpp = dimensions.bpp;
    return true;
  }
  FIBITMAP* head = FreeImage_Load(header->format, path.c_str(), FIF_LOAD_NOPIXELS);
  if (head == nullptr) return false;
  header->width = FreeImage_GetWidth(head);
  header->height = FreeImage_GetHeight(head);
  header->bpp = FreeImage_GetBPP(head);
  FreeImage_Unload(head);
  return header->width > 0 && header->height > 0;
}

}  // namespace ravelin
