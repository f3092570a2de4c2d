// The body of a console run: completes the job record, checks what a bad option can break,
// echoes the effective settings in debug mode, converts the one input file on the batch
// worker and prints the summary. Everything it reports is a printed line.
#pragma once

#include "engine/input_list.h"
#include "engine/job_context.h"
#include "platform/console.h"
#include "settings/settings.h"

namespace ravelin {

struct ConsoleRun {
  const Settings& settings;
  JobContext& job;
  InputList& list;
  Console& console;
  bool quiet = false;
  bool debug = false;
};

void RunConsoleConversion(ConsoleRun& run);

}  // namespace ravelin
