#include "update/update_check.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "i18n/language_table.h"
#include "platform/product.h"
#include "settings/settings.h"
#include "tests/support/loopback_server.h"
#include "update/update_schedule.h"

namespace ravelin {
namespace {

using test::LoopbackServer;

const char kTitle[] = "Veltrano BMP to PSD 2.6";
const char kNewUpdate[] =
    "ask: New Update | A new version of Veltrano BMP to PSD is available! Are you ready to "
    "download it right now?";
const char kNoUpdate[] =
    "info: No Update | There is no update of Veltrano BMP to PSD yet. You're using the most "
    "recent version.";
const char kProblems[] = "error: Internet connection problems!";
const char kAskCheck[] = "ask: Check for Updates | Do you want to check for updates?";
const char kOpenProductPage[] = "open: https://www.veltrano.example/ravelin/";

// Answers the questions in turn from a list (No when it runs out) and logs every call.
class CannedPrompts : public UpdatePrompts {
 public:
  explicit CannedPrompts(std::vector<bool> answers = {}) : answers_(std::move(answers)) {}
  bool AskYesNo(const std::string& title, const std::string& text) override {
    log.push_back("ask: " + title + " | " + text);
    return next_ < answers_.size() && answers_[next_++];
  }
  void ShowInfo(const std::string& title, const std::string& text) override {
    log.push_back("info: " + title + " | " + text);
  }
  void ShowError(const std::string& text) override { log.push_back("error: " + text); }
  void ShellOpen(const std::string& address) override { log.push_back("open: " + address); }

  std::vector<std::string> log;

