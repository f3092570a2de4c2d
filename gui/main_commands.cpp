#include "gui/main_commands.h"

#include "gui/main_window.h"
#include "gui/window_numbers.h"
#include "update/update_build.h"

namespace ravelin {

using M = MainWindow;

const CommandRow kCommandRows[] = {
    {kCommandNew, MenuTitle::File, false, "New", "Ctrl+N", "New", &M::NewInputList},
    {kCommandSelectInputFile, MenuTitle::File, true, "Select Input File", "", "Add",
     &M::SelectInputFileCommand},
    {kCommandSelectOutputFolder, MenuTitle::File, false, "Select Output Folder", "", "OutFolder",
     &M::SelectOutputFolder},
    {kCommandExit, MenuTitle::File, true, "Exit", "Alt+X", "Exit", &M::Exit},
    {kCommandConvert, MenuTitle::Converter, false, "Convert", "F5", "Convert",
     &M::StartConversion},
    {kCommandCustomConverter, MenuTitle::Converter, true, "Custom Converter", "",
     "CustomConverter", &M::OpenSearchWindow},
    {kCommandPreferences, MenuTitle::Converter, true, "Preferences", "", "Preferences",
     &M::OpenPreferencesWindow},
    {kCommandOutputFormatOptions, MenuTitle::None, false, "Output Format Options", "",
     "OutFormat", &M::OpenOutputFormatOptions},
    {kCommandManual, MenuTitle::Help, false, "Manual", "F1", "Help", &M::OpenManual},
    {kCommandSendFeedback, MenuTitle::Help, true, "Send Feedback", "", "Email",
     &M::SendFeedback},
    {kCommandVisitHomepage, MenuTitle::Help, false, "Visit Homepage", "", "Web",
     &M::VisitHomepage},
#if RAVELIN_UPDATE_CHECK
    {kCommandCheckForNewVersion, MenuTitle::Help, false, "Check For New Version", "", "Updates",
     &M::CheckForNewVersion},
#endif
    {kCommandAbout, MenuTitle::Help, true, "About", "", "About", &M::OpenAboutWindow},
};
const int kCommandRowCount = sizeof kCommandRows / sizeof kCommandRows[0];

const int kToolbarOrder[] = {kCommandNew,         kCommandSelectInputFile, kCommandSelectOutputFolder,
                             kToolbarSeparator,   kCommandPreferences,     kToolbarSeparator,
                             kCommandConvert,     kToolbarSeparator,       kCommandManual,
                             kCommandSendFeedback, kCommandVisitHomepage,
#if RAVELIN_UPDATE_CHECK
                             kCommandCheckForNewVersion,
#endif
};
const int kToolbarOrderCount = sizeof kToolbarOrder / sizeof kToolbarOrder[0];

const CommandRow* FindCommandRow(int command) {
  for (const CommandRow& row : kCommandRows) {
    if (row.command == command) return &row;
  }
  return nullptr;
}

}  // namespace ravelin
