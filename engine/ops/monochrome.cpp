// Greyscale, threshold and dithering: the operations that reduce a picture to grey levels
// or to black and white.
#include <algorithm>

#include "engine/psd/image_handover.h"
#include "engine/ops/image_operations.h"

namespace ravelin {
namespace {

// DitherAlgorithm keyword index -> FreeImage algorithm; an index outside the table is
// Floyd-Steinberg.
constexpr FREE_IMAGE_DITHER kDitherAlgorithms[] = {
    FID_FS,            // "FS"
    FID_BAYER4x4,      // "BAYER4"
    FID_BAYER8x8,      // "BAYER8"
    FID_BAYER16x16,    // "BAYER16"
    FID_CLUSTER6x6,    // "CLUSTER6"
    FID_CLUSTER8x8,    // "CLUSTER8"
    FID_CLUSTER16x16,  // "CLUSTER16"
};
constexpr int kDitherAlgorithmCount = sizeof(kDitherAlgorithms) / sizeof(kDitherAlgorithms[0]);

FREE_IMAGE_DITHER DitherFor(int algorithm) {
  if (algorithm < 0 || algorithm >= kDitherAlgorithmCount) return FID_FS;
  return kDitherAlgorithms[algorithm];
}

// Threshold and dithering take 4- to 32-bit pictures; a 1-bit one (such as the result of a
// threshold before dithering) and deeper ones go to 24 bits first.
FIBITMAP* ToBlackAndWhiteInput(FIBITMAP* image) {
  const unsigned bpp = FreeImage_GetBPP(image);
  return (bpp < 4 || bpp > 32) ? To24Bits(image) : image;
}

}  // namespace

FIBITMAP* GreyscaleImage(FIBITMAP* image, const Settings& settings) {
  if (image == nullptr || !settings.DoImageGreyscale) return image;
  if (FreeImage_GetBPP(image) > 32) image = To24Bits(image);
  if (image == nullptr) return nullptr;
  return HandOver(image, FreeImage_ConvertToGreyscale(image));
}

FIBITMAP* ThresholdImage(FIBITMAP* image, const Settings& settings) {
  if (image == nullptr || !settings.DoImageThreshold) return image;
  image = ToBlackAndWhiteInput(image);
  if (image == nullptr) return nullptr;
  // A hand-edited value outside 0..255 is held at the nearer end rather than wrapped.
  const BYTE level = static_cast<BYTE>(std::clamp(settings.ImageThreshold, 0, 255));
  return HandOver(image, FreeImage_Threshold(image, level));
}

FIBITMAP* DitherImage(FIBITMAP* image, const Settings& settings) {
  if (image == nullptr || !settings.DoImageDither) return image;
  image = ToBlackAndWhiteInput(image);
  if (image == nullptr) return nullptr;
  return HandOver(image, FreeImage_Dither(image, DitherFor(settings.ImageDitherAlgorithm)));
}

}  // namespace ravelin
