// The update check's questions and answers shown through the window mode's message boxes, so
// the update logic stays free of the toolkit and tests answer it like any other box.
#pragma once

#include "update/update_prompts.h"

class QWidget;

namespace ravelin {

class DialogUpdatePrompts final : public UpdatePrompts {
 public:
  explicit DialogUpdatePrompts(QWidget* parent) : parent_(parent) {}
  bool AskYesNo(const std::string& title, const std::string& text) override;
  void ShowInfo(const std::string& title, const std::string& text) override;
  void ShowError(const std::string& text) override;
  void ShellOpen(const std::string& address) override;

 private:
  QWidget* parent_;
};

}  // namespace ravelin
