#include "gui/update_answers.h"

#include "gui/message_boxes.h"

namespace ravelin {

bool DialogUpdatePrompts::AskYesNo(const std::string& title, const std::string& text) {
  return ravelin::AskYesNo(parent_, QString::fromStdString(title), QString::fromStdString(text),
                           AskIcon::Question);
}

void DialogUpdatePrompts::ShowInfo(const std::string& title, const std::string& text) {
  ravelin::ShowInfo(parent_, QString::fromStdString(title), QString::fromStdString(text));
}

void DialogUpdatePrompts::ShowError(const std::string& text) {
  ravelin::ShowError(parent_, QString::fromStdString(text));
}

void DialogUpdatePrompts::ShellOpen(const std::string& address) {
  ravelin::ShellOpen(QString::fromStdString(address));
}

}  // namespace ravelin
