// The built-in pictures of the window mode, rendered at build time from the drawings of art/ and
// compiled into the Qt resource "builtin_pictures" of the object library
// ravelin_builtin_pictures. The image sets load them at start-up, before any theme replaces them.
//
// Keeping the resource in a static link: the resource registers itself from a static
// initializer that nothing references. Linked straight into an executable, the object library's
// objects always come along and the pictures are there. When a static library (such as the
// window module) links the object library and the executable only links that static library, the
// linker may drop the initializer: call InitBuiltinPictures() once before the first lookup (it is
// Q_INIT_RESOURCE(builtin_pictures), and calling it twice does no harm).
#pragma once

#include <QtCore/qglobal.h>

namespace ravelin {

// One 16 x 16 PNG with alpha per menu key: kMenuPicturePrefix + key + kPictureSuffix, for
// example ":/pictures/menu/OutFolder.png".
inline constexpr char kMenuPicturePrefix[] = ":/pictures/menu/";
// The button pictures: ":/pictures/buttons/Convert.png" (64 x 64), ".../InFiles.png" and
// ".../InFolder.png" (48 x 48), PNG with alpha.
inline constexpr char kButtonPicturePrefix[] = ":/pictures/buttons/";
inline constexpr char kPictureSuffix[] = ".png";
// The about banner, 360 x 40, an uncompressed 24-bit bitmap.
inline constexpr char kAboutBannerPath[] = ":/pictures/about_banner.bmp";

inline constexpr int kMenuPicturePixels = 16;
inline constexpr int kAboutBannerWidth = 360;
inline constexpr int kAboutBannerHeight = 40;

}  // namespace ravelin

// Outside the namespace: Q_INIT_RESOURCE declares the resource's global initializer.
inline void InitBuiltinPictures() { Q_INIT_RESOURCE(builtin_pictures); }
