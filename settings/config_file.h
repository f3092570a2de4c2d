// The configuration file config.ini of window mode: loading it into `Settings` with defaults
// for every missing key and the migrations of older layouts, and saving the record whole in
// the fixed layout of settings/settings_layout.h. Called by the window-mode start-up, its
// shutdown and the preferences window; the command-line mode never touches it.
#pragma once

#include <string>

#include "settings/settings.h"

namespace ravelin {

// $XDG_CONFIG_HOME/Veltrano/ravelin/config.ini (the folders are created when missing).
std::string DefaultConfigPath();

// Fills `settings` from the file at `settings.ConfigPath`. A file that cannot be opened gives
// the window-flavour defaults (centred on `desktop`); a present one is read key by key, every
// missing key taking its default. `CFG` keeps the number read so the migrations can test it.
void LoadSettings(Settings& settings, DesktopSize desktop = {});

// Writes `settings` to `settings.ConfigPath`, replacing the old file only once the new one is
// completely written. False when it could not be written; callers report nothing.
bool SaveSettings(const Settings& settings);

}  // namespace ravelin
