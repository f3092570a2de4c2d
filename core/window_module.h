// Loads the window module ("ravelin-gui.so" beside the program) and runs the window mode in it.
#pragma once

#include "gui/gui_module.h"

namespace ravelin {

// Runs the asked mode through the module. When the module cannot be loaded, says so on
// standard error with the loader's reason and returns.
void RunWindowModule(const WindowModeRequest& request);

}  // namespace ravelin
