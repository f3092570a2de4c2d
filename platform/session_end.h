// The end of a session: SIGINT, SIGTERM or SIGHUP (Ctrl+C, a kill, a closed terminal), or the
// window mode's own end of the desktop session. Start-up installs the watcher once; long work
// (the PSD writer, the batch worker) asks SessionEnding() and stops, removing its temporary
// file, so an old output stays as it was and no temporary file is left behind. A second signal
// does not wait: the registered temporary files (platform/temp_files.h) are removed and the
// process ends at once with status 0.
//
// Window mode: call OnSessionEnd with a function that posts a quit to the event loop (it runs
// on the watcher thread, so it must only post), and EndSession when the desktop session ends
// (QGuiApplication::commitDataRequest or aboutToQuit); the worker then stops by itself.
#pragma once

#include <functional>

namespace ravelin {

// Installs the signal handlers and starts the watcher thread; once per process, early in
// start-up. The handlers restart interrupted system calls, so nothing else sees EINTR.
void WatchSessionEnd();

// True once the end was asked, by a signal or by EndSession. Cheap: callable per buffer.
bool SessionEnding();

// Asks for the end from inside the program, as the first signal does (no process exit).
void EndSession();

// `callback` runs once when the end is first asked: on the watcher thread after a signal, on
// the caller's thread after EndSession. Registered after the end was asked, it never runs.
void OnSessionEnd(std::function<void()> callback);

}  // namespace ravelin
