// Local date values: seconds since 1970-01-01 00:00:00 counted in local time, the form in
// which settings and file dates are kept.
#pragma once

#include <cstdint>
#include <ctime>

namespace ravelin {

// time() plus the local UTC offset now.
int64_t LocalDateNow();
// A UTC time as a local date value (adds the offset valid at that time).
int64_t UtcToLocalDate(int64_t utc);
// A local date value as UTC (takes away the offset valid at that date).
int64_t LocalDateToUtc(int64_t localDate);
// The broken-down local time of now.
std::tm LocalTimeNow();

}  // namespace ravelin
