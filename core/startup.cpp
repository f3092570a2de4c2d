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
#include "platform/product.h"
#include "settings/settings.h"

namespace ravelin {

int RunProgram(const std::vector<std::string>& params) {
  // DevIL before the command line is looked at, so both modes can write PSD files.
  ilInit();
  iluInit();

  const std::string appTitle = BuildTitle(kProductName, kVersionNumber);
  // A second copy ends silently, before it looks at its command line.
  if (!AcquireInstanceGuard(appTitle)) return 0;

  Settings settings;
  JobContext job;
  InputList list;
  Console& console = TerminalConsole();
  CommandLine line{params, settings, job, list, console, appTitle, FormatVersion(kVersionNumber)};
  switch (RunCommandLine(line)) {
    case CommandLineOutcome::Ended:
      break;
    case CommandLineOutcome::WindowMode:
      RunWindowModule({WindowModeKind::Window, &params, &console, appTitle});
      break;
    case CommandLineOutcome::UninstallMode:
      RunWindowModule({WindowModeKind::Uninstall, &params, &console, appTitle});
      break;
    case CommandLineOutcome::ScreenshotMode:
      RunWindowModule({WindowModeKind::Screenshot, &params, &console, appTitle});
      break;
  }
  ReleaseInstanceGuard();
  return 0;
}

}  // namespace ravelin
