#include "engine/memory_budget.h"

#include <algorithm>

#include "engine/image_limits.h"
#include "engine/ops/image_operations.h"
#include "engine/ops/output_depth.h"

namespace ravelin {
namespace {

// Copies DevIL makes of its buffer while it saves a PSD: none, since the writer hands it the
// rows top first in RGBA order, the layout its PSD saver writes without converting.
constexpr uint64_t kDevilSaveCopies = 0;

// Walks the steps in pipeline order, keeping the bytes of the current picture and the most
// held at any moment. Once a figure overflows the walk is spoilt and stays so.
class PeakWalk {
 public:
  explicit PeakWalk(const PictureShape& loaded) : shape_(loaded) {
    ok_ = Bytes(shape_, &current_);
    peak_ = current_;
  }

  const PictureShape& shape() const { return shape_; }

  // A step makes `made` while the current picture and `extra` bytes of its own are alive;
  // then `made` is the current picture.
  void Replace(const PictureShape& made, uint64_t extra = 0) {
    uint64_t bytes = 0;
    if (!ok_ || !Bytes(made, &bytes)) return Spoil();
    Hold(bytes, extra);
    shape_ = made;
    current_ = bytes;
  }
  // The depth conversion a step does first when the picture is not at `bpp` already.
  void EnsureDepth(unsigned bpp) {
    if (shape_.bpp != bpp) Replace({shape_.width, shape_.height, bpp});
  }
  // `a` + `b` bytes are alive beside the current picture for a moment.
  void Hold(uint64_t a, uint64_t b = 0) {
    uint64_t total = 0;
    if (!ok_ || __builtin_add_overflow(current_, a, &total) ||
        __builtin_add_overflow(total, b, &total)) {
      return Spoil();
    }
    peak_ = std::max(peak_, total);
  }
  uint64_t BytesAt(unsigned bpp) {
    uint64_t bytes = 0;
    if (!Bytes({shape_.width, shape_.height, bpp}, &bytes)) Spoil();
    return bytes;
  }

  bool Result(uint64_t* bytes) const {
    if (!ok_) return false;
    *bytes = peak_;
    return true;
  }

 private:
  static bool Bytes(const PictureShape& shape, uint64_t* out) {
    size_t bytes = 0;
    if (!BitmapBytes(shape.width, shape.height, shape.bpp, &bytes)) return false;
    *out = bytes;
    return true;
  }
  void Spoil() { ok_ = false; }

  PictureShape shape_;
  uint64_t current_ = 0;
  uint64_t peak_ = 0;
  bool ok_ = true;
};

bool WorksOn(unsigned bpp) { return bpp == 8 || bpp == 24 || bpp == 32; }

}  // namespace

bool EstimateConversionPeak(const Settings& settings, const JobContext& job,
                            const PictureShape& loaded, uint64_t* bytes) {
  PeakWalk walk(loaded);

  if (settings.DoImageRotation && settings.ImageRotation > 0 && settings.ImageRotation < 360) {
    const unsigned bpp = (walk.shape().bpp <= 16 || walk.shape().bpp > 32) ? 24 : walk.shape().bpp;
    walk.EnsureDepth(bpp);
    uint64_t width = 0, height = 0;
    RotatedSize(walk.shape().width, walk.shape().height, settings.ImageRotation,
                settings.ImageRotationType, &width, &height);
    walk.Replace({width, height, bpp});
  }
  uint64_t width = 0, height = 0;
  if (ResizeTarget(settings, walk.shape().width, walk.shape().height, &width, &height)) {
    // FreeImage rescales 8-, 24- and 32-bit rows; others go through a 24-bit copy first.
    const bool direct = WorksOn(walk.shape().bpp);
    const uint64_t converted = direct ? 0 : walk.BytesAt(24);
    walk.Replace({width, height, direct ? walk.shape().bpp : 24}, converted);
  }
  if (settings.DoImageColorCorrection && !WorksOn(walk.shape().bpp)) walk.EnsureDepth(24);
  if (settings.DoImageGreyscale) {
    if (walk.shape().bpp > 32) walk.EnsureDepth(24);
    walk.EnsureDepth(8);
  }
  for (const bool blackAndWhite : {settings.DoImageThreshold != 0, settings.DoImageDither != 0}) {
    if (!blackAndWhite) continue;
    if (walk.shape().bpp < 4 || walk.shape().bpp > 32) walk.EnsureDepth(24);
    walk.Replace({walk.shape().width, walk.shape().height, 1});
  }
  if (settings.DoFrame != 0) walk.EnsureDepth(24);
  if (settings.DoWatermark != 0) {
    walk.EnsureDepth(24);
    walk.Hold(walk.BytesAt(32));  // the mark, at most the picture's size at 32 bits
  }

  const int target = job.AutoBpp ? ChooseAutoBpp(job.OutputExt, static_cast<int>(loaded.bpp))
                                 : job.TargetBpp;
  if (target > 0) walk.EnsureDepth(static_cast<unsigned>(target));

  // DevIL's buffer of 32-bit pixels and its copies, beside the final picture.
  const uint64_t devil = walk.BytesAt(32);
  uint64_t devilTotal = 0;
  if (__builtin_mul_overflow(devil, 1 + kDevilSaveCopies, &devilTotal)) return false;
  walk.Hold(devilTotal);
  return walk.Result(bytes);
}

bool ConversionFitsMemory(const Settings& settings, const JobContext& job,
                          const PictureShape& loaded, uint64_t memoryBytes) {
  uint64_t peak = 0;
  return EstimateConversionPeak(settings, job, loaded, &peak) && peak <= memoryBytes;
}

}  // namespace ravelin
