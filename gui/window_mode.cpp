#include "gui/window_mode.h"

namespace ravelin {

void RunWindowMode(Console& console) {
  console.PrintLine("The window mode is not part of this build; run with -h for the console options.");
}

}  // namespace ravelin
