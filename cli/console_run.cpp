#include "cli/console_run.h"

#include <limits.h>
#include <unistd.h>

#include <cstring>
#include <mutex>
#include <thread>

#include "cli/run_checks.h"
#include "engine/batch_worker.h"
#include "engine/marks_module.h"
#include "i18n/language_table.h"
#include "platform/files.h"
#include "platform/text.h"
#include "settings/formats.h"
#include "settings/settings_layout.h"

namespace ravelin {
namespace {

// The current directory ending in "/"; "" when it cannot be named (removed, or too long).
std::string CurrentFolder() {
  std::string folder(PATH_MAX, '\0');
  if (getcwd(folder.data(), folder.size()) == nullptr) return std::string();
  folder.resize(std::strlen(folder.c_str()));
  return EndsWith(folder, "/") ? folder : folder + "/";
}

// Steps 5 to 10 of completing the output folder; returns the error line or "".
std::string CompleteOutputFolder(JobContext& job, const EchoLine& echo) {
  if (job.OutputFolder.empty()) job.OutputFolder = FolderPart(job.InputPath);
  echo("Output: " + job.OutputFolder);
  if (StartsWith(job.OutputFolder, "..")) return "Error: Incorrect output folder";
  // A relative folder, and an empty one, are taken below the current directory, where a
  // relative input path is read from too: an installed program's folder is not the user's.
  if (!StartsWith(job.OutputFolder, "/")) {
    if (StartsWith(job.OutputFolder, "./")) job.OutputFolder.erase(0, 2);
    const std::string current = CurrentFolder();
    if (current.empty()) return "Error: Invalid output folder";
    job.OutputFolder = current + job.OutputFolder;
  }
  if (!EndsWith(job.OutputFolder, "/")) job.OutputFolder += "/";
  if (!IsDirectory(job.OutputFolder)) return "Error: Invalid output folder";
  return std::string();
}

int ImportInputFile(ConsoleRun& run) {
  const std::string ext = ToLowerUnicode(PathExtension(run.job.InputPath));
  if (ext == "txt" || ext == "lst") return 0;
  return AddInputFile(run.job, run.list, run.job.InputPath) ? 1 : 0;
}

int ConvertOnWorker(ConsoleRun& run, const WatermarkFont* font) {
  RunState state;
  state.Running = true;
  std::mutex runLock;
  WorkerRun worker{run.settings, run.job, run.list, state, runLock, font, {}};
  if (run.debug) worker.debugLine = [&run](const std::string& line) { run.console.PrintLine(line); };
  std::thread thread([&worker] { BatchWorker(worker); });
  thread.join();
  std::lock_guard<std::mutex> guard(runLock);
  return state.ConvertedCount;
}

}  // namespace

void RunConsoleConversion(ConsoleRun& run) {
  Console& console = run.console;
  const auto status = [&](const std::string& line) {
    if (!run.quiet) console.PrintLine(line);
  };
  const EchoLine echo = [&](const std::string& line) {
    if (run.debug) console.PrintLine(line);
  };
  // Prints an error line when there is one; true when the run must stop.
  const auto failed = [&](const std::string& error) {
    if (error.empty()) return false;
    console.PrintLine(error);
    return true;
  };
  JobContext& job = run.job;
  const Settings& settings = run.settings;

  status(GetText("General", "Preparing"));
  echo("Input: " + job.BaseFolder);
  if (PathExtension(job.BaseFolder).empty()) return (void)failed("Error: Invalid input file");
  job.InputPath = job.BaseFolder;
  job.BaseFolder.clear();
  if (FileSize(job.InputPath) <= 0) return (void)failed("Error: Invalid input file");
  if (failed(CompleteOutputFolder(job, echo))) return;

  if (job.InputFormat.empty()) job.InputFormat = ActiveInputExtensions().front();
  if (job.OutputExt.empty()) job.OutputExt = ActiveOutputExtensions().front();
  echo("Conversion: " + job.OutputExt);
  if (!IsOutputExtension(job.OutputExt)) return (void)failed("Error: Invalid conversion type");
  EchoInputFormat(settings, job.InputFormat, echo);
  if (failed(CheckOutputFormat(settings, job.OutputExt, echo))) return;
  if (failed(CheckOperations(settings, echo))) return;

  EchoWatermark(settings, echo);
  WatermarkFontHandle font;
  if (settings.DoWatermark == 1) {
    font = OpenWatermarkFont(settings);
    if (font == nullptr) return (void)failed("Error: Invalid watermark font");
  } else if (settings.DoWatermark == 2 &&
             (FileSize(settings.Image) <= 0 || !WatermarkImageUsable(settings.Image))) {
    // A picture the mark step would leave out (not PNG, JPEG or BMP, or damaged) is refused
    // here, so the run does not report success without its mark.
    return (void)failed("Error: Invalid watermark image");
  }
  EchoAdvanced(settings, echo);

  job.TargetBpp = OutputBppSetting(settings, job.OutputExt);
  job.AutoBpp = job.TargetBpp == 0;

  status(GetText("General", "Importing"));
  const int imported = ImportInputFile(run);
  status(FormatText(GetText("Msg", "Import complete"), std::to_string(imported), "", "", ""));
  if (imported == 0) {
    console.PrintLine(GetText("Msg", "Conversion is not complete"));
    console.PrintLine(GetText("Msg", "Empty input files"));
    return;
  }
  status(GetText("General", "Converting"));
  const int converted = ConvertOnWorker(run, font.get());
  if (converted > 0) {
    status(GetText("Msg", "Conversion complete"));
    status(FormatText(GetText("Msg", "Files converted"), std::to_string(converted),
                      std::to_string(imported), "", ""));
  } else {
    console.PrintLine(GetText("Msg", "Conversion is not complete"));
  }
}

}  // namespace ravelin
