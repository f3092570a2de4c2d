#include "update/update_fetch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "tests/support/loopback_server.h"
#include "update/http_get.h"

namespace ravelin {
namespace {

using test::LoopbackServer;
using namespace std::chrono_literals;

// What a callback delivered; shared with the callback so it outlives any owner.
struct Delivery {
  std::mutex lock;
  std::condition_variable arrived;
  int calls = 0;
  std::string fetched;
  std::thread::id thread;

  UpdateFetch::Done Callback(const std::shared_ptr<Delivery>& self) {
    return [self](const std::string& fetched) {
      std::lock_guard<std::mutex> hold(self->lock);
      ++self->calls;
      self->fetched = fetched;
      self->thread = std::this_thread::get_id();
      self->arrived.notify_all();
    };
  }
  bool Wait() {
    std::unique_lock<std::mutex> hold(lock);
    return arrived.wait_for(hold, 5s, [this] { return calls > 0; });
  }
  int Calls() {
    std::lock_guard<std::mutex> hold(lock);
    return calls;
  }
};

TEST(UpdateFetch, DeliversTheTextOnTheHelperThread) {
  struct Case { const char* why; std::string response; const char* expected; };
  const Case kCases[] = {
      {"a version number", "HTTP/1.0 200 OK\r\n\r\n261", "261"},
      {"a failure is an empty text", "garbage", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    LoopbackServer server(LoopbackServer::Reply(c.response));
    auto delivery = std::make_shared<Delivery>();
    UpdateFetch fetch;
    ASSERT_TRUE(fetch.Start(server.Url(), "ua", delivery->Callback(delivery)));
    ASSERT_TRUE(delivery->Wait());
    EXPECT_EQ(c.expected, delivery->fetched);
    EXPECT_NE(std::this_thread::get_id(), delivery->thread);
    EXPECT_FALSE(fetch.Running());
    EXPECT_EQ(1, delivery->Calls());
  }
}

// Start returns at once while the server stalls; a second Start waits for the first to end.
TEST(UpdateFetch, OneFetchAtATime) {
  SetFetchTimeLimitForTests(300ms);
  LoopbackServer server({}, LoopbackServer::End::Hold);
  auto first = std::make_shared<Delivery>();
  auto second = std::make_shared<Delivery>();
  UpdateFetch fetch;
  ASSERT_TRUE(fetch.Start(server.Url(), "ua", first->Callback(first)));
  EXPECT_TRUE(fetch.Running());
  EXPECT_FALSE(fetch.Start(server.Url(), "ua", second->Callback(second)));
  ASSERT_TRUE(first->Wait());
  EXPECT_EQ("", first->fetched);

  LoopbackServer next(LoopbackServer::Reply("HTTP/1.0 200 OK\r\n\r\n262"));
  ASSERT_TRUE(fetch.Start(next.Url(), "ua", second->Callback(second)));
  ASSERT_TRUE(second->Wait());
  EXPECT_EQ("262", second->fetched);
  EXPECT_EQ(1, first->Calls());
  SetFetchTimeLimitForTests(0ms);
}

// Cancelling (closing the window) drops the connection at once, long before the limit, and
// the answer never comes.
TEST(UpdateFetch, CancelDropsTheConnectionAndTheAnswer) {
  SetFetchTimeLimitForTests(60000ms);
  LoopbackServer server({}, LoopbackServer::End::Hold);
  auto delivery = std::make_shared<Delivery>();
  UpdateFetch fetch;
  ASSERT_TRUE(fetch.Start(server.Url(), "ua", delivery->Callback(delivery)));
  ASSERT_TRUE(server.WaitConnected());
  fetch.Cancel();
  EXPECT_FALSE(fetch.Running());
  EXPECT_TRUE(server.WaitClientClosed());
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(0, delivery->Calls());
  SetFetchTimeLimitForTests(0ms);
}

// The owner goes away while the server is about to answer: the helper must neither call the
// callback nor touch the owner's memory (the callback holds a pointer into a frame that is
// gone by then; the sanitizer build catches any touch).
TEST(UpdateFetch, OwnerGoneBeforeTheAnswer) {
  LoopbackServer server({{"", 100}, {"HTTP/1.0 200 OK\r\n\r\n261"}});
  auto calls = std::make_shared<std::atomic<int>>(0);
  {
    auto owner = std::make_unique<std::string>("main window");
    std::string* window = owner.get();
    UpdateFetch fetch;
    ASSERT_TRUE(fetch.Start(server.Url(), "ua", [calls, window](const std::string&) {
      ++*calls;
      window->append(" answered");
    }));
    ASSERT_TRUE(server.WaitConnected());
    // `fetch` goes before `owner`, as a window's members go with it.
  }
  // Past the moment the server answers.
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(0, calls->load());
}

// Quitting while a fetch waits on a stalled server ends the process at once: the helper thread
// keeps nothing alive. (Were it waited for, the child would sit out the server's five-minute
// hold and the test would time out.)
TEST(UpdateFetchDeathTest, QuittingDuringAFetchEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        SetFetchTimeLimitForTests(300000ms);
        static LoopbackServer* server = new LoopbackServer({}, LoopbackServer::End::Hold, 300000);
        static UpdateFetch* fetch = new UpdateFetch;
        fetch->Start(server->Url(), "ua", [](const std::string&) { std::_Exit(3); });
        if (!server->WaitConnected()) std::_Exit(2);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace ravelin
