// What the manual page and the shell completion say about the command line, gathered from
// the program's own help text and option table so that neither can drift from the program.
#pragma once

#include <string>
#include <vector>

#include "cli/option_values.h"

namespace ravelin {

// An option line of the help ("  -o PATH, --output=PATH    Set output folder").
struct HelpOption {
  std::vector<std::string> names;  // "-o", "--output"
  std::string argument;            // "PATH", or empty for a switch
  std::string description;
};

struct HelpSummary {
  std::string usage;                  // "ravelin -i <filename> [options]"
  std::vector<std::string> examples;  // command lines
  std::vector<HelpOption> options;    // in help order
};

// The help as printed for `programName`, taken apart.
HelpSummary ReadHelp(const std::string& programName);

// One row of the option table, in the words of a reader.
struct TableOption {
  std::string name;                   // lower case, "--resize-algorithm"
  std::string profileName;            // the profile key when it differs, else empty
  ValueKind kind;
  std::vector<std::string> keywords;  // keyword rows: every accepted word, lower case
  std::string group;                  // the settings group of the field set
  std::string settingKey;             // the configuration key of the field set
  std::string defaultText;            // the field's command-line default, as a reader sees it
  std::string switchedKey;            // the feature switched on, or empty
  int switchedValue;
  int flagValue;
};

// The option table in its order.
std::vector<TableOption> ReadOptionTable();

std::string LowerAscii(std::string text);

}  // namespace ravelin
