// The session end inside one process: the first end signal or EndSession asks work to stop and
// runs the registered callbacks once; the registry of temporary files removes what it holds.
// (A second signal ends the process; the end-to-end tests show that.)
#include "platform/session_end.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/temp_files.h"
#include "tests/support/scratch.h"

namespace ravelin {
namespace {

using test::ScratchDir;

TEST(TempFiles, CreateCommitDiscardAndRemoveAll) {
  ScratchDir dir;
  const int kept = CreateTempFile(dir / "kept.tmp");
  const int dropped = CreateTempFile(dir / "dropped.tmp");
  const int left = CreateTempFile(dir / "left.tmp");
  ASSERT_GE(kept, 0);
  ASSERT_GE(dropped, 0);
  ASSERT_GE(left, 0);
  EXPECT_EQ(-1, CreateTempFile(dir / "kept.tmp")) << "a name in use is never opened again";
  EXPECT_EQ(EEXIST, errno);
  EXPECT_TRUE(CommitTempFile(dir / "kept.tmp", dir / "final.psd"));
  DiscardTempFile(dir / "dropped.tmp");
  EXPECT_FALSE(CommitTempFile(dir / "left.tmp", dir / "missing/final.psd"));
  RemoveAllTempFiles();
  EXPECT_EQ(std::vector<std::string>{"final.psd"}, test::ListFolder(dir.path()));
  for (int fd : {kept, dropped, left}) close(fd);
}

// One test, as the end of a session happens once a process.
TEST(SessionEnd, TheFirstSignalAsksWorkToStopAndRunsTheCallbacksOnce) {
  WatchSessionEnd();
  ASSERT_FALSE(SessionEnding());
  std::atomic<int> calls{0};
  OnSessionEnd([&calls] { ++calls; });
  OnSessionEnd([&calls] { calls += 10; });
  ASSERT_EQ(0, raise(SIGTERM));
  EXPECT_TRUE(SessionEnding()) << "the handler has run before raise returns";
  for (int i = 0; i < 2000 && calls.load() != 11; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(11, calls.load());
  EndSession();
  OnSessionEnd([&calls] { calls += 100; });
  EndSession();
  EXPECT_EQ(11, calls.load()) << "callbacks run once, and late ones never";
}

}  // namespace
}  // namespace ravelin
