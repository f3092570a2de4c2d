// The single-file pipeline: loads the current input as a BMP, runs the operations the
// settings switch on, brings the picture to the output depth and writes the PSD file.
// The batch worker calls it once per input entry, on the worker thread.
#pragma once

#include "engine/job_context.h"
#include "settings/settings.h"

namespace ravelin {

class WatermarkFont;

// Converts job.InputPath; sets SourceBpp, MaskWidth, MaskHeight, MaskFrame, OutputPath,
// TempPath and (through the depth step) TargetBpp. True only when the PSD file is complete
// under its final name; on failure an existing output file is left as it was.
bool ConvertCurrentFile(const Settings& settings, JobContext& job, const WatermarkFont* font);

}  // namespace ravelin
