// Stands in for the person at message boxes and requesters: every call is recorded, and the
// answers given are taken from queues the test fills (an empty queue answers No, cancel or
// nothing). Installed with SetDialogs for the lifetime of the object.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

#include "gui/message_boxes.h"

namespace ravelin {

class ScriptedDialogs final : public Dialogs {
 public:
  // What was shown or asked, in order.
  struct Shown {
    QString kind;  // "warning", "error", "info", "ask", "file", "folder", "color", "font", "open"
    QString title;
    QString text;
  };

  ScriptedDialogs() { SetDialogs(this); }
  ~ScriptedDialogs() override { SetDialogs(nullptr); }

  std::deque<bool> yesNoAnswers;
  std::deque<QString> fileAnswers;
  std::deque<QString> folderAnswers;
  std::deque<std::optional<QColor>> colorAnswers;
  std::deque<std::optional<FontChoice>> fontAnswers;
  std::deque<Shown> shown;
  // Runs while a box is "open" (for example to check what a window looks like under it).
  std::function<void()> whileOpen;

  // The kinds shown so far, in order ("warning", "ask", ...).
  QStringList Kinds() const;
  // The last thing shown, or an empty record.
  Shown Last() const;

  void ShowWarning(QWidget* parent, const QString& text) override;
  void ShowError(QWidget* parent, const QString& text) override;
  void ShowInfo(QWidget* parent, const QString& title, const QString& text) override;
  bool AskYesNo(QWidget* parent, const QString& title, const QString& text,
                AskIcon icon) override;
  QString ChooseFile(QWidget* parent, const QString& title, const QString& start,
                     const QString& filter) override;
  QString ChooseFolder(QWidget* parent, const QString& title, const QString& start) override;
  std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) override;
  std::optional<FontChoice> ChooseFont(QWidget* parent, const FontChoice& initial) override;
  void ShellOpen(const QString& target) override;

 private:
  void Record(const char* kind, const QString& title, const QString& text);
};

}  // namespace ravelin
