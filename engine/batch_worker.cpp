#include "engine/batch_worker.h"

#include <chrono>
#include <new>

#include "engine/memory_budget_heap.h"
#include "engine/pipeline.h"
#include "engine/signatures.h"
#include "platform/files.h"
#include "platform/random.h"
#include "platform/session_end.h"

namespace ravelin {
namespace {

// File Timestamp values.
constexpr int kTimestampOriginal = 1;
constexpr int kTimestampCustom = 2;

void StampOutputDate(const Settings& settings, const JobContext& job) {
  // Failures of the date calls are ignored: the file is converted either way.
  if (settings.FileTimestamp == kTimestampOriginal) {
    // Copied as it is: through local time and back, a date in the hour repeated at the end of
    // daylight saving time would come back an hour off.
    CopyFileModificationTime(job.InputPath, job.OutputPath);
  } else if (settings.FileTimestamp == kTimestampCustom) {
    SetFileModificationTime(job.OutputPath, settings.CustomTimestamp);
  }
}

// An allocation that fails anywhere in a conversion fails that file, never the process: the
// steps release what they hold as the exception passes.
bool ConvertGuarded(WorkerRun& run) {
  try {
    return ConvertCurrentFile(run.settings, run.job, run.font);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace

int BatchWorker(WorkerRun& run) {
  UseSharedHeapForConversions();
  const bool debug = static_cast<bool>(run.debugLine);
  int fileNumber = 0;
  int converted = 0;
  int64_t elapsed = 0;
  for (auto entry = run.list.begin(); entry != run.list.end() && run.state.Running.load() && !SessionEnding();
       ++entry) {
    {
      std::lock_guard<std::mutex> guard(run.runLock);
      // A stop answered while this waited for the lock (the stop question holds it) ends the
      // run before the entry starts.
      if (!run.state.Running.load()) break;
      ++fileNumber;
      run.job.InputPath = entry->first;
      run.job.SubFolder = entry->second.SubFolder;
      run.state.FileNumber = fileNumber;
      run.state.FilePath = run.job.InputPath;
      run.state.LastElapsedMs = elapsed;
    }
    if (debug) {
      run.debugLine("Processing: " + run.job.InputPath);
      run.debugLine("File Format: " + DetectFileFormat(run.job.InputPath));
    }
    const auto start = std::chrono::steady_clock::now();
    if (ConvertGuarded(run)) {
      if (debug) run.debugLine("[OK] Saving As: " + run.job.OutputPath);
      ++converted;
      elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                    std::chrono::steady_clock::now() - start).count();
      if (elapsed < 1000) elapsed = 1000;
      run.job.RandomValue = RandomInt(1, 99999);
      ++run.job.Counter;
      StampOutputDate(run.settings, run.job);
    } else {
      elapsed = 0;
      if (debug) run.debugLine("[ERROR] Unable to convert the file!");
    }
  }
  std::lock_guard<std::mutex> guard(run.runLock);
  run.state.ConvertedCount = converted;
  return 0;
}

}  // namespace ravelin
