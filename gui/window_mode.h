// The window mode's entry. This build has no windows yet: it says so on the terminal.
#pragma once

#include "platform/console.h"

namespace ravelin {

// Runs the window mode until the main window closes; returns when it has ended.
void RunWindowMode(Console& console);

}  // namespace ravelin
