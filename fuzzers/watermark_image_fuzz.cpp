// Fuzz target: the picture of an image watermark (PNG, JPEG or BMP through FreeImage and the
// checked BMP loader), checked as the console run checks it and then drawn, turned and
// greyed over a small picture as the watermark step does.
#include <FreeImage.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/job_context.h"
#include "engine/marks/watermark.h"
#include "fuzzers/fuzz_sandbox.h"
#include "settings/settings.h"

namespace {

// Pictures beyond this are left to the loader's own limits: decoding them would only slow the
// fuzzer down.
constexpr unsigned kFuzzSide = 2048;

bool Small(const std::string& path) {
  const FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path.c_str(), 0);
  if (format != FIF_PNG && format != FIF_JPEG) return true;  // BMP: the checked loader's probe
  FIBITMAP* header = FreeImage_Load(format, path.c_str(), FIF_LOAD_NOPIXELS);
  if (header == nullptr) return true;
  const bool small = FreeImage_GetWidth(header) <= kFuzzSide && FreeImage_GetHeight(header) <= kFuzzSide;
  FreeImage_Unload(header);
  return small;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = ravelin::fuzz::InSandbox("mark.picture");
  if (!ravelin::fuzz::WriteSandboxFile(path, data, size)) return 0;
  if (!Small(path) || !ravelin::CanLoadWatermarkImage(path)) return 0;

  ravelin::Settings settings;
  ravelin::ResetSettings(settings, true);
  settings.DoWatermark = 2;
  settings.Image = path;
  settings.ImageOpacity = 200;
  settings.ImageGreyscale = size & 1;
  settings.WatermarkImageRotation = static_cast<int32_t>(size % 360);
  settings.ImageSize = static_cast<ravelin::Choice>(size % 3);
  settings.ImageXOffset = settings.ImageYOffset = 1;
  FIBITMAP* image = FreeImage_Allocate(48, 32, 24);
  if (image == nullptr) return 0;
  ravelin::JobContext job;
  image = ravelin::DrawWatermark(image, settings, job, nullptr, 48, 32);
  if (image != nullptr) FreeImage_Unload(image);
  return 0;
}
