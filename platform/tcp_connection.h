// A plain TCP client connection whose every wait, name resolution included, ends at one
// deadline or when its owner asks it to stop. The update check's HTTP client uses it.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ravelin {

// When the waits of a connection give up: at `deadline`, or soon after `*stop` turns true
// (checked at least every 20 ms; null means never).
struct WaitLimit {
  std::chrono::steady_clock::time_point deadline;
  const std::atomic<bool>* stop = nullptr;

  bool Over() const;
};

class TcpConnection {
 public:
  TcpConnection() = default;
  ~TcpConnection();
  TcpConnection(const TcpConnection&) = delete;
  TcpConnection& operator=(const TcpConnection&) = delete;

  // Resolves `host` and connects to the first of its addresses that answers. The system's
  // resolver cannot be interrupted, so it runs on a helper thread that is left to finish on
  // its own when the limit comes first. False when no address connects in time.
  bool Open(const std::string& host, uint16_t port, const WaitLimit& limit);
  // Sends all of `bytes`; false on an error, a closed peer or the limit.
  bool SendAll(std::string_view bytes, const WaitLimit& limit);
  // Waits until data (or the peer's close) has arrived; false when the limit came first.
  bool WaitReadable(const WaitLimit& limit);
  // Receives at most `size` bytes: the number received, 0 when the peer has closed, -1 on an
  // error or when the limit came before any byte.
  long Receive(char* buffer, size_t size, const WaitLimit& limit);
  void Close();

 private:
  int fd_ = -1;
};

}  // namespace ravelin
