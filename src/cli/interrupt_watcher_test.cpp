#include "cli/interrupt_watcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace velmora::cli {
namespace {

TEST(InterruptWatcherTest, SignalsReachTheCallbackAndHandlersComeBack) {
  struct sigaction before = {};
  sigaction(SIGINT, nullptr, &before);
  std::atomic<int> calls{0};
  std::atomic<int> lastCount{0};
  {
    InterruptWatcher watcher([&](int count) {
      lastCount = count;
      ++calls;
    });
    ASSERT_TRUE(watcher.active());
    ASSERT_EQ(kill(getpid(), SIGINT), 0);
    for (int i = 0; i < 2000 && calls < 1; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(kill(getpid(), SIGTERM), 0);
    for (int i = 0; i < 2000 && calls < 2; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(lastCount, 2);
  struct sigaction after = {};
  sigaction(SIGINT, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
}

// The front end answers each signal with 128 + its number: the callback must say which one came.
TEST(InterruptWatcherTest, EachSignalArrivesWithItsNumberAndSighupIsWatchedToo) {
  struct sigaction beforeHup = {};
  sigaction(SIGHUP, nullptr, &beforeHup);
  std::mutex mutex;
  std::vector<std::pair<int, int>> seen;
  {
    InterruptWatcher watcher([&](int count, int signal) {
      std::lock_guard lock(mutex);
      seen.emplace_back(count, signal);
    });
    ASSERT_TRUE(watcher.active());
    const auto waitFor = [&](size_t n) {
      for (int i = 0; i < 2000; ++i) {
        {
          std::lock_guard lock(mutex);
          if (seen.size() >= n) return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    };
    size_t sent = 0;
    for (int signal : {SIGHUP, SIGTERM, SIGINT}) {
      ASSERT_EQ(kill(getpid(), signal), 0);
      waitFor(++sent);  // one at a time: the order is the order sent
    }
  }
  EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{1, SIGHUP}, {2, SIGTERM}, {3, SIGINT}}));
  struct sigaction afterHup = {};
  sigaction(SIGHUP, nullptr, &afterHup);
  EXPECT_EQ(afterHup.sa_handler, beforeHup.sa_handler);
}

}  // namespace
}  // namespace velmora::cli
