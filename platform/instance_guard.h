// The single-instance guard: an exclusive, non-blocking lock on a file named after the
// program title, held until the process ends.
#pragma once

#include <string>

namespace ravelin {

// Takes the guard for `title`; false when another process holds it or it cannot be made.
// The lock lives in $XDG_RUNTIME_DIR, else in the system temporary folder with the user id
// in its name.
bool AcquireInstanceGuard(const std::string& title);
// Releases the guard taken by this process (the process end releases it too).
void ReleaseInstanceGuard();

}  // namespace ravelin
