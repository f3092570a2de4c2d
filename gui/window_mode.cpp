#include "gui/window_mode.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>
#include <vector>

#include "gui/display_check.h"
#include "gui/main_window.h"
#include "gui/screenshot.h"
#include "gui/themes.h"
#include "gui/uninstall_window.h"
#include "gui/window_context.h"
#include "gui/window_geometry.h"
#include "i18n/language_table.h"
#include "platform/console.h"
#include "platform/session_end.h"
#include "settings/config_file.h"
#include "settings/formats.h"

namespace ravelin {

namespace {

// The screens' usable areas, the primary one first.
std::vector<QRect> ScreenAreas() {
  std::vector<QRect> areas;
  if (QScreen* primary = QGuiApplication::primaryScreen()) areas.push_back(primary->availableGeometry());
  for (QScreen* screen : QGuiApplication::screens()) {
    if (screen != QGuiApplication::primaryScreen()) areas.push_back(screen->availableGeometry());
  }
  return areas;
}

// The end of the session (a stop signal, or the desktop's session ending): the worker has been
// told and stops after removing its temporary file; a box or window that waits for an answer is
// closed unanswered; the loops end, so the window's place and the recent folders are saved.
void CloseForSessionEnd() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (auto* dialog = qobject_cast<QDialog*>(window); dialog != nullptr && dialog->isVisible()) {
      dialog->done(QDialog::Rejected);
    }
  }
  QCoreApplication::quit();
}

// Steps shared by every window of the mode: the configuration, the texts, the pictures and the
// theme, the format tables.
void PrepareContext(WindowContext& context, const WindowModeRequest& request) {
  context.appTitle = request.appTitle;
  context.settings.ConfigPath = DefaultConfigPath();
  const std::vector<QRect> screens = ScreenAreas();
  DesktopSize desktop;
  if (!screens.empty()) desktop = {screens.front().width(), screens.front().height()};
  LoadSettings(context.settings, desktop);
  // A damaged or old file, or a screen that is gone, never puts the window out of reach.
  MendWindowPlacement(context.settings, screens);
  LoadLanguage();
  LoadBuiltInPictures(context.pictures);
  ListThemes(context);
  LoadTheme(context, true, true, true);
  BuildFormatTables();
}

void RunMainWindow(const WindowModeRequest& request) {
  WindowContext context;
  PrepareContext(context, request);
  MainWindow window(context);
  window.Prepare();
  // A file named on the command line ("Open With" from a file manager) comes in like a drop;
  // a relative name is taken from the current folder.
  if (!request.inputFile.empty()) {
    const QString path = QFileInfo(QString::fromStdString(request.inputFile)).absoluteFilePath();
    window.AddInputFileInWindow(path.toStdString());
  }
  window.ScheduledUpdateCheck();
  QApplication::exec();

  StoreWindowState(context.settings, window);
  if (context.settings.OutFoldersHistory == 0) context.settings.RecentOutFolders.clear();
  SaveSettings(context.settings);
}

// "-T": the main window at 400, 400 with the example paths, photographed for the web site.
void RunScreenshotMode(const WindowModeRequest& request) {
  const QString folder = PrepareScreenshotFolder(*request.params);
  if (folder.isEmpty()) return;
  WindowContext context;
  context.runMode = "T";
  PrepareContext(context, request);
  context.settings.IsMaximized = 0;
  MainWindow window(context);
  window.Prepare();
  window.setGeometry(400, 400, 510, 260);
  window.ShowScreenshotExample();
  TakeScreenshots(&window, folder);
}

void RunUninstall(const WindowModeRequest& request) {
  WindowContext context;
  context.appTitle = request.appTitle;
  LoadLanguage();
  LoadBuiltInPictures(context.pictures);
  RunUninstallWindow(context);
}

}  // namespace

void RunWindowMode(const WindowModeRequest& request) {
  // This module has its own copy of the session-end watcher: it takes the signals over, so the
  // worker and the writer running in here see the end.
  WatchSessionEnd();
  if (request.sessionEnding != nullptr && request.sessionEnding()) EndSession();
  if (!DisplayAvailable()) {
    if (request.console != nullptr) {
      request.console->PrintLine(
          "The window mode needs a display and none was found; the console converter works "
          "without one: ravelin -i FILE -o FOLDER (ravelin -h lists the options).");
    }
    return;
  }
  static int argc = 1;
  static char name[] = "ravelin";
  static char* argv[] = {name, nullptr};
  QApplication application(argc, argv);
  // A stop request ends every window of the mode the ordinary way, so the main window's place
  // and the recent folders are still saved. The watcher calls from its own thread: the closing
  // is posted to the event loop.
  OnSessionEnd([] {
    QMetaObject::invokeMethod(qApp, &CloseForSessionEnd, Qt::QueuedConnection);
  });
  if (SessionEnding()) QTimer::singleShot(0, &CloseForSessionEnd);
  QObject::connect(qApp, &QGuiApplication::commitDataRequest, [](QSessionManager&) {
    EndSession();
  });
  switch (request.kind) {
    case WindowModeKind::Window:
      RunMainWindow(request);
      break;
    case WindowModeKind::Uninstall:
      RunUninstall(request);
      break;
    case WindowModeKind::Screenshot:
      RunScreenshotMode(request);
      break;
  }
}

}  // namespace ravelin
