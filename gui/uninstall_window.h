// The uninstall window (window 10) of "-U": one ticked box and Next. Next with the box ticked
// opens the maker's uninstall page through the shell; the close box opens nothing. It stands
// alone, centred on the screen; the program shows nothing else before or after it.
#pragma once

#include <QString>

#include "gui/window_context.h"

namespace ravelin {

// The maker's uninstall page.
QString UninstallPage();

// Shows the window and runs its own event loop until Next or the close box ends it; the
// application object must exist. The caller then ends the program.
void RunUninstallWindow(WindowContext& context);

}  // namespace ravelin
