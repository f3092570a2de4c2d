#include "engine/image_limits.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace ravelin {
namespace {

TEST(ImageLimits, SizeArithmeticRefusesOverflow) {
  size_t out = 7;
  EXPECT_FALSE(MulSize(SIZE_MAX, 2, &out));
  EXPECT_FALSE(AddSize(SIZE_MAX, 1, &out));
  EXPECT_EQ(7u, out);  // untouched on overflow
  EXPECT_TRUE(MulSize(SIZE_MAX, 1, &out));
  EXPECT_EQ(SIZE_MAX, out);
  EXPECT_TRUE(AddSize(SIZE_MAX - 1, 1, &out));
  EXPECT_EQ(SIZE_MAX, out);
}

TEST(ImageLimits, BitmapBytesPadRowsToWords) {
  struct Case { uint64_t width, height; unsigned bpp; size_t bytes; };
  const Case kCases[] = {
      {1, 1, 1, 4},    {32, 1, 1, 4},  {33, 1, 1, 8},   {3, 2, 24, 24},
      {5, 3, 4, 12},   {1, 1, 96, 12}, {30000, 30000, 32, size_t{3600000000}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + "x" +
                 std::to_string(c.bpp));
    size_t bytes = 0;
    ASSERT_TRUE(BitmapBytes(c.width, c.height, c.bpp, &bytes));
    EXPECT_EQ(c.bytes, bytes);
  }
  size_t bytes = 0;
  EXPECT_FALSE(BitmapBytes(uint64_t{1} << 62, uint64_t{1} << 62, 32, &bytes));
  EXPECT_FALSE(BitmapBytes(UINT64_MAX, 1, 8, &bytes));
}

TEST(ImageLimits, SidesAndMemory) {
  const size_t kGiB = size_t{1} << 30;
  struct Case { const char* why; uint64_t width, height; unsigned bpp; size_t memory; bool fits; };
  const Case kCases[] = {
      {"the largest document", 30000, 30000, 32, 8 * kGiB, true},
      {"one pixel too wide", 30001, 1, 8, 8 * kGiB, false},
      {"one pixel too tall", 1, 30001, 8, 8 * kGiB, false},
      {"far too large", 100000, 100000, 24, SIZE_MAX, false},
      {"more bytes than memory", 30000, 30000, 32, size_t{3600000000} - 1, false},
      {"exactly the memory", 30000, 30000, 32, size_t{3600000000}, true},
      {"a side of 0 is left to FreeImage", 0, 10, 24, kGiB, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(c.fits, WithinImageLimits(c.width, c.height, c.bpp, c.memory));
  }
}

TEST(ImageLimits, KnowsThisMachinesMemory) {
  const size_t memory = PhysicalMemoryBytes();
  EXPECT_GT(memory, size_t{64} << 20);
  EXPECT_LT(memory, SIZE_MAX);
  EXPECT_TRUE(WithinImageLimits(100, 100, 32));
}

// Under an address-space or data limit the budget is the limit, so work that cannot fit is
// refused before it begins. Checked in a child, whose limit ends with it.
TEST(ImageLimits, UsableMemoryFollowsTheProcessLimits) {
  EXPECT_LE(UsableMemoryBytes(), PhysicalMemoryBytes());
  for (const int resource : {RLIMIT_AS, RLIMIT_DATA}) {
    const pid_t child = fork();
    ASSERT_NE(-1, child);
    if (child == 0) {
      struct rlimit limit;
      if (getrlimit(resource, &limit) != 0) _exit(2);
      limit.rlim_cur = rlim_t{1} << 30;
      if (setrlimit(resource, &limit) != 0) _exit(2);
      const size_t expected = std::min(PhysicalMemoryBytes(), size_t{1} << 30);
      const bool follows = UsableMemoryBytes() == expected &&
                           !WithinImageLimits(20000, 20000, 24) && WithinImageLimits(1000, 1000, 24);
      _exit(follows ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "resource " << resource;
  }
}

}  // namespace
}  // namespace ravelin
