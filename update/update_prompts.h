// What the update check needs from the window mode: its message boxes and the shell. The
// window answers with its own message boxes; tests answer with canned replies. Every call is
// made on the thread that runs the check's answer (the window's main thread).
#pragma once

#include <string>

namespace ravelin {

class UpdatePrompts {
 public:
  virtual ~UpdatePrompts() = default;
  // A question with the question icon and Yes and No buttons; true for Yes.
  virtual bool AskYesNo(const std::string& title, const std::string& text) = 0;
  // A message with the information icon and OK.
  virtual void ShowInfo(const std::string& title, const std::string& text) = 0;
  // An error message (the window gives it its own error title) with OK.
  virtual void ShowError(const std::string& text) = 0;
  // Opens a web address in the browser; the outcome is not examined.
  virtual void ShellOpen(const std::string& address) = 0;
};

}  // namespace ravelin
