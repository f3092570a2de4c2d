#include "gui/exit_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <csignal>

namespace ravelin {

namespace {

int pipeFds[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void OnSignal(int) {
  const int saved = errno;
  const char byte = 1;
  if (pipeFds[1] >= 0) (void)!write(pipeFds[1], &byte, 1);
  errno = saved;
}

}  // namespace

void CatchExitSignalsEarly() {
  if (pipeFds[0] < 0 && pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int number : kSignals) sigaction(number, &action, nullptr);
}

void CountAsExitSignal() { OnSignal(0); }

ExitSignals::ExitSignals(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
  CatchExitSignalsEarly();
  if (pipeFds[0] < 0) return;
  notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    char bytes[16];
    while (read(pipeFds[0], bytes, sizeof bytes) > 0) {
    }
    if (onSignal_) onSignal_();
  });
}

ExitSignals::~ExitSignals() {
  // From here on a signal ends the process as it would without the window mode.
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  for (int number : kSignals) sigaction(number, &action, nullptr);
}

}  // namespace ravelin
