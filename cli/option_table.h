// The long options that set settings fields: one table of rows (key, value kind, keyword
// table, fields set, fixed values) walked by both the command-line front end and the profile
// reader, so an option is added in one place and behaves alike in both.
#pragma once

#include <cstddef>
#include <string>

#include "cli/option_values.h"
#include "cli/parameters.h"
#include "settings/settings.h"
#include "settings/settings_layout.h"

namespace ravelin {

enum class OptionOutcome { NotInTable, Applied, MissingValue };

// Command line: `position` points at a parameter whose key (ParameterKey) may be a long
// option of the table. Reads its value by the rules (ReadSameParameterValue, JoinQuoted of
// cli/parameters.h), applies the row and leaves *position on the last parameter it consumed.
// MissingValue means "Incorrect number of parameters": no field of the row changed.
OptionOutcome ApplyCommandLineOption(Settings& settings, const Parameters& params, size_t* position);

// Profile: applies one [CLI] key line (key upper-cased, value trimmed); false when skipped.
bool ApplyProfileOption(Settings& settings, const std::string& key, const std::string& value);

// Loads a profile: false for an empty path or a file that cannot be opened (a folder, unreadable).
bool LoadProfile(Settings& settings, const std::string& path);

// The rows' command-line keys, in table order (null past the end).
size_t OptionTableSize();
const char* OptionTableKey(size_t index);

// One row as the manual and the shell completion describe it.
struct OptionDescription {
  const char* key;
  ValueKind kind;
  KeywordTable table;         // keyword rows
  SettingsField field;        // receives the value
  SettingsField switchField;  // the feature switched on (a null member when none)
  int8_t switchValue;
  int8_t flagValue;           // flag rows
  const char* profileKey;     // a profile's spelling, when it differs
};
// The row at `index` (index < OptionTableSize()).
OptionDescription DescribeOption(size_t index);

}  // namespace ravelin
