// The update fetch apart from the window's main thread, so the window keeps painting and
// answering while the update server is asked. The owner (the main window) starts a fetch,
// gets the fetched text through a callback on the helper thread, passes it on to its own
// main thread and answers there with AnswerUpdateCheck. Closing the window cancels: the
// callback is then never called, and the helper thread never holds up the program's end.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace ravelin {

class UpdateFetch {
 public:
  // Receives the fetched text (empty on any failure), on the helper thread.
  using Done = std::function<void(const std::string& fetched)>;

  UpdateFetch() = default;
  // Cancels a fetch that is still running.
  ~UpdateFetch();
  UpdateFetch(const UpdateFetch&) = delete;
  UpdateFetch& operator=(const UpdateFetch&) = delete;

  // Starts fetching `url` with `userAgent` on a detached helper thread; `done` is called once
  // when the fetch ends, unless Cancel came first. `done` must be short and must not call
  // back into this object: it only hands the text over (a queued call to the main thread).
  // False, and nothing started, while an earlier fetch is still running or when no thread
  // can be made.
  bool Start(const std::string& url, const std::string& userAgent, Done done);

  // After Cancel returns, `done` is not running, will never be called and has been released.
  // The helper's connection is dropped within moments; the thread ends on its own.
  void Cancel();

  // True from Start until `done` has been called or Cancel.
  bool Running() const;

 private:
  struct Shared;
  std::shared_ptr<Shared> current_;
};

}  // namespace ravelin
