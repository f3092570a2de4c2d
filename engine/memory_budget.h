// The memory a conversion will hold at its peak, estimated from the input's header and the
// settings before the picture is loaded: the loaded bitmap, the working copies the switched-on
// operations make beside it, the output-depth copy, and DevIL's buffer of width x height x 4
// with any copies DevIL makes while it saves. The pipeline refuses a conversion whose estimate
// exceeds the machine's physical memory, so such a file fails cleanly instead of the process
// being killed part-way.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/job_context.h"
#include "settings/settings.h"

namespace ravelin {

// The picture as the loader will make it: its size and FreeImage depth.
struct PictureShape {
  uint64_t width = 0;
  uint64_t height = 0;
  unsigned bpp = 0;
};

// The peak bytes of converting `loaded` with these settings into *bytes; false when the
// estimate does not fit in 64 bits (it certainly exceeds any memory).
bool EstimateConversionPeak(const Settings& settings, const JobContext& job,
                            const PictureShape& loaded, uint64_t* bytes);

// True when the estimate is computable and not above memoryBytes.
bool ConversionFitsMemory(const Settings& settings, const JobContext& job,
                          const PictureShape& loaded, uint64_t memoryBytes);

}  // namespace ravelin
