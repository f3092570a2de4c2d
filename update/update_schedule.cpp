#include "update/update_schedule.h"

#include "i18n/language_table.h"
#include "update/update_check.h"

namespace ravelin {
namespace {

// Indexed by `Update Range`; the last row is "Never".
constexpr int32_t kIntervalDays[] = {1, 7, 30, 90, 180, 0};
constexpr int32_t kUnknownRangeDays = 30;
constexpr int64_t kSecondsPerDay = 86400;

}  // namespace

int32_t UpdateIntervalDays(int32_t updateRange) {
  constexpr int32_t kRows = static_cast<int32_t>(sizeof kIntervalDays / sizeof kIntervalDays[0]);
  return updateRange >= 0 && updateRange < kRows ? kIntervalDays[updateRange] : kUnknownRangeDays;
}

bool UpdateCheckDue(const Settings& settings, int64_t now) {
  if (settings.UpdateRange == kUpdateRangeNever) return false;
  const int64_t interval = UpdateIntervalDays(settings.UpdateRange) * kSecondsPerDay;
  return now > static_cast<int64_t>(settings.UpdateDate) + interval;
}

bool AskScheduledUpdateCheck(Settings& settings, UpdatePrompts& prompts, int64_t now) {
  if (!UpdateCheckDue(settings, now)) return false;
  const bool yes =
      prompts.AskYesNo(GetText("Msg", "Check for Updates"), GetText("Msg", "Ask check for updates"));
  // Measured from the question, so a No is not asked again before the next interval.
  settings.UpdateDate = static_cast<Date>(now);
  return yes;
}

#if RAVELIN_UPDATE_CHECK
void ScheduledUpdateCheck(Settings& settings, UpdatePrompts& prompts, const std::string& userAgent,
                          int64_t now) {
  if (AskScheduledUpdateCheck(settings, prompts, now)) CheckForUpdates(prompts, userAgent);
}
#endif

}  // namespace ravelin
