#include "cli/front_end.h"

#include "cli/console_run.h"
#include "cli/help_text.h"
#include "cli/option_table.h"
#include "i18n/language_table.h"
#include "platform/files.h"
#include "platform/product.h"
#include "platform/text.h"
#include "settings/formats.h"

namespace ravelin {
namespace {

constexpr char kIncorrectParameters[] = "Incorrect number of parameters";

// What one parse of the parameters found.
struct Parse {
  std::string error;
  bool quiet = false;
  bool pause = false;
  bool debug = false;
};

// A separate-value option ("-i", "-o", "-c" and their long forms); false when its value is
// missing, empty or begins with "-".
bool ReadSeparateValue(const Parameters& params, size_t* position, std::string* value) {
  if (!StartsWith(ParameterKey(params, *position), "--")) ++*position;
  *value = ParameterValue(params, *position);
  return !value->empty() && value->front() != '-';
}

void ParseParameters(CommandLine& line, Parse& parse) {
  const Parameters& params = line.params;
  for (size_t position = 0; position < params.size(); ++position) {
    const std::string key = ParameterKey(params, position);
    std::string value;
    if (key == "-I" || key == "--INPUT") {
      line.job.ConsoleRun = true;
      if (!ReadSeparateValue(params, &position, &value)) { parse.error = kIncorrectParameters; return; }
      line.job.BaseFolder = JoinQuoted(params, &position, value);
    } else if (key == "-O" || key == "--OUTPUT") {
      if (!ReadSeparateValue(params, &position, &value)) { parse.error = kIncorrectParameters; return; }
      line.job.OutputFolder = JoinQuoted(params, &position, value);
    } else if (key == "-C" || key == "--CONVERSION") {
      if (!ReadSeparateValue(params, &position, &value)) { parse.error = kIncorrectParameters; return; }
      line.job.OutputExt = StripQuotesAtEnds(value);
    } else if (key == "-D" || key == "--DEBUG") {
      parse.debug = true;
    } else if (key == "-Q" || key == "--QUIET") {
      parse.quiet = true;
    } else if (key == "-P" || key == "--PAUSE") {
      parse.pause = true;
    } else if (key == "--PROFILE") {
      if (!ReadSameParameterValue(params, position, &value)) { parse.error = kIncorrectParameters; return; }
      if (!LoadProfile(line.settings, JoinQuoted(params, &position, value))) {
        parse.error = "Invalid profile file";
        return;
      }
    } else if (key.empty()) {
      if (line.windowInput.empty()) line.windowInput = ParameterValue(params, position);
    } else if (ApplyCommandLineOption(line.settings, params, &position) == OptionOutcome::MissingValue) {
      parse.error = kIncorrectParameters;
      return;
    }
  }
}

}  // namespace

std::vector<std::string> BannerLines(const std::string& appTitle) {
  return {appTitle, ReplaceAllIgnoreCase(kMakerNotice, "\xC2\xA9", "(c)"), kWebSite, " "};
}

CommandLineOutcome RunCommandLine(CommandLine& line) {
  const Parameters& params = line.params;
  if (params.empty()) return CommandLineOutcome::WindowMode;

  BuildFormatTables();
  ResetRunState(line.job, line.list);
  ResetSettings(line.settings, true);
  LoadLanguage();

  Console& console = line.console;
  const std::string first = ParameterKey(params, 0);
  if (first == "-U") return CommandLineOutcome::UninstallMode;
  if (first == "-T") return CommandLineOutcome::ScreenshotMode;
  if (first == "-V" || first == "--VERSION") {
    console.SetTitle(line.appTitle);
    console.PrintLine(line.version);
    return CommandLineOutcome::Ended;
  }
  if (first == "-H" || first == "-?" || first == "--HELP") {
    console.SetTitle(line.appTitle);
    for (const std::string& text : HelpLines(ProgramName())) console.PrintLine(text);
    return CommandLineOutcome::Ended;
  }

  Parse parse;
  ParseParameters(line, parse);
  if (!parse.error.empty()) {
    console.SetTitle(line.appTitle);
    console.PrintLine("Error: " + parse.error);
    if (parse.pause) console.WaitForKey();
    return CommandLineOutcome::Ended;
  }
  if (!line.job.ConsoleRun) return CommandLineOutcome::WindowMode;

  console.SetTitle(line.appTitle);
  if (!parse.quiet) {
    for (const std::string& text : BannerLines(line.appTitle)) console.PrintLine(text);
  }
  ConsoleRun run{line.settings, line.job, line.list, console, parse.quiet, parse.debug};
  RunConsoleConversion(run);
  if (parse.pause) {
    console.PrintLine("Press any key to exit.");
    console.WaitForKey();
  }
  return CommandLineOutcome::Ended;
}

}  // namespace ravelin
