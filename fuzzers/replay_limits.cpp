#include "fuzzers/replay_limits.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>

#include "fuzzers/fuzz_sandbox.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define RAVELIN_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define RAVELIN_SANITIZED 1
#endif
#endif

namespace ravelin::fuzz {
namespace {

// Exit status of a child whose C++ allocation failed under the cap.
constexpr int kOutOfMemoryExit = 86;

void OutOfMemory() {
  static const char kMessage[] = "replay: allocation failed under the memory limit\n";
  (void)!write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
  _exit(kOutOfMemoryExit);
}

[[noreturn]] void RunChild(const std::function<int()>& work, [[maybe_unused]] const ReplayLimits& limits,
                           const std::string& folder) {
  if (!folder.empty()) setenv("TMPDIR", folder.c_str(), 1);
#ifndef RAVELIN_SANITIZED
  const rlimit cap{limits.memoryBytes, limits.memoryBytes};
  setrlimit(RLIMIT_AS, &cap);
#endif
  std::set_new_handler(OutOfMemory);
  const int result = work();
  // exit(), not _exit(): the sandbox is removed and LeakSanitizer checks at exit.
  std::exit(result == 0 ? 0 : 1);
}

// A fresh folder for the child's sandbox; "" when none can be made (the sandbox then goes to
// its usual place and is removed by the child when it ends normally).
std::string MakeWorkFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/ravelin-replay-XXXXXX";
  return mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

std::string Megabytes(uint64_t bytes) { return std::to_string(bytes >> 20) + " MB"; }

}  // namespace

ReplayLimits RegressionLimits() {
  ReplayLimits limits;
#ifdef RAVELIN_SANITIZED
  limits.seconds *= 3;
#endif
  return limits;
}

ReplayOutcome RunWithLimits(const std::function<int()>& work, const ReplayLimits& limits) {
  // What the parent buffered must not be written a second time by the child's exit().
  std::fflush(stdout);
  std::fflush(stderr);
  const std::string folder = MakeWorkFolder();
  const pid_t child = fork();
  if (child < 0) {
    if (!folder.empty()) RemoveFolder(folder);
    return {ReplayStatus::Crashed, std::string("fork failed: ") + std::strerror(errno)};
  }
  if (child == 0) RunChild(work, limits, folder);

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limits.seconds);
  bool killed = false;
  int status = 0;
  rusage usage{};
  for (;;) {
    const pid_t done = wait4(child, &status, killed ? 0 : WNOHANG, &usage);
    if (done == child || (done < 0 && errno != EINTR)) break;
    if (!killed && std::chrono::steady_clock::now() >= deadline) {
      kill(child, SIGKILL);
      killed = true;
      continue;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (!folder.empty()) RemoveFolder(folder);

  const uint64_t peak = static_cast<uint64_t>(usage.ru_maxrss) * 1024;  // ru_maxrss is in KiB
  if (killed) return {ReplayStatus::TimedOut, "ran longer than " + std::to_string(limits.seconds) + " s"};
  if (WIFEXITED(status) && WEXITSTATUS(status) == kOutOfMemoryExit) {
    return {ReplayStatus::OutOfMemory, "an allocation failed under " + Megabytes(limits.memoryBytes)};
  }
  if (peak > limits.memoryBytes) {
    return {ReplayStatus::OutOfMemory, "peak memory " + Megabytes(peak) + " over " + Megabytes(limits.memoryBytes)};
  }
  if (WIFSIGNALED(status)) {
    return {ReplayStatus::Crashed, std::string("killed by signal ") + strsignal(WTERMSIG(status))};
  }
  if (WEXITSTATUS(status) != 0) {
    return {ReplayStatus::Failed, "ended with status " + std::to_string(WEXITSTATUS(status))};
  }
  return {ReplayStatus::Passed, "passed"};
}

}  // namespace ravelin::fuzz
