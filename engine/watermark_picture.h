// The picture file of an image watermark seen from its header alone: which of the taken
// formats it is, its size and the depth FreeImage decodes it to. The memory budget counts the
// mark from this before a conversion begins, and the console's check of the picture needs no
// more, so a picture is decoded once, by the watermark step.
#pragma once

#include <FreeImage.h>

#include <cstdint>
#include <string>

namespace ravelin {

struct WatermarkPictureHeader {
  FREE_IMAGE_FORMAT format = FIF_UNKNOWN;
  uint64_t width = 0;
  uint64_t height = 0;
  unsigned bpp = 0;  // as decoded: 64 for a PNG64, 48 for a PNG48
};

// The format of `path` when it is one an image mark is made from (PNG, JPEG or BMP);
// FIF_UNKNOWN otherwise (FreeImage's readers of several other formats have known overflows).
FREE_IMAGE_FORMAT WatermarkPictureFormat(const std::string& path);

// Reads the header of a PNG, JPEG or BMP picture (the BMP through the checked loader's header
// checks); false when the format is another, the header is unreadable or a side is 0.
bool ReadWatermarkPictureHeader(const std::string& path, WatermarkPictureHeader* header);

}  // namespace ravelin
