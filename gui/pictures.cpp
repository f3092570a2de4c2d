#include "gui/pictures.h"

namespace ravelin {

int IconPixels(int uiSize) {
  static constexpr int kPixels[] = {16, 24, 32, 48, 64};
  return uiSize >= 0 && uiSize < 5 ? kPixels[uiSize] : 16;
}

void LoadBuiltInPictures(ImageSets& sets) {
  // The drawn pictures come with the built-in picture resource; until then every key is empty.
  (void)sets;
}

}  // namespace ravelin
