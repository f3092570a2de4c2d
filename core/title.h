// The program's version text and title: "2.6" from 260, "Veltrano BMP to PSD 2.6".
#pragma once

#include <string>

namespace ravelin {

// 260 gives "2.6", 261 gives "2.6.1", 300 gives "3.0".
std::string FormatVersion(int versionNumber);
// The name, one blank and the version text.
std::string BuildTitle(const std::string& name, int versionNumber);

}  // namespace ravelin
