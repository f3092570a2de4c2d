// Stop requests in the window mode: a signal, and one that came before the window mode took
// the signals over from start-up, both end the event loop's work through the given action.
#include <QtTest>
#include <csignal>

#include "gui/exit_signals.h"

namespace ravelin {

class ExitSignalsTest : public QObject {
  Q_OBJECT

 private slots:
  void ASignalRunsTheAction() {
    CatchExitSignalsEarly();
    int calls = 0;
    ExitSignals watch([&calls] { ++calls; });
    raise(SIGHUP);
    QTRY_COMPARE(calls, 1);
  }

  // Start-up's handlers had the signal first (a session's end while the window mode was still
  // loading): counted in, it stops the window mode all the same.
  void AStopAskedBeforeTheWindowModeCounts() {
    CatchExitSignalsEarly();
    CountAsExitSignal();
    int calls = 0;
    ExitSignals watch([&calls] { ++calls; });
    QTRY_COMPARE(calls, 1);
  }
};

}  // namespace ravelin

QTEST_MAIN(ravelin::ExitSignalsTest)
#include "exit_signals_test.moc"
