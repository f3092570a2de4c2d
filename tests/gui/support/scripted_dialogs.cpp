#include "tests/gui/support/scripted_dialogs.h"

#include <utility>

namespace ravelin {
namespace {

// GCC 12 warns, wrongly, that the QString inside a moved std::optional<FontChoice> may be
// uninitialised.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

template <typename T>
T Take(std::deque<T>& queue, T none) {
  if (queue.empty()) return none;
  T answer = std::move(queue.front());
  queue.pop_front();
  return answer;
}

}  // namespace

QStringList ScriptedDialogs::Kinds() const {
  QStringList kinds;
  for (const Shown& s : shown) kinds << s.kind;
  return kinds;
}

ScriptedDialogs::Shown ScriptedDialogs::Last() const { return shown.empty() ? Shown{} : shown.back(); }

void ScriptedDialogs::Record(const char* kind, const QString& title, const QString& text) {
  shown.push_back({kind, title, text});
  if (whileOpen) whileOpen();
}

void ScriptedDialogs::ShowWarning(QWidget*, const QString& text) { Record("warning", {}, text); }
void ScriptedDialogs::ShowError(QWidget*, const QString& text) { Record("error", {}, text); }
void ScriptedDialogs::ShowInfo(QWidget*, const QString& title, const QString& text) {
  Record("info", title, text);
}
bool ScriptedDialogs::AskYesNo(QWidget*, const QString& title, const QString& text, AskIcon) {
  Record("ask", title, text);
  return Take(yesNoAnswers, false);
}
QString ScriptedDialogs::ChooseFile(QWidget*, const QString& title, const QString& start,
                                    const QString& filter) {
  Record("file", title, start + "|" + filter);
  return Take(fileAnswers, QString());
}
QString ScriptedDialogs::ChooseFolder(QWidget*, const QString& title, const QString& start) {
  Record("folder", title, start);
  return Take(folderAnswers, QString());
}
std::optional<QColor> ScriptedDialogs::ChooseColor(QWidget*, const QColor& initial) {
  Record("color", {}, initial.name());
  return Take(colorAnswers, std::optional<QColor>());
}
std::optional<FontChoice> ScriptedDialogs::ChooseFont(QWidget*, const FontChoice& initial) {
  Record("font", {}, initial.family);
  return Take(fontAnswers, std::optional<FontChoice>());
}
void ScriptedDialogs::ShellOpen(const QString& target) { Record("open", {}, target); }

}  // namespace ravelin
