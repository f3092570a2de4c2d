// The window mode as the start-up sees it. All window code (Qt Widgets) lives in a module of its
// own, "ravelin-gui.so" beside the program, loaded only when the window mode starts: a console
// run never loads Qt, starts as fast as before and works on a machine without a display.
// This header is the whole contract between the two; it names no Qt type.
#pragma once

#include <string>
#include <vector>

namespace ravelin {

class Console;

// What the start-up asks the window module to run.
enum class WindowModeKind {
  Window,      // the main window (no parameters, or parameters without an input option)
  Uninstall,   // "-U": the uninstall window
  Screenshot,  // "-T": pictures of the main window for the maker's web site
};

struct WindowModeRequest {
  WindowModeKind kind = WindowModeKind::Window;
  const std::vector<std::string>* params = nullptr;  // the command line, program name excluded
  Console* console = nullptr;                          // for the lines printed when no window opens
  std::string appTitle;                                // `AppTitle`
  std::string inputFile;  // Window: a file named on the command line, added as a drop adds it
  // The program's own session-end state: a stop signal that came while the module was loading
  // reached the program's watcher, not the module's copy of it.
  bool (*sessionEnding)() = nullptr;
};

// The table of entry points the module hands out.
struct GuiApi {
  int version;
  // Runs the asked mode until its last window closes; returns when it has ended.
  void (*runWindowMode)(const WindowModeRequest& request);
};
inline constexpr int kGuiApiVersion = 2;
// The module's one exported symbol: `extern "C" const GuiApi* ravelin_gui_api()`.
inline constexpr char kGuiEntry[] = "ravelin_gui_api";
inline constexpr char kGuiModuleName[] = "ravelin-gui.so";

}  // namespace ravelin
