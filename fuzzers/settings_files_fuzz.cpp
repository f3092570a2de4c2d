// Fuzz target: a settings file through the INI reader, the profile loader and the
// configuration loader. The configuration is then saved and loaded once more: the file the
// program writes must read back to the very same settings, so a second save gives the same
// bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cli/option_table.h"
#include "fuzzers/fuzz_sandbox.h"
#include "settings/config_file.h"
#include "settings/ini.h"
#include "settings/settings.h"

namespace {

std::string ReadWhole(const std::string& path) {
  std::string bytes;
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    char buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0) bytes.append(buffer, got);
    std::fclose(file);
  }
  return bytes;
}

// Reads every key of the groups a settings file can hold, as the loaders do.
void WalkGroups(const ravelin::IniFile& ini) {
  for (const char* name : {"CLI", "Settings", "Window", "Input", "Output", "Watermark", "General"}) {
    const ravelin::IniGroup group = ini.Group(name);
    for (size_t i = 0; i < group.size(); ++i) {
      const std::string_view key = group.key(i);
      std::string_view value;
      if (!group.Find(key, &value)) std::abort();  // a key of the group must be found again
      group.ReadInteger(key, 0);
      group.ReadReal(key, 0.0f);
      group.ReadText(key, "");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ravelin::IniFile ini;
  ini.Parse(bytes);
  WalkGroups(ini);

  const std::string path = ravelin::fuzz::InSandbox("settings.ini");
  if (!ravelin::fuzz::WriteSandboxFile(path, data, size)) return 0;
  ravelin::Settings profile;
  ravelin::ResetSettings(profile, true);
  ravelin::LoadProfile(profile, path);

  ravelin::Settings first;
  first.ConfigPath = path;
  ravelin::LoadSettings(first);
  const std::string saved = ravelin::fuzz::InSandbox("saved.ini");
  first.ConfigPath = saved;
  if (!ravelin::SaveSettings(first)) std::abort();
  const std::string firstBytes = ReadWhole(saved);

  ravelin::Settings second;
  second.ConfigPath = saved;
  ravelin::LoadSettings(second);
  if (!ravelin::SaveSettings(second)) std::abort();
  if (ReadWhole(saved) != firstBytes) {
    std::fprintf(stderr, "a saved configuration did not read back to the same settings\n");
    std::abort();
  }
  return 0;
}
