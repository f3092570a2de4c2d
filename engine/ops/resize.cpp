// Resizing to a size in pixels or in percent of the current size, optionally keeping the
// aspect ratio, with one of FreeImage's six resampling filters.
#include <cmath>
#include <cstdint>

#include "engine/psd/image_handover.h"
#include "engine/image_limits.h"
#include "engine/ops/image_operations.h"
#include "engine/ops/rescale_bands.h"

namespace ravelin {
namespace {

// ResizeFilter keyword index -> FreeImage filter; an index outside the table is bicubic.
constexpr FREE_IMAGE_FILTER kResizeFilters[] = {
    FILTER_BOX,         // "BOX"
    FILTER_BILINEAR,    // "BILINEAR"
    FILTER_BSPLINE,     // "BSPLINE"
    FILTER_BICUBIC,     // "BICUBIC"
    FILTER_CATMULLROM,  // "CATMULLROM"
    FILTER_LANCZOS3,    // "LANCZOS"
};
constexpr int kResizeFilterCount = sizeof(kResizeFilters) / sizeof(kResizeFilters[0]);

FREE_IMAGE_FILTER FilterFor(int algorithm) {
  if (algorithm < 0 || algorithm >= kResizeFilterCount) return FILTER_BICUBIC;
  return kResizeFilters[algorithm];
}

// value percent of `side`, halves rounded to even; worked in integers so that 50 % of 801
// is exactly 400.5 and becomes 400. 0 for a value of 0 or less.
int64_t PercentOf(int32_t value, uint64_t side) {
  if (value <= 0) return 0;
  const uint64_t product = static_cast<uint64_t>(value) * side;  // < 2^31 * 2^32
  uint64_t quotient = product / 100;
  const uint64_t remainder = product % 100;
  if (remainder > 50 || (remainder == 50 && quotient % 2 == 1)) ++quotient;
  return static_cast<int64_t>(quotient);
}

int64_t TargetSide(int32_t value, int unit, uint64_t side) {
  switch (unit) {
    case kUnitPixels:
      return value;
    case kUnitPercent:
      return PercentOf(value, side);
    default:
      return 0;
  }
}

// target / ratio in single precision, rounded half away from zero.
uint64_t KeepRatio(int64_t target, float ratio) {
  const float quotient = static_cast<float>(target) / ratio;
  // Far beyond any image limit; keeps the rounding defined.
  if (!(quotient < 4.0e9f)) return 4000000000u;
  return static_cast<uint64_t>(std::lround(quotient));
}

// Depth of the rescaled picture: FreeImage gives palette and 16-bit pictures back at up to
// 32 bits, deeper ones at their own depth.
unsigned RescaledBpp(unsigned bpp) { return bpp < 32 ? 32 : bpp; }

}  // namespace

bool ResizeTarget(const Settings& settings, uint64_t width, uint64_t height, uint64_t* outWidth,
                  uint64_t* outHeight) {
  if (!settings.DoImageResize || width == 0 || height == 0) return false;
  const int64_t targetWidth = TargetSide(settings.ImageWidth, settings.ImageWidthUnit, width);
  const int64_t targetHeight = TargetSide(settings.ImageHeight, settings.ImageHeightUnit, height);
  if (targetWidth <= 0 || targetHeight <= 0) return false;
  const uint64_t tw = static_cast<uint64_t>(targetWidth);
  const uint64_t th = static_cast<uint64_t>(targetHeight);
  if (tw == width && th == height) return false;
  if (settings.ImageResizeType == kResizeLargeImages && width < tw && height < th) return false;

  if (!settings.KeepAspectRatio) {
    *outWidth = tw;
    *outHeight = th;
  } else if (width >= height) {
    const float ratio = static_cast<float>(width) / static_cast<float>(height);
    *outWidth = tw;
    *outHeight = KeepRatio(targetWidth, ratio);
  } else {
    const float ratio = static_cast<float>(height) / static_cast<float>(width);
    *outWidth = KeepRatio(targetHeight, ratio);
    *outHeight = th;
  }
  return true;
}

FIBITMAP* ResizeImage(FIBITMAP* image, const Settings& settings, unsigned width,
                      unsigned height) {
  if (image == nullptr) return nullptr;
  uint64_t newWidth = 0;
  uint64_t newHeight = 0;
  if (!ResizeTarget(settings, width, height, &newWidth, &newHeight)) return image;
  if (!WithinImageLimits(newWidth, newHeight, RescaledBpp(FreeImage_GetBPP(image)))) {
    return Refuse(image);
  }
  // A side that rounded to 0 makes FreeImage refuse: the step yields no image.
  if (newWidth == 0 || newHeight == 0) return Refuse(image);
  return RescaleInBands(image, static_cast<unsigned>(newWidth), static_cast<unsigned>(newHeight),
                        FilterFor(settings.ImageResizeAlgorithm));
}

}  // namespace ravelin
