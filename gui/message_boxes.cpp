#include "gui/message_boxes.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QUrl>

#include "gui/window_texts.h"
#include "i18n/language_table.h"

namespace ravelin {
namespace {

class QtDialogs final : public Dialogs {
 public:
  void ShowWarning(QWidget* parent, const QString& text) override {
    QMessageBox::warning(parent, Text("Msg", "Warning"), text);
  }
  void ShowError(QWidget* parent, const QString& text) override {
    QMessageBox::critical(parent, Text("Msg", "Error"), text);
  }
  void ShowInfo(QWidget* parent, const QString& title, const QString& text) override {
    QMessageBox::information(parent, title, text);
  }
  bool AskYesNo(QWidget* parent, const QString& title, const QString& text,
                AskIcon icon) override {
    QMessageBox box(icon == AskIcon::Warning ? QMessageBox::Warning : QMessageBox::Question,
                    title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
  }
  QString ChooseFile(QWidget* parent, const QString& title, const QString& start,
                     const QString& filter) override {
    return QFileDialog::getOpenFileName(parent, title, start, filter);
  }
  QString ChooseFolder(QWidget* parent, const QString& title, const QString& start) override {
    return QFileDialog::getExistingDirectory(parent, title, start);
  }
  std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) override {
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid()) return std::nullopt;
    return chosen;
  }
  std::optional<FontChoice> ChooseFont(QWidget* parent, const FontChoice& initial) override {
    QFont font(initial.family, initial.points > 0 ? initial.points : -1,
               initial.bold ? QFont::Bold : QFont::Normal, initial.italic);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, parent);
    if (!ok) return std::nullopt;
    return FontChoice{chosen.family(), chosen.pointSize(), chosen.bold(), chosen.italic()};
  }
  void ShellOpen(const QString& target) override {
    // A bare file name is resolved against the current directory, as the shell would.
    const QUrl url = target.contains(':') ? QUrl(target) : QUrl::fromLocalFile(target);
    QDesktopServices::openUrl(url);
  }
};

Dialogs* installed = nullptr;

}  // namespace

Dialogs& CurrentDialogs() {
  static QtDialogs qtDialogs;
  return installed != nullptr ? *installed : qtDialogs;
}

void SetDialogs(Dialogs* dialogs) { installed = dialogs; }

void ShowWarning(QWidget* parent, const QString& text) {
  CurrentDialogs().ShowWarning(parent, text);
}
void ShowError(QWidget* parent, const QString& text) { CurrentDialogs().ShowError(parent, text); }
void ShowInfo(QWidget* parent, const QString& title, const QString& text) {
  CurrentDialogs().ShowInfo(parent, title, text);
}
bool AskYesNo(QWidget* parent, const QString& title, const QString& text, AskIcon icon) {
  return CurrentDialogs().AskYesNo(parent, title, text, icon);
}
void ShellOpen(const QString& target) { CurrentDialogs().ShellOpen(target); }

}  // namespace ravelin
