#include "cli/parameters.h"

#include "platform/text.h"

namespace ravelin {

std::string ParameterKey(const Parameters& params, size_t position) {
  if (position >= params.size()) return std::string();
  const std::string trimmed = TrimSpaces(params[position]);
  if (StartsWith(trimmed, "--")) return ToUpperAscii(trimmed.substr(0, trimmed.find('=')));
  if (StartsWith(trimmed, "-")) return ToUpperAscii(trimmed);
  return std::string();
}

std::string ParameterValue(const Parameters& params, size_t position) {
  if (position >= params.size()) return std::string();
  const std::string trimmed = TrimSpaces(params[position]);
  if (StartsWith(trimmed, "--")) {
    const size_t equals = trimmed.find('=', 2);
    if (equals != std::string::npos) return trimmed.substr(equals + 1);
  }
  return trimmed;
}

bool ReadSameParameterValue(const Parameters& params, size_t position, std::string* value) {
  *value = ParameterValue(params, position);
  return !value->empty() && !StartsWith(*value, "--");
}

std::string JoinQuoted(const Parameters& params, size_t* position, std::string value) {
  if (StartsWith(value, "\"") && !EndsWith(value, "\"")) {
    while (*position + 1 < params.size()) {
      value += " " + ParameterValue(params, *position + 1);
      ++*position;
      if (EndsWith(value, "\"")) break;
    }
  }
  return StripQuotesAtEnds(value);
}

std::string StripQuotesAtEnds(const std::string& value) {
  size_t begin = 0, end = value.size();
  while (begin < end && value[begin] == '"') ++begin;
  while (end > begin && value[end - 1] == '"') --end;
  return value.substr(begin, end - begin);
}

}  // namespace ravelin
