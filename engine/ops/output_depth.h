// The last image step of the pipeline: brings the processed picture to the bits per pixel
// of the output format, either the format's BPP setting or, when that is 0, a depth chosen
// for each file from the format's list of allowed depths.
#pragma once

#include <string>

#include <FreeImage.h>

#include "engine/job_context.h"

namespace ravelin {

// The first allowed depth of outputExt that is at least sourceBpp, else the last allowed
// one; 0 when the extension has no list.
int ChooseAutoBpp(const std::string& outputExt, int sourceBpp);

// With job.AutoBpp set, first sets job.TargetBpp = ChooseAutoBpp(OutputExt, SourceBpp).
// Returns the very image when it already has TargetBpp bits; otherwise the converted image,
// releasing the one given (and any intermediate copy). A depth the conversion table does not
// know, or a failing conversion, gives no image with the given one released.
FIBITMAP* ConvertOutputDepth(FIBITMAP* image, JobContext& job);

}  // namespace ravelin
