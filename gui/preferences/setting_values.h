// Reading and writing a setting through its field reference, and the two ways the
// preferences window reads what was typed: number fields and cleaned texts.
#pragma once

#include <QString>
#include <cstdint>
#include <string>

#include "settings/settings_layout.h"

namespace ravelin {

// An integer or choice field's value; a real is rounded (0 when not finite); a text gives 0.
int64_t ReadInteger(const Settings& settings, const SettingsField& field);
// The text a text field holds; null or empty for a field of another kind.
std::string* TextField(Settings& settings, const SettingsField& field);
const std::string& TextOf(const Settings& settings, const SettingsField& field);
// A number field's value: its leading digits, 0 when there are none; too many digits give the
// largest value a setting holds.
int32_t ReadNumberField(const QString& text);
// Text as the settings keep it: spaces trimmed at both ends, then every TAB, CR and LF gone.
std::string CleanText(const QString& text);

}  // namespace ravelin
