#include "config/registry_settings.h"

#include <gtest/gtest.h>

#include <set>

#include "base/option_keys.h"
#include "config/ini_settings_store.h"
#include "config/memory_settings_store.h"
#include "config/test_temp_dir.h"

namespace velmora {
namespace {

// Records the order of batch writes.
class RecordingStore : public MemorySettingsStore {
 public:
  void setStrings(const std::string& section, const NamedValues& values) override {
    batches.push_back(values);
    MemorySettingsStore::setStrings(section, values);
  }
  std::vector<NamedValues> batches;
};

// Every registry-kept option set to a value other than its default.
ComparisonOptions changedOptions() {
  ComparisonOptions options;
  for (const RegistryOptionValue& entry : registryOptionValues()) {
    const OptionKey& key = *findOptionKey(entry.optionKey);
    options.*entry.field = key.defaultInt == key.maxValue ? key.minValue : key.maxValue;
  }
  return options;
}

TEST(RegistrySettingsTest, TableCoversEveryKeptOption) {
  std::set<std::string> names;
  std::set<std::string> keys;
  for (const RegistryOptionValue& entry : registryOptionValues()) {
    EXPECT_TRUE(names.insert(entry.name).second) << entry.name;
    EXPECT_TRUE(keys.insert(entry.optionKey).second) << entry.optionKey;
    const OptionKey* key = findOptionKey(entry.optionKey);
    ASSERT_NE(key, nullptr) << entry.optionKey;
    EXPECT_EQ(key->intField, entry.field);
    if (!entry.writeOnly) {
      EXPECT_EQ(key->defaultInt, entry.defaultValue) << entry.name;
    }
  }
  // Every integer option of the configuration file, except b_OnlyToFile.
  for (const OptionKey& key : optionKeys()) {
    bool kept = key.inConfigFile && key.type != OptionType::String &&
                std::string(key.key) != "b_OnlyToFile";
    EXPECT_EQ(keys.count(key.key), kept ? 1u : 0u) << key.key;
  }
  EXPECT_EQ(registryOptionValues().size(), 71u);
}

TEST(RegistrySettingsTest, FirstStartGivesDefaultsWithViewStructureOff) {
  MemorySettingsStore store;
  ComparisonOptions options;
  options.b_DoViewStruct = 1;
  loadOptionsFromSettings(store, options);
  const ComparisonOptions defaults;
  for (const OptionKey& key : optionKeys()) {
    if (std::string(key.key) == "b_DoViewStruct") continue;
    EXPECT_EQ(optionValueText(options, key), optionValueText(defaults, key)) << key.key;
  }
  EXPECT_EQ(options.b_DoViewStruct, 0);
  EXPECT_EQ(options.i_AutoSaveLines, 500);
  EXPECT_EQ(options.i_TrigBodyLimit, 2000);
  EXPECT_EQ(store.size(), 0u);  // loading writes nothing
}

TEST(RegistrySettingsTest, SaveOrderAndLoadRoundTrip) {
  RecordingStore store;
  ComparisonOptions saved = changedOptions();
  saved.b_DoViewStruct = 1;
  saved.i_DoingUpgradeScript = 2;
  saveOptionsToSettings(store, saved);
  ASSERT_EQ(store.batches.size(), 1u);
  const auto& written = store.batches[0];
  ASSERT_EQ(written.size(), 71u);
  EXPECT_EQ(written.front().first, "asn");
  EXPECT_EQ(written[3], (std::pair<std::string, std::string>("asl", "999999")));
  EXPECT_EQ(written[39], (std::pair<std::string, std::string>("dvs", "1")));
  EXPECT_EQ(written.back().first, "UpdUpdates");

  ComparisonOptions loaded;
  loaded.b_OnlyToFile = 1;  // not kept in the settings: left alone
  loaded.s_AutoSaveFile = "kept.txt";
  loadOptionsFromSettings(store, loaded);
  for (const RegistryOptionValue& entry : registryOptionValues()) {
    if (entry.writeOnly) continue;
    EXPECT_EQ(loaded.*entry.field, saved.*entry.field) << entry.name;
  }
  EXPECT_EQ(loaded.b_DoViewStruct, 0);  // whatever was saved
  EXPECT_EQ(loaded.s_DashComment, "-- ");
  EXPECT_EQ(loaded.b_OnlyToFile, 1);
  EXPECT_EQ(loaded.s_AutoSaveFile, "kept.txt");
}

TEST(RegistrySettingsTest, UnusableValuesGiveDefaults) {
  MemorySettingsStore store;
  store.setString("Settings", "asl", "0");
  store.setString("Settings", "tbl", "64001");
  store.setString("Settings", "DoingUpgradeScript", "7");
  store.setString("Settings", "dcn", "abc");
  store.setString("Settings", "dda", "5");  // a switch: any nonzero number is on
  store.setString("Settings", "asn", "2");
  ComparisonOptions options;
  loadOptionsFromSettings(store, options);
  EXPECT_EQ(options.i_AutoSaveLines, 500);
  EXPECT_EQ(options.i_TrigBodyLimit, 2000);
  EXPECT_EQ(options.i_DoingUpgradeScript, 0);
  EXPECT_EQ(options.i_DoConsName, 1);
  EXPECT_EQ(options.b_DoData, 5);
  EXPECT_EQ(options.i_AutoSpecialName, 2);
}

TEST(RegistrySettingsTest, RoundTripThroughTheSettingsFile) {
  testing::TempDir dir;
  ComparisonOptions saved = changedOptions();
  {
    IniSettingsStore store(dir.file("settings.ini"));
    saveOptionsToSettings(store, saved);
    UserSettings(store).setDateFormat("DD.MM.YYYY");
  }
  IniSettingsStore store(dir.file("settings.ini"));
  ComparisonOptions loaded;
  loadOptionsFromSettings(store, loaded);
  for (const RegistryOptionValue& entry : registryOptionValues()) {
    if (!entry.writeOnly) {
      EXPECT_EQ(loaded.*entry.field, saved.*entry.field) << entry.name;
    }
  }
  EXPECT_EQ(UserSettings(store).dateFormat(), "DD.MM.YYYY");
  std::string text = testing::readText(dir.file("settings.ini"));
  EXPECT_EQ(text.rfind("[Settings]\nasn=2\nilsn=1\nas=1\nasl=999999\n", 0), 0u) << text;
}

TEST(UserSettingsTest, DialogAndClientValues) {
  MemorySettingsStore store;
  UserSettings settings(store);
  EXPECT_EQ(settings.dateFormat(), "MM/DD/YYYY HH24:MI");
  EXPECT_TRUE(settings.includePctClauses());
  EXPECT_TRUE(settings.includeStorageClauses());
  EXPECT_TRUE(settings.useUniqueIndex());
  EXPECT_EQ(settings.outputBufferSize(), 100000);
  EXPECT_EQ(settings.ociVersion(), 0);
  EXPECT_EQ(settings.ociLibrary(), kDefaultOciLibrary);
  EXPECT_TRUE(settings.savePassword());
  EXPECT_EQ(settings.lastObjectProp(), 0);
  EXPECT_EQ(settings.lastSourceProp(), 0);
  EXPECT_EQ(settings.whereTab(), 1);

  store.setString("Settings", "InclPct", "y");
  store.setString("Settings", "InclStorage", "N");
  store.setString("Settings", "UseUniqueIndex", "Yes");
  EXPECT_FALSE(settings.includePctClauses());
  EXPECT_FALSE(settings.includeStorageClauses());
  EXPECT_FALSE(settings.useUniqueIndex());
  settings.setIncludePctClauses(true);
  settings.setUseUniqueIndex(false);
  EXPECT_EQ(store.find("Settings", "InclPct"), "Y");
  EXPECT_EQ(store.find("Settings", "UseUniqueIndex"), "N");

  settings.setOciVersion(99);
  settings.setOciLibrary("/opt/ocisim/libocisim.so");
  settings.setSavePassword(false);
  settings.setWhereTab(0);
  settings.setLastObjectProp(3);
  EXPECT_EQ(store.find("Settings", "OCIVER"), "99");
  EXPECT_EQ(settings.ociLibrary(), "/opt/ocisim/libocisim.so");
  EXPECT_EQ(store.find("Settings", "Savepass"), "0");
  EXPECT_EQ(settings.whereTab(), 0);
  EXPECT_EQ(settings.lastObjectProp(), 3);
}

TEST(UserSettingsTest, MainWindowRules) {
  MemorySettingsStore store;
  UserSettings settings(store);
  MainWindowSettings first = settings.mainWindow();
  EXPECT_EQ(first.width, 800);
  EXPECT_EQ(first.height, 600);
  EXPECT_FALSE(first.maximized);
  EXPECT_FALSE(first.usePosition);  // the system's default position

  settings.saveMainWindow(1024, 700, false, 120, 80);
  MainWindowSettings saved = settings.mainWindow();
  EXPECT_EQ(saved.width, 1024);
  EXPECT_EQ(saved.height, 700);
  EXPECT_TRUE(saved.usePosition);
  EXPECT_EQ(saved.left, 120);
  EXPECT_EQ(saved.top, 80);
  EXPECT_EQ(store.find("Settings", "BigMaximized"), "0");

  settings.saveMainWindow(199, 99, false, 2500, 80);
  MainWindowSettings odd = settings.mainWindow();
  EXPECT_EQ(odd.width, 800);
  EXPECT_EQ(odd.height, 600);
  EXPECT_FALSE(odd.usePosition);  // LocX 2500 is ignored
  settings.saveMainWindow(200, 100, true, 10, 10);
  MainWindowSettings maximized = settings.mainWindow();
  EXPECT_EQ(maximized.width, 200);
  EXPECT_EQ(maximized.height, 100);
  EXPECT_TRUE(maximized.maximized);
  EXPECT_FALSE(maximized.usePosition);
}

TEST(UserSettingsTest, ReportFont) {
  MemorySettingsStore store;
  UserSettings settings(store);
  ReportFont font = settings.reportFont();
  EXPECT_EQ(font, ReportFont());
  EXPECT_EQ(font.faceName, "Courier New");
  EXPECT_EQ(font.height, 170);
  EXPECT_EQ(font.mask, -1342177261);
  EXPECT_EQ(font.effects, 1073741824);

  font.faceName = "DejaVu Sans Mono";
  font.height = 200;
  font.charSet = 1;
  settings.saveReportFont(font);
  EXPECT_EQ(store.find("Settings", "dwMask"), "-1342177261");
  EXPECT_EQ(settings.reportFont(), font);
  store.setString("Settings", "szFaceName", std::string(40, 'F'));
  EXPECT_EQ(settings.reportFont().faceName, std::string(31, 'F'));
}

}  // namespace
}  // namespace velmora
