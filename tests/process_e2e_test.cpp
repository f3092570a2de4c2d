// End-to-end runs of the built converter around the conversion itself: what the process does
// with its descriptors, its signals and its instance guard, and how it treats the files beside
// the output (the input, an old output, the output's date and permission bits).
#include <gtest/gtest.h>

#include <FreeImage.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

#include "platform/files.h"
#include "tests/support/scratch.h"

namespace ravelin::test {
namespace {

const std::string kLockName = "Veltrano BMP to PSD 2.6.lock";
const std::string kSecondCopyLine = "Another copy of Veltrano BMP to PSD 2.6 is running; nothing was converted.\n";

void WriteBmp(const std::string& path, unsigned w, unsigned h) {
  FIBITMAP* bitmap = FreeImage_Allocate(static_cast<int>(w), static_cast<int>(h), 24);
  for (unsigned y = 0; y < std::min(h, 16u); ++y) {
    BYTE* row = FreeImage_GetScanLine(bitmap, static_cast<int>(y));
    for (unsigned x = 0; x < w * 3; ++x) row[x] = static_cast<BYTE>(x * 7 + y);
  }
  FreeImage_Save(FIF_BMP, bitmap, path.c_str(), 0);
  FreeImage_Unload(bitmap);
}

// A complete PSD of a w x h picture: the signature and the length DevIL's file has.
void ExpectPsd(const std::string& path, unsigned w, unsigned h) {
  const std::vector<uint8_t> bytes = ReadBytes(path);
  ASSERT_EQ(40 + size_t{4} * w * h, bytes.size()) << path;
  EXPECT_EQ((std::vector<uint8_t>{'8', 'B', 'P', 'S'}), std::vector<uint8_t>(bytes.begin(), bytes.begin() + 4));
}

bool HasTemporaryFile(const std::string& folder) {
  const std::vector<std::string> names = ListFolder(folder);
  return std::any_of(names.begin(), names.end(), [](const std::string& name) { return name.rfind("ravelin", 0) == 0; });
}

TEST(Process, PrintingNeverCostsTheConversion) {
  struct Case { const char* why; std::function<void()> inChild; };
  const Case kCases[] = {
      {"standard output is a pipe nobody reads",
       [] {
         int fds[2];
         if (pipe(fds) != 0) _exit(126);
         close(fds[0]);
         dup2(fds[1], STDOUT_FILENO);
         close(fds[1]);
       }},
      {"standard output is closed", [] { close(STDOUT_FILENO); }},
      {"all three standard descriptors are closed",
       [] {
         close(STDIN_FILENO);
         close(STDOUT_FILENO);
         close(STDERR_FILENO);
       }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    ScratchDir dir;
    WriteBmp(dir / "a.bmp", 40, 30);
    const RunResult run = RunRavelin({"-d", "-p", "-i", dir / "a.bmp"}, dir, "", c.inChild);
    EXPECT_EQ(0, run.exitCode);
    ExpectPsd(dir / "a.psd", 40, 30);
    EXPECT_EQ(0, FileSize(dir / "runtime/" + kLockName)) << "no printed line went into the lock file";
  }
}

// The temporary file exists for the length of the save; the signal comes the moment it is
// created, so the run is stopped in the middle of writing it.
TEST(Process, AnEndSignalStopsTheRunAndLeavesNoTemporaryFile) {
  struct Case { const char* why; int signal; int count; };
  const Case kCases[] = {
      {"Ctrl+C", SIGINT, 1},
      {"kill", SIGTERM, 1},
      {"the terminal closed", SIGHUP, 1},
      {"a second signal ends the process at once", SIGTERM, 2},
  };
  ScratchDir source;
  WriteBmp(source / "big.bmp", 2400, 2000);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    ScratchDir dir;
    const std::string out = dir / "out";
    mkdir(out.c_str(), 0700);
    ASSERT_TRUE(WriteBytes(out + "/big.psd", {'o', 'l', 'd'}));
    const int watch = inotify_init1(IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, out.c_str(), IN_CREATE), 0);
    const int pid = StartRavelin({"-q", "-i", source / "big.bmp", "-o", out}, dir);
    bool signalled = false;
    pollfd fd{watch, POLLIN, 0};
    while (!signalled && poll(&fd, 1, 20000) == 1) {
      alignas(inotify_event) char buffer[4096];
      const ssize_t n = read(watch, buffer, sizeof buffer);
      for (ssize_t at = 0; at < n;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if (!signalled && event->len > 0 && std::string(event->name).rfind("ravelin", 0) == 0) {
          for (int i = 0; i < c.count; ++i) kill(pid, c.signal);
          signalled = true;
        }
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    close(watch);
    EXPECT_TRUE(signalled) << "the temporary file was never created";
    EXPECT_EQ(0, WaitForRavelin(pid));
    EXPECT_EQ((std::vector<std::string>{"big.psd"}), ListFolder(out));
    EXPECT_EQ((std::vector<uint8_t>{'o', 'l', 'd'}), ReadBytes(out + "/big.psd"));
  }
}

TEST(Process, AnOutputThatIsTheInputFails) {
  ScratchDir dir;
  const std::string linkedFolder = dir / "linked";
  ASSERT_EQ(0, symlink(dir.path().c_str(), linkedFolder.c_str()));
  struct Case { const char* why; std::vector<std::string> args; };
  const Case kCases[] = {
      {"the mask names the input", {"--filename-mask=%filename%.bmp"}},
      {"the mask in capitals", {"--filename-mask=%FILENAME%.BMP"}},
      {"the same file through a linked folder", {"-o", linkedFolder, "--filename-mask=%filename%.bmp"}},
      {"a hard link of the input", {"--filename-mask=twin.bmp"}},
  };
  WriteBmp(dir / "a.bmp", 7, 5);
  ASSERT_EQ(0, link((dir / "a.bmp").c_str(), (dir / "twin.bmp").c_str()));
  const std::vector<uint8_t> input = ReadBytes(dir / "a.bmp");
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    std::vector<std::string> args = {"-q", "-i", dir / "a.bmp"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const RunResult run = RunRavelin(args, dir);
    EXPECT_EQ(std::vector<std::string>{"Conversion stopped"}, run.lines);
    EXPECT_EQ(input, ReadBytes(dir / "a.bmp"));
    EXPECT_EQ(input, ReadBytes(dir / "twin.bmp"));
    EXPECT_FALSE(HasTemporaryFile(dir.path()));
  }
}

// Copies started together: each converts its file or says on standard error that it did not.
TEST(Process, ParallelRunsConvertOrSaySoOnStandardError) {
  ScratchDir dir;
  constexpr int kRuns = 4;
  std::vector<RunResult> results(kRuns);
  std::vector<std::thread> threads;
  for (int i = 0; i < kRuns; ++i) WriteBmp(dir / ("f" + std::to_string(i) + ".bmp"), 300, 200);
  for (int i = 0; i < kRuns; ++i) {
    threads.emplace_back([&, i] { results[i] = RunRavelin({"-q", "-i", dir / ("f" + std::to_string(i) + ".bmp")}, dir); });
  }
  for (std::thread& thread : threads) thread.join();
  int converted = 0;
  for (int i = 0; i < kRuns; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(0, results[i].exitCode);
    EXPECT_EQ("", results[i].out);
    const bool made = FileSize(dir / ("f" + std::to_string(i) + ".psd")) > 0;
    converted += made ? 1 : 0;
    EXPECT_EQ(made ? "" : kSecondCopyLine, results[i].err);
  }
  EXPECT_GE(converted, 1);
}

TEST(Process, ASecondCopyWithoutParametersSaysNothing) {
  ScratchDir dir;
  mkdir((dir / "runtime").c_str(), 0700);
  const int fd = open((dir / "runtime/" + kLockName).c_str(), O_RDWR | O_CREAT, 0600);
  ASSERT_EQ(0, flock(fd, LOCK_EX | LOCK_NB));
  const RunResult bare = RunRavelin({}, dir);
  const RunResult version = RunRavelin({"-v"}, dir);
  close(fd);
  EXPECT_EQ("", bare.out + bare.err);
  EXPECT_EQ("", version.out);
  EXPECT_EQ(kSecondCopyLine, version.err);
}

// Without a usable runtime folder the guard moves to a private folder below TMPDIR; where it
// cannot make one either, the program runs unguarded rather than not at all.
TEST(Process, TheGuardFindsAPrivateFolderOrRunsWithout) {
  struct Case { const char* why; const char* runtime; bool guardBelowTmp; };
  const Case kCases[] = {
      {"runtime folder unset", nullptr, true},
      {"runtime folder empty", "", true},
      {"runtime folder missing", "missing", true},
      {"runtime folder others may write in", "shared", true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    ScratchDir dir;
    mkdir((dir / "tmp").c_str(), 0700);
    mkdir((dir / "shared").c_str(), 0777);
    chmod((dir / "shared").c_str(), 0777);
    WriteBmp(dir / "a.bmp", 3, 3);
    const std::string tmp = dir / "tmp";
    const std::string runtime = c.runtime == nullptr ? "" : (*c.runtime ? dir / c.runtime : "");
    const auto environment = [&] {
      setenv("TMPDIR", tmp.c_str(), 1);
      if (c.runtime == nullptr) unsetenv("XDG_RUNTIME_DIR");
      else setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    };
    const RunResult version = RunRavelin({"-v"}, dir, "", environment);
    EXPECT_EQ(std::vector<std::string>{"2.6"}, version.lines);
    const RunResult run = RunRavelin({"-q", "-i", dir / "a.bmp"}, dir, "", environment);
    EXPECT_EQ("", run.out + run.err);
    ExpectPsd(dir / "a.psd", 3, 3);
    const std::string folder = tmp + "/ravelin-" + std::to_string(geteuid());
    struct stat st;
    ASSERT_EQ(0, lstat(folder.c_str(), &st));
    EXPECT_EQ(0700u, st.st_mode & 07777);
    EXPECT_EQ(0, FileSize(folder + "/" + kLockName));
    EXPECT_EQ(-1, access((dir / "shared/" + kLockName).c_str(), F_OK));

    // That folder guards too.
    const int fd = open((folder + "/" + kLockName).c_str(), O_RDWR);
    ASSERT_EQ(0, flock(fd, LOCK_EX | LOCK_NB));
    unlink((dir / "a.psd").c_str());
    const RunResult second = RunRavelin({"-q", "-i", dir / "a.bmp"}, dir, "", environment);
    close(fd);
    EXPECT_EQ(kSecondCopyLine, second.err);
    EXPECT_EQ(-1, access((dir / "a.psd").c_str(), F_OK));
  }
}

// Another user's lock file or folder can never stop this user's copy.
TEST(Process, AnotherUsersLockNeverStopsThisUser) {
  if (geteuid() != 0) GTEST_SKIP() << "making files of another user needs root";
  constexpr uid_t kOther = 4242;
  ScratchDir dir;
  WriteBmp(dir / "a.bmp", 3, 3);
  const std::string tmp = dir / "tmp";
  mkdir(tmp.c_str(), 0777);
  chmod(tmp.c_str(), 01777);
  // Another user was first to the fallback folder's name, and planted a lock in the runtime
  // folder (made there before it became private).
  const std::string planted = tmp + "/ravelin-" + std::to_string(geteuid());
  ASSERT_EQ(0, mkdir(planted.c_str(), 0700));
  ASSERT_EQ(0, chown(planted.c_str(), kOther, kOther));
  mkdir((dir / "runtime").c_str(), 0700);
  const std::string lock = dir / "runtime/" + kLockName;
  ASSERT_TRUE(WriteBytes(lock, {}));
  ASSERT_EQ(0, chown(lock.c_str(), kOther, kOther));
  const int held = open(lock.c_str(), O_RDWR);
  ASSERT_EQ(0, flock(held, LOCK_EX | LOCK_NB));
  const RunResult run = RunRavelin({"-q", "-i", dir / "a.bmp"}, dir, "", [&] { setenv("TMPDIR", tmp.c_str(), 1); });
  close(held);
  EXPECT_EQ("", run.out + run.err);
  ExpectPsd(dir / "a.psd", 3, 3);
  EXPECT_TRUE(ListFolder(planted).empty()) << "nothing is written into another user's folder";
}

// 02:30 on the last Sunday of October 2023 happened twice in Berlin: at 00:30 and 01:30 UTC.
TEST(Process, TheOriginalDateIsCopiedExactly) {
  const timespec kDates[] = {{1698539400, 123456789}, {1698543000, 987654321}, {1700000000, 0}};
  for (const timespec& date : kDates) {
    SCOPED_TRACE(date.tv_sec);
    ScratchDir dir;
    WriteBmp(dir / "a.bmp", 3, 3);
    const timespec times[2] = {{0, UTIME_OMIT}, date};
    ASSERT_EQ(0, utimensat(AT_FDCWD, (dir / "a.bmp").c_str(), times, 0));
    const RunResult run = RunRavelin({"-q", "-i", dir / "a.bmp", "--file-timestamp=original"}, dir, "",
                                     [] { setenv("TZ", "Europe/Berlin", 1); });
    EXPECT_EQ("", run.out);
    struct stat st;
    ASSERT_EQ(0, stat((dir / "a.psd").c_str(), &st));
    EXPECT_EQ(date.tv_sec, st.st_mtim.tv_sec);
    EXPECT_EQ(date.tv_nsec, st.st_mtim.tv_nsec);
  }
}

TEST(Process, AReplacedOutputKeepsItsPermissions) {
  ScratchDir dir;
  WriteBmp(dir / "a.bmp", 3, 3);
  ASSERT_TRUE(WriteBytes(dir / "a.psd", {'o', 'l', 'd'}));
  ASSERT_EQ(0, chmod((dir / "a.psd").c_str(), 0600));
  const RunResult run = RunRavelin({"-q", "-i", dir / "a.bmp"}, dir, "", [] { umask(022); });
  EXPECT_EQ("", run.out);
  ExpectPsd(dir / "a.psd", 3, 3);
  struct stat st;
  ASSERT_EQ(0, stat((dir / "a.psd").c_str(), &st));
  EXPECT_EQ(0600u, st.st_mode & 07777);
}

}  // namespace
}  // namespace ravelin::test
