// The window mode's frame: a start where no window can open, and what the main window leaves
// in the settings at exit.
#include <QApplication>
#include <QProcess>
#include <QtTest>
#include <csignal>

#include "gui/main_window.h"
#include "gui/window_geometry.h"
#include "i18n/language_table.h"
#include "settings/formats.h"
#include "tests/gui/support/isolated_session.h"

namespace ravelin {

// True once the process has a handler for SIGTERM (its caught-signal mask in /proc).
bool CatchesTerm(qint64 pid) {
  QFile status(QString("/proc/%1/status").arg(pid));
  if (!status.open(QIODevice::ReadOnly)) return false;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("SigCgt:")) {
      return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
    }
  }
  return false;
}

class WindowModeTest : public QObject {
  Q_OBJECT
  IsolatedSession session_;

 private slots:
  void initTestCase() {
    LoadLanguage();
    BuildFormatTables();
  }

  void WithoutADisplaySaysSoInOneLine() {
    for (const char* platform : {"", "xcb", "wayland;xcb"}) {
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

  // A start with a damaged configuration, ended by a stop request like at the end of a
  // session: the window was reachable and the configuration is saved whole.
  void SavesAMendedConfigurationWhenAskedToStop() {
    struct Case { const char* why; QByteArray config; QStringList expected; };
    const Case cases[] = {
        {"absurd geometry is mended, recent folders kept",
         "[Window]\nWidth=2000000000\nHeight=-5\nX=-40000\nY=99999\n"
         "[File]\nRecent Out Folders=/a/\t/b/\n",
         {"Height = 260", "Recent Out Folders = /a/\t/b/"}},
        {"history off empties the recent folders",
         "[Window]\nWidth=600\nX=10\nY=20\n[Advanced]\nOut Folders History=0\n"
         "[File]\nRecent Out Folders=/a/\n",
         {"Width = 600", "X = 10", "Y = 20", "Recent Out Folders = "}},
        {"a file that is not a configuration at all", QByteArray("\x00\xff\x01garbage", 10),
         {"Height = 260", "Width = 510"}},
    };
    const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Veltrano/ravelin";
    for (const Case& c : cases) {
      QDir().mkpath(folder);
      QFile file(folder + "/config.ini");
      QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
      file.write(c.config);
      file.close();
      QProcess process;
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.insert("QT_QPA_PLATFORM", "offscreen");
      process.setProcessEnvironment(env);
      process.start(qEnvironmentVariable("RAVELIN_BINARY"), {});
      QVERIFY(process.waitForStarted());
      // Ask it to stop only once the window mode listens for that.
      QTRY_VERIFY_WITH_TIMEOUT(CatchesTerm(process.processId()), 20000);
      process.terminate();
      QVERIFY(process.waitForFinished(20000));
      QCOMPARE(process.exitStatus(), QProcess::NormalExit);
      QCOMPARE(process.exitCode(), 0);
      QVERIFY(file.open(QIODevice::ReadOnly));
      const QStringList lines = QString::fromUtf8(file.readAll()).split("\r\n").join("\n").split('\n');
      file.close();
      for (const QString& line : c.expected) QVERIFY2(lines.contains(line), qPrintable(line));
      // The window's place lies on the offscreen screen.
      for (const QString& line : lines) {
        if (line.startsWith("X = ") || line.startsWith("Y = ")) {
          QVERIFY2(line.mid(4).toInt() >= 0 && line.mid(4).toInt() < 800, c.why);
        }
      }
      QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList({"config.ini"}));
    }
  }

  // "Open With": a file named on the command line is added as a drop adds it, so its folder
  // becomes the output folder and is saved with the recent folders at the end.
  void OpensTheFileItIsGiven() {
    const QString dir = session_.Folder() + "/open";
    QDir().mkpath(dir);
    for (const char* name : {"a.bmp", "e.png"}) {
      QFile file(dir + "/" + name);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("BM..");
    }
    const QString added = "Recent Out Folders = " + dir + "/", none = "Recent Out Folders = ";
    struct Case { const char* why; QStringList params; QString workingFolder; QString expected; };
    const Case cases[] = {
        {"a bitmap by its full name", {dir + "/a.bmp"}, "/", added},
        {"a name relative to the working folder", {"a.bmp"}, dir, added},
        {"after options", {"--width=640", dir + "/a.bmp"}, "/", added},
        {"a file that is no input", {dir + "/e.png"}, "/", none},
        {"a file that does not exist", {dir + "/gone.png"}, "/", none},
        {"the value of -o", {"-o", dir + "/a.bmp"}, "/", none},
    };
    const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Veltrano/ravelin";
    QDir().mkpath(folder);
    QFile config(folder + "/config.ini");
    for (const Case& c : cases) {
      QVERIFY(config.open(QIODevice::WriteOnly | QIODevice::Truncate));
      config.write("[General]\nUpdate Range=5\n[File]\nRecent Out Folders=\n");
      config.close();
      QProcess process;
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.insert("QT_QPA_PLATFORM", "offscreen");
      process.setProcessEnvironment(env);
      process.setWorkingDirectory(c.workingFolder);
      process.start(qEnvironmentVariable("RAVELIN_BINARY"), c.params);
      QVERIFY(process.waitForStarted());
      QTRY_VERIFY_WITH_TIMEOUT(CatchesTerm(process.processId()), 20000);
      process.terminate();
      QVERIFY(process.waitForFinished(20000));
      QCOMPARE(process.exitCode(), 0);
      QCOMPARE(process.readAllStandardOutput(), QByteArray());
      QVERIFY(config.open(QIODevice::ReadOnly));
      const QStringList lines = QString::fromUtf8(config.readAll()).split("\r\n");
      config.close();
      QVERIFY2(lines.contains(c.expected), c.why);
    }
  }

  // The uninstall window ("-U") ends on the first stop request too, opening nothing.
  void UninstallWindowEndsWhenAskedToStop() {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    process.start(qEnvironmentVariable("RAVELIN_BINARY"), {"-U"});
    QVERIFY(process.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(CatchesTerm(process.processId()), 20000);
    process.terminate();
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
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
