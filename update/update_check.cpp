#include "update/update_check.h"

#include <algorithm>
#include <limits>

#include "i18n/language_table.h"
#include "platform/product.h"
#if RAVELIN_UPDATE_CHECK
#include "update/http_get.h"
#include "update/update_address.h"
#endif

namespace ravelin {

std::string ProductPageAddress() { return std::string(kWebSite) + "/" + kProgramWord + "/"; }

int64_t ReadInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && (text[i] == '$' || text[i] == '%')) base = text[i++] == '$' ? 16 : 2;

  constexpr int64_t kMost = std::numeric_limits<int32_t>::max();
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0 || digit >= base) break;
    value = std::min(kMost, value * base + digit);
  }
  return negative ? -value : value;
}

void AnswerUpdateCheck(const std::string& fetched, UpdatePrompts& prompts) {
  const int64_t newest = ReadInteger(fetched);
  if (newest == 0) {
    prompts.ShowError(GetText("Msg", "Internet connection problems"));
  } else if (newest <= kVersionNumber) {
    prompts.ShowInfo(GetText("Msg", "No Update"), GetText("Msg", "No Update Text"));
  } else if (prompts.AskYesNo(GetText("Msg", "New Update"), GetText("Msg", "New Update Text"))) {
    prompts.ShellOpen(ProductPageAddress());
  }
}

#if RAVELIN_UPDATE_CHECK
void CheckForUpdates(UpdatePrompts& prompts, const std::string& userAgent) {
  AnswerUpdateCheck(FetchShortBody(UpdateDataAddress(), userAgent), prompts);
}
#endif

}  // namespace ravelin
