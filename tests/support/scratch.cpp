#include "tests/support/scratch.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace ravelin::test {
namespace {

void RemoveTree(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    chmod(path.c_str(), 0700);
    for (const std::string& name : ListFolder(path)) RemoveTree(path + "/" + name);
    rmdir(path.c_str());
  } else {
    unlink(path.c_str());
  }
}

}  // namespace

ScratchDir::ScratchDir() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/ravelin-test-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const char* made = mkdtemp(buffer.data());
  path_ = std::string(made != nullptr ? made : "/tmp") + "/";
}

ScratchDir::~ScratchDir() {
  std::string folder = path_;
  if (!folder.empty() && folder.back() == '/') folder.pop_back();
  RemoveTree(folder);
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> ListFolder(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

std::string RavelinBinary() { return RAVELIN_BINARY; }

namespace {

// The child's side of a run: the folders, standard input from /dev/null, then the program.
[[noreturn]] void ExecRavelin(const std::string& binary, const std::vector<std::string>& args,
                              const ScratchDir& home, const std::string& cwd,
                              const std::function<void()>& inChild) {
  const int devNull = open("/dev/null", O_RDONLY);
  if (devNull >= 0) dup2(devNull, STDIN_FILENO);
  if (devNull > STDERR_FILENO) close(devNull);
  setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
  setenv("XDG_RUNTIME_DIR", (home / "runtime").c_str(), 1);
  // No display: a start that reaches the window mode says so and ends instead of waiting.
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) unsetenv(name);
  if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
  if (inChild) inChild();
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(binary.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  execv(binary.c_str(), argv.data());
  _exit(127);
}

void MakeRunFolders(const ScratchDir& home) {
  mkdir((home / "config").c_str(), 0700);
  mkdir((home / "runtime").c_str(), 0700);
}

}  // namespace

RunResult RunRavelin(const std::vector<std::string>& args, const ScratchDir& home,
                     const std::string& cwd, const std::function<void()>& inChild) {
  return RunProgram(RavelinBinary(), args, home, cwd, inChild);
}

RunResult RunRavelin(const std::vector<std::string>& args, const ScratchDir& home,
                     const std::string& cwd, const RunLimits& limits) {
  return RunRavelin(args, home, cwd, [limits] {
    if (limits.addressSpaceBytes != 0) {
      const struct rlimit limit = {limits.addressSpaceBytes, limits.addressSpaceBytes};
      if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(127);
    }
    if (limits.cpuSeconds != 0) {
      const struct rlimit limit = {limits.cpuSeconds, limits.cpuSeconds};
      if (setrlimit(RLIMIT_CPU, &limit) != 0) _exit(127);
    }
  });
}

RunResult RunProgram(const std::string& binary, const std::vector<std::string>& args,
                     const ScratchDir& home, const std::string& cwd,
                     const std::function<void()>& inChild) {
  RunResult result;
  MakeRunFolders(home);
  int outFds[2], errFds[2];
  if (pipe(outFds) != 0) return result;
  if (pipe(errFds) != 0) {
    close(outFds[0]);
    close(outFds[1]);
    return result;
  }
  const pid_t child = fork();
  if (child == 0) {
    dup2(outFds[1], STDOUT_FILENO);
    dup2(errFds[1], STDERR_FILENO);
    for (int fd : {outFds[0], outFds[1], errFds[0], errFds[1]}) close(fd);
    ExecRavelin(binary, args, home, cwd, inChild);
  }
  close(outFds[1]);
  close(errFds[1]);
  // Both pipes are read as they fill, so a chatty standard error never blocks the program.
  pollfd fds[2] = {{outFds[0], POLLIN, 0}, {errFds[0], POLLIN, 0}};
  std::string* into[2] = {&result.out, &result.err};
  int open = 2;
  while (open > 0 && poll(fds, 2, -1) >= 0) {
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        into[i]->append(buffer, static_cast<size_t>(n));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  result.exitCode = WaitForRavelin(child);
  size_t from = 0;
  while (from < result.out.size()) {
    const size_t end = result.out.find('\n', from);
    if (end == std::string::npos) { result.lines.push_back(result.out.substr(from)); break; }
    result.lines.push_back(result.out.substr(from, end - from));
    from = end + 1;
  }
  return result;
}

int StartRavelin(const std::vector<std::string>& args, const ScratchDir& home) {
  MakeRunFolders(home);
  const pid_t child = fork();
  if (child == 0) {
    const int devNull = open("/dev/null", O_WRONLY);
    dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
    ExecRavelin(RavelinBinary(), args, home, "", {});
  }
  return child;
}

int WaitForRavelin(int pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace ravelin::test
