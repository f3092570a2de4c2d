// The search window "Find a File Converter" (window 6): two file extensions become the search
// page "/find/FROM-TO/" on the maker's web site, opened through the shell. Command 16 of the
// main window opens it; it is a child of the main window, which takes no input while it is open.
#pragma once

#include <QString>

#include "gui/window_context.h"

class QWidget;

namespace ravelin {

// Lower case, the first 12 characters, then only "0" to "9" and "a" to "z" kept.
QString SearchExtension(const QString& text);

// The search page for two cleaned extensions.
QString SearchPage(const QString& from, const QString& to);

// Builds and shows the search window centred on the main window with empty fields and returns
// at once. Search (or Return) with both extensions non-empty opens the page and closes the
// window; with either empty it warns and stays. Escape or the close box closes it.
void ShowSearchWindow(QWidget* mainWindow, WindowContext& context);

}  // namespace ravelin
