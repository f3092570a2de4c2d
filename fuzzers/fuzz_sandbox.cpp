#include "fuzzers/fuzz_sandbox.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace ravelin::fuzz {
namespace {

void RemoveTree(const std::string& path, bool keepTop) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    if (DIR* dir = opendir(path.c_str())) {
      while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") RemoveTree(path + "/" + name, false);
      }
      closedir(dir);
    }
    if (!keepTop) rmdir(path.c_str());
  } else {
    unlink(path.c_str());
  }
}

std::string MakeSandbox() {
  // TMPDIR first: ./fuzz and the replay point it into a folder of their own, which they remove
  // even when a killed or crashed process could not remove its sandbox.
  const char* tmp = std::getenv("TMPDIR");
  std::string base = tmp != nullptr && *tmp != '\0' ? tmp : "";
  struct stat st;
  if (base.empty()) base = stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) ? "/dev/shm" : "/tmp";
  std::string pattern = base + "/ravelin-fuzz-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("ravelin fuzz: no sandbox folder");
    std::abort();
  }
  return pattern + "/";
}

std::string* g_sandbox = nullptr;

void RemoveSandbox() {
  if (g_sandbox != nullptr) RemoveTree(*g_sandbox, false);
}

}  // namespace

const std::string& SandboxFolder() {
  if (g_sandbox == nullptr) {
    g_sandbox = new std::string(MakeSandbox());
    std::atexit(RemoveSandbox);
  }
  return *g_sandbox;
}

std::string InSandbox(const std::string& name) { return SandboxFolder() + name; }

bool WriteSandboxFile(const std::string& path, const uint8_t* data, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

void ClearFolder(const std::string& folder) { RemoveTree(folder, true); }

void RemoveFolder(const std::string& folder) { RemoveTree(folder, false); }

}  // namespace ravelin::fuzz
