// The main window (window 0): menu, main toolbar, status bar, the container with the input
// field, the output folder and format lists, their field buttons and the Convert button, and
// the maker's notice. Every command goes through Dispatch and the command table; the input
// list and output folder (input_output.cpp) and the conversion start (conversion.cpp) are
// members because they work on the window's controls.
#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <string>

#include "update/update_build.h"
#include "engine/batch_worker.h"
#if RAVELIN_UPDATE_CHECK
#include "update/update_fetch.h"
#endif
#include "gui/window_context.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolBar;
class QToolButton;

namespace ravelin {

// Object names of the pieces that have no control number.
inline constexpr char kMainToolbarName[] = "w0toolbar";
inline constexpr char kStatusTextName[] = "w0status";
// Field button 1, 2 or 3 (beside fields 2, 5 and 7).
std::string FieldButtonName(int index);

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // `BuildMainWindow`: the window with all its parts, still hidden, at the stored geometry.
  explicit MainWindow(WindowContext& context);
  ~MainWindow() override;

  // `PrepareMainWindow` without the update check: fills the lists, starts a new input list,
  // shows the window and asks for a layout.
  void Prepare();

  // Runs the action of a command number's row; numbers no control raises are ignored.
  void Dispatch(int command);

  // Command actions (the command table points at these).
  void NewInputList();
  void SelectInputFileCommand() { SelectInputFile(); }
  void SelectOutputFolder();
  void Exit();
  void StartConversion();
  void OpenManual();
  void SendFeedback();
  void VisitHomepage();
  void OpenPreferencesWindow();
  void OpenOutputFormatOptions();
  void OpenSearchWindow();
  void OpenAboutWindow();
#if RAVELIN_UPDATE_CHECK
  void CheckForNewVersion();
#endif
  // The scheduled update check: asks when the check is due, after the window is shown. Does
  // nothing in a build without the update check.
  void ScheduledUpdateCheck();
  // The screenshot mode's example: an input path under "/images/" with an accepted extension
  // and the output folder "/converted/" shown with the favourite-folder picture.
  void ShowScreenshotExample();

  // The input list and output folder as the window shows them.
  bool AddInputFileInWindow(const std::string& path);
  bool SelectInputFile();
  void RefreshOutFolderList();

  // The refresh step after the preferences stored new settings (see the refresh mark).
  // `formatIndex` is the preferences window's output format selection, -1 when it has none.
  void ApplyInterfaceChanges(int formatIndex = -1);
  // Rebuilds the image sets the controls read; `toolbarOnly` reloads `ToolbarImages` only.
  void ReloadPictures(bool toolbarOnly);

  void BuildMainMenu();
  void BuildMainToolbar();
  void BuildFieldButtons();
  void RefreshControlImages();

  // Asks for a new layout through a posted event, as other windows do.
  void RequestLayout();
  void SetStatusText(const QString& text);

  WindowContext& Context() { return context_; }
  // The conversion worker; tests may wrap the real one.
  std::function<int(WorkerRun&)> worker = BatchWorker;

  // Layout values remembered when the bars were built.
  int MenuBarHeight() const { return menuHeight_; }
  int ToolbarHeight() const { return toolbarHeight_; }
  int StatusBarHeight() const { return statusHeight_; }

 public slots:
  // `LayoutMainWindow`: places the controls for the window's current inner size.
  void LayoutMainWindow();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QAction* CommandAction(int command);
  void UpdateActionPictures();
  void BuildControls();
  void FillOutputFormatList();

  WindowContext& context_;
  std::map<int, QAction*> actions_;
  QToolBar* toolbar_ = nullptr;
  QLabel* status_ = nullptr;
  QWidget* body_ = nullptr;
  QWidget* container_ = nullptr;
  QLineEdit* inputField_ = nullptr;
  QComboBox* folderList_ = nullptr;
  QComboBox* formatList_ = nullptr;
  QPushButton* convertButton_ = nullptr;
  QLabel* notice_ = nullptr;
  QToolButton* fieldButtons_[3] = {nullptr, nullptr, nullptr};
  int menuHeight_ = 0;
  int toolbarHeight_ = 0;
  int statusHeight_ = 0;
#if RAVELIN_UPDATE_CHECK
  // Cancelled when the window goes, so a late answer never reaches a closed window.
  UpdateFetch updateFetch_;
#endif
};

}  // namespace ravelin
