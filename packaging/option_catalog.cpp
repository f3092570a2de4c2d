#include "packaging/option_catalog.h"

#include <cctype>

#include "cli/help_text.h"
#include "cli/option_table.h"
#include "settings/formats.h"
#include "settings/keywords.h"
#include "settings/settings.h"
#include "settings/settings_layout.h"

namespace ravelin {
namespace {

// The configuration key and group of `field`, found in the settings layout.
const SettingsKey* LayoutRow(const SettingsField& field) {
  const SettingsKey* rows = SettingsLayout();
  for (size_t i = 0; i < SettingsLayoutSize(); ++i) {
    if (rows[i].field == field) return &rows[i];
  }
  return nullptr;
}

// The custom date defaults to the moment of the reset, which a page written at build time
// cannot show as a number.
bool DefaultIsNow(const SettingsField& field) { return field == SettingsField(&Settings::CustomTimestamp); }

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string LowerAscii(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

HelpSummary ReadHelp(const std::string& programName) {
  BuildFormatTables();
  HelpSummary help;
  const std::string usagePrefix = "Usage: ";
  const std::string examplePrefix = "  " + programName + " ";
  for (const std::string& line : HelpLines(programName)) {
    if (line.compare(0, usagePrefix.size(), usagePrefix) == 0) {
      help.usage = line.substr(usagePrefix.size());
    } else if (line.compare(0, examplePrefix.size(), examplePrefix) == 0) {
      help.examples.push_back(Trim(line));
    } else if (line.compare(0, 3, "  -") == 0) {
      // The names and argument run up to the first gap of two blanks; the description follows.
      const size_t gap = line.find("  ", 2);
      const std::string spec = line.substr(2, gap == std::string::npos ? std::string::npos : gap - 2);
      HelpOption option;
      option.description = gap == std::string::npos ? std::string() : Trim(line.substr(gap));
      size_t from = 0;
      while (from < spec.size()) {
        size_t end = spec.find(", ", from);
        if (end == std::string::npos) end = spec.size();
        std::string part = spec.substr(from, end - from);
        const size_t split = part.find_first_of(" =");
        if (split != std::string::npos) {
          option.argument = part.substr(split + 1);
          part.erase(split);
        }
        option.names.push_back(part);
        from = end + 2;
      }
      help.options.push_back(option);
    }
  }
  return help;
}

std::vector<TableOption> ReadOptionTable() {
  Settings defaults;
  ResetSettings(defaults, true);
  std::vector<TableOption> options;
  for (size_t i = 0; i < OptionTableSize(); ++i) {
    const OptionDescription row = DescribeOption(i);
    TableOption option;
    option.name = LowerAscii(row.key);
    if (row.profileKey != nullptr) option.profileName = row.profileKey;
    option.kind = row.kind;
    if (row.kind == ValueKind::Keyword) option.keywords = TableKeywords(row.table);
    if (const SettingsKey* layout = LayoutRow(row.field)) {
      option.group = layout->group;
      option.settingKey = layout->key;
    }
    const std::string value = FormatField(defaults, row.field);
    if (row.kind == ValueKind::Keyword) {
      option.defaultText = IndexToKeyword(row.table, std::stoi(value));
    } else if (DefaultIsNow(row.field)) {
      option.defaultText = "the moment of the run";
    } else {
      option.defaultText = value;
    }
    const auto switched = std::get_if<int8_t Settings::*>(&row.switchField);
    if (switched != nullptr && *switched != nullptr) {
      if (const SettingsKey* layout = LayoutRow(row.switchField)) option.switchedKey = layout->key;
      option.switchedValue = row.switchValue;
    }
    option.flagValue = row.flagValue;
    options.push_back(option);
  }
  return options;
}

}  // namespace ravelin
