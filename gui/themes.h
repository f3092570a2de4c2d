// Icon themes: ZIP archives "gfx/" + name + ".zip" beside the program, each holding a
// "theme.cfg" and the PNG pictures it names. Start-up lists them and loads the configured one
// into the image sets; the preferences window lists their display names and the main window
// reloads after a change of theme or icon size. An archive is input from outside: it is read
// in memory only, entry by entry, with every entry and picture bounded, and a damaged one
// leaves the pictures as they were.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "gui/window_context.h"

namespace ravelin {

// An entry that claims or unpacks to more than this is skipped.
inline constexpr int64_t kMaxThemeEntryBytes = 4 * 1024 * 1024;
// Entries beyond this many are not looked at (a theme needs about a hundred).
inline constexpr int kMaxThemeEntries = 4096;
// A picture wider or higher than this is not decoded.
inline constexpr int kMaxThemePictureSide = 1024;
// ThemeDisplayName reads no more than this much of "theme.cfg".
inline constexpr int kDisplayNameBytes = 255;

// The folder of the theme archives: ProgramFolder() + "gfx/".
std::string ThemeFolder();

// Fills `themeNames` with every "*.zip" file of the folder (theme name to display name); a
// missing folder gives an empty map. The map's order is the listing order, so its last entry
// is the theme found last.
void ListThemes(WindowContext& context);
void ListThemes(WindowContext& context, const std::string& gfxFolder);

// The "Name" of the "[Theme]" group within the first 255 bytes of the archive's "theme.cfg";
// the theme name itself when the archive is missing, empty or not a ZIP archive.
QString ThemeDisplayName(const QString& theme);
QString ThemeDisplayName(const QString& theme, const std::string& gfxFolder);

// The value of `key` in `group` of a "theme.cfg" text ("\r\n" lines, case ignored), or empty.
// A key matches any line that begins with it; the value lies between the line's first and
// second "=" and is trimmed of blanks, tabs, carriage returns and line feeds in that order.
std::string IniValue(std::string_view text, std::string_view group, std::string_view key);

// Loads the pictures of theme `UI Theme` into the button, menu and toolbar sets as flagged;
// when that archive is missing, the theme found last by ListThemes is used and stored in
// `UI Theme`. Keys the theme does not supply, or whose picture does not decode, keep their
// current picture.
void LoadTheme(WindowContext& context, bool buttons, bool menu, bool toolbar);
void LoadTheme(WindowContext& context, const std::string& gfxFolder, bool buttons, bool menu,
               bool toolbar);

}  // namespace ravelin
