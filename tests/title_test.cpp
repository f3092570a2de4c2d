#include "core/title.h"

#include <gtest/gtest.h>

namespace ravelin {
namespace {

TEST(Title, VersionTextFromTheNumber) {
  struct Case { int number; const char* expected; };
  const Case kCases[] = {{260, "2.6"}, {261, "2.6.1"}, {300, "3.0"}, {100, "1.0"}, {109, "1.0.9"}};
  for (const Case& c : kCases) EXPECT_EQ(c.expected, FormatVersion(c.number)) << c.number;
  EXPECT_EQ("Veltrano BMP to PSD 2.6", BuildTitle("Veltrano BMP to PSD", 260));
}

}  // namespace
}  // namespace ravelin
