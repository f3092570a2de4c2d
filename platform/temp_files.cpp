#include "platform/temp_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <vector>

namespace ravelin {
namespace {

// One lock around the file system calls too, so a file is never removed by the ending session
// while it is being renamed to its final name.
// Never destroyed: the session-end watcher may still use them while the process exits.
std::mutex& RegistryLock() {
  static auto* lock = new std::mutex;
  return *lock;
}

std::vector<std::string>& Registered() {
  static auto* paths = new std::vector<std::string>;
  return *paths;
}

void Forget(const std::string& path) {
  std::vector<std::string>& paths = Registered();
  paths.erase(std::remove(paths.begin(), paths.end(), path), paths.end());
}

}  // namespace

int CreateTempFile(const std::string& path) {
  std::lock_guard<std::mutex> guard(RegistryLock());
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd >= 0) Registered().push_back(path);
  return fd;
}

bool CommitTempFile(const std::string& path, const std::string& to) {
  std::lock_guard<std::mutex> guard(RegistryLock());
  if (std::rename(path.c_str(), to.c_str()) != 0) return false;
  Forget(path);
  return true;
}

void DiscardTempFile(const std::string& path) {
  std::lock_guard<std::mutex> guard(RegistryLock());
  ::unlink(path.c_str());
  Forget(path);
}

void RemoveAllTempFiles() {
  std::lock_guard<std::mutex> guard(RegistryLock());
  for (const std::string& path : Registered()) ::unlink(path.c_str());
  Registered().clear();
}

}  // namespace ravelin
