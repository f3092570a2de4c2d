// The update check as the window runs it: the scheduled question after the window is shown,
// command 23 against servers on the loopback address while the window keeps answering, a
// window closed during a check, and the screenshot mode, which never checks.
#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <chrono>

#include "gui/main_window.h"
#include "gui/window_numbers.h"
#include "i18n/language_table.h"
#include "platform/local_time.h"
#include "platform/product.h"
#include "settings/formats.h"
#include "tests/gui/support/isolated_session.h"
#include "tests/gui/support/scripted_dialogs.h"
#include "tests/support/loopback_server.h"
#include "update/http_get.h"

namespace ravelin {

namespace {

using test::LoopbackServer;
using namespace std::chrono_literals;

constexpr int64_t kDay = 86400;
const QString kAskCheck = "Check for Updates";

// Points the update address at a test server while it lives.
class UpdateAddress {
 public:
  explicit UpdateAddress(const std::string& url) { qputenv(kUpdateAddressVariable, url.c_str()); }
  ~UpdateAddress() { qunsetenv(kUpdateAddressVariable); }
};

}  // namespace

class UpdateWindowTest : public QObject {
  Q_OBJECT
  IsolatedSession session_;
  std::unique_ptr<WindowContext> context_;
  std::unique_ptr<MainWindow> window_;

  MainWindow& Open(int32_t updateRange, int64_t updateDate) {
    context_ = std::make_unique<WindowContext>();
    context_->appTitle = "Veltrano BMP to PSD 2.6";
    context_->settings.UpdateRange = updateRange;
    context_->settings.UpdateDate = static_cast<Date>(updateDate);
    window_ = std::make_unique<MainWindow>(*context_);
    window_->Prepare();
    QApplication::processEvents();
    return *window_;
  }
  QAction* CheckCommand() {
    return window_->findChild<QAction*>(QString::fromStdString(CommandName(kCommandCheckForNewVersion)));
  }

 private slots:
  void initTestCase() {
    LoadLanguage();
    BuildFormatTables();
  }
  void cleanup() {
    window_.reset();
    context_.reset();
    SetFetchTimeLimitForTests(0ms);
  }

  void ScheduledQuestionFollowsTheRange() {
    struct Case { const char* why; int32_t range; int64_t age; bool asks; };
    const Case cases[] = {
        {"weekly, eight days ago", 1, 8 * kDay, true},
        {"weekly, six days ago", 1, 6 * kDay, false},
        {"daily, two days ago", 0, 2 * kDay, true},
        {"never, years ago", 5, 3000 * kDay, false},
    };
    for (const Case& c : cases) {
      const int64_t before = LocalDateNow();
      MainWindow& w = Open(c.range, before - c.age);
      ScriptedDialogs dialogs;
      dialogs.yesNoAnswers = {false};
      w.ScheduledUpdateCheck();
      // Asked from the event loop once the window is up, never from inside the call.
      QVERIFY2(dialogs.shown.empty(), c.why);
      QTest::qWait(50);
      const QStringList expected = c.asks ? QStringList{"ask"} : QStringList{};
      QVERIFY2(dialogs.Kinds() == expected, c.why);
      if (!c.asks) {
        QVERIFY2(context_->settings.UpdateDate == static_cast<Date>(before - c.age), c.why);
        continue;
      }
      QCOMPARE(dialogs.Last().title, kAskCheck);
      QCOMPARE(dialogs.Last().text, QString("Do you want to check for updates?"));
      // After No the date is today's, so the next start does not ask again.
      QVERIFY(context_->settings.UpdateDate >= before);
      w.ScheduledUpdateCheck();
      QTest::qWait(50);
      QVERIFY2(dialogs.Kinds() == expected, c.why);
    }
  }

