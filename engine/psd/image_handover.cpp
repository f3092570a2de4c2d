#include "engine/psd/image_handover.h"

namespace ravelin {

FIBITMAP* HandOver(FIBITMAP* given, FIBITMAP* made) {
  if (given != nullptr && given != made) FreeImage_Unload(given);
  return made;
}

FIBITMAP* To24Bits(FIBITMAP* image) {
  if (image == nullptr) return nullptr;
  return HandOver(image, FreeImage_ConvertTo24Bits(image));
}

FIBITMAP* Refuse(FIBITMAP* image) {
  if (image != nullptr) FreeImage_Unload(image);
  return nullptr;
}

}  // namespace ravelin
