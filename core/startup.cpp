#include "core/startup.h"

#include <IL/il.h>
#include <IL/ilu.h>

#include "cli/front_end.h"
#include "core/title.h"
#include "engine/input_list.h"
#include "engine/job_context.h"
#include "core/window_module.h"
#include "platform/console.h"
#include "platform/instance_guard.h"
#include "platform/process.h"
#include "platform/session_end.h"
#include "platform/product.h"
#include "settings/settings.h"

namespace ravelin {

int RunProgram(const std::vector<std::string>& params) {
  // Before anything is opened: a closed standard output must not be taken by the lock file
  // or an output file.
  OpenStandardDescriptors();
  IgnoreBrokenPipes();
  // Before any thread starts, so every thread runs with the handlers in place.
  WatchSessionEnd();
  // DevIL before the command line is looked at, so both modes can write PSD files.
  ilInit();
  iluInit();

  const std::string appTitle = BuildTitle(kProductName, kVersionNumber);
  // A second copy ends before it looks at its command line, with nothing on standard output;
  // a copy that was asked for something says on standard error why it did nothing. Without a
  // private folder for the lock the program runs unguarded rather than not at all.
  if (AcquireInstanceGuard(appTitle) == InstanceGuard::HeldByAnother) {
    if (!params.empty()) PrintErrorLine("Another copy of " + appTitle + " is running; nothing was converted.");
    return 0;
  }

  Settings settings;
  JobContext job;
  InputList list;
  Console& console = TerminalConsole();
  CommandLine line{params, settings, job, list, console, appTitle, FormatVersion(kVersionNumber), {}};
  switch (RunCommandLine(line)) {
    case CommandLineOutcome::Ended:
      break;
    case CommandLineOutcome::WindowMode:
      RunWindowModule(
          {WindowModeKind::Window, &params, &console, appTitle, line.windowInput, &SessionEnding});
      break;
    case CommandLineOutcome::UninstallMode:
      RunWindowModule({WindowModeKind::Uninstall, &params, &console, appTitle, {}, &SessionEnding});
      break;
    case CommandLineOutcome::ScreenshotMode:
      RunWindowModule({WindowModeKind::Screenshot, &params, &console, appTitle, {}, &SessionEnding});
      break;
  }
  ReleaseInstanceGuard();
  return 0;
}

}  // namespace ravelin
