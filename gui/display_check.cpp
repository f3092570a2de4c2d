#include "gui/display_check.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdlib>

namespace ravelin {

namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// Opens and closes an X connection through libxcb, which the X platform plugin uses anyway;
// loaded here so the check costs nothing when there is no DISPLAY.
bool XReachable() {
  if (Variable("DISPLAY").empty()) return false;
  void* xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
  if (xcb == nullptr) return false;
  using Connect = void* (*)(const char*, int*);
  using HasError = int (*)(void*);
  using Disconnect = void (*)(void*);
  const auto connect = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
  const auto hasError = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
  const auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
  bool reachable = false;
  if (connect != nullptr && hasError != nullptr && disconnect != nullptr) {
    void* connection = connect(nullptr, nullptr);
    reachable = connection != nullptr && hasError(connection) == 0;
    if (connection != nullptr) disconnect(connection);
  }
  dlclose(xcb);
  return reachable;
}

bool WaylandReachable() {
  const std::string display = Variable("WAYLAND_DISPLAY");
  if (display.empty()) return false;
  const std::string socket =
      display[0] == '/' ? display : Variable("XDG_RUNTIME_DIR") + "/" + display;
  struct stat info {};
  return stat(socket.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

}  // namespace

bool DisplayAvailable() {
  const std::string chosen = Variable("QT_QPA_PLATFORM");
  if (!chosen.empty()) {
    // A list such as "wayland;xcb" is tried in order by the toolkit: one usable entry will do.
    size_t start = 0;
    while (start <= chosen.size()) {
      size_t end = chosen.find(';', start);
      if (end == std::string::npos) end = chosen.size();
      const std::string name = chosen.substr(start, end - start);
      if (name.rfind("xcb", 0) == 0) {
        if (XReachable()) return true;
      } else if (name.rfind("wayland", 0) == 0) {
        if (WaylandReachable()) return true;
      } else if (!name.empty()) {
        return true;  // offscreen, vnc and the like need no display
      }
      start = end + 1;
    }
    return false;
  }
  const bool x = XReachable();
  const bool wayland = WaylandReachable();
  if (x && !wayland) setenv("QT_QPA_PLATFORM", "xcb", 1);
  if (wayland && !x) setenv("QT_QPA_PLATFORM", "wayland", 1);
  return x || wayland;
}

}  // namespace ravelin
