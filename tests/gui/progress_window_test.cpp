// The conversion from the main window through the progress window: a real run with its final
// texts, and the stop question answered Yes and No while the worker runs. The worker is the
// real one, wrapped so the test decides when it may start and when it may end.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <chrono>
#include <future>
#include <thread>

#include "gui/main_window.h"
#include "gui/progress_window.h"
#include "gui/window_numbers.h"
#include "i18n/language_table.h"
#include "settings/formats.h"
#include "tests/gui/support/isolated_session.h"
#include "tests/gui/support/scripted_dialogs.h"

namespace ravelin {

namespace {

// Holds the worker before it starts and after it converted, until the test lets it go.
struct Gates {
  std::promise<void> before, after;
  std::shared_future<void> beforeOpen = before.get_future().share();
  std::shared_future<void> afterOpen = after.get_future().share();
  bool beforeSet = false, afterSet = false;
  void OpenBefore() { if (!beforeSet) { beforeSet = true; before.set_value(); } }
  void OpenAfter() { if (!afterSet) { afterSet = true; after.set_value(); } }
};

template <typename T>
T* Child(QWidget& window, int control) {
  return window.findChild<T*>(QString::fromStdString(ControlName(kProgressWindow, control)));
}

}  // namespace

class ProgressWindowTest : public QObject {
  Q_OBJECT
  IsolatedSession session_;
  std::unique_ptr<WindowContext> context_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<Gates> gates_;
  QString input_, output_, outFolder_;

  void Open(bool holdBefore, bool holdAfter) {
    context_ = std::make_unique<WindowContext>();
    window_ = std::make_unique<MainWindow>(*context_);
    window_->Prepare();
    gates_ = std::make_unique<Gates>();
    if (!holdBefore) gates_->OpenBefore();
    if (!holdAfter) gates_->OpenAfter();
    Gates* gates = gates_.get();
    window_->worker = [gates](WorkerRun& run) {
      gates->beforeOpen.wait();
      const int result = BatchWorker(run);
      gates->afterOpen.wait();
      return result;
    };
    QVERIFY(window_->AddInputFileInWindow(input_.toStdString()));
  }

  // Presses Convert and runs the scenario once the progress window is open; whatever the
  // scenario does, the run is then let go and the finished window closed with Return.
  void Convert(const std::function<void(ProgressWindow&)>& scenario) {
    QTimer::singleShot(0, this, [&] {
      auto* progress = window_->findChild<ProgressWindow*>();
      QVERIFY(progress != nullptr);
      QVERIFY(!window_->isEnabled());
      scenario(*progress);
      gates_->OpenBefore();
      gates_->OpenAfter();
      QTRY_VERIFY(progress->Finished());
      QTest::keyClick(progress, Qt::Key_Return);
    });
    window_->Dispatch(kCommandConvert);
    QVERIFY(window_->isEnabled());
  }

  QString Status() { return window_->findChild<QLabel*>(kStatusTextName)->text(); }
  QStringList OutputFiles() { return QDir(outFolder_).entryList(QDir::Files); }

 private slots:
  void initTestCase() {
    LoadLanguage();
    BuildFormatTables();
    QDir(session_.Folder()).mkpath("in");
    input_ = session_.Folder() + "/in/small.bmp";
    QImage picture(6, 4, QImage::Format_RGB888);
    picture.fill(QColor(200, 30, 90));
    QVERIFY(picture.save(input_, "BMP"));
    outFolder_ = session_.Folder() + "/out/";
    output_ = outFolder_ + "small.psd";
  }
  void init() {
    QDir(outFolder_).removeRecursively();
    QDir().mkpath(outFolder_);
  }
  void cleanup() {
    if (gates_) {
      gates_->OpenBefore();
      gates_->OpenAfter();
    }
    window_.reset();
    context_.reset();
  }

  void ConvertsAndShowsTheResult() {
    Open(false, true);
    ScriptedDialogs dialogs;
    dialogs.folderAnswers = {outFolder_};
    window_->SelectOutputFolder();
    Convert([&](ProgressWindow& progress) {
      QCOMPARE(progress.size(), QSize(300, 130));
      QVERIFY(!Child<QPushButton>(progress, kProgressOkButton)->isEnabled());
      // One file: no time estimate, the bar moved up.
      QVERIFY(Child<QLabel>(progress, kProgressTimeLabel)->isHidden());
      QCOMPARE(Child<QProgressBar>(progress, kProgressBar)->y(), 50);
      QTRY_COMPARE(progress.windowTitle(), QString("Converting (1/1)"));
      QCOMPARE(Child<QLabel>(progress, kProgressPathLabel)->text(), input_);
      gates_->OpenAfter();
      QTRY_VERIFY(progress.Finished());
      QCOMPARE(progress.windowTitle(), QString("Conversion complete (1/1)"));
      QCOMPARE(Child<QLabel>(progress, kProgressPathLabel)->text(),
               QString("Files converted: 1 of 1"));
      QCOMPARE(Child<QLabel>(progress, kProgressTimeLabel)->text(),
               QString("Time Remaining: 00:00:00"));
      auto* bar = Child<QProgressBar>(progress, kProgressBar);
      QCOMPARE(bar->value(), bar->maximum());
      QCOMPARE(bar->maximum(), 2);
      QVERIFY(Child<QPushButton>(progress, kProgressOkButton)->isEnabled());
    });
    QCOMPARE(Status(), QString("Conversion complete"));
    QCOMPARE(OutputFiles(), QStringList({"small.psd"}));
    QVERIFY(dialogs.Kinds().filter("warning").isEmpty());
  }

