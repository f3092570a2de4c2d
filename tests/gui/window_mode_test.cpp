// The window mode's frame: a start where no window can open, and what the main window leaves
// in the settings at exit.
#include <QApplication>
#include <QProcess>
#include <QtTest>

#include "gui/main_window.h"
#include "gui/window_geometry.h"
#include "i18n/language_table.h"
#include "settings/formats.h"
#include "tests/gui/support/isolated_session.h"

namespace ravelin {

class WindowModeTest : public QObject {
  Q_OBJECT
  IsolatedSession session_;

 private slots:
  void initTestCase() {
    LoadLanguage();
    BuildFormatTables();
  }

  void WithoutADisplaySaysSoInOneLine() {
    for (const char* platform : {"", "xcb"}) {
      QProcess process;
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.remove("DISPLAY");
      env.remove("WAYLAND_DISPLAY");
      env.remove("QT_QPA_PLATFORM");
      if (*platform) env.insert("QT_QPA_PLATFORM", platform);
      process.setProcessEnvironment(env);
      process.start(qEnvironmentVariable("RAVELIN_BINARY"), {});
      QVERIFY(process.waitForFinished(20000));
      QCOMPARE(process.exitStatus(), QProcess::NormalExit);
      QCOMPARE(process.exitCode(), 0);
      const QStringList lines =
          QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
      QCOMPARE(lines.size(), 1);
      QVERIFY(lines[0].contains("needs a display"));
      QCOMPARE(process.readAllStandardError(), QByteArray());
    }
  }

  void StoresTheWindowStateAtExit() {
    struct Case { const char* why; Qt::WindowState state; int maximized, width, x; };
    const Case cases[] = {
        {"normal: size and place", Qt::WindowNoState, 0, 640, 120},
        {"maximised: only the mark", Qt::WindowMaximized, 1, 999, -1},
        {"minimised: nothing", Qt::WindowMinimized, 0, 999, -1},
    };
    for (const Case& c : cases) {
      WindowContext context;
      MainWindow window(context);
      window.Prepare();
      window.resize(640, 260);
      window.move(120, 80);
      window.setWindowState(c.state);
      QApplication::processEvents();
      Settings settings;
      settings.IsMaximized = 0;
      settings.Width = 999;
      settings.X = -1;
      StoreWindowState(settings, window);
      QVERIFY2(settings.IsMaximized == c.maximized, c.why);
      QVERIFY2(settings.Width == c.width, c.why);
      QVERIFY2(settings.X == c.x, c.why);
      if (c.state == Qt::WindowNoState) QCOMPARE(settings.Height, 260);
    }
  }
};

}  // namespace ravelin

QTEST_MAIN(ravelin::WindowModeTest)
#include "window_mode_test.moc"
