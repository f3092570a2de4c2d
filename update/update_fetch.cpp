#include "update/update_fetch.h"

#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>

#include "update/http_get.h"

namespace ravelin {

// What the owner and its helper thread share; the last of them to let go frees it, so the
// helper never touches the owner's memory.
struct UpdateFetch::Shared {
  std::mutex lock;
  Done done;  // empty once called or cancelled
  std::atomic<bool> stop{false};
};

UpdateFetch::~UpdateFetch() { Cancel(); }

bool UpdateFetch::Start(const std::string& url, const std::string& userAgent, Done done) {
  if (Running()) return false;
  auto shared = std::make_shared<Shared>();
  shared->done = std::move(done);
  try {
    std::thread([shared, url, userAgent] {
      const std::string fetched = FetchShortBody(url, userAgent, &shared->stop);
      // Called under the lock, so Cancel waits for a callback already under way.
      std::lock_guard<std::mutex> hold(shared->lock);
      if (!shared->done) return;
      shared->done(fetched);
      shared->done = nullptr;
    }).detach();
  } catch (const std::system_error&) {
    return false;
  }
  current_ = std::move(shared);
  return true;
}

void UpdateFetch::Cancel() {
  if (!current_) return;
  Done released;
  {
    std::lock_guard<std::mutex> hold(current_->lock);
    current_->stop.store(true);
    released = std::move(current_->done);
    current_->done = nullptr;
  }
  current_.reset();
  // `released` goes here, on the owner's thread, outside the lock.
}

bool UpdateFetch::Running() const {
  if (!current_) return false;
  std::lock_guard<std::mutex> hold(current_->lock);
  return static_cast<bool>(current_->done);
}

}  // namespace ravelin
