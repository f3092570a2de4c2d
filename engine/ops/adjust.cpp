// Colour correction: brightness, contrast, gamma and inversion in one FreeImage call.
#include "engine/psd/image_handover.h"
#include "engine/ops/image_operations.h"

namespace ravelin {
namespace {

// FreeImage adjusts only 8-, 24- and 32-bit standard bitmaps and leaves any other picture
// as it is while reporting failure; those go to 24 bits first, so a 16-bit picture is
// corrected too.
bool Adjustable(FIBITMAP* image) {
  const unsigned bpp = FreeImage_GetBPP(image);
  return FreeImage_GetImageType(image) == FIT_BITMAP && (bpp == 8 || bpp == 24 || bpp == 32);
}

}  // namespace

FIBITMAP* AdjustImageColors(FIBITMAP* image, const Settings& settings) {
  if (image == nullptr || !settings.DoImageColorCorrection) return image;
  if (!Adjustable(image)) image = To24Bits(image);
  if (image == nullptr) return nullptr;
  // FreeImage also reports failure when every value is neutral and there is nothing to do,
  // so its answer does not decide the step.
  FreeImage_AdjustColors(image, static_cast<double>(settings.ImageBrightness),
                         static_cast<double>(settings.ImageContrast),
                         static_cast<double>(settings.ImageGamma),
                         settings.ImageInvert ? TRUE : FALSE);
  return image;
}

}  // namespace ravelin
