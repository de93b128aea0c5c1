#include "oracle/recent_logins.h"

#include <gtest/gtest.h>

#include "config/memory_settings_store.h"
#include "oracle/password_cipher.h"

namespace velmora {
namespace {

class RecentLoginsTest : public ::testing::Test {
 protected:
  std::string stored(int i) {
    return settings.getString(kRecentDbListSection, std::to_string(i), "<missing>");
  }
  void logIn(const std::string& user, const std::string& password, const std::string& database,
             bool savePassword = true) {
    RecentLoginList list = readRecentLogins(settings, cipher);
    saveRecentLogins(settings, cipher, {user, password, database}, savePassword, list);
  }

  MemorySettingsStore settings;
  PasswordCipher cipher = PasswordCipher::withBuiltInKey();
};

TEST_F(RecentLoginsTest, NewestFirstWithoutDuplicates) {
  logIn("scott", "tiger", "orcl");
  logIn("hr", "hr", "test");
  logIn("scott", "tiger", "orcl");
  EXPECT_EQ(stored(0), "scott/" + cipher.encipherText("tiger") + "@orcl");
  EXPECT_EQ(stored(1), "hr/" + cipher.encipherText("hr") + "@test");
  EXPECT_EQ(stored(2), "");
  RecentLoginList list = readRecentLogins(settings, cipher);
  ASSERT_EQ(list.entries.size(), 2u);
  EXPECT_EQ(list.entries[0].password, "tiger");
  EXPECT_EQ(list.entries[0].displayText(), "scott/*****@orcl");
  EXPECT_FALSE(list.hadOldEntries);
}

TEST_F(RecentLoginsTest, WithoutSavePasswordOnlyTheNewEntryLosesIt) {
  logIn("hr", "hr", "test");
  logIn("scott", "tiger", "orcl", false);
  EXPECT_EQ(stored(0), "scott@orcl");
  EXPECT_EQ(stored(1), "hr/" + cipher.encipherText("hr") + "@test");
  RecentLoginList list = readRecentLogins(settings, cipher);
  EXPECT_EQ(list.entries[0].displayText(), "scott@orcl");
}

TEST_F(RecentLoginsTest, OldSectionIsReadThenMovedEnciphered) {
  settings.setString(kRecentDbSection, "0", "system/manager@prod");
  settings.setString(kRecentDbSection, "1", "scott@orcl");
  RecentLoginList list = readRecentLogins(settings, cipher);
  ASSERT_EQ(list.entries.size(), 2u);
  EXPECT_TRUE(list.hadOldEntries);
  EXPECT_EQ(list.entries[0].password, "manager");
  saveRecentLogins(settings, cipher, {"hr", "hr", "test"}, true, list);
  EXPECT_EQ(settings.getString(kRecentDbSection, "0", "<missing>"), "");
  EXPECT_EQ(stored(1), "system/" + cipher.encipherText("manager") + "@prod");
  EXPECT_EQ(stored(2), "scott@orcl");
  EXPECT_EQ(readRecentLogins(settings, cipher).entries.size(), 3u);
}

TEST_F(RecentLoginsTest, DamagedEntriesDoNotStopTheList) {
  settings.setString(kRecentDbListSection, "0", "scott/ABCDE12345@orcl");  // 10 digits
  settings.setString(kRecentDbListSection, "1", "hr/" + cipher.encipherText("hr") + "@test");
  settings.setString(kRecentDbListSection, "2", "nobody-without-database");
  settings.setString(kRecentDbListSection, "3", "never/read@x");
  RecentLoginList list = readRecentLogins(settings, cipher);
  ASSERT_EQ(list.entries.size(), 2u) << "an entry without \"@\" ends the section";
  EXPECT_EQ(list.entries[0].displayText(), "scott@orcl");
  EXPECT_EQ(list.entries[0].password, "");
  EXPECT_EQ(list.entries[1].password, "hr");
  // The damaged password is not written back.
  saveRecentLogins(settings, cipher, {"hr", "hr", "test"}, true, list);
  EXPECT_EQ(stored(1), "scott@orcl");
}

}  // namespace
}  // namespace velmora
