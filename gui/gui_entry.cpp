// The exported entry of the window module.
#include "gui/gui_module.h"
#include "gui/window_mode.h"

namespace {

const ravelin::GuiApi kApi = {ravelin::kGuiApiVersion, &ravelin::RunWindowMode};

}  // namespace

extern "C" __attribute__((visibility("default"))) const ravelin::GuiApi* ravelin_gui_api() {
  return &kApi;
}
