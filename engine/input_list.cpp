#include "engine/input_list.h"

#include "platform/files.h"
#include "platform/random.h"
#include "platform/text.h"
#include "settings/formats.h"

namespace ravelin {

std::string PathExtension(const std::string& path) {
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot == 0) return std::string();
  if (path[dot - 1] == '/' || path[dot - 1] == '\\') return std::string();
  if (path.find_first_of(" /\\", dot + 1) != std::string::npos) return std::string();
  return path.substr(dot + 1);
}

bool PassesAcceptanceTest(const std::string& path) {
  if (FileSize(path) == 0) return false;
  // The extension of the file name: the text after its last ".".
  const std::string name = FileNamePart(path);
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  return IsAcceptedInputExtension(ToLowerUnicode(name.substr(dot + 1)));
}

bool AddInputFile(const JobContext& job, InputList& list, const std::string& path) {
  if (!PassesAcceptanceTest(path)) return false;
  list.clear();
  InputEntry entry;
  entry.SubFolder = RelativeSubfolder(path, job.BaseFolder);
  list.emplace(path, entry);
  return true;
}

std::string RelativeSubfolder(const std::string& path, const std::string& base) {
  if (path.empty() || base.empty()) return std::string();
  const std::string folder = FolderPart(path);
  if (folder.find(base) == std::string::npos) return std::string();
  std::string result;
  size_t from = 0;
  for (size_t at; (at = folder.find(base, from)) != std::string::npos; from = at + base.size()) {
    result.append(folder, from, at - from);
  }
  result.append(folder, from, std::string::npos);
  return result;
}

void ResetRunState(JobContext& job, InputList& list) {
  job = JobContext{};
  job.RandomValue = RandomInt(1, 99999);
  job.Counter = 1;
  list.clear();
  RebuildAcceptedInputExtensions();
}

}  // namespace ravelin
