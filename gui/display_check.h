// Whether a window can be opened at all, decided before the toolkit starts (the toolkit
// aborts the process when its display platform cannot start).
#pragma once

#include <string>

namespace ravelin {

// True when a display is reachable; may choose the platform the toolkit starts with
// (QT_QPA_PLATFORM) when only one of X11 and Wayland is reachable. A platform already chosen
// in QT_QPA_PLATFORM is kept, and only refused when it is X11 or Wayland and not reachable.
bool DisplayAvailable();

}  // namespace ravelin
