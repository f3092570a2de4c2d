// The value kinds of the long options and the rules that turn an option's text into a
// settings value. The option table applies them to command-line values and profile lines.
#pragma once

#include <cstdint>
#include <string_view>

#include "settings/keywords.h"

namespace ravelin {

enum class ValueKind : uint8_t { Keyword, Integer, Real, Text, Flag };

// Leading spaces and tabs skipped, an optional sign, then decimal digits, "$" and hexadecimal
// digits or "%" and binary digits, each read up to the first other character. No digits
// give 0; the low 32 bits of a longer number are kept, as a signed value.
int32_t ParseOptionInteger(std::string_view text);
// "+Infinity", "-Infinity", "NaN" in any case; else a decimal number read as far as it goes.
float ParseOptionReal(std::string_view text);
// Spaces trimmed at both ends, then looked up in `table` (an unknown word gives 0).
int8_t ParseOptionKeyword(KeywordTable table, std::string_view text);

}  // namespace ravelin
