#include "engine/marks_module.h"

#include <dlfcn.h>

#include <mutex>

#include "platform/console.h"
#include "platform/files.h"

namespace ravelin {
namespace {

// Loads the module at `path`; on failure `why` says what went wrong.
const MarksApi* Open(const std::string& path, std::string* why) {
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    const char* error = dlerror();
    *why = error != nullptr ? error : "it cannot be opened";
    return nullptr;
  }
  using Entry = const MarksApi* (*)();
  const auto entry = reinterpret_cast<Entry>(dlsym(module, kMarksEntry));
  const MarksApi* api = entry != nullptr ? entry() : nullptr;
  if (api == nullptr || api->version != kMarksApiVersion) {
    *why = api == nullptr ? "it has no entry point " + std::string(kMarksEntry)
                          : "it belongs to another version of the program";
    dlclose(module);
    return nullptr;
  }
  // The module stays loaded for the rest of the process.
  return api;
}

}  // namespace

const MarksApi* Marks() {
  static std::once_flag once;
  static const MarksApi* api = nullptr;
  std::call_once(once, [] {
    const std::string path = ProgramFolder() + kMarksModuleName;
    std::string why;
    api = Open(path, &why);
#ifdef RAVELIN_BUILD_FOLDER
    // Test programs live below the build folder, where the module is built; a copy of the
    // program elsewhere never reaches back into it.
    const std::string build = RAVELIN_BUILD_FOLDER;
    std::string buildWhy;
    if (api == nullptr && ProgramFolder().compare(0, build.size(), build) == 0) {
      api = Open(build + kMarksModuleName, &buildWhy);
    }
#endif
    // Frames and marks then fail with the run's usual lines; this one says why, once.
    if (api == nullptr) PrintErrorLine("Cannot load the frame and watermark module " + path + ": " + why);
  });
  return api;
}

FIBITMAP* FrameStep(FIBITMAP* image, const Settings& settings, unsigned width, unsigned height) {
  if (image == nullptr || settings.DoFrame == 0) return image;
  const MarksApi* api = Marks();
  if (api == nullptr) {
    FreeImage_Unload(image);
    return nullptr;
  }
  return api->drawFrame(image, settings, width, height);
}

FIBITMAP* WatermarkStep(FIBITMAP* image, const Settings& settings, const JobContext& job,
                        const WatermarkFont* font, unsigned width, unsigned height) {
  if (image == nullptr || settings.DoWatermark == 0) return image;
  const MarksApi* api = Marks();
  if (api == nullptr) {
    FreeImage_Unload(image);
    return nullptr;
  }
  return api->drawWatermark(image, settings, job, font, width, height);
}

void WatermarkFontDeleter::operator()(WatermarkFont* font) const {
  // A font exists only when the module gave it.
  if (font != nullptr) Marks()->freeFont(font);
}

WatermarkFontHandle OpenWatermarkFont(const Settings& settings) {
  const MarksApi* api = Marks();
  return WatermarkFontHandle(api != nullptr ? api->loadFont(settings) : nullptr);
}

bool WatermarkImageUsable(const std::string& path) {
  const MarksApi* api = Marks();
  return api != nullptr && api->canLoadImage(path);
}

}  // namespace ravelin
