#include "config/ini_settings_store.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <memory>
#include <thread>

#include "config/memory_settings_store.h"
#include "config/test_temp_dir.h"

namespace velmora {
namespace {

using testing::readText;
using testing::TempDir;
using testing::writeText;

// The rules every SettingsStore keeps, checked on both implementations.
template <typename Store>
class SettingsStoreContractTest : public ::testing::Test {
 protected:
  std::unique_ptr<SettingsStore> makeStore() {
    if constexpr (std::is_same_v<Store, IniSettingsStore>) {
      return std::make_unique<IniSettingsStore>(dir_.file("sub/settings.ini"));
    } else {
      return std::make_unique<Store>();
    }
  }
  TempDir dir_;
};
using StoreTypes = ::testing::Types<MemorySettingsStore, IniSettingsStore>;
TYPED_TEST_SUITE(SettingsStoreContractTest, StoreTypes);

TYPED_TEST(SettingsStoreContractTest, DefaultsTypesAndFlags) {
  auto store = this->makeStore();
  EXPECT_EQ(store->getInt("Settings", "asl", 500), 500);
  EXPECT_EQ(store->getString("Settings", "DateFormat", "MM/DD/YYYY HH24:MI"), "MM/DD/YYYY HH24:MI");
  store->setInt("Settings", "tbl", -7);
  store->setString("Settings", "DateFormat", " DD.MM.YYYY ");
  EXPECT_EQ(store->getInt("settings", "TBL", 2000), -7);
  EXPECT_EQ(store->getString("Settings", "tbl", ""), "-7");
  EXPECT_EQ(store->getString("Settings", "dateformat", ""), " DD.MM.YYYY ");
  store->setString("Settings", "asl", "12 lines");
  EXPECT_EQ(store->getInt("Settings", "asl", 500), 500);  // unreadable: the default
  store->setString("Settings", "InclPct", "y");
  EXPECT_FALSE(store->getFlag("Settings", "InclPct", true));
  store->setFlag("Settings", "InclPct", true);
  EXPECT_TRUE(store->getFlag("Settings", "InclPct", false));
  store->setStrings("Recent DB List", {{"0", "A@X"}, {"1", "B@Y"}});
  EXPECT_EQ(store->getString("Recent DB List", "1", ""), "B@Y");
}

TEST(IniSettingsStoreTest, DefaultPath) {
  const std::string tail = "/Quenlor Systems/Velmora for Oracle/settings.ini";
  EXPECT_EQ(IniSettingsStore::defaultPathFor("/xdg/", "/home/u"), "/xdg" + tail);
  EXPECT_EQ(IniSettingsStore::defaultPathFor(nullptr, "/home/u"), "/home/u/.config" + tail);
  EXPECT_EQ(IniSettingsStore::defaultPathFor("", "/home/u"), "/home/u/.config" + tail);
  EXPECT_EQ(IniSettingsStore::defaultPathFor("relative", "/home/u"), "/home/u/.config" + tail);
}

TEST(IniSettingsStoreTest, FileLayoutAndNoFileFromReads) {
  TempDir dir;
  IniSettingsStore store(dir.file("cfg/settings.ini"));
  EXPECT_EQ(store.getInt("Settings", "asl", 500), 500);
  EXPECT_FALSE(std::filesystem::exists(dir.file("cfg")));  // reading creates nothing
  store.setInt("Settings", "asl", 750);
  store.setString("Recent DB", "0", "");
  EXPECT_EQ(readText(dir.file("cfg/settings.ini")), "[Settings]\nasl=750\n\n[Recent DB]\n0=\n");
  struct stat info {};
  ASSERT_EQ(stat(dir.file("cfg").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(IniSettingsStoreTest, StoresSeeEachOthersWritesAndLoseNothing) {
  TempDir dir;
  std::string path = dir.file("settings.ini");
  IniSettingsStore first(path);
  IniSettingsStore second(path);
  EXPECT_EQ(first.getInt("Settings", "a", 0), 0);  // caches the missing file
  second.setInt("Settings", "a", 1);
  EXPECT_EQ(first.getInt("Settings", "a", 0), 1);

  // A third writer in another process at the same time (forked before any thread starts).
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    IniSettingsStore other(path);
    bool ok = true;
    for (int i = 0; i < 40; ++i)
      ok = other.update("Settings", {{"three" + std::to_string(i), "x"}}) && ok;
    _exit(ok ? 0 : 1);
  }
  std::thread one([&] {
    for (int i = 0; i < 40; ++i) first.setInt("Settings", "one" + std::to_string(i), i);
  });
  std::thread two([&] {
    for (int i = 0; i < 40; ++i) second.setInt("Settings", "two" + std::to_string(i), i);
  });
  one.join();
  two.join();
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  IniSettingsStore reader(path);
  for (int i = 0; i < 40; ++i) {
    EXPECT_EQ(reader.getInt("Settings", "one" + std::to_string(i), -1), i);
    EXPECT_EQ(reader.getInt("Settings", "two" + std::to_string(i), -1), i);
    EXPECT_EQ(reader.getString("Settings", "three" + std::to_string(i), ""), "x");
  }
}

TEST(IniSettingsStoreTest, DamagedFileSurvivesWrites) {
  TempDir dir;
  std::string path = dir.file("settings.ini");
  const std::string damaged = "[Settings]\nasl=750\n\xFF\xFE garbage \x01\n[unclosed\n";
  writeText(path, damaged);
  IniSettingsStore store(path);
  EXPECT_EQ(store.getInt("Settings", "asl", 500), 750);
  EXPECT_TRUE(store.update("Settings", {{"tbl", "3000"}}));
  EXPECT_EQ(readText(path), "[Settings]\nasl=750\ntbl=3000\n\xFF\xFE garbage \x01\n[unclosed\n");
}

TEST(IniSettingsStoreTest, UnreadableFileIsNeverOverwritten) {
  TempDir dir;
  std::string path = dir.file("settings.ini");
  ASSERT_EQ(mkdir(path.c_str(), 0700), 0);  // exists, cannot be read as a file
  IniSettingsStore store(path);
  EXPECT_EQ(store.getInt("Settings", "asl", 500), 500);
  EXPECT_FALSE(store.update("Settings", {{"asl", "1"}}));
  EXPECT_NE(store.lastError().find("not saved"), std::string::npos) << store.lastError();
  EXPECT_TRUE(std::filesystem::is_directory(path));

  EXPECT_FALSE(store.update("Settings", {{"bad=name", "1"}}));
  EXPECT_NE(store.lastError().find("bad=name"), std::string::npos);
}

TEST(IniSettingsStoreTest, FailedWriteKeepsTheOldFile) {
  TempDir dir;
  std::string path = dir.file("settings.ini");
  writeText(path, "[Settings]\nasl=750\n");
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{8, 8};  // writes beyond 8 bytes fail like a full disk
    setrlimit(RLIMIT_FSIZE, &limit);
    IniSettingsStore store(path);
    bool written = store.update("Settings", {{"big", std::string(5000, 'v')}});
    _exit(!written && store.lastError().find("Cannot write") == 0 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(readText(path), "[Settings]\nasl=750\n");
  IniSettingsStore store(path);
  EXPECT_EQ(store.getString("Settings", "big", "none"), "none");
}

}  // namespace
}  // namespace velmora
