#include "engine/memory_budget.h"

#include <algorithm>
#include <cmath>

#include "engine/image_limits.h"
#include "engine/ops/image_operations.h"
#include "engine/ops/output_depth.h"
#include "engine/psd/psd_writer.h"
#include "engine/watermark_picture.h"

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

  // A picture with a side beyond what a PSD holds can never be made by the operations.
  void LimitSides() {
    if (shape_.width > kMaxPsdSide || shape_.height > kMaxPsdSide) Spoil();
  }
  void Spoil() { ok_ = false; }

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

  PictureShape shape_;
  uint64_t current_ = 0;
  uint64_t peak_ = 0;
  bool ok_ = true;
};

bool WorksOn(unsigned bpp) { return bpp == 8 || bpp == 24 || bpp == 32; }

uint64_t Bytes32(uint64_t width, uint64_t height, bool* ok) {
  size_t bytes = 0;
  if (!BitmapBytes(width, height, 32, &bytes)) *ok = false;
  return bytes;
}

// The most an image mark holds at once beside a picture of width x height, from the header of
// its file: the decoded picture (and its 8-bit copy when it has 16 bits a channel), its 32-bit
// copy and the drawing's picture of the part that can show; then the mark picture, its bitmap,
// the turned bitmap and the fitted copy of it. False when the mark cannot be made: a file
// that is not a picture the mark takes, or a side beyond the limits once turned.
bool ImageMarkPeak(const Settings& settings, uint64_t width, uint64_t height, uint64_t* bytes) {
  WatermarkPictureHeader header;
  if (!ReadWatermarkPictureHeader(settings.Image, &header) ||
      header.width > kMaxPsdSide || header.height > kMaxPsdSide) {
    return false;
  }
  bool ok = true;
  size_t decoded = 0;
  if (!BitmapBytes(header.width, header.height, std::max(header.bpp, 8u), &decoded)) return false;
  const uint64_t full = Bytes32(header.width, header.height, &ok);
  const uint64_t eightBit = header.bpp > 32 ? full : 0;
  const uint64_t shown = Bytes32(std::min(header.width, width), std::min(header.height, height), &ok);
  uint64_t markWidth = header.width, markHeight = header.height;
  const int angle = settings.WatermarkImageRotation;
  uint64_t turned = 0;
  if (angle > 0 && angle < 360) {
    // A turned mark is drawn whole; the turn keeps the corners, two pixels wider.
    const double radians = angle * M_PI / 180.0;
    const double w = static_cast<double>(header.width), h = static_cast<double>(header.height);
    const double turnedWidth = std::ceil(std::fabs(w * std::cos(radians)) + std::fabs(h * std::sin(radians))) + 2;
    const double turnedHeight = std::ceil(std::fabs(w * std::sin(radians)) + std::fabs(h * std::cos(radians))) + 2;
    if (turnedWidth > kMaxPsdSide || turnedHeight > kMaxPsdSide) return false;
    turned = Bytes32(static_cast<uint64_t>(turnedWidth), static_cast<uint64_t>(turnedHeight), &ok);
  } else {
    markWidth = std::min(markWidth, width);
    markHeight = std::min(markHeight, height);
  }
  const uint64_t mark = Bytes32(markWidth, markHeight, &ok);
  if (!ok) return false;
  const uint64_t stages[] = {
      decoded + eightBit + 2 * shown + (settings.ImageGreyscale ? shown : 0),
      shown + mark + (settings.ImageGreyscale ? shown : 0),
      2 * mark,
      mark + turned,
      2 * turned,
  };
  *bytes = *std::max_element(std::begin(stages), std::end(stages));
  return true;
}

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
    walk.LimitSides();
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
  walk.LimitSides();
  if (settings.DoWatermark != 0) {
    walk.EnsureDepth(24);
    uint64_t mark = walk.BytesAt(32);  // a text mark: at most the picture's size at 32 bits
    if (settings.DoWatermark == 2 &&
        !ImageMarkPeak(settings, walk.shape().width, walk.shape().height, &mark)) {
      return false;
    }
    walk.Hold(mark);
  }

  const int target = job.AutoBpp ? ChooseAutoBpp(job.OutputExt, static_cast<int>(loaded.bpp))
                                 : job.TargetBpp;
  // The writer widens the depths it knows row by row into DevIL's buffer: no 32-bit copy.
  if (target > 0 && !(target == 32 && WriterWidensTo32Bits(walk.shape().bpp))) {
    walk.EnsureDepth(static_cast<unsigned>(target));
  }

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
