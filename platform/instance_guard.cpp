#include "platform/instance_guard.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace ravelin {
namespace {
int guardDescriptor = -1;
}

bool AcquireInstanceGuard(const std::string& title) {
  std::string path;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime != '\0') {
    path = std::string(runtime) + "/" + title + ".lock";
  } else {
    const char* tmp = std::getenv("TMPDIR");
    path = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/" + title + "." +
           std::to_string(getuid()) + ".lock";
  }
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return false;
  }
  guardDescriptor = fd;
  return true;
}

void ReleaseInstanceGuard() {
  if (guardDescriptor >= 0) {
    close(guardDescriptor);
    guardDescriptor = -1;
  }
}

}  // namespace ravelin
