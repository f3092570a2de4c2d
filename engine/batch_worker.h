// The batch worker: the thread procedure of a conversion run. It walks the input list,
// converts every entry through the pipeline, publishes its progress under the run lock,
// stamps the output dates and advances the mask counters. The console run waits for it;
// the window run polls it and may stop it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "engine/input_list.h"
#include "engine/job_context.h"
#include "settings/settings.h"

namespace ravelin {

class WatermarkFont;

// The progress record shared by the worker and the front end.
struct RunState {
  int FileNumber = 0;          // 1-based number of the entry being converted
  std::string FilePath;        // the entry being converted
  int64_t LastElapsedMs = 0;   // the previous entry: at least 1000 when converted, 0 when failed
  int ConvertedCount = 0;      // written at the end of the run
  // Read by the worker before each entry without the lock; the front end clears it to stop.
  std::atomic<bool> Running{false};
};

struct WorkerRun {
  const Settings& settings;
  JobContext& job;
  const InputList& list;
  RunState& state;
  std::mutex& runLock;
  const WatermarkFont* font = nullptr;  // the text watermark's font; null leaves a text mark out
  // Prints a debug line; empty when the run prints none (any run but a console debug run).
  std::function<void(const std::string&)> debugLine;
};

// Converts every entry of the list while `Running` holds; returns 0.
int BatchWorker(WorkerRun& run);

}  // namespace ravelin
