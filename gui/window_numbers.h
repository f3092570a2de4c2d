// The numbers of the windows, their controls and the commands of the window mode. Events carry
// these numbers and each window routes them through its one dispatch; every control's object
// name is made from its number (ControlName), so tests find controls by name.
#pragma once

#include <string>

namespace ravelin {

// Windows.
enum WindowNumber : int {
  kMainWindow = 0,
  kPreferencesWindow = 1,
  kProgressWindow = 3,
  kSearchWindow = 6,
  kAboutWindow = 8,
  kUninstallWindow = 10,
};

// Controls of the main window.
enum MainControl : int {
  kMainContainer = 0,
  kInputLabel = 1,
  kInputField = 2,
  kOutputFolderLabel = 4,
  kOutputFolderList = 5,
  kOutputFormatLabel = 6,
  kOutputFormatList = 7,
  kConvertButton = 8,
  kNoticeLabel = 11,
};

// Commands raised by menu items, toolbar buttons, field buttons and shortcuts.
enum Command : int {
  kCommandNew = 0,
  kCommandExit = 3,
  kCommandSelectInputFile = 5,
  kCommandSelectOutputFolder = 7,
  kCommandOutputFormatOptions = 8,
  kCommandConvert = 14,
  kCommandCustomConverter = 16,
  kCommandPreferences = 17,
  kCommandManual = 18,
  kCommandSendFeedback = 21,
  kCommandVisitHomepage = 22,
  kCommandCheckForNewVersion = 23,
  kCommandAbout = 24,
};

// Controls of the progress window.
enum ProgressControl : int {
  kProgressPathLabel = 348,
  kProgressTimeLabel = 349,
  kProgressBar = 350,
  kProgressOkButton = 351,
};

// The object name of a control: "w" + window + "c" + control ("w0c2" is the input field), and
// of a command's action: "cmd" + number.
inline std::string ControlName(int window, int control) {
  return "w" + std::to_string(window) + "c" + std::to_string(control);
}
inline std::string CommandName(int command) { return "cmd" + std::to_string(command); }

}  // namespace ravelin

namespace ravelin {

// Controls of the search window ("Find a File Converter").
enum SearchControl : int {
  kSearchFromLabel = 358,
  kSearchFromField = 359,
  kSearchToLabel = 360,
  kSearchToField = 361,
  kSearchButton = 362,
  kSearchCancel = 363,  // command raised by Escape
};

// Controls of the about window.
enum AboutControl : int {
  kAboutBanner = 369,
  kAboutTitleLabel = 371,
  kAboutNoticeLabel = 372,
  kAboutFrame = 373,
  kAboutWebLabel = 374,
  kAboutEmailLabel = 375,
  kAboutWebLink = 376,
  kAboutEmailLink = 377,
  kAboutOkButton = 381,
};

// Controls of the uninstall window.
enum UninstallControl : int {
  kUninstallCheckBox = 392,
  kUninstallNextButton = 393,
};

// Controls of the preferences window; the setting controls are named after their
// configuration key ("Output/JPG Quality").
enum PreferencesControl : int {
  kPrefsPageList = 1,
  kPrefsHeader = 2,
  kPrefsDefaultsButton = 3,
  kPrefsOkButton = 4,
  kPrefsCancelButton = 5,
};

// The object name of a window: "w" + number ("w8" is the about window).
inline std::string WindowName(int window) { return "w" + std::to_string(window); }

}  // namespace ravelin
