#include "gui/pictures.h"

#include "art/builtin_pictures.h"

namespace ravelin {

int IconPixels(int uiSize) {
  static constexpr int kPixels[] = {16, 24, 32, 48, 64};
  return uiSize >= 0 && uiSize < 5 ? kPixels[uiSize] : 16;
}

void LoadBuiltInPictures(ImageSets& sets) {
  // The resource is linked through a static library: register it before the first lookup.
  InitBuiltinPictures();
  for (const char* key : kButtonKeys) {
    sets.buttons[key] = QImage(QString(kButtonPicturePrefix) + key + kPictureSuffix);
  }
  for (const char* key : kIconKeys) {
    const QImage picture(QString(kMenuPicturePrefix) + key + kPictureSuffix);
    sets.menu[key] = picture;
    // The toolbar shows the 16-pixel pictures until a theme supplies its size.
    sets.toolbar[key] = picture;
  }
  sets.aboutBanner = QImage(kAboutBannerPath);
}

}  // namespace ravelin
