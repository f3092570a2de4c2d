// The conversion from the main window: the window's fields become the job, the settings a run
// cannot do without are checked with a warning each, and the progress window runs it.
#include <QComboBox>
#include <QLineEdit>

#include "gui/window_texts.h"
#include "engine/marks_module.h"
#include "gui/main_window.h"
#include "gui/message_boxes.h"
#include "gui/progress_window.h"
#include "gui/recent_folders.h"
#include "i18n/language_table.h"
#include "platform/files.h"
#include "platform/text.h"
#include "settings/formats.h"
#include "settings/settings_layout.h"

namespace ravelin {

namespace {

QString Message(const char* key, const std::string& s1 = std::string()) {
  return QString::fromStdString(FormatText(GetText("Msg", key), s1));
}

// `Do Watermark` values.
constexpr int kTextWatermark = 1;
constexpr int kImageWatermark = 2;

}  // namespace

void MainWindow::StartConversion() {
  Settings& settings = context_.settings;
  JobContext& job = context_.job;
  InputList& list = context_.list;

  job.InputPath = TrimSpaces(inputField_->text().toStdString());
  list.clear();
  if (PassesAcceptanceTest(job.InputPath)) list[job.InputPath] = InputEntry{0, std::string()};
  job.OutputFolder = folderList_->currentText().toStdString();
  const auto& extensions = ActiveOutputExtensions();
  const int format = formatList_->currentIndex() >= 0 ? formatList_->currentData().toInt() : 0;
  job.OutputExt = format >= 0 && format < static_cast<int>(extensions.size())
                      ? extensions[format]
                      : extensions.front();
  SetStatusText(Text("General", "Preparing"));

  // The first five checks end with "Conversion stopped" in the status bar.
  const auto refuse = [this](const QString& message) {
    SetStatusText(Text("Msg", "Conversion is not complete"));
    ShowWarning(this, message);
  };
  if (list.empty()) return refuse(Message("Empty input files"));
  if (job.OutputFolder.empty()) return refuse(Message("Empty output folder"));
  if (!EndsWith(job.OutputFolder, "/")) job.OutputFolder += "/";
  if (!IsDirectory(job.OutputFolder)) {
    return refuse(Message("Invalid output folder", job.OutputFolder));
  }
  if (settings.DoImageResize && settings.ImageWidth == 0) {
    return refuse(Message("Invalid width"));
  }
  if (settings.DoImageResize && settings.ImageHeight == 0) {
    return refuse(Message("Invalid height"));
  }
  WatermarkFontHandle font;
  if (settings.DoWatermark == kTextWatermark) {
    font = OpenWatermarkFont(settings);
    if (font == nullptr) return ShowWarning(this, Message("Invalid watermark font", settings.Font));
  } else if (settings.DoWatermark == kImageWatermark) {
    if (settings.Image.empty()) return ShowWarning(this, Message("Empty watermark image"));
    // A picture the mark step could not use is refused too, so a run never reports success
    // without its mark.
    if (FileSize(settings.Image) <= 0 || !WatermarkImageUsable(settings.Image)) {
      return ShowWarning(this, Message("Invalid watermark image", settings.Image));
    }
  }

  job.TargetBpp = OutputBppSetting(settings, job.OutputExt);
  job.AutoBpp = job.TargetBpp == 0;
  if (AddRecentOutFolder(settings, job.OutputFolder)) RefreshOutFolderList();
  SetStatusText(Text("General", "Converting"));

  ProgressJob run{settings, job, list, font.get(), worker,
                  [this](const QString& text) { SetStatusText(text); }};
  ProgressWindow progress(this, std::move(run));
  progress.Run();
  // The text watermark's font is freed here, with the handle.
}

}  // namespace ravelin
