// The replay's child process: each way an input can go wrong is told apart, and the child's
// sandbox is removed even when the child had to be killed.
#include "fuzzers/replay_limits.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzzers/fuzz_sandbox.h"

namespace ravelin::fuzz {
namespace {

// Allocates and touches 512 MB in 64 MB blocks, twice the limit the test sets.
int EatMemory() {
  std::vector<std::unique_ptr<char[]>> blocks;
  for (int i = 0; i < 8; ++i) {
    blocks.emplace_back(new char[64u << 20]);
    std::memset(blocks.back().get(), 1, 64u << 20);
  }
  return 0;
}

TEST(ReplayLimits, TellsTheOutcomesApart) {
  ReplayLimits limits;
  limits.seconds = 1;
  limits.memoryBytes = 256ull << 20;
  struct Case { const char* why; std::function<int()> work; ReplayStatus status; };
  const Case kCases[] = {
      {"runs through", [] { return 0; }, ReplayStatus::Passed},
      {"target returns non-zero", [] { return 1; }, ReplayStatus::Failed},
      {"crashes", []() -> int { std::abort(); }, ReplayStatus::Crashed},
      {"hangs", []() -> int { for (;;) pause(); }, ReplayStatus::TimedOut},
      {"takes more memory than allowed", EatMemory, ReplayStatus::OutOfMemory},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    const ReplayOutcome outcome = RunWithLimits(c.work, limits);
    EXPECT_EQ(c.status, outcome.status) << outcome.detail;
  }
}

TEST(ReplayLimits, AKilledChildLeavesNoSandbox) {
  char pattern[] = "/tmp/ravelin-replay-test-XXXXXX";
  ASSERT_NE(nullptr, mkdtemp(pattern));
  const std::string base = pattern;
  const char* before = std::getenv("TMPDIR");
  const std::string saved = before != nullptr ? before : "";
  setenv("TMPDIR", base.c_str(), 1);
  ReplayLimits limits;
  limits.seconds = 1;
  const ReplayOutcome outcome = RunWithLimits(
      [] {
        WriteSandboxFile(InSandbox("input.bmp"), reinterpret_cast<const uint8_t*>("BM"), 2);
        for (;;) pause();
        return 0;
      },
      limits);
  if (before != nullptr) setenv("TMPDIR", saved.c_str(), 1); else unsetenv("TMPDIR");
  EXPECT_EQ(ReplayStatus::TimedOut, outcome.status);
  DIR* dir = opendir(base.c_str());
  ASSERT_NE(nullptr, dir);
  int entries = 0;
  while (const dirent* entry = readdir(dir)) entries += entry->d_name[0] != '.';
  closedir(dir);
  EXPECT_EQ(0, entries) << "nothing is left in " << base;
  RemoveFolder(base);
}

}  // namespace
}  // namespace ravelin::fuzz
