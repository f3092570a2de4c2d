#include "engine/marks_module.h"

#include <mutex>

#include "platform/console.h"
#include "platform/program_module.h"

namespace ravelin {

const MarksApi* Marks() {
  static std::once_flag once;
  static const MarksApi* api = nullptr;
  std::call_once(once, [] {
    std::string why;
    api = static_cast<const MarksApi*>(
        LoadProgramModule(kMarksModuleName, kMarksEntry, kMarksApiVersion, &why));
    // Frames and marks then fail with the run's usual lines; this one says why, once.
    if (api == nullptr) PrintErrorLine("Cannot load the frame and watermark module " + why);
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
