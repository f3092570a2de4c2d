// What a run converts: the input list (at most one entry in this converter), the test that
// decides which files are accepted, and the reset of the job state when a new list starts.
// The console run and the window mode add their file through AddInputFile.
#pragma once

#include <map>
#include <string>

#include "engine/job_context.h"

namespace ravelin {

struct InputEntry {
  int Marker = 1;         // tells only whether the path is in the list
  std::string SubFolder;  // relative subfolder below the output folder
};

// Keyed by the full input path, keys compared exactly.
using InputList = std::map<std::string, InputEntry>;

// The file's size is not 0 (a missing path or a folder passes this part) and its lower-cased
// extension is an accepted input extension.
bool PassesAcceptanceTest(const std::string& path);

// Replaces the list's content with the path when it passes the acceptance test.
bool AddInputFile(const JobContext& job, InputList& list, const std::string& path);

// The folder part of the path with every occurrence of the base removed, when the base
// occurs in it; empty when either is empty or the base does not occur.
std::string RelativeSubfolder(const std::string& path, const std::string& base);

// Empties everything a run leaves behind and starts the mask counters anew.
void ResetRunState(JobContext& job, InputList& list);

// The extension of a path as the console run tests it: the text after the last ".", unless a
// blank, "/" or "\" follows it or it starts the path or a name; empty when there is none.
std::string PathExtension(const std::string& path);

}  // namespace ravelin
