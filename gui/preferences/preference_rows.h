// The pages of the preferences window as data: every page is a list of sections, every
// section a list of rows (label key, control kind, setting), and the enabling and showing
// rules name the rows and sections they act on. The window walks these tables to build, fill
// and store its controls, so a setting gets its control by adding one row here.
#pragma once

#include <optional>
#include <vector>

#include "settings/settings_layout.h"

namespace ravelin {

enum class RowKind {
  Language,     // drop-down with "English"; stores "en"
  Theme,        // drop-down of the installed themes
  InputFormat,  // picture drop-down of the active input extensions
  OutputFormat, // picture drop-down of the active output extensions
  Bpp,          // "Auto" and the format's allowed bits per pixel
  Choice,       // drop-down of `items`; the setting is the item index
  Fixed,        // drop-down of `items`, shown only; no setting
  Check,        // check box
  HiddenCheck,  // check box created hidden; the window never changes its setting
  Number,       // digits-only field with a unit drop-down (`unit` setting or one fixed unit)
  Slider,       // slider and spin box over low..high; slider = value + sliderOffset
  Gamma,        // slider and spin box in hundredths 1..999 of a real setting
  Text,         // text field; stored trimmed and without TAB, CR and LF
  ImageFile,    // text field and a "..." file requester
  Swatch,       // swatch button and read-only field of a colour
  FontList,     // drop-down of `Fonts` and a "..." font requester
  ColorList,    // picture drop-down of a colour history (`history`) and a "..." requester
  Date,         // date and time field
};

struct PreferenceRow {
  const char* label;  // key in group Preferences
  RowKind kind;
  std::optional<SettingsField> field;
  std::vector<const char*> items = {};  // Choice and Fixed items; Number unit keys
  std::optional<SettingsField> unit = {};     // Number: the unit choice, when it has one
  std::optional<SettingsField> history = {};  // ColorList: the comma-separated history list
  int low = 0;
  int high = 0;
  int sliderOffset = 0;
  const char* extension = nullptr;  // Bpp: the output format
};

struct PreferenceSection {
  const char* name;    // the target of showing rules, or nullptr
  bool scrolls;
  const char* format;  // a format sub-page: shown while this extension is selected
  std::vector<PreferenceRow> rows;
};

struct PreferencePage {
  const char* title;  // key in group Preferences
  std::vector<PreferenceSection> sections;
};

enum class RuleAction { Enable, Show };

// While `controller` (a check box or drop-down) stands at an index in `indices`, the
// `targets` rows and the `section` are enabled or shown; otherwise disabled or hidden.
struct PreferenceRule {
  SettingsField controller;
  std::vector<int> indices;
  RuleAction action;
  std::vector<SettingsField> targets;
  const char* section = nullptr;
};

// The nine pages in list order.
const std::vector<PreferencePage>& PreferencePages();
const std::vector<PreferenceRule>& PreferenceRules();

// The configuration key that names a setting ("Output/JPG Quality"); it is also the object
// name of the setting's control. Empty for a field the layout does not hold.
std::string SettingName(const SettingsField& field);

}  // namespace ravelin
