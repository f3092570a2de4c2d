#include "platform/tcp_connection.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace ravelin {
namespace {

using Clock = std::chrono::steady_clock;

// Waits are cut into slices this long so that a stop request is seen soon.
constexpr std::chrono::milliseconds kSlice{20};

Clock::time_point NextWake(const WaitLimit& limit) {
  const Clock::time_point slice = Clock::now() + kSlice;
  return std::min(slice, limit.deadline);
}

// Polls `fd` for `events` until it is ready, the limit is over or an error other than an
// interruption occurs. True when poll reported the descriptor (ready, closed or failed).
bool WaitFor(int fd, short events, const WaitLimit& limit) {
  for (;;) {
    if (limit.Over()) return false;
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
        NextWake(limit) - Clock::now());
    pollfd p{fd, events, 0};
    const int ready = poll(&p, 1, static_cast<int>(std::max<int64_t>(0, wait.count())));
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return false;
  }
}

// The resolver's answer, shared with its helper thread; whoever comes last frees it.
struct Resolution {
  std::mutex lock;
  std::condition_variable arrived;
  bool done = false;
  bool abandoned = false;
  int code = EAI_FAIL;
  addrinfo* addresses = nullptr;
};

struct AddressesDeleter {
  void operator()(addrinfo* a) const {
    if (a != nullptr) freeaddrinfo(a);
  }
};
using Addresses = std::unique_ptr<addrinfo, AddressesDeleter>;

Addresses Resolve(const std::string& host, uint16_t port, const WaitLimit& limit) {
  auto resolution = std::make_shared<Resolution>();
  const std::string service = std::to_string(port);
  try {
    std::thread([resolution, host, service] {
      addrinfo hints{};
      hints.ai_family = AF_UNSPEC;
      hints.ai_socktype = SOCK_STREAM;
      hints.ai_flags = AI_NUMERICSERV;
      addrinfo* found = nullptr;
      const int code = getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
      std::lock_guard<std::mutex> hold(resolution->lock);
      if (resolution->abandoned) {
        if (found != nullptr) freeaddrinfo(found);
        return;
      }
      resolution->code = code;
      resolution->addresses = code == 0 ? found : nullptr;
      resolution->done = true;
      resolution->arrived.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    return nullptr;  // no thread for the resolver
  }

  std::unique_lock<std::mutex> hold(resolution->lock);
  while (!resolution->done && !limit.Over()) {
    resolution->arrived.wait_until(hold, NextWake(limit));
  }
  if (!resolution->done) {
    resolution->abandoned = true;
    return nullptr;
  }
  Addresses addresses(resolution->addresses);
  resolution->addresses = nullptr;
  return addresses;
}

// A non-blocking connection to one address, or -1.
int ConnectTo(const addrinfo& address, const WaitLimit& limit) {
  const int fd = socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                        address.ai_protocol);
  if (fd < 0) return -1;
  if (connect(fd, address.ai_addr, address.ai_addrlen) == 0) return fd;
  if (errno == EINPROGRESS && WaitFor(fd, POLLOUT, limit)) {
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0) return fd;
  }
  close(fd);
  return -1;
}

}  // namespace

bool WaitLimit::Over() const {
  if (stop != nullptr && stop->load()) return true;
  return Clock::now() >= deadline;
}

TcpConnection::~TcpConnection() { Close(); }

bool TcpConnection::Open(const std::string& host, uint16_t port, const WaitLimit& limit) {
  Close();
  if (host.empty()) return false;
  const Addresses addresses = Resolve(host, port, limit);
  for (const addrinfo* a = addresses.get(); a != nullptr && fd_ < 0; a = a->ai_next) {
    if (limit.Over()) break;
    fd_ = ConnectTo(*a, limit);
  }
  return fd_ >= 0;
}

bool TcpConnection::SendAll(std::string_view bytes, const WaitLimit& limit) {
  if (fd_ < 0) return false;
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!WaitFor(fd_, POLLOUT, limit)) return false;
    } else {
      return false;
    }
  }
  return true;
}

bool TcpConnection::WaitReadable(const WaitLimit& limit) {
  return fd_ >= 0 && WaitFor(fd_, POLLIN, limit);
}

long TcpConnection::Receive(char* buffer, size_t size, const WaitLimit& limit) {
  if (fd_ < 0) return -1;
  for (;;) {
    const ssize_t n = recv(fd_, buffer, size, 0);
    if (n >= 0) return static_cast<long>(n);
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return -1;
    if (!WaitFor(fd_, POLLIN, limit)) return -1;
  }
}

void TcpConnection::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

}  // namespace ravelin
