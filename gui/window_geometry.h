// The main window's place between runs: the stored geometry is mended at start so the window
// is always reachable, and the window's state is written back into the settings at exit.
#pragma once

#include <QRect>
#include <vector>

#include "settings/settings.h"

class QWidget;

namespace ravelin {

// The main window's bounds: inner width at least 510, inner height always 260.
inline constexpr int kMainMinWidth = 510;
inline constexpr int kMainHeight = 260;

// Makes `Width`, `Height`, `X` and `Y` usable on the given screens (their available areas,
// the primary first): the height is the fixed one, the width lies between the minimum and the
// widest screen, and a window whose title strip would lie on no screen is centred on the
// primary one. Nothing changes for geometry that is already reachable.
void MendWindowPlacement(Settings& settings, const std::vector<QRect>& screens);

// At exit: maximised sets only `IsMaximized`; minimised changes nothing; otherwise the inner
// size and the outer position are stored and `IsMaximized` is cleared.
void StoreWindowState(Settings& settings, const QWidget& window);

}  // namespace ravelin
