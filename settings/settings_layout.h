// The layout of the configuration file as data: every group and key in written order, the
// `Settings` field it maps to (a member pointer, so a misspelt field fails to compile) and
// when it is written. The configuration loader and saver walk it; the option table reuses
// its field references.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "settings/settings.h"

namespace ravelin {

// One field of the record, by the storage kind of its value: 8-bit (flag, choice, small),
// 32-bit (int, choice32, date), real, text.
using SettingsField = std::variant<int8_t Settings::*, int32_t Settings::*, float Settings::*,
                                   std::string Settings::*>;

enum class WrittenWhen : uint8_t {
  Always,
  WindowPosition,  // only when `Save Window Position` is 1
  ActiveExtension, // only when `extension` is in the group's active extension list
};

struct SettingsKey {
  const char* group;
  const char* key;
  SettingsField field;
  WrittenWhen written;
  const char* extension;  // for WrittenWhen::ActiveExtension
};

// The rows in written order, groups contiguous.
const SettingsKey* SettingsLayout();
size_t SettingsLayoutSize();

// A field's value as the configuration file writes it ("%d", six decimals, text as is).
std::string FormatField(const Settings& settings, const SettingsField& field);
// Assigns an integer to an integer field (8-bit fields keep the low 8 bits); false for others.
bool AssignInteger(Settings& settings, const SettingsField& field, int32_t value);

// The bits-per-pixel setting of an output extension ("Output" group, `PSD BPP` for "psd");
// 0 for an extension without one.
int OutputBppSetting(const Settings& settings, std::string_view ext);

}  // namespace ravelin
