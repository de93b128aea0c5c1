#include "base/option_keys.h"

#include <gtest/gtest.h>

#include <set>

namespace velmora {
namespace {

TEST(OptionKeysTest, TableDefaultsMatchTheRecord) {
  const ComparisonOptions fresh;
  std::set<std::string> seen;
  for (const OptionKey& entry : optionKeys()) {
    EXPECT_TRUE(seen.insert(entry.key).second) << "duplicate key " << entry.key;
    EXPECT_EQ(optionValueText(fresh, entry), optionDefaultText(entry)) << entry.key;
    EXPECT_EQ(entry.key[0], entry.type == OptionType::Switch ? 'b'
                            : entry.type == OptionType::Int  ? 'i'
                                                             : 's')
        << entry.key;
  }
  // 75 keys of the configuration file plus the two options it never stores.
  EXPECT_EQ(seen.size(), 77u);
}

TEST(OptionKeysTest, ConfigurationFileOrder) {
  auto keys = optionKeys();
  EXPECT_STREQ(keys[0].key, "i_AutoSpecialName");
  EXPECT_STREQ(keys[3].key, "s_AutoSaveFile");
  EXPECT_STREQ(keys[22].key, "i_DoingUpgradeScript");
  EXPECT_STREQ(keys[41].key, "b_DoViewStruct");
  EXPECT_STREQ(keys[74].key, "s_GlobalPassSql2");
  for (size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(keys[i].inConfigFile, i < 75) << keys[i].key;
    EXPECT_EQ(keys[i].omitWhenEmpty, keys[i].type == OptionType::String) << keys[i].key;
  }
  EXPECT_EQ(findOptionKey("b_OwnObjectsOnly")->defaultInt, 1);
  EXPECT_FALSE(findOptionKey("b_IgnoreColNameCase")->inConfigFile);
}

TEST(OptionKeysTest, LookupIsExact) {
  ASSERT_NE(findOptionKey("b_DoData"), nullptr);
  EXPECT_EQ(findOptionKey("b_DoData")->intField, &ComparisonOptions::b_DoData);
  EXPECT_EQ(findOptionKey("s_GlobalPassSql1")->stringField, &ComparisonOptions::s_GlobalPassSql1);
  EXPECT_EQ(findOptionKey("b_dodata"), nullptr);
  EXPECT_EQ(findOptionKey("IgnoreTables"), nullptr);  // lists are not keyed options
  EXPECT_EQ(findOptionKey(""), nullptr);
}

TEST(OptionKeysTest, ValidValuesAreStored) {
  ComparisonOptions options;
  std::string error;
  EXPECT_TRUE(setOptionValue(options, "b_DoData", "0", &error)) << error;
  EXPECT_EQ(options.b_DoData, 0);
  EXPECT_TRUE(setOptionValue(options, "i_AutoSaveLines", "1", &error));
  EXPECT_EQ(options.i_AutoSaveLines, 1);
  EXPECT_TRUE(setOptionValue(options, "i_AutoSaveLines", "999999", &error));
  EXPECT_TRUE(setOptionValue(options, "i_TrigBodyLimit", "100", &error));
  EXPECT_TRUE(setOptionValue(options, "i_TrigBodyLimit", "64000", &error));
  EXPECT_EQ(options.i_TrigBodyLimit, 64000);
  EXPECT_TRUE(setOptionValue(options, "i_DoingUpgradeScript", "2", &error));
  EXPECT_TRUE(setOptionValue(options, "s_AutoSaveFile", "  a=b;c \"d\"\t", &error));
  EXPECT_EQ(options.s_AutoSaveFile, "  a=b;c \"d\"\t");
  EXPECT_TRUE(setOptionAssignment(options, "s_GlobalPassSql1=select 1=1 from dual", &error));
  EXPECT_EQ(options.s_GlobalPassSql1, "select 1=1 from dual");
  EXPECT_TRUE(setOptionAssignment(options, "s_AutoSaveFile=", &error));
  EXPECT_EQ(options.s_AutoSaveFile, "");
}

TEST(OptionKeysTest, BadValuesAreRefusedAndLeaveTheRecordAlone) {
  struct Case {
    const char* key;
    const char* text;
  };
  const Case cases[] = {
      {"b_DoData", "2"},
      {"b_DoData", "-1"},
      {"b_DoData", ""},
      {"b_DoData", " 1"},
      {"b_DoData", "1 "},
      {"b_DoData", "+1"},
      {"b_DoData", "yes"},
      {"b_DoData", "1x"},
      {"i_AutoSaveLines", "0"},
      {"i_AutoSaveLines", "1000000"},
      {"i_AutoSaveLines", "99999999999999"},
      {"i_TrigBodyLimit", "99"},
      {"i_TrigBodyLimit", "64001"},
      {"i_DoingUpgradeScript", "3"},
      {"i_DoingUpgradeScript", "-1"},
      {"i_DoConsName", "0x1"},
      {"i_AutoSpecialName", "1.0"},
  };
  for (const Case& c : cases) {
    ComparisonOptions options;
    std::string error;
    EXPECT_FALSE(setOptionValue(options, c.key, c.text, &error)) << c.key << "=" << c.text;
    EXPECT_NE(error.find(std::string("\"") + c.text + "\" for " + c.key), std::string::npos)
        << error;
    const OptionKey& entry = *findOptionKey(c.key);
    EXPECT_EQ(optionValueText(options, entry), optionDefaultText(entry));
  }
}

TEST(OptionKeysTest, ErrorTexts) {
  ComparisonOptions options;
  std::string error;
  EXPECT_FALSE(setOptionValue(options, "b_DoData", "2", &error));
  EXPECT_EQ(error, "Invalid value \"2\" for b_DoData: expected 0 or 1");
  EXPECT_FALSE(setOptionValue(options, "i_AutoSaveLines", "0", &error));
  EXPECT_EQ(error, "Invalid value \"0\" for i_AutoSaveLines: expected an integer from 1 to 999999");
  EXPECT_FALSE(setOptionValue(options, "b_dodata", "1", &error));
  EXPECT_EQ(error, "Unknown option key \"b_dodata\" (did you mean \"b_DoData\"?)");
  EXPECT_FALSE(setOptionValue(options, "b_Nothing", "1", &error));
  EXPECT_EQ(error, "Unknown option key \"b_Nothing\"");
  EXPECT_FALSE(setOptionAssignment(options, "b_DoData", &error));
  EXPECT_EQ(error, "Expected KEY=VALUE, got \"b_DoData\"");
  EXPECT_FALSE(setOptionAssignment(options, "=1", &error));
  EXPECT_EQ(error, "Unknown option key \"\"");
  EXPECT_FALSE(setOptionValue(options, "b_DoData", "7", nullptr));  // no error text wanted
}

TEST(OptionKeysTest, FormatParseRoundTripAndReset) {
  ComparisonOptions changed;
  for (const OptionKey& entry : optionKeys()) {
    if (entry.type == OptionType::String) {
      changed.*entry.stringField = std::string("value of ") + entry.key;
    } else {
      changed.*entry.intField =
          entry.defaultInt == entry.maxValue ? entry.minValue : entry.maxValue;
    }
  }
  ComparisonOptions copy;
  for (const OptionKey& entry : optionKeys()) {
    std::string error;
    EXPECT_TRUE(setOptionValue(copy, entry, optionValueText(changed, entry), &error)) << error;
    EXPECT_NE(optionValueText(copy, entry), optionDefaultText(entry)) << entry.key;
  }
  copy.i_DoingUpgradeScript = 2;
  copy.IgnoreTables.add("KEPT");
  resetOptionsToDefaults(copy);
  for (const OptionKey& entry : optionKeys()) {
    EXPECT_EQ(optionValueText(copy, entry), optionDefaultText(entry)) << entry.key;
  }
  EXPECT_EQ(copy.s_DashComment, "");
  EXPECT_TRUE(copy.IgnoreTables.contains("KEPT"));
}

}  // namespace
}  // namespace velmora
