// Uniform random integers for the "%rnd%" token and the temporary names; safe to call
// from the worker and the main thread.
#pragma once

namespace ravelin {

// A uniformly drawn integer from low to high, both included.
int RandomInt(int low, int high);

}  // namespace ravelin
