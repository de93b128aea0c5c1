#include "cli/interrupt_watcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

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

}  // namespace
}  // namespace velmora::cli
