// Fuzz target: an input file through the whole conversion, in-process, with a chain of
// operations switched on: rotation, resizing, both flips, colour correction, one of greyscale,
// threshold and dithering (chosen by the input's size), a solid frame and a text watermark.
// The PSD is written into the sandbox and removed again.
#include <IL/il.h>
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/bmp/bmp_loader.h"
#include "engine/memory_budget.h"
#include "engine/pipeline.h"
#include "engine/marks/watermark_font.h"
#include "fuzzers/fuzz_sandbox.h"
#include "settings/formats.h"
#include "settings/settings.h"

namespace {

// Pictures whose conversion would hold more than this are checked by the header read and the
// budget only: converting them would only slow the fuzzer down.
constexpr uint64_t kFuzzMemoryBytes = 64ull << 20;

struct Conversion {
  ravelin::Settings settings;
  std::unique_ptr<ravelin::WatermarkFont> font;
  std::string input;
  std::string outputFolder;
};

Conversion& Prepared() {
  static Conversion* conversion = [] {
    ilInit();
    ravelin::BuildFormatTables();
    auto* c = new Conversion;
    ravelin::Settings& s = c->settings;
    ravelin::ResetSettings(s, true);
    s.DoImageRotation = 1;
    s.ImageRotation = 30;
    s.ImageRotationBackColor = "336699";
    s.DoImageResize = 1;
    s.ImageWidth = 40;
    s.ImageHeight = 30;
    s.ImageResizeAlgorithm = 5;
    s.DoImageFlipHorizontal = 1;
    s.DoImageFlipVertical = 1;
    s.DoImageColorCorrection = 1;
    s.ImageBrightness = 10;
    s.ImageContrast = -10;
    s.ImageGamma = 1.2f;
    s.ImageInvert = 1;
    s.DoFrame = 1;
    s.SolidLeft = s.SolidTop = 3;
    s.SolidRight = s.SolidBottom = 2;
    s.SolidOpacity = 128;
    s.DoWatermark = 1;
    s.Text = "%filename% %width%x%height%%eol%n=%n%";
    s.FontSize = 8;
    s.TextRotation = 15;
    s.TextXOffset = s.TextYOffset = 2;
    c->font = ravelin::LoadWatermarkFont(s);
    c->input = ravelin::fuzz::InSandbox("input.bmp");
    c->outputFolder = ravelin::fuzz::InSandbox("out/");
    mkdir(c->outputFolder.c_str(), 0700);
    return c;
  }();
  return *conversion;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Conversion& c = Prepared();
  if (!ravelin::fuzz::WriteSandboxFile(c.input, data, size)) return 0;

  ravelin::Settings settings = c.settings;
  settings.DoImageGreyscale = size % 3 == 0;
  settings.DoImageThreshold = size % 3 == 1;
  settings.ImageThreshold = 100;
  settings.DoImageDither = size % 3 == 2;
  settings.ImageDitherAlgorithm = static_cast<ravelin::Choice>(size % 7);

  ravelin::JobContext job;
  job.InputPath = c.input;
  job.OutputFolder = c.outputFolder;
  job.OutputExt = "psd";
  job.AutoBpp = true;

  ravelin::BmpDimensions dimensions;
  const bool oversized =
      ravelin::ReadCheckedBmpHeader(c.input, &dimensions) &&
      !ravelin::ConversionFitsMemory(settings, job, {dimensions.width, dimensions.height, dimensions.bpp},
                                     kFuzzMemoryBytes);
  if (!oversized) ravelin::ConvertCurrentFile(settings, job, c.font.get());
  ravelin::fuzz::ClearFolder(c.outputFolder);
  return 0;
}
