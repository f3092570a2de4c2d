#include "platform/local_time.h"

namespace ravelin {

int64_t UtcToLocalDate(int64_t utc) {
  const time_t t = static_cast<time_t>(utc);
  std::tm local{};
  localtime_r(&t, &local);
  return utc + local.tm_gmtoff;
}

int64_t LocalDateNow() { return UtcToLocalDate(static_cast<int64_t>(std::time(nullptr))); }

int64_t LocalDateToUtc(int64_t localDate) {
  // Read the local date as broken-down UTC fields and let mktime apply the offset that
  // was in force at that local time.
  const time_t t = static_cast<time_t>(localDate);
  std::tm fields{};
  gmtime_r(&t, &fields);
  fields.tm_isdst = -1;
  const time_t utc = mktime(&fields);
  return utc == static_cast<time_t>(-1) ? localDate : static_cast<int64_t>(utc);
}

std::tm LocalTimeNow() {
  const time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

}  // namespace ravelin
