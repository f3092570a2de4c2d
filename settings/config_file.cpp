#include "settings/config_file.h"

#include <cstring>

#include "platform/files.h"
#include "platform/product.h"
#include "platform/text.h"
#include "settings/formats.h"
#include "settings/ini.h"
#include "settings/settings_layout.h"

namespace ravelin {
namespace {

// The layout version this program writes; files below it are migrated on load.
constexpr int32_t kLayoutVersion = 19;

void ReadField(const IniGroup& group, const SettingsKey& row, Settings& settings) {
  std::string_view text;
  if (!group.Find(row.key, &text)) return;
  if (auto member = std::get_if<float Settings::*>(&row.field)) {
    settings.**member = ParseReal(text);
  } else if (auto member = std::get_if<std::string Settings::*>(&row.field)) {
    settings.**member = TrimBlanksAndTabs(text);
  } else {
    AssignInteger(settings, row.field, ParseDecimalInteger(text));
  }
}

// Older layouts, oldest first: the mask gained its extension token (layout 11), the RAW
// load modes gained two entries in front (layout 14), and the colour-model keys were renamed
// to colour modes (layout 19).
void Migrate(const IniFile& file, Settings& settings) {
  if (settings.CFG < 11 && ToLowerAscii(settings.FilenameMask).find("%ext%") == std::string::npos) {
    settings.FilenameMask += ".%ext%";
  }
  if (settings.CFG < 14 && settings.RAWLoadAs != 0) settings.RAWLoadAs += 2;
  if (settings.CFG < 19) {
    const int32_t psd = file.Group("Input").ReadInteger("PSD Color Model", 0);
    const int32_t tiff = file.Group("Output").ReadInteger("TIFF Color Model", 0);
    if (psd != 0) settings.PSDColorMode = psd;
    if (tiff != 0) settings.TIFFColorMode = tiff;
  }
}

const std::vector<std::string>& ActiveExtensionsOf(const char* group) {
  return std::strcmp(group, "Input") == 0 ? ActiveInputExtensions() : ActiveOutputExtensions();
}

}  // namespace

std::string DefaultConfigPath() {
  return AppDataFolder("Veltrano", kProgramWord) + "config.ini";
}

void LoadSettings(Settings& settings, DesktopSize desktop) {
  IniFile file;
  if (!file.Load(settings.ConfigPath)) {
    ResetSettings(settings, false, desktop);
    return;
  }
  // Defaults of a present file: no centring (X and Y 100), aspect ratio kept, dates now.
  ResetSettings(settings, false, DesktopSize{});
  settings.CFG = 0;

  const SettingsKey* layout = SettingsLayout();
  IniGroup group;
  const char* groupName = nullptr;
  for (size_t i = 0; i < SettingsLayoutSize(); ++i) {
    const SettingsKey& row = layout[i];
    if (groupName == nullptr || std::strcmp(groupName, row.group) != 0) {
      groupName = row.group;
      group = file.Group(groupName);
    }
    ReadField(group, row, settings);
  }
  Migrate(file, settings);
}

bool SaveSettings(const Settings& current) {
  // The file always carries the layout version of this program, whatever was loaded.
  Settings settings = current;
  settings.CFG = kLayoutVersion;
  IniWriter writer;
  writer.EmptyLine();
  const SettingsKey* layout = SettingsLayout();
  const size_t size = SettingsLayoutSize();
  size_t begin = 0;
  while (begin < size) {
    const char* groupName = layout[begin].group;
    size_t end = begin;
    while (end < size && std::strcmp(layout[end].group, groupName) == 0) ++end;

    writer.Header(groupName);
    auto write = [&](const SettingsKey& row) {
      writer.Key(row.key, FormatField(settings, row.field));
    };
    for (size_t i = begin; i < end; ++i) {
      const SettingsKey& row = layout[i];
      if (row.written == WrittenWhen::Always ||
          (row.written == WrittenWhen::WindowPosition && settings.SaveWindowPosition == 1)) {
        write(row);
      }
    }
    // Per-format keys follow in the order of the active extension list.
    bool perFormat = false;
    for (size_t i = begin; i < end; ++i) perFormat |= layout[i].written == WrittenWhen::ActiveExtension;
    if (perFormat) {
      for (const std::string& ext : ActiveExtensionsOf(groupName)) {
        for (size_t i = begin; i < end; ++i) {
          if (layout[i].written == WrittenWhen::ActiveExtension && ext == layout[i].extension) write(layout[i]);
        }
      }
    }
    writer.Comment();
    begin = end;
  }
  return writer.Save(settings.ConfigPath);
}

}  // namespace ravelin
