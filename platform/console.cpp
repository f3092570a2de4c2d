#include "platform/console.h"

#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace ravelin {
namespace {

void WriteLine(FILE* stream, const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stream);
  std::fputc('\n', stream);
  std::fflush(stream);
  // A failed line is gone; the error flag must not hold back the lines after it.
  if (std::ferror(stream)) std::clearerr(stream);
}

class Terminal final : public Console {
 public:
  void SetTitle(const std::string& title) override {
    if (!isatty(STDOUT_FILENO)) return;
    std::fprintf(stdout, "\033]0;%s\007", title.c_str());
    std::fflush(stdout);
  }

  void PrintLine(const std::string& line) override { WriteLine(stdout, line); }

  void WaitForKey() override {
    if (!isatty(STDIN_FILENO)) {
      // Not a terminal: one byte, or the end of input, ends the wait.
      char byte;
      (void)!read(STDIN_FILENO, &byte, 1);
      return;
    }
    termios saved{};
    if (tcgetattr(STDIN_FILENO, &saved) != 0) return;
    termios raw = saved;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    char byte;
    (void)!read(STDIN_FILENO, &byte, 1);
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
  }
};

}  // namespace

Console& TerminalConsole() {
  static Terminal terminal;
  return terminal;
}

void PrintErrorLine(const std::string& line) { WriteLine(stderr, line); }

}  // namespace ravelin
