#include "gui/window_mode.h"

#include "platform/console.h"

namespace ravelin {

void RunWindowMode(const WindowModeRequest& request) {
  if (request.console != nullptr) {
    request.console->PrintLine(
        "The window mode is not part of this build; run with -h for the console options.");
  }
}

}  // namespace ravelin
