// The texts the progress window builds from numbers: a duration as "hh:mm:ss" (with days in
// front when there are any) and a long path shortened in its middle.
#pragma once

#include <cstdint>
#include <string>

namespace ravelin {

// "00:00:00" below one second (and for negative values); "1d:01:01:01" for a day, an hour, a
// minute and a second.
std::string FormatDuration(int64_t milliseconds);

// The text unchanged when it has at most `maxChars` characters; otherwise its first and last
// (maxChars - 3) / 2 characters around "...". Characters are Unicode code points.
std::string ShortenMiddle(const std::string& text, int maxChars);

}  // namespace ravelin
