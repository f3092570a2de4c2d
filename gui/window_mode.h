// The window mode's frame: opens the toolkit (or says on the terminal why no window can open),
// loads the configuration, the texts and the pictures, runs the asked window until it closes
// and saves the configuration at the end. Called through the module entry by the start-up.
#pragma once

#include "gui/gui_module.h"

namespace ravelin {

void RunWindowMode(const WindowModeRequest& request);

}  // namespace ravelin
