// Fuzz target: an icon theme archive through the theme reader: its display name, and loading
// its pictures into all three sets at one of the five icon sizes. The archive is input from
// outside, so whatever it holds must end in pictures of bounded size or none, never a crash.
// The input is also taken as a "theme.cfg" text for the value lookup.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzzers/fuzz_sandbox.h"
#include "gui/themes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string folder = ravelin::fuzz::SandboxFolder();
  static const std::string path = ravelin::fuzz::InSandbox("fuzz.zip");
  if (!ravelin::fuzz::WriteSandboxFile(path, data, size)) return 0;

  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const char* group : {"Theme", "Buttons", "Icons"}) {
    for (const char* key : {"Name", "Convert", "New"}) {
      if (ravelin::IniValue(text, group, key).size() > size) std::abort();
    }
  }

  // The display name comes from the first 255 bytes of "theme.cfg" only.
  if (ravelin::ThemeDisplayName("fuzz", folder).toUtf8().size() > ravelin::kDisplayNameBytes) {
    std::abort();
  }

  ravelin::WindowContext context;
  context.settings.UITheme = "fuzz";
  context.settings.UISize = static_cast<int32_t>(size % 5);
  ravelin::LoadTheme(context, folder, true, true, true);
  for (const ravelin::ImageSet* set :
       {&context.pictures.buttons, &context.pictures.menu, &context.pictures.toolbar}) {
    for (const auto& [key, picture] : *set) {
      if (picture.width() > ravelin::kMaxThemePictureSide ||
          picture.height() > ravelin::kMaxThemePictureSide) {
        std::abort();
      }
    }
  }
  return 0;
}
