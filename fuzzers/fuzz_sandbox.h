// The private folder the fuzz targets work in: created once per process under $TMPDIR when it
// is set, else /dev/shm (or /tmp), removed with everything in it when the process ends. Targets
// write their input there, convert there and clear what a run left behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ravelin::fuzz {

// The folder, ending in "/".
const std::string& SandboxFolder();
// SandboxFolder() + name.
std::string InSandbox(const std::string& name);
bool WriteSandboxFile(const std::string& path, const uint8_t* data, size_t size);
// Removes everything inside `folder` (not the folder itself), sub-folders included.
void ClearFolder(const std::string& folder);
// Removes `folder` and everything in it.
void RemoveFolder(const std::string& folder);

}  // namespace ravelin::fuzz
