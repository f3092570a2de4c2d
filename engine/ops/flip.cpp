// Flipping, in place: horizontal first, then vertical.
#include "engine/psd/image_handover.h"
#include "engine/ops/image_operations.h"

namespace ravelin {

FIBITMAP* FlipImage(FIBITMAP* image, const Settings& settings) {
  if (image == nullptr) return nullptr;
  // A flip FreeImage could not make would leave a wrong picture behind: fail the step.
  if (settings.DoImageFlipHorizontal && !FreeImage_FlipHorizontal(image)) return Refuse(image);
  if (settings.DoImageFlipVertical && !FreeImage_FlipVertical(image)) return Refuse(image);
  return image;
}

}  // namespace ravelin
