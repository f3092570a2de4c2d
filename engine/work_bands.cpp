#include "engine/work_bands.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>
#include <vector>

#include "platform/process.h"

namespace ravelin {
namespace {

constexpr unsigned kMostWorkers = 8;

}  // namespace

unsigned BandWorkers() { return std::min(UsableCores(), kMostWorkers); }

bool RunBands(unsigned count, unsigned workers, const std::function<bool(unsigned)>& band) {
  std::atomic<unsigned> next{0};
  std::atomic<bool> failed{false};
  const auto work = [&] {
    for (unsigned i = next++; i < count && !failed; i = next++) {
      if (!band(i)) failed = true;
    }
  };
  std::vector<std::thread> helpers;
  try {
    helpers.reserve(workers);
    for (unsigned t = 1; t < workers && t < count; ++t) helpers.emplace_back(work);
  } catch (const std::exception&) {
    // Fewer helpers than asked: the bands left are taken by those that started.
  }
  work();
  for (std::thread& helper : helpers) helper.join();
  return !failed;
}

}  // namespace ravelin
