// The heap prepared for loading a large picture: the picture's block lands in memory marked for
// huge pages, and once the load ends the allocator is back to its own ways.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/memory_budget_heap.h"

namespace ravelin {
namespace {

constexpr size_t kMiB = size_t{1} << 20;

// Whether the mapping holding `address` is marked for huge pages ("hg" among its VmFlags).
bool InHugePageRange(const void* address) {
  const auto at = reinterpret_cast<uintptr_t>(address);
  std::ifstream smaps("/proc/self/smaps");
  std::string line;
  bool inside = false;
  while (std::getline(smaps, line)) {
    uintptr_t begin = 0, end = 0;
    char dash = 0;
    std::istringstream range(line);
    if (range >> std::hex >> begin >> dash >> end && dash == '-' && line.find(':') > line.find(' ')) {
      inside = begin <= at && at < end;
    } else if (inside && line.rfind("VmFlags:", 0) == 0) {
      return (line + " ").find(" hg ") != std::string::npos;
    }
  }
  return false;
}

// A sanitizer's allocator replaces the C library's, whose options the heap is prepared with.
bool KernelTakesHugePageAdvice() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  return false;
#endif
  void* probe = mmap(nullptr, 4 * kMiB, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (probe == MAP_FAILED) return false;
  const bool taken = madvise(probe, 4 * kMiB, MADV_HUGEPAGE) == 0;
  munmap(probe, 4 * kMiB);
  return taken;
}

// Allocates what a loader would within a reserve of `reserve` bytes: whether the reserve was
// made and whether the block sits in the advised range.
struct Outcome {
  bool active;
  bool advised;
};
Outcome LoadWithin(uint64_t reserve, size_t block) {
  const ConversionHeap heap(reserve);
  void* picture = std::malloc(block);
  EXPECT_NE(picture, nullptr);
  const Outcome outcome{heap.active(), InHugePageRange(static_cast<char*>(picture) + block / 2)};
  std::free(picture);
  return outcome;
}

TEST(ConversionHeapTest, LargePicturesGetAdvisedBlocksSmallOnesAreLeftAlone) {
  if (!KernelTakesHugePageAdvice()) GTEST_SKIP() << "no huge page advice or no C library allocator here";
  const struct {
    uint64_t reserve;
    size_t block;
    bool active;
  } cases[] = {
      {1 * kMiB, 512 * 1024, false},
      {7 * kMiB, 6 * kMiB, false},
      {96 * kMiB, 72 * kMiB, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reserve);
    const Outcome outcome = LoadWithin(c.reserve, c.block);
    EXPECT_EQ(outcome.active, c.active);
    // An unprepared block of a few MiB or more is a mapping of its own, never advised.
    if (c.block >= 4 * kMiB) {
      EXPECT_EQ(outcome.advised, c.active);
    }
  }
}

TEST(ConversionHeapTest, AfterTheLoadLargeBlocksAreMappingsOfTheirOwnAgain) {
  if (!KernelTakesHugePageAdvice()) GTEST_SKIP() << "no huge page advice or no C library allocator here";
  { const ConversionHeap heap(96 * kMiB); }
  void* block = std::malloc(72 * kMiB);
  ASSERT_NE(block, nullptr);
  EXPECT_FALSE(InHugePageRange(static_cast<char*>(block) + 36 * kMiB));
  std::free(block);
}

// Share of [block, block + size) in memory.
double ResidentShare(const void* block, size_t size) {
  const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(block) + page - 1) & ~(page - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(block) + size) & ~(page - 1);
  std::vector<unsigned char> resident((end - begin) / page);
  if (mincore(reinterpret_cast<void*>(begin), end - begin, resident.data()) != 0) return -1;
  size_t in = 0;
  for (const unsigned char r : resident) in += r & 1;
  return static_cast<double>(in) / static_cast<double>(resident.size());
}

// A thread of the reserve maps it while the loader works: by the end of the load, a picture
// taken from the reserve is in memory although nothing wrote to it. Run on a converting thread,
// as the batch worker runs it.
TEST(ConversionHeapTest, TheReserveIsMappedWhileTheLoaderWorks) {
  if (!KernelTakesHugePageAdvice()) GTEST_SKIP() << "no huge page advice or no C library allocator here";
  double share = 0;
  std::thread worker([&] {
    UseSharedHeapForConversions();
    char* picture = nullptr;
    {
      const ConversionHeap heap(32 * kMiB);
      picture = static_cast<char*>(std::malloc(24 * kMiB));
    }
    if (picture == nullptr) return;
    share = ResidentShare(picture, 24 * kMiB);
    std::free(picture);
  });
  worker.join();
  EXPECT_EQ(1.0, share);
}

// The batch worker converts on a thread of its own; its large blocks must come from the heap
// that was prepared, not from a heap of the thread's.
TEST(ConversionHeapTest, AConvertingThreadUsesThePreparedHeap) {
  if (!KernelTakesHugePageAdvice()) GTEST_SKIP() << "no huge page advice or no C library allocator here";
  Outcome outcome{false, false};
  std::thread worker([&] {
    UseSharedHeapForConversions();
    outcome = LoadWithin(96 * kMiB, 72 * kMiB);
  });
  worker.join();
  EXPECT_TRUE(outcome.active);
  EXPECT_TRUE(outcome.advised);
}

}  // namespace
}  // namespace ravelin
