#include "tests/support/loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace ravelin::test {
namespace {

using Clock = std::chrono::steady_clock;

int ListenOnLoopback(uint16_t* port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    close(fd);
    return -1;
  }
  *port = ntohs(address.sin_port);
  return fd;
}

}  // namespace

LoopbackServer::LoopbackServer(std::vector<Step> steps, End end, int holdMs)
    : steps_(std::move(steps)), end_(end), holdMs_(holdMs) {
  listener_ = ListenOnLoopback(&port_);
  if (listener_ >= 0) thread_ = std::thread([this] { Serve(); });
}

LoopbackServer::~LoopbackServer() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stop_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) close(listener_);
}

std::string LoopbackServer::Url(const std::string& rest) const {
  return "http://127.0.0.1:" + std::to_string(port_) + rest;
}

bool LoopbackServer::PauseFor(int ms) {
  std::unique_lock<std::mutex> hold(lock_);
  return !changed_.wait_for(hold, std::chrono::milliseconds(ms), [this] { return stop_; });
}

void LoopbackServer::Serve() {
  const Clock::time_point giveUp = Clock::now() + std::chrono::milliseconds(holdMs_);
  auto stopped = [this] {
    std::lock_guard<std::mutex> hold(lock_);
    return stop_;
  };
  // Waits in short slices for `fd` to become readable; false when stopped or out of time.
  auto readable = [&](int fd, Clock::time_point until) {
    while (!stopped() && Clock::now() < until) {
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, 20) > 0) return true;
    }
    return false;
  };

  if (!readable(listener_, giveUp)) return;
  const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
  if (client < 0) return;
  {
    std::lock_guard<std::mutex> hold(lock_);
    connected_ = true;
  }
  changed_.notify_all();

  std::string request;
  char chunk[512];
  const Clock::time_point readUntil = Clock::now() + std::chrono::seconds(5);
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < 8192 &&
         readable(client, readUntil)) {
    const ssize_t n = recv(client, chunk, sizeof chunk, 0);
    if (n <= 0) break;
    request.append(chunk, static_cast<size_t>(n));
  }
  {
    std::lock_guard<std::mutex> hold(lock_);
    request_ = request;
    requestRead_ = true;
  }
  changed_.notify_all();

  bool going = true;
  for (const Step& step : steps_) {
    if (!step.send.empty() &&
        send(client, step.send.data(), step.send.size(), MSG_NOSIGNAL) < 0) {
      // The client has gone.
      std::lock_guard<std::mutex> hold(lock_);
      clientClosed_ = true;
      going = false;
      break;
    }
    if (step.pauseMs > 0 && !PauseFor(step.pauseMs)) {
      going = false;
      break;
    }
  }
  if (going && end_ == End::Hold) {
    // Swallow whatever comes until the client closes.
    while (readable(client, giveUp)) {
      if (recv(client, chunk, sizeof chunk, 0) <= 0) {
        std::lock_guard<std::mutex> hold(lock_);
        clientClosed_ = true;
        break;
      }
    }
  }
  changed_.notify_all();
  close(client);
}

std::string LoopbackServer::Request() {
  std::unique_lock<std::mutex> hold(lock_);
  changed_.wait_for(hold, std::chrono::seconds(5), [this] { return requestRead_; });
  return request_;
}

bool LoopbackServer::WaitConnected(int ms) {
  std::unique_lock<std::mutex> hold(lock_);
  return changed_.wait_for(hold, std::chrono::milliseconds(ms), [this] { return connected_; });
}

bool LoopbackServer::WaitClientClosed() {
  std::unique_lock<std::mutex> hold(lock_);
  return changed_.wait_for(hold, std::chrono::seconds(5), [this] { return clientClosed_; });
}

uint16_t ClosedLoopbackPort() {
  uint16_t port = 0;
  const int fd = ListenOnLoopback(&port);
  if (fd >= 0) close(fd);
  return port;
}

}  // namespace ravelin::test
