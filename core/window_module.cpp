#include "core/window_module.h"

#include <string>

#include "platform/console.h"
#include "platform/program_module.h"

namespace ravelin {

void RunWindowModule(const WindowModeRequest& request) {
  std::string why;
  const auto* api = static_cast<const GuiApi*>(
      LoadProgramModule(kGuiModuleName, kGuiEntry, kGuiApiVersion, &why));
  if (api == nullptr) {
    PrintErrorLine("The window mode cannot start: " + why);
    return;
  }
  api->runWindowMode(request);
}

}  // namespace ravelin
