// Ends the window mode the ordinary way when the process is asked to stop (SIGTERM at the end
// of a session, SIGINT from the terminal, SIGHUP when the terminal goes away), so the window's
// place and the recent folders are still saved. The handlers only write to a pipe; the event
// loop reads it and runs the given action on the main thread.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace ravelin {

class ExitSignals : public QObject {
  Q_OBJECT

 public:
  // Installs the handlers; `onSignal` runs in the event loop once a signal arrived (also when
  // it arrived before the loop started).
  explicit ExitSignals(std::function<void()> onSignal);
  ~ExitSignals() override;

 private:
  std::function<void()> onSignal_;
  QSocketNotifier* notifier_ = nullptr;
};

// Installs handlers that only remember a signal until an ExitSignals object takes over; used
// as the window mode's very first step, so a stop request during start-up is not lost.
void CatchExitSignalsEarly();

// Counts as a signal received, after CatchExitSignalsEarly: for a stop request that reached
// start-up's own handlers before the window mode took the signals over.
void CountAsExitSignal();

}  // namespace ravelin
