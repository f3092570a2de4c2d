// The input list and the output folder as the main window shows them: adding a file (drop,
// requester, the conversion start), choosing an output folder, the recent folder list and
// starting a new input list.
#include <QComboBox>
#include <QDir>
#include <QLineEdit>

#include "gui/window_texts.h"
#include "engine/input_list.h"
#include "gui/main_window.h"
#include "gui/message_boxes.h"
#include "gui/recent_folders.h"
#include "i18n/language_table.h"
#include "platform/files.h"
#include "settings/formats.h"

namespace ravelin {

namespace {

// The requester filter from the "|"-separated description and pattern fields.
QString QtFilter(const std::string& fields) {
  const QStringList parts = QString::fromStdString(fields).split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    QString description = parts[i];
    // "All Files (*.*)" already names its pattern.
    if (description.endsWith(')')) description = description.left(description.lastIndexOf(" ("));
    filters << description + " (" + patterns + ")";
  }
  return filters.join(";;");
}

}  // namespace

bool MainWindow::AddInputFileInWindow(const std::string& path) {
  JobContext& job = context_.job;
  if (!AddInputFile(job, context_.list, path)) return false;
  if (job.ConsoleRun) return true;
  inputField_->setText(QString::fromStdString(path));
  if (folderList_->currentText().isEmpty()) {
    const std::string folder = job.BaseFolder.empty() ? FolderPart(path) : job.BaseFolder;
    AddRecentOutFolder(context_.settings, folder);
    job.OutputFolder = folder;
    RefreshOutFolderList();
  }
  return true;
}

bool MainWindow::SelectInputFile() {
  const QString chosen = CurrentDialogs().ChooseFile(
      this, Text("Dialog", "Select Input Files"), QString::fromStdString(context_.job.InputPath),
      QtFilter(InputFileFilter()));
  bool added = false;
  if (!chosen.isEmpty()) {
    added = AddInputFileInWindow(chosen.toStdString());
    if (added) context_.job.InputPath = chosen.toStdString();
  }
  RequestLayout();
  return added;
}

void MainWindow::SelectOutputFolder() {
  std::string start = context_.job.OutputFolder;
  if (!folderList_->currentText().isEmpty()) {
    start = FolderPart(folderList_->currentText().toStdString());
  }
  QString chosen = CurrentDialogs().ChooseFolder(this, Text("Dialog", "Select Output Folder"),
                                                 QString::fromStdString(start));
  if (!chosen.isEmpty()) {
    if (!chosen.endsWith('/')) chosen += '/';
    const std::string folder = chosen.toStdString();
    if (IsDirectory(folder)) {
      AddRecentOutFolder(context_.settings, folder);
      context_.job.OutputFolder = folder;
      RefreshOutFolderList();
    }
  }
  RequestLayout();
}

void MainWindow::RefreshOutFolderList() {
  const Settings& settings = context_.settings;
  if (settings.RecentOutFolders.empty()) return;
  folderList_->clear();
  const auto picture = context_.pictures.menu.find("FavFolder");
  const QIcon icon = picture != context_.pictures.menu.end() && !picture->second.isNull()
                         ? QIcon(QPixmap::fromImage(picture->second))
                         : QIcon();
  int selected = 0;
  for (int i = 0; i < settings.OutFoldersNumber; ++i) {
    const std::string entry = RecentOutFolderAt(settings, i);
    if (entry.empty()) continue;
    if (entry == context_.job.OutputFolder) selected = folderList_->count();
    folderList_->addItem(icon, QString::fromStdString(entry));
  }
  folderList_->setCurrentIndex(folderList_->count() > 0 ? selected : -1);
}

void MainWindow::NewInputList() {
  RefreshOutFolderList();
  ResetRunState(context_.job, context_.list);
  context_.refreshMark = 0;
  context_.preferencesStartPage = 0;
  inputField_->clear();
  folderList_->setCurrentIndex(-1);
  SetStatusText(Text("General", "Ready"));
  inputField_->setFocus();
}

}  // namespace ravelin
