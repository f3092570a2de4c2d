// The about window (window 8): the banner, the title, the maker's notice and links to the
// maker's web site and support address, opened through the shell. Command 24 of the main
// window opens it; it is a child of the main window, which takes no input while it is open.
#pragma once

#include "gui/window_context.h"

class QWidget;

namespace ravelin {

// Builds and shows the about window centred on the main window and returns at once; the
// window deletes itself when closed (OK, Return, Escape or its close box) and gives the main
// window the focus back.
void ShowAboutWindow(QWidget* mainWindow, WindowContext& context);

}  // namespace ravelin
