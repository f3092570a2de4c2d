// The history of recent output folders kept in `Recent Out Folders`: tab-separated, the most
// recent first, at most `Out Folders Number` entries, no two naming the same folder when
// letter case is ignored.
#pragma once

#include <string>

#include "settings/settings.h"

namespace ravelin {

// Puts the folder first and drops an older entry naming the same folder and the entries
// beyond `Out Folders Number`; false (nothing changes) for an empty folder.
bool AddRecentOutFolder(Settings& settings, const std::string& folder);

// The entry at the index (from 0), trimmed of blanks; empty when there is none.
std::string RecentOutFolderAt(const Settings& settings, int index);

// True when the two texts name the same folder: their upper-cased CRC-32 checksums agree.
bool SameRecentFolder(const std::string& a, const std::string& b);

}  // namespace ravelin
