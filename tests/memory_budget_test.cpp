// The memory budget of a conversion: what the picture, the operations and DevIL's buffers
// hold at the peak, against the memory of the machine.
#include <gtest/gtest.h>

#include <functional>

#include "engine/ops/image_operations.h"
#include "engine/memory_budget.h"

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

}  // namespace
}  // namespace ravelin
