#include "config/memory_settings_store.h"

#include <gtest/gtest.h>

#include <thread>

namespace velmora {
namespace {

TEST(MemorySettingsStoreTest, ValuesAreTextWithDefaultsForMissingOrUnreadable) {
  MemorySettingsStore store;
  EXPECT_EQ(store.getInt("Settings", "asl", 500), 500);
  EXPECT_EQ(store.getString("Settings", "DateFormat", "MM/DD/YYYY"), "MM/DD/YYYY");
  store.setInt("Settings", "asl", -42);
  EXPECT_EQ(store.getString("settings", "ASL", ""), "-42");  // names ignore letter case
  EXPECT_EQ(store.getInt("SETTINGS", "Asl", 0), -42);
  for (const char* bad : {"", "12x", " 12", "+12", "0x10", "99999999999"}) {
    store.setString("Settings", "asl", bad);
    EXPECT_EQ(store.getInt("Settings", "asl", 500), 500) << bad;
  }
  EXPECT_EQ(store.size(), 1u);
}

TEST(MemorySettingsStoreTest, FlagsCountOnlyAnUpperCaseY) {
  MemorySettingsStore store;
  EXPECT_TRUE(store.getFlag("Settings", "InclPct", true));
  EXPECT_FALSE(store.getFlag("Settings", "InclPct", false));
  store.setString("Settings", "InclPct", "y");
  EXPECT_FALSE(store.getFlag("Settings", "InclPct", true));
  store.setFlag("Settings", "InclPct", true);
  EXPECT_EQ(store.find("Settings", "InclPct"), "Y");
  store.setFlag("Settings", "InclPct", false);
  EXPECT_EQ(store.find("Settings", "InclPct"), "N");
}

TEST(MemorySettingsStoreTest, BatchesAndConcurrentWriters) {
  MemorySettingsStore store;
  store.setStrings("Recent DB List", {{"0", "SCOTT@ORCL"}, {"1", "HR@ORCL"}, {"2", ""}});
  EXPECT_EQ(store.getString("recent db list", "1", "?"), "HR@ORCL");
  EXPECT_EQ(store.writeCount(), 3);

  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&store, t] {
      for (int i = 0; i < 200; ++i) store.setInt("T" + std::to_string(t), std::to_string(i), i);
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(store.size(), 3u + 800u);
  EXPECT_EQ(store.getInt("t3", "199", 0), 199);
  store.erase("T3", "199");
  EXPECT_FALSE(store.contains("T3", "199"));
}

}  // namespace
}  // namespace velmora
