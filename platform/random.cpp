#include "platform/random.h"

#include <mutex>
#include <random>

namespace ravelin {

int RandomInt(int low, int high) {
  static std::mutex lock;
  static std::mt19937 generator{std::random_device{}()};
  std::lock_guard<std::mutex> guard(lock);
  return std::uniform_int_distribution<int>(low, high)(generator);
}

}  // namespace ravelin
