// Fuzz target: the filename mask. The input's lines are the mask, the input path, the output
// extension and the subfolder; its last bytes give the numbers of the job. Checks what naming
// promises: the output and temporary paths lie in the output folder, the temporary name is
// ASCII letters, and a name without its extension is a prefix of the name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/job_context.h"
#include "engine/naming.h"
#include "settings/settings.h"

namespace {

constexpr size_t kMaxInput = 4096;

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "naming broke its promise: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  std::vector<std::string> fields(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == '\n' && fields.size() < 4) {
      fields.emplace_back();
    } else {
      fields.back() += static_cast<char>(data[i]);
    }
  }
  fields.resize(4);
  uint32_t numbers = 0;
  for (size_t i = size >= 4 ? size - 4 : 0; i < size; ++i) numbers = numbers << 8 | data[i];

  ravelin::Settings settings;
  settings.FilenameMask = fields[0];
  settings.KeepSubfolders = numbers & 1;
  ravelin::JobContext job;
  job.InputPath = fields[1];
  job.OutputExt = fields[2].empty() ? "psd" : fields[2];
  job.SubFolder = fields[3];
  job.OutputFolder = "/out/";
  job.TargetBpp = static_cast<int>(numbers >> 24);
  job.MaskWidth = static_cast<int>(numbers & 0xFFFF);
  job.MaskHeight = static_cast<int>((numbers >> 8) & 0xFFFF);
  job.Counter = static_cast<int>(numbers % 100000) + 1;
  job.RandomValue = static_cast<int>(numbers % 99999) + 1;

  const std::string name = ravelin::ExpandMask(settings, job);
  const std::string output = ravelin::BuildOutputPath(settings, job);
  const std::string temp = ravelin::BuildTempPath(settings, job);
  const std::string folder = settings.KeepSubfolders ? job.OutputFolder + job.SubFolder : job.OutputFolder;
  Require(output == folder + name, "output path is folder and name");
  Require(StartsWith(temp, folder), "temporary path in the output folder");
  const std::string tempName = temp.substr(folder.size());
  const std::string suffix = "." + job.OutputExt;
  Require(tempName.size() > suffix.size() &&
              tempName.compare(tempName.size() - suffix.size(), suffix.size(), suffix) == 0,
          "temporary name ends in the extension");
  for (size_t i = 0; i + suffix.size() < tempName.size(); ++i) {
    Require(tempName[i] >= 'a' && tempName[i] <= 'z', "temporary name of ASCII letters");
  }
  Require(StartsWith(name, ravelin::StripExtension(name)), "stripped name is a prefix");
  return 0;
}
