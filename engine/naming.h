// Output naming: the final path of the current entry from the output folder, its subfolder
// and the filename mask, and the ASCII-only temporary path DevIL first writes to.
// The pipeline calls it after the image operations; the text watermark uses the tokens.
#pragma once

#include <cstddef>
#include <string>

#include "engine/job_context.h"
#include "settings/settings.h"

namespace ravelin {

// The 19 mask tokens in the order in which they are replaced.
inline constexpr size_t kMaskTokenCount = 19;
extern const char* const kMaskTokens[kMaskTokenCount];
// The value of token number `order` (0-based, in the table's order) for this job; date
// tokens read the local clock when they are asked for.
std::string MaskTokenValue(size_t order, const JobContext& job);

// The output file name: the mask lowered, tokens replaced in table order.
std::string ExpandMask(const Settings& settings, const JobContext& job);
std::string BuildOutputPath(const Settings& settings, const JobContext& job);
std::string BuildTempPath(const Settings& settings, const JobContext& job);
// A file name without its extension (the last "." and what follows, unless a blank or "/"
// follows that "." or it is the name's first character).
std::string StripExtension(const std::string& name);

}  // namespace ravelin
