#include "core/title.h"

namespace ravelin {

std::string FormatVersion(int versionNumber) {
  std::string text = std::to_string(versionNumber);
  // The dots become the 2nd and the 4th characters; a final "0" is dropped with its dot.
  if (text.size() >= 1) text.insert(1, ".");
  if (text.size() >= 3) text.insert(3, ".");
  if (!text.empty() && text.back() == '0') text.resize(3);
  return text;
}

std::string BuildTitle(const std::string& name, int versionNumber) {
  return name + " " + FormatVersion(versionNumber);
}

}  // namespace ravelin
