// The progress window (window 3): runs the batch worker on its own thread, polls its progress
// record every 15 ms, asks whether to stop when the user closes the window during the run
// (holding the run lock while the question is open), and shows the result until OK, Return,
// Escape or the close box ends it.
#pragma once

#include <QDialog>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

#include "engine/batch_worker.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace ravelin {

class WatermarkFont;

struct ProgressJob {
  const Settings& settings;
  JobContext& job;
  const InputList& list;
  const WatermarkFont* font = nullptr;
  std::function<int(WorkerRun&)> worker = BatchWorker;
  // Receives the main window's status texts at the end of the run.
  std::function<void(const QString&)> setStatus;
};

class ProgressWindow : public QDialog {
  Q_OBJECT

 public:
  ProgressWindow(QWidget* mainWindow, ProgressJob job);
  ~ProgressWindow() override;

  // `RunWithProgress`: shows the window, runs the worker and returns once the user closed
  // the finished window. The main window is disabled meanwhile.
  void Run();

  // True once the worker has ended and the result is shown.
  bool Finished() const { return finished_; }

 signals:
  // The window is open and the worker started (for those waiting to act on it).
  void started();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;  // Escape: the same as the close box

 private:
  void Poll();
  void RequestClose();
  void ShowResult();

  QWidget* mainWindow_;
  ProgressJob run_;
  RunState state_;
  std::mutex runLock_;
  std::thread thread_;
  std::atomic<bool> workerDone_{false};
  bool started_ = false;
  bool finished_ = false;
  bool stopRequest_ = false;
  bool asking_ = false;
  int shownNumber_ = 0;  // m: the last file number shown
  int lastNumber_ = 0;   // l: the last file number read
  int total_ = 0;        // n
  int charWidth_ = 7;
  int longestName_ = 40;
  QLabel* pathLabel_ = nullptr;
  QLabel* timeLabel_ = nullptr;
  QProgressBar* bar_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QTimer poll_;
  QEventLoop loop_;
};

}  // namespace ravelin
