#include "gui/progress_window.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <system_error>

#include "gui/window_texts.h"
#include "gui/format_duration.h"
#include "gui/message_boxes.h"
#include "gui/window_numbers.h"
#include "i18n/language_table.h"

namespace ravelin {

namespace {

QString Name(int control) {
  return QString::fromStdString(ControlName(kProgressWindow, control));
}

QString Counted(int number, int total) {
  return QString::fromStdString(FormatText(GetText("Msg", "Progress"), std::to_string(number),
                                           std::to_string(total)));
}

QString TimeRemaining(const QString& value) {
  return QString::fromStdString(
      FormatText(GetText("Dialog", "Time Remaining"), value.toStdString()));
}

constexpr int kPollMs = 15;
constexpr int kLabelWidth = 280;
// Below this many files the time estimate is not shown.
constexpr int kFilesForEstimate = 5;

}  // namespace

ProgressWindow::ProgressWindow(QWidget* mainWindow, ProgressJob job)
    : QDialog(mainWindow), mainWindow_(mainWindow), run_(std::move(job)) {
  setObjectName(QString("w%1").arg(kProgressWindow));
  setWindowTitle(Text("Dialog", "Convert Progress"));
  setFixedSize(300, 130);
  total_ = static_cast<int>(run_.list.size());

  pathLabel_ = new QLabel(this);
  pathLabel_->setObjectName(Name(kProgressPathLabel));
  pathLabel_->setGeometry(10, 13, kLabelWidth, 20);
  timeLabel_ = new QLabel(TimeRemaining(Text("Dialog", "Time Unknown")), this);
  timeLabel_->setObjectName(Name(kProgressTimeLabel));
  timeLabel_->setGeometry(10, 33, kLabelWidth, 20);
  bar_ = new QProgressBar(this);
  bar_->setObjectName(Name(kProgressBar));
  bar_->setGeometry(10, 60, kLabelWidth, 20);
  bar_->setRange(0, total_ + 1);
  bar_->setValue(0);
  bar_->setTextVisible(false);
  bar_->setAccessibleName(Text("Dialog", "Convert Progress"));
  okButton_ = new QPushButton(Text("Dialog", "OK"), this);
  okButton_->setObjectName(Name(kProgressOkButton));
  okButton_->setGeometry(110, 95, 80, 25);
  okButton_->setDefault(true);
  okButton_->setEnabled(false);
  connect(okButton_, &QPushButton::clicked, this, [this] {
    if (finished_) loop_.quit();
  });
  if (total_ < kFilesForEstimate) {
    timeLabel_->hide();
    bar_->move(10, 50);
  }

  const int width = QFontMetrics(font()).horizontalAdvance("abc123:\\-") / 9;
  charWidth_ = width > 0 ? width : 7;
  longestName_ = kLabelWidth / charWidth_;

  poll_.setInterval(kPollMs);
  connect(&poll_, &QTimer::timeout, this, &ProgressWindow::Poll);
}

ProgressWindow::~ProgressWindow() {
  // Never leave with the worker running: the file it converts is always finished.
  if (thread_.joinable()) thread_.join();
}

void ProgressWindow::Run() {
  if (mainWindow_ != nullptr) {
    // Centred on the main window.
    const QRect main = mainWindow_->frameGeometry();
    move(main.center() - QPoint(width() / 2, height() / 2));
  }
  show();
  if (mainWindow_ != nullptr) mainWindow_->setEnabled(false);
  setEnabled(true);
  activateWindow();
  setFocus();

  state_.FileNumber = 0;
  state_.FilePath.clear();
  state_.LastElapsedMs = 0;
  state_.ConvertedCount = 0;
  state_.Running = true;
  try {
    thread_ = std::thread([this] {
      WorkerRun worker{run_.settings, run_.job, run_.list, state_, runLock_, run_.font, {}};
      run_.worker(worker);
      workerDone_ = true;
    });
    started_ = true;
  } catch (const std::system_error&) {
    // No worker: the window keeps its first texts and closing it leaves.
    started_ = false;
  }
  poll_.start();
  emit started();
  loop_.exec();
  poll_.stop();
  if (thread_.joinable()) thread_.join();
  if (mainWindow_ != nullptr) mainWindow_->setEnabled(true);
  hide();
  if (mainWindow_ != nullptr) {
    mainWindow_->activateWindow();
    mainWindow_->setFocus();
  }
}

void ProgressWindow::Poll() {
  // While the stop question is open this thread holds the run lock itself.
  if (!started_ || finished_ || asking_) return;
  if (!workerDone_) {
    int number = 0;
    std::string path;
    int64_t elapsed = 0;
    {
      std::lock_guard<std::mutex> guard(runLock_);
      number = state_.FileNumber;
      path = state_.FilePath;
      elapsed = state_.LastElapsedMs;
    }
    lastNumber_ = number;
    if (number > shownNumber_) {
      setWindowTitle(Text("Dialog", "Convert Progress") + " " + Counted(number, total_));
      const int length = QString::fromStdString(path).size();
      if (length * charWidth_ > kLabelWidth) path = ShortenMiddle(path, longestName_);
      pathLabel_->setText(QString::fromStdString(path));
      if (total_ >= kFilesForEstimate && elapsed != 0) {
        timeLabel_->setText(TimeRemaining(
            QString::fromStdString(FormatDuration(elapsed * (total_ - number + 1)))));
      }
      bar_->setValue(number);
      shownNumber_ = number;
    }
    return;
  }
  ShowResult();
}

void ProgressWindow::ShowResult() {
  thread_.join();
  int converted = 0;
  {
    std::lock_guard<std::mutex> guard(runLock_);
    converted = state_.ConvertedCount;
  }
  finished_ = true;
  poll_.stop();
  if (stopRequest_) {
    const QString stopped = Text("Msg", "Conversion is not complete");
    if (run_.setStatus) run_.setStatus(stopped);
    pathLabel_->setText(stopped);
    setWindowTitle(stopped + " " + Counted(lastNumber_, total_));
  } else {
    const QString complete = Text("Msg", "Conversion complete");
    if (run_.setStatus) run_.setStatus(complete);
    setWindowTitle(complete + " " + Counted(lastNumber_, total_));
    pathLabel_->setText(QString::fromStdString(FormatText(
        GetText("Msg", "Files converted"), std::to_string(converted), std::to_string(total_))));
    timeLabel_->setText(TimeRemaining("00:00:00"));
    bar_->setValue(total_ + 1);
  }
  okButton_->setEnabled(true);
  okButton_->setFocus();
}

void ProgressWindow::RequestClose() {
  if (asking_) return;
  if (!started_ || finished_) {
    loop_.quit();
    return;
  }
  if (workerDone_) return;  // the next poll shows the result
  // The worker can neither publish progress nor start its next entry while this is open.
  asking_ = true;
  {
    std::lock_guard<std::mutex> guard(runLock_);
    if (AskYesNo(this, Text("Msg", "Warning"), Text("Msg", "Ask break conversion"),
                 AskIcon::Warning)) {
      state_.Running = false;
      stopRequest_ = true;
    }
  }
  asking_ = false;
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  RequestClose();
}

void ProgressWindow::reject() { RequestClose(); }

}  // namespace ravelin
