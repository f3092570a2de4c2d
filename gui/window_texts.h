// The texts of the windows: every visible text is looked up in the language table by group and
// key; this gives it as the toolkit's string.
#pragma once

#include <QString>

#include "i18n/language_table.h"

namespace ravelin {

inline QString Text(const char* group, const char* key) {
  return QString::fromStdString(GetText(group, key));
}

}  // namespace ravelin
