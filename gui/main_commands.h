// The command table of the main window: one row per command number, in menu order, with its
// menu place, label, shortcut, picture and the action it runs; and the main toolbar's order.
// The menu, the toolbar, the field buttons and the shortcuts are all built from here, and
// every command is routed through its row's action, so pointing a command elsewhere is one
// edit of its row.
#pragma once

namespace ravelin {

class MainWindow;

enum class MenuTitle { None, File, Converter, Help };

struct CommandRow {
  int command;
  MenuTitle menu;         // None: not in the menu (a field button only)
  bool separatorBefore;   // a separator line before the item in its menu
  const char* labelKey;   // [Menu] key of the label and the tooltip
  const char* shortcut;   // "Ctrl+N" and the like; "" for none
  const char* pictureKey; // key in `MenuImages` and `ToolbarImages`
  void (MainWindow::*action)();
};

// Built without the update check (RAVELIN_UPDATE_CHECK off), command 23 has no row: neither
// the menu nor the toolbar shows it.
extern const CommandRow kCommandRows[];
extern const int kCommandRowCount;

// The main toolbar, left to right; kToolbarSeparator stands for a separator.
inline constexpr int kToolbarSeparator = -1;
extern const int kToolbarOrder[];
extern const int kToolbarOrderCount;

// The row of a command number; null for a number no control raises.
const CommandRow* FindCommandRow(int command);

}  // namespace ravelin
