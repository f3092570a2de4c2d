#include "cli/help_text.h"

#include "i18n/language_table.h"
#include "platform/random.h"
#include "settings/formats.h"

namespace ravelin {
namespace {

const char* const kHelp[] = {
    " ",
    "Usage: %s1% -i <filename> [options]",
    " ",
    "  %s1% -i example.%s2%",
    // The examples show this platform's paths; every other line is word for word.
    "  %s1% -i /tmp/example.%s2%",
    "  %s1% -i /tmp/example.%s2% -o ~/converted",
    "  %s1% -i /tmp/example.%s2% -o ~/converted --jpg-quality=95",
    " ",
    "Options:",
    " ",
    "  -h, -?, --help            Display this help and exit",
    "  -i FILE, --input=FILE     Set input file",
    "  -o PATH, --output=PATH    Set output folder",
    "  -c STR, --conversion=STR  Set output extension, STR = (jpg | bmp | ...)",
    " ",
    "Advanced options:",
    " ",
    "  --width=NUM               Set output image width",
    "  --height=NUM              Set output image height",
    "  --filename-mask=STR       Define output filename format",
    "  --flip-horizontal         Flip output image horizontally",
    "  --flip-vertical           Flip output image vertically",
    "  --brightness=NUM          Set output image brightness, NUM = -100..100",
    "  --contrast=NUM            Set output image contrast, NUM = -100..100",
    "  --gamma=NUM               Set output image gamma, NUM = 0.01..9.99",
    "  --invert                  Invert output image",
    "  --greyscale               Greyscale output image",
    "  --profile=FILE            Set configuration file with required settings",
    "    ...                     Refer documentation for all available options",
    " ",
    "Other options:",
    " ",
    "  -q, --quiet               Don't print status messages to stdout",
    "  -d, --debug               Print debug information to stdout",
    "  -p, --pause               Pause at exit",
    "  -v, --version             Display version information and exit",
};

}  // namespace

std::vector<std::string> HelpLines(const std::string& programName) {
  const auto& extensions = ActiveInputExtensions();
  std::vector<std::string> lines;
  for (const char* line : kHelp) {
    const int pick = RandomInt(0, static_cast<int>(extensions.size()) - 1);
    lines.push_back(FormatText(line, programName, extensions[static_cast<size_t>(pick)], "", ""));
  }
  return lines;
}

}  // namespace ravelin
