// The frame and watermark steps as the pipeline and the console run call them. Their drawing
// (cairo, pango, fontconfig) lives in a module of its own, "ravelin-marks.so" beside the
// program, loaded on first use: a conversion without a frame or watermark never loads those
// libraries, which cost more at start-up than a small conversion takes.
#pragma once

#include <memory>
#include <string>

#include <FreeImage.h>

#include "engine/job_context.h"
#include "settings/settings.h"

namespace ravelin {

class WatermarkFont;

// The table of entry points the module hands out.
struct MarksApi {
  int version;
  FIBITMAP* (*drawFrame)(FIBITMAP* image, const Settings& settings, unsigned width, unsigned height);
  FIBITMAP* (*drawWatermark)(FIBITMAP* image, const Settings& settings, const JobContext& job,
                             const WatermarkFont* font, unsigned width, unsigned height);
  WatermarkFont* (*loadFont)(const Settings& settings);
  void (*freeFont)(WatermarkFont* font);
  bool (*canLoadImage)(const std::string& path);
};
inline constexpr int kMarksApiVersion = 1;
// The module's one exported symbol: `extern "C" const MarksApi* ravelin_marks_api()`.
inline constexpr char kMarksEntry[] = "ravelin_marks_api";
inline constexpr char kMarksModuleName[] = "ravelin-marks.so";

// The module's table, loaded once (thread-safe); null when it cannot be loaded, which is then
// said once on standard error with the loader's reason.
const MarksApi* Marks();

// `Do Frame` 0 returns the image untouched without loading anything; otherwise the frame.
// Without the module the image is released and null returned: the conversion fails.
FIBITMAP* FrameStep(FIBITMAP* image, const Settings& settings, unsigned width, unsigned height);
// The same for `Do Watermark`.
FIBITMAP* WatermarkStep(FIBITMAP* image, const Settings& settings, const JobContext& job,
                        const WatermarkFont* font, unsigned width, unsigned height);

struct WatermarkFontDeleter {
  void operator()(WatermarkFont* font) const;
};
using WatermarkFontHandle = std::unique_ptr<WatermarkFont, WatermarkFontDeleter>;

// The watermark font of a run; null when the face cannot be created or the module is missing.
WatermarkFontHandle OpenWatermarkFont(const Settings& settings);
// True when the picture can be made into an image mark.
bool WatermarkImageUsable(const std::string& path);

}  // namespace ravelin
