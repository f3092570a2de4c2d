// The scheduled update check at the start of the window mode: when the interval chosen with
// `Update Range` has passed since `Update Date`, the user is asked whether to check now.
// The window calls AskScheduledUpdateCheck once its main window is up (never in the
// screenshot mode nor a console run) and, on a true answer, starts an UpdateFetch.
#pragma once

#include <cstdint>
#include <string>

#include "platform/local_time.h"
#include "settings/settings.h"
#include "update/update_prompts.h"

namespace ravelin {

// The `Update Range` that switches the scheduled check off.
inline constexpr int32_t kUpdateRangeNever = 5;

// Days between scheduled checks for an `Update Range`; 0 for never; 30 for an unknown value.
int32_t UpdateIntervalDays(int32_t updateRange);

// True when the check is due at the local date `now`: later than `Update Date` plus the
// interval. Never due for `Update Range` 5.
bool UpdateCheckDue(const Settings& settings, int64_t now);

// When the check is due, asks whether to check now and, whatever the answer, moves
// `Update Date` to `now`. True when the user said Yes and the check should run.
bool AskScheduledUpdateCheck(Settings& settings, UpdatePrompts& prompts,
                             int64_t now = LocalDateNow());

#if RAVELIN_UPDATE_CHECK
// The whole scheduled check in one blocking call: the question, then CheckForUpdates.
void ScheduledUpdateCheck(Settings& settings, UpdatePrompts& prompts,
                          const std::string& userAgent, int64_t now = LocalDateNow());
#endif

}  // namespace ravelin
