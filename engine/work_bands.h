// Work split into bands that threads take in turn: the picture steps whose rows or columns are
// independent run on every usable core.
#pragma once

#include <functional>

namespace ravelin {

// The threads a banded step may use: the usable cores, within a bound.
unsigned BandWorkers();

// Runs band(i) for each i below `count` on up to `workers` threads, the calling one among
// them; false when a band failed (the others then take no new ones). When a thread cannot be
// started, those that did take its bands.
bool RunBands(unsigned count, unsigned workers, const std::function<bool(unsigned)>& band);

}  // namespace ravelin