 private:
  std::vector<bool> answers_;
  size_t next_ = 0;
};

// Points the update address at a test server for one test.
class UpdateAddress {
 public:
  explicit UpdateAddress(const std::string& url) { setenv(kUpdateAddressVariable, url.c_str(), 1); }
  ~UpdateAddress() { unsetenv(kUpdateAddressVariable); }
};

class UpdateCheck : public ::testing::Test {
 protected:
  void SetUp() override { LoadLanguage(); }
};

TEST(ReadInteger, ReadsTheLeadingNumber) {
  struct Case { const char* text; int64_t expected; };
  const Case kCases[] = {
      {"261", 261}, {" \t 261", 261}, {"+26", 26}, {"-26", -26}, {"2.7", 2}, {"26x", 26},
      {"$1F", 31}, {"-$ff", -255}, {"%101", 5}, {"%2", 0}, {"$", 0}, {"", 0}, {"<ht", 0},
      {"- 5", 0}, {"\n261", 0}, {"99999999999", 2147483647},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.expected, ReadInteger(c.text));
  }
}

// The three answers, from the text the server sends to what the user sees.
TEST_F(UpdateCheck, AnswersWhatTheServerSays) {
  struct Case {
    const char* why;
    std::string body;
    std::vector<bool> answers;
    std::vector<std::string> expected;
  };
  const Case kCases[] = {
      {"newer version, Yes opens the product page", "261", {true}, {kNewUpdate, kOpenProductPage}},
      {"newer version, No", "300\r\n", {false}, {kNewUpdate}},
      {"same version", "260", {}, {kNoUpdate}},
      {"older version", "  259", {}, {kNoUpdate}},
      {"2.7 reads as 2", "2.7", {}, {kNoUpdate}},
      {"an HTML page reads as 0", "<html><body>Not found</body></html>", {}, {kProblems}},
      {"empty body", "", {}, {kProblems}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    LoopbackServer server(LoopbackServer::Reply("HTTP/1.0 200 OK\r\n\r\n" + c.body));
    UpdateAddress address(server.Url());
    CannedPrompts prompts(c.answers);
    CheckForUpdates(prompts, kTitle);
    EXPECT_EQ(c.expected, prompts.log);
    EXPECT_NE(std::string::npos, server.Request().find("\r\nUser-Agent: Veltrano BMP to PSD 2.6\r\n"));
  }
}

TEST_F(UpdateCheck, NoServerIsAConnectionProblem) {
  UpdateAddress address("http://127.0.0.1:" + std::to_string(test::ClosedLoopbackPort()) +
                        "/files/ravelin.dat");
  CannedPrompts prompts;
  CheckForUpdates(prompts, kTitle);
  EXPECT_EQ(std::vector<std::string>{kProblems}, prompts.log);
}

TEST(UpdateSchedule, IntervalFromTheRange) {
  struct Case { int32_t range; int32_t days; };
  const Case kCases[] = {{0, 1}, {1, 7}, {2, 30}, {3, 90}, {4, 180}, {5, 0}, {6, 30}, {-1, 30}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.range);
    EXPECT_EQ(c.days, UpdateIntervalDays(c.range));
  }
}

constexpr int64_t kDay = 86400;
constexpr int64_t kNow = 1700000000;

TEST(UpdateSchedule, DueOnceTheIntervalHasPassed) {
  struct Case { const char* why; int32_t range; int64_t since; bool due; };
  const Case kCases[] = {
      {"a week, eight days ago", 1, 8 * kDay, true},
      {"a week, exactly seven days ago", 1, 7 * kDay, false},
      {"a week, a second past seven days", 1, 7 * kDay + 1, true},
      {"a day, two days ago", 0, 2 * kDay, true},
      {"the default month, 29 days ago", 2, 29 * kDay, false},
      {"six months, 181 days ago", 4, 181 * kDay, true},
      {"never, years ago", kUpdateRangeNever, 3000 * kDay, false},
      {"an unknown range counts as a month", 9, 31 * kDay, true},
      {"a date in the future", 0, -5 * kDay, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    Settings settings;
    settings.UpdateRange = c.range;
    settings.UpdateDate = static_cast<Date>(kNow - c.since);
    EXPECT_EQ(c.due, UpdateCheckDue(settings, kNow));
  }
}

TEST_F(UpdateCheck, NoIsNotAskedAgainForAnInterval) {
  Settings settings;
  settings.UpdateRange = 1;
  settings.UpdateDate = static_cast<Date>(kNow - 8 * kDay);
  CannedPrompts prompts({false});

  EXPECT_FALSE(AskScheduledUpdateCheck(settings, prompts, kNow));
  EXPECT_EQ(std::vector<std::string>{kAskCheck}, prompts.log);
  EXPECT_EQ(kNow, settings.UpdateDate);

  prompts.log.clear();
  EXPECT_FALSE(AskScheduledUpdateCheck(settings, prompts, kNow + 7 * kDay));
  EXPECT_TRUE(prompts.log.empty());
  EXPECT_EQ(kNow, settings.UpdateDate);

  EXPECT_FALSE(AskScheduledUpdateCheck(settings, prompts, kNow + 7 * kDay + 1));
  EXPECT_EQ(std::vector<std::string>{kAskCheck}, prompts.log);
  EXPECT_EQ(kNow + 7 * kDay + 1, settings.UpdateDate);
}

TEST_F(UpdateCheck, NeverRangeNeverAsksButTheCommandStillChecks) {
  LoopbackServer server(LoopbackServer::Reply("HTTP/1.0 200 OK\r\n\r\n260"));
  UpdateAddress address(server.Url());
  Settings settings;
  settings.UpdateRange = kUpdateRangeNever;
  settings.UpdateDate = static_cast<Date>(kNow - 3000 * kDay);
  CannedPrompts prompts({true});

  ScheduledUpdateCheck(settings, prompts, kTitle, kNow);
  EXPECT_TRUE(prompts.log.empty());
  EXPECT_EQ(kNow - 3000 * kDay, settings.UpdateDate);

  CheckForUpdates(prompts, kTitle);
  EXPECT_EQ(std::vector<std::string>{kNoUpdate}, prompts.log);
  EXPECT_EQ(kNow - 3000 * kDay, settings.UpdateDate);
}

TEST_F(UpdateCheck, YesToTheScheduledQuestionChecks) {
  LoopbackServer server(LoopbackServer::Reply("HTTP/1.0 200 OK\r\n\r\n261"));
  UpdateAddress address(server.Url());
  Settings settings;
  settings.UpdateRange = 0;
  settings.UpdateDate = static_cast<Date>(kNow - 2 * kDay);
  CannedPrompts prompts({true, true});

  ScheduledUpdateCheck(settings, prompts, kTitle, kNow);
  const std::vector<std::string> expected = {kAskCheck, kNewUpdate, kOpenProductPage};
  EXPECT_EQ(expected, prompts.log);
  EXPECT_EQ(kNow, settings.UpdateDate);
}

TEST_F(UpdateCheck, ScheduleReadsTheClockWhenNoDateIsGiven) {
  Settings settings;
  settings.UpdateRange = 1;
  settings.UpdateDate = static_cast<Date>(LocalDateNow() - 8 * kDay);
  const int64_t before = LocalDateNow();
  CannedPrompts prompts({true});
  EXPECT_TRUE(AskScheduledUpdateCheck(settings, prompts));
  EXPECT_EQ(std::vector<std::string>{kAskCheck}, prompts.log);
  EXPECT_GE(settings.UpdateDate, before);
}

}  // namespace
}  // namespace ravelin