  void FileThatCannotBeReadCountsAsNotConverted() {
    Open(false, false);
    const QString broken = outFolder_ + "../in/broken.bmp";
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("BM not a bitmap");
    file.close();
    window_->findChild<QLineEdit*>(QString::fromStdString(ControlName(kMainWindow, kInputField)))
        ->setText(broken);
    ScriptedDialogs dialogs;
    dialogs.folderAnswers = {outFolder_};
    window_->SelectOutputFolder();
    QString label;
    Convert([&](ProgressWindow& progress) {
      QTRY_VERIFY(progress.Finished());
      label = Child<QLabel>(progress, kProgressPathLabel)->text();
    });
    QCOMPARE(label, QString("Files converted: 0 of 1"));
    QVERIFY(OutputFiles().isEmpty());
  }

  void StopQuestionAnsweredNoGoesOn() {
    Open(false, true);
    ScriptedDialogs dialogs;
    dialogs.folderAnswers = {outFolder_};
    window_->SelectOutputFolder();
    dialogs.yesNoAnswers = {false};
    QString title;
    Convert([&](ProgressWindow& progress) {
      QTRY_COMPARE(progress.windowTitle(), QString("Converting (1/1)"));
      progress.close();
      QCOMPARE(dialogs.Last().kind, QString("ask"));
      QCOMPARE(dialogs.Last().title, QString("Warning"));
      QCOMPARE(dialogs.Last().text, QString("Do you want to break the conversion?"));
      QVERIFY(progress.isVisible());
      gates_->OpenAfter();
      QTRY_VERIFY(progress.Finished());
      title = progress.windowTitle();
    });
    QCOMPARE(title, QString("Conversion complete (1/1)"));
    QCOMPARE(Status(), QString("Conversion complete"));
  }

  void StopQuestionAnsweredYesFinishesTheFile() {
    Open(false, true);
    ScriptedDialogs dialogs;
    dialogs.folderAnswers = {outFolder_};
    window_->SelectOutputFolder();
    dialogs.yesNoAnswers = {true};
    QString title, label;
    Convert([&](ProgressWindow& progress) {
      QTRY_COMPARE(progress.windowTitle(), QString("Converting (1/1)"));
      QTest::keyClick(&progress, Qt::Key_Escape);  // the same as the close box
      QCOMPARE(dialogs.Last().kind, QString("ask"));
      gates_->OpenAfter();
      QTRY_VERIFY(progress.Finished());
      title = progress.windowTitle();
      label = Child<QLabel>(progress, kProgressPathLabel)->text();
    });
    QCOMPARE(title, QString("Conversion stopped (1/1)"));
    QCOMPARE(label, QString("Conversion stopped"));
    QCOMPARE(Status(), QString("Conversion stopped"));
    // The file under way was finished: the whole document and no temporary file.
    QCOMPARE(OutputFiles(), QStringList({"small.psd"}));
    QFile psd(output_);
    QVERIFY(psd.open(QIODevice::ReadOnly));
    QCOMPARE(psd.read(4), QByteArray("8BPS"));
  }

  void StopBeforeTheFileLeavesTheOldOutput() {
    {
      QFile old(output_);
      QVERIFY(old.open(QIODevice::WriteOnly));
      old.write("old output");
    }
    Open(true, false);
    ScriptedDialogs dialogs;
    dialogs.folderAnswers = {outFolder_};
    window_->SelectOutputFolder();
    dialogs.yesNoAnswers = {true};
    // While the question is open the worker, let go, cannot start its file.
    dialogs.whileOpen = [&] {
      gates_->OpenBefore();
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      QFile now(output_);
      now.open(QIODevice::ReadOnly);
      QCOMPARE(now.readAll(), QByteArray("old output"));
    };
    QString title;
    Convert([&](ProgressWindow& progress) {
      progress.close();
      dialogs.whileOpen = nullptr;
      QTRY_VERIFY(progress.Finished());
      title = progress.windowTitle();
    });
    QVERIFY(title.startsWith("Conversion stopped ("));
    QFile old(output_);
    QVERIFY(old.open(QIODevice::ReadOnly));
    const QByteArray content = old.readAll();
    // Either untouched or the complete new document; never a partial one, no temporary file.
    QVERIFY(content == "old output" || content.startsWith("8BPS"));
    QCOMPARE(OutputFiles(), QStringList({"small.psd"}));
  }
};

}  // namespace ravelin

QTEST_MAIN(ravelin::ProgressWindowTest)
#include "progress_window_test.moc"
