#include "core/window_module.h"

#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "platform/files.h"

namespace ravelin {
namespace {

const GuiApi* Open(const std::string& path, std::string& error) {
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    const char* reason = dlerror();
    if (error.empty()) error = reason != nullptr ? reason : path;
    return nullptr;
  }
  using Entry = const GuiApi* (*)();
  const auto entry = reinterpret_cast<Entry>(dlsym(module, kGuiEntry));
  const GuiApi* api = entry != nullptr ? entry() : nullptr;
  if (api == nullptr || api->version != kGuiApiVersion) {
    error = path + ": not a window module of this version";
    dlclose(module);
    return nullptr;
  }
  // Qt stays loaded until the process ends.
  return api;
}

}  // namespace

void RunWindowModule(const WindowModeRequest& request) {
  std::string error;
  const GuiApi* api = Open(ProgramFolder() + kGuiModuleName, error);
#ifdef RAVELIN_BUILD_FOLDER
  // Test programs live below the build folder, where the module is built.
  const std::string build = RAVELIN_BUILD_FOLDER;
  if (api == nullptr && ProgramFolder().compare(0, build.size(), build) == 0) {
    api = Open(build + kGuiModuleName, error);
  }
#endif
  if (api == nullptr) {
    std::fprintf(stderr, "ravelin: the window mode cannot start: %s\n", error.c_str());
    return;
  }
  api->runWindowMode(request);
}

}  // namespace ravelin
