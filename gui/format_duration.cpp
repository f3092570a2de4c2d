#include "gui/format_duration.h"

#include <cstdio>
#include <vector>

namespace ravelin {

std::string FormatDuration(int64_t milliseconds) {
  int64_t days = 0, hours = 0, minutes = 0, seconds = 0;
  if (milliseconds >= 1000) {
    const int64_t s = milliseconds / 1000;
    seconds = s;
    if (s >= 60) {
      minutes = s / 60;
      seconds = s % 60;
      if (minutes >= 60) {
        hours = s / 3600;
        minutes %= 60;
        if (hours >= 24) {
          days = s / 86400;
          hours %= 24;
        }
      }
    }
  }
  char text[64];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(hours),
                static_cast<long long>(minutes), static_cast<long long>(seconds));
  if (days > 0) return std::to_string(days) + "d:" + text;
  return text;
}

namespace {

// Byte offsets where each code point of a UTF-8 text starts, plus the text's end.
std::vector<size_t> CodePointStarts(const std::string& text) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
  }
  starts.push_back(text.size());
  return starts;
}

}  // namespace

std::string ShortenMiddle(const std::string& text, int maxChars) {
  const std::vector<size_t> starts = CodePointStarts(text);
  const int count = static_cast<int>(starts.size()) - 1;
  if (text.empty() || count <= maxChars) return text;
  // A maximum below 3 leaves no room on either side: only the dots remain.
  const int half = maxChars > 3 ? (maxChars - 3) / 2 : 0;
  return text.substr(0, starts[half]) + "..." + text.substr(starts[count - half]);
}

}  // namespace ravelin
