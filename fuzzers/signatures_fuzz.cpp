// Fuzz target: file signature detection on a file of the input's bytes. Every file gets a
// name: one of the table's or "[ERROR] UNRECOGNIZED".
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/signatures.h"
#include "fuzzers/fuzz_sandbox.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = ravelin::fuzz::InSandbox("signature.bin");
  if (!ravelin::fuzz::WriteSandboxFile(path, data, size)) return 0;
  if (ravelin::DetectFileFormat(path).empty()) std::abort();
  return 0;
}
