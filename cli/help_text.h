// The fixed English help of the console mode, printed for "-h", "-?" and "--help".
#pragma once

#include <string>
#include <vector>

namespace ravelin {

// The help lines with "%s1%" filled with the program's name and "%s2%" with an active input
// extension (each example line draws its own).
std::vector<std::string> HelpLines(const std::string& programName);

}  // namespace ravelin
