#include "gui/preferences/setting_values.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>
#include <variant>

namespace ravelin {

int64_t ReadInteger(const Settings& settings, const SettingsField& field) {
  return std::visit(
      [&](auto member) -> int64_t {
        using Value = std::decay_t<decltype(settings.*member)>;
        if constexpr (std::is_same_v<Value, std::string>) {
          return 0;
        } else if constexpr (std::is_same_v<Value, float>) {
          return std::isfinite(settings.*member) ? std::llround(settings.*member) : 0;
        } else {
          return settings.*member;
        }
      },
      field);
}

std::string* TextField(Settings& settings, const SettingsField& field) {
  auto member = std::get_if<std::string Settings::*>(&field);
  return member != nullptr ? &(settings.**member) : nullptr;
}
const std::string& TextOf(const Settings& settings, const SettingsField& field) {
  static const std::string kEmpty;
  auto member = std::get_if<std::string Settings::*>(&field);
  return member != nullptr ? settings.**member : kEmpty;
}

int32_t ReadNumberField(const QString& text) {
  int64_t value = 0;
  for (const QChar c : text) {
    if (c < '0' || c > '9') break;
    value = std::min<int64_t>(value * 10 + (c.unicode() - '0'),
                              std::numeric_limits<int32_t>::max());
  }
  return static_cast<int32_t>(value);
}

std::string CleanText(const QString& text) {
  int first = 0;
  int last = text.size();
  while (first < last && text[first] == ' ') ++first;
  while (last > first && text[last - 1] == ' ') --last;
  QString cleaned = text.mid(first, last - first);
  cleaned.remove('\t').remove('\r').remove('\n');
  return cleaned.toStdString();
}

}  // namespace ravelin
