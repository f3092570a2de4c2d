// What the windows of the window mode share for the whole run: the settings, the job record
// and input list of the next conversion, the image sets, the installed themes, the title, and
// the two marks the preferences window leaves for the main window. Owned by the window mode's
// frame; every window gets it by reference.
#pragma once

#include <QString>
#include <map>
#include <string>

#include "engine/input_list.h"
#include "engine/job_context.h"
#include "gui/pictures.h"
#include "settings/settings.h"

namespace ravelin {

struct WindowContext {
  Settings settings;
  JobContext job;
  InputList list;
  ImageSets pictures;
  // `ThemeNames`: theme name (archive name without ".zip") to display name.
  std::map<QString, QString> themeNames;
  std::string appTitle;  // `AppTitle`
  std::string runMode;   // `RunMode`: empty, or "T" in the screenshot mode
  // What the main window reloads after the preferences stored new settings: 0 nothing, 1 the
  // theme changed, 2 only the toolbar icon size changed.
  int refreshMark = 0;
  // The page the preferences window opens on (0 to 8); reset to 0 once it has been filled.
  int preferencesStartPage = 0;
};

}  // namespace ravelin
