// Fills a drop-down list with the active output formats: one item per active output
// extension, upper-cased, with its description when asked ("PSD (Adobe Photoshop)"), the
// `MenuImages` "New" picture and its index in the active list as item data; the item of
// Output `Format` is selected (the first when none is).
#pragma once

#include "gui/pictures.h"
#include "settings/settings.h"

class QComboBox;

namespace ravelin {

void FillOutputFormatSelector(QComboBox& selector, const Settings& settings,
                              const ImageSets& pictures, bool withDescription);

}  // namespace ravelin
