#include "platform/process.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <unistd.h>

namespace ravelin {

void OpenStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1) continue;
    // open() gives the lowest free descriptor, which is this one.
    const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (opened >= 0 && opened != fd) {
      dup2(opened, fd);
      close(opened);
    }
  }
}

namespace {
void DropBrokenPipe(int) {}
}  // namespace

// A handler that does nothing rather than SIG_IGN: an ignored signal stays ignored in programs
// this one starts (the window mode's file opener), a handled one is back to default there.
void IgnoreBrokenPipes() {
  struct sigaction action {};
  action.sa_handler = DropBrokenPipe;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGPIPE, &action, nullptr);
}

unsigned UsableCores() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof(set), &set) != 0) return 1;
  const int count = CPU_COUNT(&set);
  return count > 0 ? static_cast<unsigned>(count) : 1;
}

}  // namespace ravelin
