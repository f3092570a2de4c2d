// Whether a window can be opened at all, decided before the toolkit starts (the toolkit
// aborts the process when its display platform cannot start).
#pragma once

#include <string>

namespace ravelin {

// True when a display is reachable; may choose the platform the toolkit starts with
// (QT_QPA_PLATFORM) when only one of X11 and Wayland is reachable. A platform (or list of
// platforms) already chosen in QT_QPA_PLATFORM is kept, and refused only when none of its
// entries is usable: X11 and Wayland need their display, the others need none.
bool DisplayAvailable();

}  // namespace ravelin
