// The console the command-line mode prints to: the terminal the program runs in.
// The front end and the worker's debug lines print through this interface, so tests can
// capture the exact lines with a console of their own.
#pragma once

#include <string>

namespace ravelin {

class Console {
 public:
  virtual ~Console() = default;
  // Sets the window title of the terminal (only when standard output is a terminal).
  virtual void SetTitle(const std::string& title) = 0;
  // Prints one line; it is ended by "\n" and flushed at once.
  virtual void PrintLine(const std::string& line) = 0;
  // Waits until a key that yields a character is pressed; at the end of input it returns.
  virtual void WaitForKey() = 0;
};

// The process's own terminal (standard input and output). A line that cannot be written (a
// closed pipe, a gone terminal) is dropped; printing never ends the program.
Console& TerminalConsole();

// One line on standard error, for what goes wrong around a run rather than in it (another copy
// running, a module that cannot be loaded); the console's own lines stay exact. Dropped when it
// cannot be written.
void PrintErrorLine(const std::string& line);

}  // namespace ravelin
