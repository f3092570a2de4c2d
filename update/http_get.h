// A minimal HTTP/1.0 GET over plain TCP that fetches one short text: the update check asks
// the update server for the newest version number with it. It sends one fixed request, keeps
// at most 2048 bytes of the response, cuts the header off at the first empty line and returns
// the first three characters of the body. Any failure gives an empty text; nothing is shown.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace ravelin {

// The user agent sent when the caller gives none.
inline constexpr char kDefaultUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; en)";
// The most bytes of a response that are read.
inline constexpr size_t kResponseBufferSize = 2048;
// The whole fetch, name resolution and connection included, ends within this time.
inline constexpr std::chrono::milliseconds kFetchTimeLimit{10000};

// The parts of scheme://[user[:password]@]host[:port]/path[?query] that a request needs.
struct UrlParts {
  std::string host;
  uint16_t port = 80;
  std::string path = "/";  // without the query
};

// Splits `url`; false for an empty URL, an empty host or a port that is not 1 to 65535.
// The scheme is not looked at: every URL is fetched over plain TCP.
bool SplitUrl(std::string_view url, UrlParts* parts);

// The request text for `parts`; an empty user agent gives kDefaultUserAgent.
std::string BuildGetRequest(const UrlParts& parts, std::string_view userAgent);

// The first three characters of the trimmed body of a raw response: the text up to its
// first zero byte, between the first empty line and the next one (or the end).
std::string ShortBodyOf(std::string_view response);

// Fetches `url` and returns ShortBodyOf its response, or an empty text on any failure.
// Blocks for at most the fetch time limit; a true `*stop` ends the fetch early with an
// empty text. Safe to call on any thread.
std::string FetchShortBody(const std::string& url, const std::string& userAgent,
                           const std::atomic<bool>* stop = nullptr);

// The limit FetchShortBody applies: kFetchTimeLimit unless a test has shortened it.
std::chrono::milliseconds FetchTimeLimit();
// For tests only: replaces the fetch time limit (a zero or negative value restores it).
void SetFetchTimeLimitForTests(std::chrono::milliseconds limit);

}  // namespace ravelin
