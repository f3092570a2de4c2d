// Rotation: the simple rotation with a background colour, or the extended rotation that
// keeps the picture's size.
#include <cmath>
#include <utility>

#include "engine/ops/color.h"
#include "engine/psd/image_handover.h"
#include "engine/image_limits.h"
#include "engine/ops/image_operations.h"

namespace ravelin {
namespace {

// FreeImage rotates 24- and 32-bit pictures; everything else goes to 24 bits first.
unsigned RotationBpp(unsigned bpp) { return (bpp <= 16 || bpp > 32) ? 24 : bpp; }

}  // namespace

void RotatedSize(uint64_t width, uint64_t height, int degrees, int type, uint64_t* outWidth,
                 uint64_t* outHeight) {
  *outWidth = width;
  *outHeight = height;
  if (type != kRotationSimple) return;
  // The same steps as FreeImage's three-shear rotation: it turns the angle round (rows are
  // stored bottom first), takes out whole quarter turns, then shears by what is left.
  double angle = std::fmod(-static_cast<double>(degrees), 360.0);
  if (angle < 0) angle += 360.0;
  if (angle > 45 && angle <= 135) {
    std::swap(width, height);
    angle -= 90;
  } else if (angle > 135 && angle <= 225) {
    angle -= 180;
  } else if (angle > 225 && angle <= 315) {
    std::swap(width, height);
    angle -= 270;
  }
  if (angle == 0) {
    *outWidth = width;
    *outHeight = height;
    return;
  }
  const double radians = angle * 3.1415926535897932384626433832795 / 180.0;
  const double sine = std::fabs(std::sin(radians));
  const double cosine = std::cos(radians);
  const double w = static_cast<double>(width);
  const double h = static_cast<double>(height);
  *outWidth = static_cast<uint64_t>(h * sine + w * cosine + 0.5) + 1;
  *outHeight = static_cast<uint64_t>(w * sine + h * cosine + 0.5) + 1;
}

FIBITMAP* RotateImage(FIBITMAP* image, const Settings& settings) {
  if (image == nullptr) return nullptr;
  if (!settings.DoImageRotation || settings.ImageRotation <= 0 || settings.ImageRotation >= 360) {
    return image;
  }
  const unsigned bpp = RotationBpp(FreeImage_GetBPP(image));
  const unsigned width = FreeImage_GetWidth(image);
  const unsigned height = FreeImage_GetHeight(image);
  uint64_t newWidth = 0;
  uint64_t newHeight = 0;
  RotatedSize(width, height, settings.ImageRotation, settings.ImageRotationType, &newWidth,
              &newHeight);
  // Checked before the depth conversion, so an oversize picture allocates nothing more.
  if (!WithinImageLimits(newWidth, newHeight, bpp)) return Refuse(image);

  if (FreeImage_GetBPP(image) != bpp) image = To24Bits(image);
  if (image == nullptr) return nullptr;

  const double angle = settings.ImageRotation;
  switch (settings.ImageRotationType) {
    case kRotationSimple: {
      const Color back = ParseColor(settings.ImageRotationBackColor, 0);
      RGBQUAD background;
      background.rgbBlue = back.blue;
      background.rgbGreen = back.green;
      background.rgbRed = back.red;
      background.rgbReserved = 0;
      return HandOver(image, FreeImage_Rotate(image, angle, &background));
    }
    case kRotationAdvanced:
      return HandOver(image, FreeImage_RotateEx(image, angle, 0.0, 0.0, width / 2.0,
                                                height / 2.0, FALSE));
    default:
      return image;
  }
}

}  // namespace ravelin
