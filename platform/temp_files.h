// The temporary files this process is writing (the PSD under its temporary name, before the
// rename), kept in one registry so that an ending session can remove them from any thread.
// The PSD writer creates, commits and discards through it; the session-end watcher empties it.
#pragma once

#include <string>

namespace ravelin {

// Creates `path` as a new file open for writing and registers it. Nothing that already has
// the name is opened or followed, a planted symbolic link included: -1 then, with errno
// EEXIST, and the caller draws another name. -1 with errno for every other failure too.
int CreateTempFile(const std::string& path);

// Renames the registered file over `to` and forgets it; false when the rename fails (the
// file stays registered and in place).
bool CommitTempFile(const std::string& path, const std::string& to);

// Removes the registered file and forgets it.
void DiscardTempFile(const std::string& path);

// Removes every registered file; the ending session calls it. Files created afterwards are
// not affected.
void RemoveAllTempFiles();

}  // namespace ravelin
