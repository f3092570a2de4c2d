// The command-line front end: help and version, the parse of the parameters into the
// settings and the job record, and the console run. It returns what the program does next;
// only the program's entry ends the process.
#pragma once

#include <string>

#include "cli/parameters.h"
#include "engine/input_list.h"
#include "engine/job_context.h"
#include "platform/console.h"
#include "settings/settings.h"

namespace ravelin {

enum class CommandLineOutcome {
  WindowMode,      // no parameters, or no input option and no error
  UninstallMode,   // "-U" first
  ScreenshotMode,  // "-T" first
  Ended,           // help, version, an error or a console run: the program ends
};

struct CommandLine {
  const Parameters& params;
  Settings& settings;
  JobContext& job;
  InputList& list;
  Console& console;
  std::string appTitle;  // "Veltrano BMP to PSD 2.6"
  std::string version;   // "2.6"
  // Set by the parse: the first parameter that is neither an option nor an option's value,
  // which the window mode opens as its input ("Open With" from a file manager). Ignored by
  // a console run.
  std::string windowInput;
};

CommandLineOutcome RunCommandLine(CommandLine& line);

// The four banner lines printed at the start of a console run unless it is quiet.
std::vector<std::string> BannerLines(const std::string& appTitle);

}  // namespace ravelin
