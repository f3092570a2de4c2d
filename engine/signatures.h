// Naming the real format of a file from its first bytes, whatever its extension says. The
// batch worker prints the name in console debug mode; the conversion does not depend on it.
#pragma once

#include <string>

namespace ravelin {

// The name of the matching signature ("BMP", "PSD", "CR2", ...), or "[ERROR] UNRECOGNIZED"
// for a file that matches none or cannot be read. Reads at most the first 20 bytes of a
// regular file and changes nothing.
std::string DetectFileFormat(const std::string& path);

}  // namespace ravelin
