#include "engine/batch_worker.h"

#include <gtest/gtest.h>

#include <FreeImage.h>
#include <IL/il.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <utime.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include "platform/local_time.h"
#include "tests/support/scratch.h"

namespace ravelin {
namespace {

using test::ListFolder;
using test::ScratchDir;
using test::WriteBytes;

void WriteBmp(const std::string& path) {
  FIBITMAP* bitmap = FreeImage_Allocate(4, 3, 24);
  FreeImage_Save(FIF_BMP, bitmap, path.c_str(), 0);
  FreeImage_Unload(bitmap);
}

// True when the thread `id` of this process is asleep (state S in its stat line).
bool ThreadSleeps(pid_t id) {
  if (id == 0) return false;
  std::ifstream stat("/proc/self/task/" + std::to_string(id) + "/stat");
  std::string line;
  std::getline(stat, line);
  const size_t close = line.rfind(')');
  return close != std::string::npos && line.size() > close + 2 && line[close + 2] == 'S';
}

struct WorkerFixture {
  Settings settings;
  JobContext job;
  InputList list;
  RunState state;
  std::mutex lock;
  std::vector<std::string> lines;

  explicit WorkerFixture(const ScratchDir& dir) {
    ilInit();
    job.OutputFolder = dir.path();
    job.OutputExt = "psd";
    job.AutoBpp = true;
    state.Running = true;
  }
  void Add(const std::string& path) { list.emplace(path, InputEntry{}); }
  void Go(bool debug = false) {
    WorkerRun run{settings, job, list, state, lock, nullptr, {}};
    if (debug) run.debugLine = [this](const std::string& line) { lines.push_back(line); };
    EXPECT_EQ(0, BatchWorker(run));
  }
};

TEST(BatchWorker, EmptyListConvertsNothing) {
  ScratchDir dir;
  WorkerFixture run(dir);
  run.Go();
  EXPECT_EQ(0, run.state.FileNumber);
  EXPECT_EQ(0, run.state.ConvertedCount);
}

TEST(BatchWorker, AFailedEntryUsesNoCounterNumber) {
  ScratchDir dir;
  WorkerFixture run(dir);
  WriteBytes(dir / "a.bmp", std::vector<uint8_t>(64, 'x'));  // not a bitmap
  WriteBmp(dir / "b.bmp");
  WriteBmp(dir / "c.bmp");
  run.Add(dir / "a.bmp");
  run.Add(dir / "b.bmp");
  run.Add(dir / "c.bmp");
  run.settings.FilenameMask = "%n%.%ext%";
  run.job.Counter = 1;
  run.Go(true);
  EXPECT_EQ(3, run.state.FileNumber);
  EXPECT_EQ(2, run.state.ConvertedCount);
  EXPECT_EQ(3, run.job.Counter);
  EXPECT_EQ(1000, run.state.LastElapsedMs) << "a quick entry is reported as 1000 ms";
  EXPECT_EQ((std::vector<std::string>{"00001.psd", "00002.psd", "a.bmp", "b.bmp", "c.bmp"}), ListFolder(dir.path()));
  const std::vector<std::string> expected = {
      "Processing: " + dir / "a.bmp", "File Format: [ERROR] UNRECOGNIZED", "[ERROR] Unable to convert the file!",
      "Processing: " + dir / "b.bmp", "File Format: BMP", "[OK] Saving As: " + dir / "00001.psd",
      "Processing: " + dir / "c.bmp", "File Format: BMP", "[OK] Saving As: " + dir / "00002.psd"};
  EXPECT_EQ(expected, run.lines);
}

TEST(BatchWorker, AStoppedRunStartsNoEntry) {
  ScratchDir dir;
  WorkerFixture run(dir);
  WriteBmp(dir / "a.bmp");
  run.Add(dir / "a.bmp");
  run.state.Running = false;
  run.Go();
  EXPECT_EQ(0, run.state.FileNumber);
  EXPECT_EQ(0, run.state.ConvertedCount);
}

// The stop question holds the run lock; a stop answered while the worker waits for it at
// the start of an entry ends the run before that entry is converted.
TEST(BatchWorker, AStopAnsweredUnderTheLockStartsNoEntry) {
  ScratchDir dir;
  WorkerFixture run(dir);
  WriteBmp(dir / "a.bmp");
  run.Add(dir / "a.bmp");
  std::unique_lock<std::mutex> question(run.lock);
  std::atomic<pid_t> workerId{0};
  std::thread worker([&] {
    workerId = static_cast<pid_t>(syscall(SYS_gettid));
    run.Go();
  });
  // Wait (bounded) until the worker sleeps on the lock.
  for (int i = 0; i < 400 && !ThreadSleeps(workerId); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  run.state.Running = false;
  question.unlock();
  worker.join();
  EXPECT_EQ(0, run.state.FileNumber);
  EXPECT_EQ(0, run.state.ConvertedCount);
  EXPECT_EQ(std::vector<std::string>{"a.bmp"}, ListFolder(dir.path()));
}

TEST(BatchWorker, StampsTheOutputDate) {
  ScratchDir dir;
  WriteBmp(dir / "a.bmp");
  const time_t original = 1500000000;
  const utimbuf times{original, original};
  ASSERT_EQ(0, utime((dir / "a.bmp").c_str(), &times));
  struct Case { int timestamp; time_t expected; };
  const int32_t custom = 1234567890;
  for (const Case& c : {Case{1, original}, Case{2, static_cast<time_t>(LocalDateToUtc(custom))}}) {
    WorkerFixture run(dir);
    run.Add(dir / "a.bmp");
    run.settings.FileTimestamp = static_cast<Choice>(c.timestamp);
    run.settings.CustomTimestamp = custom;
    run.Go();
    struct stat st;
    ASSERT_EQ(0, stat((dir / "a.psd").c_str(), &st));
    EXPECT_EQ(c.expected, st.st_mtime) << "File Timestamp " << c.timestamp;
  }
}

}  // namespace
}  // namespace ravelin
