#include "gui/window_mode.h"

#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <vector>

#include "gui/display_check.h"
#include "gui/exit_signals.h"
#include "gui/main_window.h"
#include "gui/screenshot.h"
#include "gui/themes.h"
#include "gui/uninstall_window.h"
#include "gui/window_context.h"
#include "gui/window_geometry.h"
#include "i18n/language_table.h"
#include "platform/console.h"
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
  // A stop request ends the loops (a running conversion first finishes its file), so the
  // window's place and the recent folders are still saved.
  ExitSignals exitSignals([] { QCoreApplication::quit(); });
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
  CatchExitSignalsEarly();
  if (request.stopRequested != nullptr && request.stopRequested()) CountAsExitSignal();
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
