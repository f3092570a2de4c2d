// The entry of the frame and watermark module: the table of its steps for the program that
// loads it.
#include "engine/marks/frame.h"
#include "engine/marks_module.h"
#include "engine/marks/watermark.h"
#include "engine/marks/watermark_font.h"

namespace ravelin {
namespace {

WatermarkFont* LoadFont(const Settings& settings) { return LoadWatermarkFont(settings).release(); }
void FreeFont(WatermarkFont* font) { delete font; }

const MarksApi kApi = {kMarksApiVersion, &DrawFrame, &DrawWatermark, &LoadFont, &FreeFont, &CanLoadWatermarkImage};

}  // namespace
}  // namespace ravelin

extern "C" __attribute__((visibility("default"))) const ravelin::MarksApi* ravelin_marks_api() {
  return &ravelin::kApi;
}
