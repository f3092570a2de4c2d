// A one-connection TCP server on 127.0.0.1 for the update tests: it accepts one client on an
// ephemeral port, reads its request up to the empty line, plays a script of sends and pauses,
// and then closes or holds the connection open without a word. Every wait is bounded and the
// destructor stops and joins it, so no server outlives its test.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ravelin::test {

class LoopbackServer {
 public:
  struct Step {
    std::string send;
    int pauseMs = 0;  // after the send
  };
  enum class End { Close, Hold };

  // `holdMs` bounds End::Hold and the wait for a client.
  explicit LoopbackServer(std::vector<Step> steps, End end = End::Close, int holdMs = 5000);
  // A server that answers with `response` in one piece and closes.
  static std::vector<Step> Reply(const std::string& response) { return {{response, 0}}; }
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  uint16_t port() const { return port_; }
  // "http://127.0.0.1:PORT" followed by `rest`.
  std::string Url(const std::string& rest = "/files/ravelin.dat") const;

  // The request bytes as received, once the server has read them (waits up to 5 s).
  std::string Request();
  // True once a client is connected (waits up to `ms`).
  bool WaitConnected(int ms = 5000);
  // True when the client closed the connection while the server was still sending or holding
  // it (waits up to 5 s).
  bool WaitClientClosed();

 private:
  void Serve();
  bool PauseFor(int ms);  // false when stopped

  std::vector<Step> steps_;
  End end_;
  int holdMs_;
  int listener_ = -1;
  uint16_t port_ = 0;

  std::mutex lock_;
  std::condition_variable changed_;
  bool stop_ = false;
  bool connected_ = false;
  bool requestRead_ = false;
  bool clientClosed_ = false;
  std::string request_;
  std::thread thread_;
};

// A port on 127.0.0.1 where nothing listens (bound once, then released).
uint16_t ClosedLoopbackPort();

}  // namespace ravelin::test
