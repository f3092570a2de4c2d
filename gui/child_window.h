// The small child windows (about, search) open the same way: centred on the main window,
// deleted once closed, the main window active again afterwards.
#pragma once

class QDialog;
class QWidget;

namespace ravelin {

// Shows `window` over `mainWindow` (may be null) with the keyboard focus in `focus`.
void ShowChildWindow(QDialog* window, QWidget* mainWindow, QWidget* focus);

}  // namespace ravelin
