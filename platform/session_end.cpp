#include "platform/session_end.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/temp_files.h"

namespace ravelin {
namespace {

constexpr int kEndSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<bool> ending{false};
std::atomic<int> signalCount{0};
std::atomic<bool> callbacksRan{false};
int wakeRead = -1;
int wakeWrite = -1;

// Never destroyed: the watcher thread may still reach them while the process exits.
std::mutex& CallbackLock() {
  static auto* lock = new std::mutex;
  return *lock;
}
std::vector<std::function<void()>>& Callbacks() {
  static auto* callbacks = new std::vector<std::function<void()>>;
  return *callbacks;
}

void RunCallbacksOnce() {
  if (callbacksRan.exchange(true)) return;
  std::vector<std::function<void()>> callbacks;
  {
    std::lock_guard<std::mutex> guard(CallbackLock());
    callbacks.swap(Callbacks());
  }
  for (const auto& callback : callbacks) callback();
}

// Only async-signal-safe work here: the watcher thread does the rest.
void OnEndSignal(int) {
  const int savedErrno = errno;
  ending.store(true);
  signalCount.fetch_add(1);
  const char byte = 1;
  (void)!::write(wakeWrite, &byte, 1);
  errno = savedErrno;
}

void Watch() {
  for (;;) {
    char byte;
    const ssize_t n = ::read(wakeRead, &byte, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    if (signalCount.load() >= 2) {
      RemoveAllTempFiles();
      _exit(0);
    }
    RunCallbacksOnce();
  }
}

}  // namespace

void WatchSessionEnd() {
  static std::once_flag once;
  std::call_once(once, [] {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return;
    // A full pipe must never block the handler; one byte waiting is enough to wake the watcher.
    ::fcntl(fds[1], F_SETFL, O_NONBLOCK);
    wakeRead = fds[0];
    wakeWrite = fds[1];
    std::thread(Watch).detach();
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : kEndSignals) ::sigaction(number, &action, nullptr);
  });
}

bool SessionEnding() { return ending.load(std::memory_order_relaxed); }

void EndSession() {
  ending.store(true);
  RunCallbacksOnce();
}

void OnSessionEnd(std::function<void()> callback) {
  std::lock_guard<std::mutex> guard(CallbackLock());
  if (!callbacksRan.load()) Callbacks().push_back(std::move(callback));
}

}  // namespace ravelin
