// Text helpers shared by every layer: letter case, trimming and number formatting.
// Texts are UTF-8 throughout; the Unicode variants change the case of every letter
// (as the system's own case mapping does), the Ascii variants only A-Z and a-z.
#pragma once

#include <string>
#include <string_view>

namespace ravelin {

std::string ToUpperAscii(std::string_view text);
std::string ToLowerAscii(std::string_view text);
std::string ToUpperUnicode(std::string_view text);
std::string ToLowerUnicode(std::string_view text);

// UTF-8 to UTF-16 code units; a byte that does not start a well-formed sequence stands for
// itself as one unit.
std::u16string Utf8ToUtf16(std::string_view text);

// Removes spaces and tabs at both ends.
std::string TrimBlanksAndTabs(std::string_view text);
// Removes space characters only at both ends.
std::string TrimSpaces(std::string_view text);

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b);
bool StartsWith(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);

// Replaces every occurrence of `token`, matched without regard to ASCII letter case,
// scanning left to right; inserted text is not scanned again.
std::string ReplaceAllIgnoreCase(std::string_view text, std::string_view token,
                                 std::string_view value);

}  // namespace ravelin
