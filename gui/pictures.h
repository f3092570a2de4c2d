// The image sets of the window mode: for every picture key of the large buttons, the menu and
// the main toolbar, the picture in use. The built-in pictures fill them first; an icon theme
// replaces some or all of them. Controls read their picture from here whenever they are built.
#pragma once

#include <QImage>
#include <QString>
#include <map>

namespace ravelin {

// The keys of `ButtonImages`.
inline constexpr const char* kButtonKeys[] = {"Convert", "InFiles", "InFolder"};
// The keys of `MenuImages`, which are also those of `ToolbarImages`.
inline constexpr const char* kIconKeys[] = {
    "New",    "Add",      "InFiles",     "InFolder",        "OutFolder", "OutFormat", "FavFolder",
    "ImportFiles", "ExportFiles", "Exit", "Copy",           "Delete",    "SelectAll", "Convert",
    "Preferences", "CustomConverter", "Help", "Email",      "Web",       "Updates",   "About"};

// One set: key to picture. A key without a picture shows none.
using ImageSet = std::map<QString, QImage>;

struct ImageSets {
  ImageSet buttons;  // `ButtonImages`: 64 x 64 "Convert", 48 x 48 "InFiles" and "InFolder"
  ImageSet menu;     // `MenuImages`: 16 x 16
  ImageSet toolbar;  // `ToolbarImages`: IconPixels(`UI Size`)
  QImage aboutBanner;  // 360 x 40
};

// `UI Size` 0 to 4 as pixels: 16, 24, 32, 48, 64; any other value 16.
int IconPixels(int uiSize);

// Puts the built-in pictures into the about banner and every key of the three sets.
void LoadBuiltInPictures(ImageSets& sets);

}  // namespace ravelin
