#include "engine/pipeline.h"

#include <FreeImage.h>

#include "engine/bmp/bmp_loader.h"
#include "engine/image_limits.h"
#include "engine/ops/image_operations.h"
#include "engine/marks_module.h"
#include "engine/memory_budget.h"
#include "engine/memory_budget_heap.h"
#include "engine/naming.h"
#include "engine/ops/output_depth.h"
#include "engine/psd/psd_writer.h"
#include "platform/files.h"

namespace ravelin {
namespace {

// Five random letters give 26^5 names a second; this many taken in a row means the folder is
// not usable, not bad luck.
constexpr int kTempNameAttempts = 100;

// Holds the one current image; every step hands back the image the pipeline goes on with.
class CurrentImage {
 public:
  explicit CurrentImage(FIBITMAP* image) : image_(image) {}
  ~CurrentImage() {
    if (image_ != nullptr) FreeImage_Unload(image_);
  }
  CurrentImage(const CurrentImage&) = delete;
  CurrentImage& operator=(const CurrentImage&) = delete;

  template <typename Step>
  void Apply(Step step) {
    if (image_ != nullptr) image_ = step(image_);
  }
  FIBITMAP* get() const { return image_; }
  unsigned width() const { return image_ != nullptr ? FreeImage_GetWidth(image_) : 0; }
  unsigned height() const { return image_ != nullptr ? FreeImage_GetHeight(image_) : 0; }

 private:
  FIBITMAP* image_;
};

// The PSD writer widens 8-bit (palette) and 24-bit rows to 32 bits itself, with the very bytes
// the depth step's conversion gives, so the second full-size bitmap of that conversion is
// never made.
FIBITMAP* BringToOutputDepth(FIBITMAP* image, JobContext& job) {
  if (job.AutoBpp) job.TargetBpp = ChooseAutoBpp(job.OutputExt, job.SourceBpp);
  if (job.TargetBpp == 32 && WriterWidensTo32Bits(image)) return image;
  return ConvertOutputDepth(image, job);
}

}  // namespace

bool ConvertCurrentFile(const Settings& settings, JobContext& job, const WatermarkFont* font) {
  // Decided from the headers before any row is decoded or the picture allocated: a conversion
  // that would not fit the memory the process may use, or whose picture can never become a
  // PSD, fails here instead of part-way.
  BmpDimensions input;
  job.SourceBpp = 0;
  if (!ReadCheckedBmpHeader(job.InputPath, &input) ||
      !ConversionFitsMemory(settings, job, {input.width, input.height, input.bpp}, UsableMemoryBytes()) ||
      !ProbeCheckedBmp(job.InputPath, &input)) {
    return false;
  }
  CurrentImage image([&] {
    // FreeImage's header, palette and row alignment come on top of the rows.
    constexpr size_t kBitmapExtra = size_t{1} << 20;
    size_t bytes = 0;
    const ConversionHeap heap(BitmapBytes(input.width, input.height, input.bpp, &bytes) ? bytes + kBitmapExtra : 0);
    return LoadCheckedBmp(job.InputPath);
  }());
  job.SourceBpp = image.get() != nullptr ? static_cast<int>(FreeImage_GetBPP(image.get())) : 0;
  if (image.width() == 0 || image.height() == 0) return false;

  image.Apply([&](FIBITMAP* in) { return RotateImage(in, settings); });
  unsigned width = image.width(), height = image.height();
  image.Apply([&](FIBITMAP* in) { return ResizeImage(in, settings, width, height); });
  width = image.width();
  height = image.height();
  image.Apply([&](FIBITMAP* in) { return FlipImage(in, settings); });
  image.Apply([&](FIBITMAP* in) { return AdjustImageColors(in, settings); });
  image.Apply([&](FIBITMAP* in) { return GreyscaleImage(in, settings); });
  image.Apply([&](FIBITMAP* in) { return ThresholdImage(in, settings); });
  image.Apply([&](FIBITMAP* in) { return DitherImage(in, settings); });
  image.Apply([&](FIBITMAP* in) { return FrameStep(in, settings, width, height); });
  job.MaskWidth = static_cast<int>(width);
  job.MaskHeight = static_cast<int>(height);
  job.MaskFrame = 1;
  image.Apply([&](FIBITMAP* in) { return WatermarkStep(in, settings, job, font, width, height); });
  image.Apply([&](FIBITMAP* in) { return BringToOutputDepth(in, job); });
  if (image.get() == nullptr) return false;

  job.OutputPath = BuildOutputPath(settings, job);
  // A mask such as "%filename%.bmp" names the input itself: it is never written over.
  if (SameFile(job.InputPath, job.OutputPath)) return false;
  // A taken temporary name (a leftover, a planted link) is passed over for a freshly drawn one.
  PsdWriteResult result = PsdWriteResult::TempNameTaken;
  for (int attempt = 0; attempt < kTempNameAttempts && result == PsdWriteResult::TempNameTaken; ++attempt) {
    job.TempPath = BuildTempPath(settings, job);
    // The picture is not needed after the write: its rows make room for DevIL's buffer.
    result = WritePsd(image.get(), job.TempPath, job.OutputPath, RowsAfterCopy::GivenBack);
  }
  return result == PsdWriteResult::Saved;
}

}  // namespace ravelin
