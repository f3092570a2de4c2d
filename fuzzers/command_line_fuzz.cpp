// Fuzz target: the command-line front end and the option table. The input is split at line
// breaks into parameters and run through RunCommandLine with a capturing console, from
// inside the sandbox. No parameter may hold "/": every path is then relative, so inputs,
// profiles and watermark pictures can only be the sandbox's own files, and none of those is
// a picture that converts, so a run can never write a file (an output folder without "/" lies
// beside the program).
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cli/front_end.h"
#include "engine/input_list.h"
#include "engine/job_context.h"
#include "fuzzers/fuzz_sandbox.h"
#include "platform/console.h"
#include "settings/settings.h"

namespace {

constexpr size_t kMaxParameters = 64;

class CaptureConsole final : public ravelin::Console {
 public:
  void SetTitle(const std::string&) override {}
  void PrintLine(const std::string& line) override { printed += line.size() + 1; }
  void WaitForKey() override {}
  size_t printed = 0;
};

void WriteText(const std::string& name, const std::string& text) {
  ravelin::fuzz::WriteSandboxFile(ravelin::fuzz::InSandbox(name),
                                  reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// The files a run may name: a damaged picture, a profile, a list file and a folder.
void EnterSandbox() {
  static const bool entered = [] {
    WriteText("in.bmp", std::string("BM\x36\0\0\0\0\0\0\0\x36\0\0\0\x28", 15));
    WriteText("mark.png", "\x89PNG\r\n\x1a\n");
    WriteText("profile.ini", "[CLI]\r\n--ROTATION=90\r\n--WM-TEXT=hello\r\n");
    WriteText("list.txt", "in.bmp\n");
    mkdir(ravelin::fuzz::InSandbox("out").c_str(), 0700);
    if (chdir(ravelin::fuzz::SandboxFolder().c_str()) != 0) std::abort();
    return true;
  }();
  (void)entered;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  EnterSandbox();
  ravelin::Parameters params(1);
  for (size_t i = 0; i < size; ++i) {
    const char c = static_cast<char>(data[i]);
    if (c == '/') return 0;
    if (c == '\n') {
      if (params.size() == kMaxParameters) return 0;
      params.emplace_back();
    } else {
      params.back() += c;
    }
  }
  ravelin::Settings settings;
  ravelin::JobContext job;
  ravelin::InputList list;
  CaptureConsole console;
  ravelin::CommandLine line{params, settings, job, list, console, "Veltrano BMP to PSD 2.6", "2.6", {}};
  ravelin::RunCommandLine(line);
  return 0;
}
