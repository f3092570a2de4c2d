// The check for a newer version: fetch the newest version number from the update server,
// compare it with the program's own and tell the user through UpdatePrompts. The check on
// request (command 23) and the scheduled check both end here.
//
// The fetch may take up to its time limit, so the window runs it apart from the answer:
// UpdateFetch (update_fetch.h) fetches on a helper thread, and the main thread hands the
// text it delivers to AnswerUpdateCheck. CheckForUpdates does both in one blocking call.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "update/update_build.h"
#include "update/update_prompts.h"

namespace ravelin {

// The product page that a Yes to the new-version question opens.
std::string ProductPageAddress();

// Reads an integer the way the version text is read: leading blanks and tabs skipped, an
// optional "+" or "-", then decimal digits up to the first other character ("$" first reads
// hexadecimal digits, "%" base-2 digits). No digits give 0; values beyond 32 bits saturate.
int64_t ReadInteger(std::string_view text);

// Tells the user what the fetched text `fetched` means: 0 is a connection problem, up to the
// program's own version number there is no update, above it the new-version question,
// whose Yes opens the product page.
void AnswerUpdateCheck(const std::string& fetched, UpdatePrompts& prompts);

#if RAVELIN_UPDATE_CHECK
// Fetches the update data (blocking, up to the fetch time limit) with `userAgent` (the
// program's title) and answers. For callers that may block; the window uses UpdateFetch.
void CheckForUpdates(UpdatePrompts& prompts, const std::string& userAgent);
#endif

}  // namespace ravelin
