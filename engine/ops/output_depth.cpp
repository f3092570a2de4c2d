#include "engine/ops/output_depth.h"

#include <string_view>

#include "engine/psd/image_handover.h"
#include "engine/image_limits.h"
#include "settings/formats.h"

namespace ravelin {
namespace {

// What a picture goes through before the conversion of its row.
enum class Preparation {
  kNone,
  kTo24UnlessHas24,  // the Wu quantiser takes 24-bit pictures
  kTo24WhenOver32,   // the 16-bit conversions take standard bitmaps of up to 32 bits
};

using Conversion = FIBITMAP* (*)(FIBITMAP*);

FIBITMAP* DitherFloydSteinberg(FIBITMAP* image) { return FreeImage_Dither(image, FID_FS); }
FIBITMAP* QuantizeWu(FIBITMAP* image) {
  return FreeImage_ColorQuantizeEx(image, FIQ_WUQUANT, 256, 0, nullptr);
}

// Outputs whose 8-bit pictures are greyscale-capable plain conversions.
constexpr const char* kPlain8BitOutputs[] = {"j2k", "jp2", "jpg", "jxr", nullptr};
// Outputs that keep 16-bit pictures as 5-5-5.
constexpr const char* k555Outputs[] = {"ico", "tga", nullptr};

struct DepthRule {
  int bpp;
  const char* const* outputs;  // the row holds for these outputs only; null: any output
  Preparation preparation;
  Conversion convert;
};

// The first row whose depth and outputs match decides; rows for named outputs come before
// the row for the others.
constexpr DepthRule kDepthRules[] = {
    {1, nullptr, Preparation::kNone, DitherFloydSteinberg},
    {4, nullptr, Preparation::kNone, FreeImage_ConvertTo4Bits},
    {8, kPlain8BitOutputs, Preparation::kNone, FreeImage_ConvertTo8Bits},
    {8, nullptr, Preparation::kTo24UnlessHas24, QuantizeWu},
    {16, k555Outputs, Preparation::kTo24WhenOver32, FreeImage_ConvertTo16Bits555},
    {16, nullptr, Preparation::kTo24WhenOver32, FreeImage_ConvertTo16Bits565},
    {24, nullptr, Preparation::kNone, FreeImage_ConvertTo24Bits},
    {32, nullptr, Preparation::kNone, FreeImage_ConvertTo32Bits},
    {48, nullptr, Preparation::kNone, FreeImage_ConvertToRGB16},
    {96, nullptr, Preparation::kNone, FreeImage_ConvertToRGBF},
};

bool Lists(const char* const* outputs, std::string_view ext) {
  for (const char* const* output = outputs; *output != nullptr; ++output) {
    if (ext == *output) return true;
  }
  return false;
}

const DepthRule* FindRule(int bpp, std::string_view ext) {
  for (const DepthRule& rule : kDepthRules) {
    if (rule.bpp == bpp && (rule.outputs == nullptr || Lists(rule.outputs, ext))) return &rule;
  }
  return nullptr;
}

FIBITMAP* Prepare(FIBITMAP* image, Preparation preparation) {
  const unsigned bpp = FreeImage_GetBPP(image);
  switch (preparation) {
    case Preparation::kTo24UnlessHas24:
      return bpp == 24 ? image : To24Bits(image);
    case Preparation::kTo24WhenOver32:
      return bpp > 32 ? To24Bits(image) : image;
    case Preparation::kNone:
      break;
  }
  return image;
}

}  // namespace

int ChooseAutoBpp(const std::string& outputExt, int sourceBpp) {
  const std::vector<int> allowed = AllowedBitDepths(outputExt);
  for (int bpp : allowed) {
    if (bpp >= sourceBpp) return bpp;
  }
  return allowed.empty() ? 0 : allowed.back();
}

FIBITMAP* ConvertOutputDepth(FIBITMAP* image, JobContext& job) {
  if (image == nullptr) return nullptr;
  if (job.AutoBpp) job.TargetBpp = ChooseAutoBpp(job.OutputExt, job.SourceBpp);
  if (static_cast<int>(FreeImage_GetBPP(image)) == job.TargetBpp) return image;

  const DepthRule* rule = FindRule(job.TargetBpp, job.OutputExt);
  if (rule == nullptr) return Refuse(image);
  // A deep conversion of a large picture could exceed the machine's memory.
  if (!WithinImageLimits(FreeImage_GetWidth(image), FreeImage_GetHeight(image),
                         static_cast<unsigned>(job.TargetBpp))) {
    return Refuse(image);
  }
  image = Prepare(image, rule->preparation);
  if (image == nullptr) return nullptr;
  return HandOver(image, rule->convert(image));
}

}  // namespace ravelin
