// Test helpers: a scratch folder that removes itself, file reading and writing, and a runner
// for the built ravelin binary with its own configuration and runtime folders.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ravelin::test {

// A fresh folder under the system temporary folder, removed with everything in it at the end.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  // The folder, ending in "/".
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);
// The names in a folder, sorted, without "." and "..".
std::vector<std::string> ListFolder(const std::string& folder);

struct RunResult {
  int exitCode = -1;                // -1 when the program was ended by a signal
  std::string out;                  // standard output
  std::vector<std::string> lines;   // standard output split at "\n"
  std::string err;                  // standard error
};

// Resource limits of a run (0: none): its address space (setrlimit RLIMIT_AS) and its processor
// time (RLIMIT_CPU, past which the run is killed and its exitCode is -1).
struct RunLimits {
  uint64_t addressSpaceBytes = 0;
  unsigned cpuSeconds = 0;
};

// Runs the built ravelin with `args`, standard input from /dev/null, its own XDG_CONFIG_HOME and
// XDG_RUNTIME_DIR inside `home`, and the working folder `cwd` (when not empty). `inChild`, when
// given, runs in the child just before the program starts (to change descriptors or the
// environment).
RunResult RunRavelin(const std::vector<std::string>& args, const ScratchDir& home,
                     const std::string& cwd = "", const std::function<void()>& inChild = {});

// Starts the built ravelin as RunRavelin does, but returns at once with its process id; its
// standard output and error go to /dev/null. WaitForRavelin gives its exit status (-1 when a
// signal ended it).
// The same with resource limits applied to the program.
RunResult RunRavelin(const std::vector<std::string>& args, const ScratchDir& home,
                     const std::string& cwd, const RunLimits& limits);

int StartRavelin(const std::vector<std::string>& args, const ScratchDir& home);
int WaitForRavelin(int pid);

// Runs `binary` (a path) the same way.
RunResult RunProgram(const std::string& binary, const std::vector<std::string>& args,
                     const ScratchDir& home, const std::string& cwd = "",
                     const std::function<void()>& inChild = {});

// The path of the built binary.
std::string RavelinBinary();

}  // namespace ravelin::test
