// The memory budget of a conversion: what the picture, the operations and DevIL's buffers
// hold at the peak, against the memory of the machine.
#include <gtest/gtest.h>

#include <functional>

#include "engine/ops/image_operations.h"
#include "engine/image_limits.h"
#include "engine/memory_budget.h"
#include "tests/support/png_header.h"
#include "tests/support/scratch.h"

namespace ravelin {
namespace {

constexpr uint64_t kGiB = uint64_t{1} << 30;

JobContext PsdJob() {
  JobContext job;
  job.OutputExt = "psd";
  job.AutoBpp = true;
  return job;
}

uint64_t Peak(const Settings& settings, const PictureShape& shape) {
  uint64_t bytes = 0;
  EXPECT_TRUE(EstimateConversionPeak(settings, PsdJob(), shape, &bytes));
  return bytes;
}

TEST(MemoryBudget, HoldsThePictureAndDevilsBuffers) {
  const Settings plain;
  // 30000 x 30000 at 8 bits: 0.9 GB loaded, then the output picture beside DevIL's buffer of
  // 3.6 GB.
  const PictureShape huge{30000, 30000, 8};
  const uint64_t peak = Peak(plain, huge);
  EXPECT_GE(peak, uint64_t{900000000} + uint64_t{3600000000});
  EXPECT_FALSE(ConversionFitsMemory(plain, PsdJob(), huge, 4 * kGiB));
  EXPECT_TRUE(ConversionFitsMemory(plain, PsdJob(), huge, 64 * kGiB));
  EXPECT_TRUE(ConversionFitsMemory(plain, PsdJob(), huge, peak));
  EXPECT_FALSE(ConversionFitsMemory(plain, PsdJob(), huge, peak - 1));
  EXPECT_TRUE(ConversionFitsMemory(plain, PsdJob(), {4, 3, 24}, 1 << 20));
}

// The writer widens 8- and 24-bit rows into DevIL's buffer itself: the peak of a plain
// conversion is the loaded picture and that buffer, with no 32-bit copy between them.
TEST(MemoryBudget, PlainConversionsHoldNoWidenedCopy) {
  struct Case { unsigned bpp; bool copied; };
  const Case kCases[] = {{1, true}, {4, true}, {8, false}, {16, true}, {24, false}, {32, false}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.bpp);
    size_t loaded = 0, rgba = 0;
    ASSERT_TRUE(BitmapBytes(600, 400, c.bpp, &loaded));
    ASSERT_TRUE(BitmapBytes(600, 400, 32, &rgba));
    const uint64_t peak = Peak(Settings{}, {600, 400, c.bpp});
    // A copy made by the depth step releases the loaded picture before DevIL's buffer is made.
    EXPECT_EQ(c.copied ? 2 * rgba : loaded + rgba, peak);
  }
}

TEST(MemoryBudget, FollowsTheOperations) {
  const PictureShape picture{2000, 1000, 24};
  const uint64_t plain = Peak(Settings{}, picture);
  struct Case { const char* why; std::function<void(Settings*)> set; bool larger; };
  const Case kCases[] = {
      {"a 45-degree turn enlarges the picture",
       [](Settings* s) { s->DoImageRotation = 1; s->ImageRotation = 45; }, true},
      {"enlarging to 4000 x 2000", [](Settings* s) { s->DoImageResize = 1; s->ImageWidth = 4000; s->ImageHeight = 2000; }, true},
      {"shrinking to 100 x 50", [](Settings* s) { s->DoImageResize = 1; s->ImageWidth = 100; s->ImageHeight = 50; }, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    Settings settings;
    c.set(&settings);
    if (c.larger) {
      EXPECT_GT(Peak(settings, picture), plain);
    } else {
      EXPECT_LT(Peak(settings, picture), plain);
    }
  }
}

TEST(MemoryBudget, SizesBeyondCountingNeverFit) {
  Settings enlarge;
  enlarge.DoImageResize = 1;
  enlarge.ImageWidth = 2000000000;
  enlarge.ImageHeight = 2000000000;
  enlarge.KeepAspectRatio = 0;
  uint64_t bytes = 0;
  EXPECT_FALSE(EstimateConversionPeak(Settings{}, PsdJob(), {UINT64_MAX / 2, 3, 32}, &bytes));
  EXPECT_FALSE(ConversionFitsMemory(Settings{}, PsdJob(), {UINT64_MAX / 2, 3, 32}, UINT64_MAX));
  EXPECT_FALSE(ConversionFitsMemory(enlarge, PsdJob(), {3000000000, 3000000000, 24}, UINT64_MAX));
}

// Sides a PSD can never hold are refused from the header, before any row is decoded, unless the
// configured resize brings them down; a rotation that takes them beyond is refused too.
TEST(MemoryBudget, PicturesThatCanNeverBecomeAPsd) {
  struct Case { const char* why; PictureShape loaded; std::function<void(Settings*)> set; bool fits; };
  const auto resize = [](Settings* s) { s->DoImageResize = 1; s->ImageWidth = 40; s->ImageHeight = 30; };
  const Case kCases[] = {
      {"30000 x 2 as it is", {30000, 2, 8}, [](Settings*) {}, true},
      {"30001 x 2 as it is", {30001, 2, 8}, [](Settings*) {}, false},
      {"1 x 536870911 as it is", {1, 536870911, 8}, [](Settings*) {}, false},
      {"6 x 268435459 resized to 40 x 30", {6, 268435459, 4}, resize, true},
      {"6 x 268435459 turned by 30 degrees, then resized",
       {6, 268435459, 4}, [&](Settings* s) { resize(s); s->DoImageRotation = 1; s->ImageRotation = 30; }, false},
      {"25000 x 25000 turned by 45 degrees", {25000, 25000, 8},
       [](Settings* s) { s->DoImageRotation = 1; s->ImageRotation = 45; }, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    Settings settings;
    c.set(&settings);
    EXPECT_EQ(c.fits, ConversionFitsMemory(settings, PsdJob(), c.loaded, UINT64_MAX));
  }
}

// An image mark is counted from its picture's header: decoded, drawn and turned beside the
// picture. A mark that cannot be made (no picture, turned beyond the limits) never fits.
TEST(MemoryBudget, CountsTheImageMark) {
  test::ScratchDir dir;
  ASSERT_TRUE(test::WriteBytes(dir / "big.png", test::PngClaiming(20000, 20000)));
  ASSERT_TRUE(test::WriteBytes(dir / "small.png", test::PngClaiming(20, 10)));
  ASSERT_TRUE(test::WriteBytes(dir / "huge.png", test::PngClaiming(25000, 25000)));
  const PictureShape picture{96, 64, 24};
  auto mark = [&](const char* name, int rotation) {
    Settings settings;
    settings.DoWatermark = 2;
    settings.Image = dir / name;
    settings.WatermarkImageRotation = rotation;
    return settings;
  };
  Settings text;
  text.DoWatermark = 1;
  const uint64_t withText = Peak(text, picture);
  EXPECT_EQ(withText, Peak(mark("small.png", 0), picture)) << "a small mark is within the text's share";
  const uint64_t decoded = uint64_t{20000} * 20000 * 4;
  EXPECT_GE(Peak(mark("big.png", 0), picture), decoded);
  EXPECT_GE(Peak(mark("big.png", 30), picture), decoded + uint64_t{27322} * 27322 * 4)
      << "turned whole: the turned bitmap as well";
  uint64_t bytes = 0;
  EXPECT_TRUE(EstimateConversionPeak(mark("huge.png", 0), PsdJob(), picture, &bytes));
  EXPECT_FALSE(EstimateConversionPeak(mark("huge.png", 30), PsdJob(), picture, &bytes))
      << "turned beyond 30000 pixels";
  EXPECT_FALSE(EstimateConversionPeak(mark("missing.png", 0), PsdJob(), picture, &bytes));
  EXPECT_FALSE(ConversionFitsMemory(mark("big.png", 0), PsdJob(), picture, uint64_t{1} << 30));
}

}  // namespace
}  // namespace ravelin
