// The single-instance guard: an exclusive, non-blocking lock on a file named after the
// program title, held until the process ends. It only ever stops a second copy of the same
// user: the lock file lies in a folder that user alone can write in.
#pragma once

#include <string>

namespace ravelin {

enum class InstanceGuard {
  Taken,           // this process holds the guard
  HeldByAnother,   // another copy of this user's holds it: this copy ends
  Unavailable,     // no private folder for a lock could be found or made: run without a guard
};

// Takes the guard for `title`. The lock lives in $XDG_RUNTIME_DIR when that is a folder of
// this user's that no one else may write in; otherwise in a folder of its own below the system
// temporary folder ($TMPDIR, else /tmp), named with the user id, made with mode 0700 and used
// only when this user owns it and no one else may write in it. A lock file that is a link or
// belongs to someone else is never used.
InstanceGuard AcquireInstanceGuard(const std::string& title);
// Releases the guard taken by this process (the process end releases it too).
void ReleaseInstanceGuard();

}  // namespace ravelin