  void ScheduledYesChecksAndAnswers() {
    LoopbackServer server(LoopbackServer::Reply("HTTP/1.0 200 OK\r\n\r\n261"));
    UpdateAddress address(server.Url());
    Open(1, LocalDateNow() - 8 * kDay);
    ScriptedDialogs dialogs;
    dialogs.yesNoAnswers = {true, false};
    window_->ScheduledUpdateCheck();
    QTRY_COMPARE_WITH_TIMEOUT(dialogs.Kinds(), QStringList({"ask", "ask"}), 5000);
    QCOMPARE(dialogs.shown[1].title, QString("New Update"));
    QVERIFY(QString::fromStdString(server.Request())
                .contains("User-Agent: Veltrano BMP to PSD 2.6\r\n"));
  }

  // The server takes the connection and says nothing; the window goes on painting and
  // answering until the fetch gives up, and only then tells of the connection problem.
  void StalledServerLeavesTheWindowAnswering() {
    SetFetchTimeLimitForTests(800ms);
    LoopbackServer server({{"HTTP/1.0 200 OK\r\n", 0}}, LoopbackServer::End::Hold);
    UpdateAddress address(server.Url());
    Open(5, LocalDateNow());
    ScriptedDialogs dialogs;
    int ticks = 0;
    QTimer timer;
    timer.setInterval(10);
    connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start();
    bool posted = false;
    int ticksAtAnswer = -1;
    bool postedAtAnswer = false;
    dialogs.whileOpen = [&] {
      ticksAtAnswer = ticks;
      postedAtAnswer = posted;
    };

    CheckCommand()->trigger();
    // The command returns while the fetch is still under way.
    QVERIFY(dialogs.shown.empty());
    QMetaObject::invokeMethod(window_.get(), [&posted] { posted = true; }, Qt::QueuedConnection);
    QTRY_VERIFY_WITH_TIMEOUT(!dialogs.shown.empty(), 8000);
    QCOMPARE(dialogs.Kinds(), QStringList({"error"}));
    QCOMPARE(dialogs.Last().text, QString("Internet connection problems!"));
    QVERIFY(server.WaitConnected());
    // Timers and posted events were handled while the server held the check.
    QVERIFY2(ticksAtAnswer >= 10, qPrintable(QString::number(ticksAtAnswer)));
    QVERIFY(postedAtAnswer);
  }

  // Closing the window in the middle of a check ends it: the connection is dropped long
  // before the fetch's own limit and nothing is shown afterwards.
  void ClosingDuringACheckShowsNothing() {
    LoopbackServer server({}, LoopbackServer::End::Hold, 8000);
    UpdateAddress address(server.Url());
    Open(5, LocalDateNow());
    ScriptedDialogs dialogs;
    CheckCommand()->trigger();
    QVERIFY(server.WaitConnected());
    QVERIFY(!server.Request().empty());
    window_->Dispatch(kCommandExit);
    QVERIFY(!window_->isVisible());
    window_.reset();
    // Within five seconds, where the fetch alone would have waited ten.
    QVERIFY(server.WaitClientClosed());
    QTest::qWait(100);
    QVERIFY(dialogs.shown.empty());
  }

  // "-T" takes its pictures and ends without the scheduled question (which nobody could
  // answer here) and without contacting the update server, though a check is long due.
  void ScreenshotModeNeverChecks() {
    const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Veltrano/ravelin";
    QDir().mkpath(folder);
    QFile config(folder + "/config.ini");
    QVERIFY(config.open(QIODevice::WriteOnly | QIODevice::Truncate));
    config.write("[General]\nUpdate Range=0\nUpdate Date=1000\n");
    config.close();
    LoopbackServer server(LoopbackServer::Reply("HTTP/1.0 200 OK\r\n\r\n261"));
    QTemporaryDir pictures;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert(kUpdateAddressVariable, QString::fromStdString(server.Url()));
    process.setProcessEnvironment(env);
    process.start(qEnvironmentVariable("RAVELIN_BINARY"), {"-T", pictures.path()});
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QVERIFY(QFile::exists(pictures.path() + "/ravelin1.jpg"));
    QVERIFY(!server.WaitConnected(300));
  }
};

}  // namespace ravelin

QTEST_MAIN(ravelin::UpdateWindowTest)
#include "update_window_test.moc"
