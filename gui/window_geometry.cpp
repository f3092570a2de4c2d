#include "gui/window_geometry.h"

#include <QWidget>
#include <algorithm>

namespace ravelin {

namespace {

// How much of the window's top strip (where it is grabbed to be moved) must lie on a screen.
constexpr int kGrabWidth = 100;
constexpr int kGrabHeight = 20;

}  // namespace

void MendWindowPlacement(Settings& settings, const std::vector<QRect>& screens) {
  settings.Height = kMainHeight;
  int widest = kMainMinWidth;
  for (const QRect& screen : screens) widest = std::max(widest, screen.width());
  settings.Width = std::clamp(settings.Width, kMainMinWidth, widest);
  if (screens.empty()) return;

  const QRect strip(settings.X, settings.Y, settings.Width, kGrabHeight);
  for (const QRect& screen : screens) {
    const QRect seen = strip.intersected(screen);
    if (seen.width() >= std::min(kGrabWidth, settings.Width) && seen.height() >= kGrabHeight) {
      return;
    }
  }
  const QRect& primary = screens.front();
  settings.X = primary.x() + std::max(0, (primary.width() - settings.Width) / 2);
  settings.Y = primary.y() + std::max(0, (primary.height() - settings.Height) / 2);
}

void StoreWindowState(Settings& settings, const QWidget& window) {
  if (window.isMaximized()) {
    settings.IsMaximized = 1;
    return;
  }
  if (window.isMinimized()) return;
  settings.IsMaximized = 0;
  settings.Width = window.width();
  settings.Height = window.height();
  settings.X = window.frameGeometry().x();
  settings.Y = window.frameGeometry().y();
}

}  // namespace ravelin
