#include "platform/instance_guard.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/product.h"

namespace ravelin {
namespace {

int guardDescriptor = -1;

// A real folder (not a link) owned by this user, in which no one else may create files.
bool IsPrivateFolder(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
         (st.st_mode & (S_IWGRP | S_IWOTH)) == 0 && access(path.c_str(), W_OK | X_OK) == 0;
}

std::string EnvironmentFolder(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

// The fallback below the system temporary folder, created when missing.
std::string TemporaryGuardFolder() {
  std::string base = EnvironmentFolder("TMPDIR");
  if (base.empty()) base = "/tmp";
  const std::string folder = base + "/" + kProgramWord + "-" + std::to_string(geteuid());
  mkdir(folder.c_str(), 0700);
  return folder;
}

// Locks `folder`/`title`.lock. Unavailable when the file cannot be used as this user's lock.
InstanceGuard LockIn(const std::string& folder, const std::string& title) {
  if (folder.empty() || !IsPrivateFolder(folder)) return InstanceGuard::Unavailable;
  const std::string path = folder + "/" + title + ".lock";
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return InstanceGuard::Unavailable;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
    close(fd);
    return InstanceGuard::Unavailable;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const bool held = errno == EWOULDBLOCK;
    close(fd);
    return held ? InstanceGuard::HeldByAnother : InstanceGuard::Unavailable;
  }
  guardDescriptor = fd;
  return InstanceGuard::Taken;
}

}  // namespace

InstanceGuard AcquireInstanceGuard(const std::string& title) {
  const InstanceGuard runtime = LockIn(EnvironmentFolder("XDG_RUNTIME_DIR"), title);
  if (runtime != InstanceGuard::Unavailable) return runtime;
  return LockIn(TemporaryGuardFolder(), title);
}

void ReleaseInstanceGuard() {
  if (guardDescriptor >= 0) {
    close(guardDescriptor);
    guardDescriptor = -1;
  }
}

}  // namespace ravelin
