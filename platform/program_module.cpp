#include "platform/program_module.h"

#include <dlfcn.h>

#include "platform/files.h"

namespace ravelin {
namespace {

const void* Open(const std::string& path, const char* entryName, int version, std::string* why) {
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    const char* error = dlerror();
    *why = error != nullptr ? error : path + ": it cannot be opened";
    return nullptr;
  }
  using Entry = const void* (*)();
  const auto entry = reinterpret_cast<Entry>(dlsym(module, entryName));
  const void* table = entry != nullptr ? entry() : nullptr;
  // Every table starts with its version number.
  if (table == nullptr || *static_cast<const int*>(table) != version) {
    *why = path + (table == nullptr ? ": it has no entry point " + std::string(entryName)
                                    : ": it belongs to another version of the program");
    dlclose(module);
    return nullptr;
  }
  return table;
}

}  // namespace

const void* LoadProgramModule(const std::string& name, const char* entry, int version,
                              std::string* why) {
  const void* table = Open(ProgramFolder() + name, entry, version, why);
#ifdef RAVELIN_BUILD_FOLDER
  // A copy of the program elsewhere never reaches back into the build folder.
  const std::string build = RAVELIN_BUILD_FOLDER;
  std::string buildWhy;
  if (table == nullptr && ProgramFolder().compare(0, build.size(), build) == 0) {
    table = Open(build + name, entry, version, &buildWhy);
  }
#endif
  return table;
}

}  // namespace ravelin
