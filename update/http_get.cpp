#include "update/http_get.h"

#include <algorithm>
#include <vector>

#include "platform/tcp_connection.h"

namespace ravelin {
namespace {

std::atomic<int64_t> testTimeLimitMs{0};

}  // namespace

bool SplitUrl(std::string_view url, UrlParts* parts) {
  if (url.empty()) return false;
  const size_t scheme = url.find("://");
  std::string_view rest = scheme == std::string_view::npos ? url : url.substr(scheme + 3);
  // A user and password part ends at an at-sign before the path.
  const size_t at = rest.find('@');
  if (at != std::string_view::npos && at < rest.find('/')) rest.remove_prefix(at + 1);

  UrlParts result;
  const size_t hostEnd = std::min(rest.find_first_of(":/?"), rest.size());
  result.host = std::string(rest.substr(0, hostEnd));
  rest.remove_prefix(hostEnd);
  if (result.host.empty()) return false;

  if (!rest.empty() && rest.front() == ':') {
    const size_t portEnd = std::min(rest.find_first_of("/?"), rest.size());
    const std::string_view digits = rest.substr(1, portEnd - 1);
    if (digits.empty() || digits.size() > 5) return false;
    uint32_t port = 0;
    for (const char c : digits) {
      if (c < '0' || c > '9') return false;
      port = port * 10 + static_cast<uint32_t>(c - '0');
    }
    if (port == 0 || port > 65535) return false;
    result.port = static_cast<uint16_t>(port);
    rest.remove_prefix(portEnd);
  }

  // The query is never sent.
  if (!rest.empty() && rest.front() == '/') {
    result.path = std::string(rest.substr(0, rest.find('?')));
  }
  *parts = std::move(result);
  return true;
}

std::string BuildGetRequest(const UrlParts& parts, std::string_view userAgent) {
  std::string request = "GET " + parts.path + " HTTP/1.0\r\n";
  request += "Host: " + parts.host + "\r\n";
  request += "Accept: */*\r\n";
  request += "User-Agent: ";
  request += userAgent.empty() ? std::string_view(kDefaultUserAgent) : userAgent;
  request += "\r\n";
  request += "Connection: close\r\n\r\n";
  return request;
}

std::string ShortBodyOf(std::string_view response) {
  response = response.substr(0, std::min(response.size(), kResponseBufferSize));
  response = response.substr(0, std::min(response.find('\0'), response.size()));
  const size_t headerEnd = response.find("\r\n\r\n");
  if (headerEnd == std::string_view::npos) return {};
  std::string_view body = response.substr(headerEnd + 4);
  body = body.substr(0, std::min(body.find("\r\n\r\n"), body.size()));
  const size_t first = body.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  body = body.substr(first, body.find_last_not_of(' ') - first + 1);
  return std::string(body.substr(0, 3));
}

std::string FetchShortBody(const std::string& url, const std::string& userAgent,
                           const std::atomic<bool>* stop) {
  const WaitLimit limit{std::chrono::steady_clock::now() + FetchTimeLimit(), stop};
  UrlParts parts;
  if (!SplitUrl(url, &parts)) return {};

  TcpConnection connection;
  if (!connection.Open(parts.host, parts.port, limit)) return {};
  if (!connection.SendAll(BuildGetRequest(parts, userAgent), limit)) return {};

  // Zero-filled, so the text ends at the first byte not received.
  std::vector<char> buffer(kResponseBufferSize, '\0');
  size_t filled = 0;
  if (connection.WaitReadable(limit)) {
    // Read on until the server closes, a read fails, the buffer is full or time is up:
    // a peer that stalls or trickles is given no longer than the limit.
    while (filled < buffer.size()) {
      const long n = connection.Receive(buffer.data() + filled, buffer.size() - filled, limit);
      if (n <= 0) break;
      filled += static_cast<size_t>(n);
    }
  }
  connection.Close();
  if (stop != nullptr && stop->load()) return {};
  return ShortBodyOf(std::string_view(buffer.data(), filled));
}

std::chrono::milliseconds FetchTimeLimit() {
  const int64_t replaced = testTimeLimitMs.load();
  return replaced > 0 ? std::chrono::milliseconds(replaced) : kFetchTimeLimit;
}

void SetFetchTimeLimitForTests(std::chrono::milliseconds limit) {
  testTimeLimitMs.store(limit.count() > 0 ? static_cast<int64_t>(limit.count()) : 0);
}

}  // namespace ravelin
