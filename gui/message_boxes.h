// Message boxes, requesters and the shell "open" call of every window of the window mode. They
// all go through one small interface, so widget tests answer them without a person: a test
// installs its own Dialogs with SetDialogs, the program uses the Qt ones.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <optional>

class QWidget;

namespace ravelin {

enum class AskIcon { Question, Warning };

// A font chosen in the font requester.
struct FontChoice {
  QString family;
  int points = 0;
  bool bold = false;
  bool italic = false;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Title [Msg] "Warning", warning icon, OK.
  virtual void ShowWarning(QWidget* parent, const QString& text) = 0;
  // Title [Msg] "Error", error icon, OK.
  virtual void ShowError(QWidget* parent, const QString& text) = 0;
  // Information icon, OK.
  virtual void ShowInfo(QWidget* parent, const QString& title, const QString& text) = 0;
  // Yes and No; true when Yes was chosen.
  virtual bool AskYesNo(QWidget* parent, const QString& title, const QString& text,
                        AskIcon icon) = 0;
  // One existing file; empty when cancelled. The filter is Qt's ("Name (*.a *.b);;...").
  virtual QString ChooseFile(QWidget* parent, const QString& title, const QString& start,
                             const QString& filter) = 0;
  // An existing folder; empty when cancelled.
  virtual QString ChooseFolder(QWidget* parent, const QString& title, const QString& start) = 0;
  // Nothing when cancelled.
  virtual std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) = 0;
  virtual std::optional<FontChoice> ChooseFont(QWidget* parent, const FontChoice& initial) = 0;
  // Hands a file name, web address or "mailto:" link to the desktop; nothing is reported.
  virtual void ShellOpen(const QString& target) = 0;
};

// The dialogs in use: the Qt ones unless a test installed its own.
Dialogs& CurrentDialogs();
// Installs dialogs (a test's); null goes back to the Qt ones. The caller keeps ownership.
void SetDialogs(Dialogs* dialogs);

// Shorthands for CurrentDialogs().
void ShowWarning(QWidget* parent, const QString& text);
void ShowError(QWidget* parent, const QString& text);
void ShowInfo(QWidget* parent, const QString& title, const QString& text);
bool AskYesNo(QWidget* parent, const QString& title, const QString& text, AskIcon icon);
void ShellOpen(const QString& target);

}  // namespace ravelin
