#include "config/configuration_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "base/option_keys.h"
#include "config/legacy_stream_writer.h"
#include "config/test_temp_dir.h"

namespace velmora {
namespace {

using testing::LegacyStreamWriter;
using testing::readText;
using testing::TempDir;
using testing::writeText;

mode_t modeOf(const std::string& path) {
  struct stat info {};
  stat(path.c_str(), &info);
  return info.st_mode & 07777;
}

// Every stored option away from its default (a value of its range the default is not), every
// list with entries, conditions with line breaks.
ComparisonOptions everythingChanged() {
  ComparisonOptions options;
  for (const OptionKey& entry : optionKeys()) {
    if (!entry.inConfigFile) continue;
    if (entry.type == OptionType::String) {
      options.*entry.stringField = std::string(entry.key) + " value";
    } else {
      options.*entry.intField =
          entry.defaultInt == entry.maxValue ? entry.minValue : entry.maxValue;
    }
  }
  options.s_GlobalPassSql1 = "select *\r\nfrom t\r\nwhere x = 1";
  int n = 0;
  for (NameList* list :
       {&options.IgnoreColumns, &options.IgnoreTables, &options.IgnoreViews, &options.IgnoreProcs,
        &options.IgnoreFuncs, &options.IgnorePacks, &options.IgnorePackBodies, &options.IgnoreTypes,
        &options.IgnoreTypeBodies, &options.IgnoreTrigs, &options.IgnoreViewSource}) {
    list->add("NAME_" + std::to_string(n++));
    list->add("OTHER_" + std::to_string(n++));
  }
  options.whereStatements.set("ORDERS", "where ID > 5");
  options.whereStatements.set("ITEMS", "QTY > 0\r\nAND PRICE > 0");
  options.whereStatements.set("EMPTY", "");
  return options;
}

void expectSameStoredOptions(const ComparisonOptions& a, const ComparisonOptions& b) {
  for (const OptionKey& entry : optionKeys()) {
    if (!entry.inConfigFile) continue;
    EXPECT_EQ(optionValueText(a, entry), optionValueText(b, entry)) << entry.key;
  }
  EXPECT_EQ(a.IgnoreColumns, b.IgnoreColumns);
  EXPECT_EQ(a.IgnoreTables, b.IgnoreTables);
  EXPECT_EQ(a.IgnoreViews, b.IgnoreViews);
  EXPECT_EQ(a.IgnoreProcs, b.IgnoreProcs);
  EXPECT_EQ(a.IgnoreFuncs, b.IgnoreFuncs);
  EXPECT_EQ(a.IgnorePacks, b.IgnorePacks);
  EXPECT_EQ(a.IgnorePackBodies, b.IgnorePackBodies);
  EXPECT_EQ(a.IgnoreTypes, b.IgnoreTypes);
  EXPECT_EQ(a.IgnoreTypeBodies, b.IgnoreTypeBodies);
  EXPECT_EQ(a.IgnoreTrigs, b.IgnoreTrigs);
  EXPECT_EQ(a.IgnoreViewSource, b.IgnoreViewSource);
  EXPECT_EQ(a.whereStatements, b.whereStatements);
}

TEST(ConfigurationFileTest, EveryOptionListAndConnectionSurvivesSaveAndLoad) {
  TempDir dir;
  const std::string path = dir.file("nightly.dbo");
  const ComparisonOptions saved = everythingChanged();
  const SavedConnection first{"HR:SCOTT/tiger@orcl", "HR"};
  const SavedConnection second{"SCOTT/tiger@prod", "SCOTT"};
  ASSERT_TRUE(saveConfigurationFile(path, saved, &first, &second).ok());
  EXPECT_EQ(modeOf(path), 0600u);  // the file holds passwords
  EXPECT_EQ(dir.entryCount(), 1u);

  ComparisonOptions current;
  current.b_OwnObjectsOnly = 0;
  current.b_IgnoreColNameCase = 1;
  Configuration loaded;
  const Status status = readConfigurationFile(path, current, &loaded);
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_FALSE(loaded.legacy);
  expectSameStoredOptions(loaded.options, saved);
  EXPECT_EQ(loaded.connection1, "HR:SCOTT/tiger@orcl");
  EXPECT_EQ(loaded.connection2, "SCOTT:SCOTT/tiger@prod");
  // A load resets what is never stored, and derives the prefixes of the mode it read.
  EXPECT_EQ(loaded.options.b_OwnObjectsOnly, 1);
  EXPECT_EQ(loaded.options.b_IgnoreColNameCase, 0);
  EXPECT_EQ(loaded.options.s_StarComment, "*  ");

  // Overwriting keeps the mode the user gave the file.
  chmod(path.c_str(), 0640);
  ASSERT_TRUE(saveConfigurationFile(path, ComparisonOptions(), &first, nullptr).ok());
  EXPECT_EQ(modeOf(path), 0640u);
  EXPECT_EQ(dir.entryCount(), 1u);
}

TEST(ConfigurationFileTest, TextHasTheKeysInTheFilesOrderAndEncodesLineBreaks) {
  ComparisonOptions options;
  options.s_GlobalPassSql1 = "select a\r\nfrom t\nwhere b = 1";
  options.IgnoreTables.add("T1");
  options.whereStatements.set("T1", "A = 1");
  const SavedConnection first{"SCOTT@orcl", ""};
  const std::string text = configurationText(options, &first, nullptr);

  EXPECT_EQ(text.rfind("[Velmora for Oracle]\nVersion=3.0\ni_AutoSpecialName=0\nb_AutoSave=0\n", 0),
            0u)
      << text;
  EXPECT_NE(text.find("s_GlobalPassSql1=select a {nl} from t {nl} where b = 1\n"),
            std::string::npos);
  EXPECT_EQ(text.find("s_GlobalPassSql2"), std::string::npos);  // empty: not written
  EXPECT_EQ(text.find("s_AutoSaveFile"), std::string::npos);
  EXPECT_EQ(text.find("[Database 2]"), std::string::npos);  // not connected: no section
  EXPECT_EQ(text.find("s_DatabaseUser"), std::string::npos);
  EXPECT_EQ(text.find("b_OwnObjectsOnly"), std::string::npos);
  EXPECT_EQ(text.find("b_IgnoreColNameCase"), std::string::npos);
  // Each key once, after the one before it in the table's order.
  size_t last = 0;
  for (const OptionKey& entry : optionKeys()) {
    if (!entry.inConfigFile || (entry.omitWhenEmpty && optionValueText(options, entry).empty()))
      continue;
    const size_t at = text.find("\n" + std::string(entry.key) + "=");
    ASSERT_NE(at, std::string::npos) << entry.key;
    EXPECT_GT(at, last) << entry.key;
    last = at;
  }
  const size_t database1 = text.find("[Database 1]\ns_ConnectString=SCOTT@orcl\n");
  const size_t tables = text.find("[Ignore Tables]\ntab0=T1\n");
  const size_t where = text.find("[Where Statements]\nobj0=T1\nwhere0=A = 1\n");
  EXPECT_NE(database1, std::string::npos) << text;
  EXPECT_LT(database1, tables);
  EXPECT_LT(tables, where);

  Configuration loaded;
  ASSERT_TRUE(parseConfiguration(text, ComparisonOptions(), &loaded).ok());
  EXPECT_EQ(loaded.options.s_GlobalPassSql1, "select a\r\nfrom t\r\nwhere b = 1");

  // Only the schema's own prefix is taken off the text: a ":" of a password stays (found by the
  // fuzz target's save-load-save check).
  const SavedConnection colonInPassword{"scott/ti:ger@orcl", ""};
  ASSERT_TRUE(parseConfiguration(configurationText(options, &colonInPassword, nullptr),
                                 ComparisonOptions(), &loaded)
                  .ok());
  EXPECT_EQ(loaded.connection1, "scott/ti:ger@orcl");
  const SavedConnection schemaAndColon{"HR:scott/ti:ger@orcl", "HR"};
  ASSERT_TRUE(parseConfiguration(configurationText(options, &schemaAndColon, nullptr),
                                 ComparisonOptions(), &loaded)
                  .ok());
  EXPECT_EQ(loaded.connection1, "HR:scott/ti:ger@orcl");
}

TEST(ConfigurationFileTest, AbsentAndEmptyKeysTakeTheirDefaultsAndListsEndAtAGap) {
  ComparisonOptions current = everythingChanged();
  Configuration loaded;
  ASSERT_TRUE(parseConfiguration("[Velmora for Oracle]\r\nVersion=3.0\r\n", current, &loaded).ok());
  expectSameStoredOptions(loaded.options, ComparisonOptions());
  EXPECT_EQ(loaded.options.b_DoViewStruct, 1);
  EXPECT_EQ(loaded.connection1, "");
  EXPECT_EQ(loaded.connection2, "");

  const std::string text =
      "[Velmora for Oracle]\nVersion=3.0\ni_AutoSaveLines=42 lines\nb_DoData=\nb_DoSeq=on\n"
      "i_DoingUpgradeScript=7\ni_TrigBodyLimit=99999999999999999999\nb_DoPriv=-3\n"
      "[Ignore Tables]\ntab0=A\ntab2=C\n"
      "[Where Statements]\nobj0=A\nobj1=B\nwhere1=X = 1 {nl} AND Y = 2\nobj3=D\n"
      "[Database 2]\ns_ConnectString=scott/tiger@prod\n";
  ASSERT_TRUE(parseConfiguration(text, current, &loaded).ok());
  EXPECT_EQ(loaded.options.i_AutoSaveLines, 42);      // the leading digits
  EXPECT_EQ(loaded.options.b_DoData, 1);              // empty is absent: the default
  EXPECT_EQ(loaded.options.b_DoSeq, 0);               // not a number
  EXPECT_EQ(loaded.options.i_DoingUpgradeScript, 0);  // out of range: the default
  EXPECT_EQ(loaded.options.i_TrigBodyLimit, 2000);
  EXPECT_EQ(loaded.options.b_DoPriv, -3);  // a switch: any nonzero value is on
  EXPECT_EQ(loaded.options.IgnoreTables, NameList({"A"}));
  ASSERT_EQ(loaded.options.whereStatements.entries().size(), 2u);
  EXPECT_EQ(loaded.options.whereStatements.entries().at("A"), "");
  EXPECT_EQ(loaded.options.whereStatements.entries().at("B"), "X = 1\r\nAND Y = 2");
  EXPECT_EQ(loaded.connection1, "");
  EXPECT_EQ(loaded.connection2, "scott/tiger@prod");
}

// Damaged input of both formats: the system's message with the reason, and nothing changed.
TEST(ConfigurationFileTest, DamagedFilesAreRefusedAndLeaveTheConfigurationAlone) {
  const std::string good = "[Velmora for Oracle]\nVersion=3.0\n";
  LegacyStreamWriter legacy;
  legacy.configuration(ComparisonOptions(), "a@b", "");
  // A stream of empty lists ends in twelve zero counts: the first becomes 2^31 - 1.
  LegacyStreamWriter empty;
  empty.configuration(ComparisonOptions(), "", "");
  const std::string hugeCount =
      empty.bytes().substr(0, empty.bytes().size() - 48) + std::string("\xff\xff\xff\x7f", 4);
  const struct {
    const char* name;
    std::string bytes;
    const char* reason;
  } cases[] = {
      {"binary garbage", good + "b_DoData=1\x01\x02\xff\n", "binary data"},
      {"a NUL byte", good + std::string("b_DoSeq=0\0x\n", 12), "binary data"},
      {"a repeated key", good + "b_DoData=0\nB_DODATA=1\n", "given twice"},
      {"a repeated section", good + "[Ignore Tables]\ntab0=A\n[ignore tables]\ntab0=B\n",
       "given twice"},
      {"a line of 100000 characters", good + "s_AutoSaveFile=" + std::string(100000, 'x') + "\n",
       "longer than"},
      {"an empty file", "", "ends in the version"},
      {"a text file without a version", "[Velmora for Oracle]\nb_DoData=0\n", "neither"},
      {"a legacy stream cut short", legacy.bytes().substr(0, legacy.bytes().size() - 3),
       "the file ends in"},
      {"a length past the end",
       std::string("\x05"
                   "ab",
                   3),
       "runs past the end"},
      {"a 32-bit length past the end",
       std::string("\xff\xff\xff\xff\xff\xff\x7f"
                   "abc",
                   10),
       "runs past the end"},
      {"a 2 GB count", hugeCount, "does not fit"},
  };
  for (const auto& c : cases) {
    Configuration out;
    out.connection1 = "untouched";
    const Status status = parseConfiguration(c.bytes, ComparisonOptions(), &out);
    ASSERT_FALSE(status.ok()) << c.name;
    EXPECT_EQ(status.message().rfind("Could not open config file.\n", 0), 0u) << c.name;
    EXPECT_NE(status.message().find(c.reason), std::string::npos)
        << c.name << ": " << status.message();
    EXPECT_EQ(out.connection1, "untouched") << c.name;
  }
}

// Large files are read in time proportional to their size: many sections, a long list.
TEST(ConfigurationFileTest, ManySectionsAndLongListsLoadWithoutQuadraticWork) {
  std::string text = "[Velmora for Oracle]\nVersion=3.0\n[Ignore Tables]\n";
  for (int i = 0; i < 100000; ++i)
    text += "tab" + std::to_string(i) + "=T" + std::to_string(i) + "\n";
  for (int i = 0; i < 100000; ++i) text += "[other " + std::to_string(i) + "]\n";
  const auto start = std::chrono::steady_clock::now();
  Configuration loaded;
  ASSERT_TRUE(parseConfiguration(text, ComparisonOptions(), &loaded).ok());
  EXPECT_EQ(loaded.options.IgnoreTables.size(), 100000u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST(ConfigurationFileTest, FilesThatCannotBeReadOrWrittenSayWhy) {
  TempDir dir;
  Configuration out;
  Status status = readConfigurationFile(dir.file("missing.dbo"), ComparisonOptions(), &out);
  ASSERT_FALSE(status.ok());
  EXPECT_NE(status.message().find("missing.dbo"), std::string::npos);
  status = readConfigurationFile(dir.path(), ComparisonOptions(), &out);
  EXPECT_NE(status.message().find("not a regular file"), std::string::npos);
  writeText(dir.file("big.dbo"), std::string(kMaxConfigurationFileBytes + 1, 'x'));
  status = readConfigurationFile(dir.file("big.dbo"), ComparisonOptions(), &out);
  EXPECT_NE(status.message().find("larger than"), std::string::npos);

  // A failed save leaves the old file as it was.
  const std::string path = dir.file("kept.dbo");
  writeText(path, "old content");
  ComparisonOptions tooLong;
  tooLong.s_GlobalPassSql1 = std::string(kMaxConfigurationLine, 'x');
  status = saveConfigurationFile(path, tooLong, nullptr, nullptr);
  ASSERT_FALSE(status.ok());
  EXPECT_NE(status.message().find("s_GlobalPassSql1"), std::string::npos) << status.message();
  EXPECT_EQ(readText(path), "old content");
  status =
      saveConfigurationFile(dir.file("no/such/folder.dbo"), ComparisonOptions(), nullptr, nullptr);
  ASSERT_FALSE(status.ok());
  EXPECT_NE(status.message().find("No such file or directory"), std::string::npos);
}

TEST(ConfigurationFileTest, LegacyStreamsLoadWithEveryFieldAndPrefixLength) {
  ComparisonOptions written = everythingChanged();
  written.IgnoreTables.add(std::string(300, 'M'));              // the 3-byte length prefix
  written.IgnoreViews.add(std::string(70000, 'L'));             // the 7-byte length prefix
  written.whereStatements.set(std::string(254, 'S'), "A = 1");  // the largest 1-byte prefix
  LegacyStreamWriter stream;
  stream.configuration(written, "HR:scott/tiger@orcl", "");

  ComparisonOptions current;
  current.b_UpdDeletes = 0;
  current.b_UpdInserts = 0;
  current.b_UpdUpdates = 1;
  Configuration loaded;
  const Status status = parseConfiguration(stream.bytes(), current, &loaded);
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_TRUE(loaded.legacy);
  EXPECT_EQ(loaded.connection1, "HR:scott/tiger@orcl");
  EXPECT_EQ(loaded.connection2, "");
  // The stream has no fields for these three: they keep their values.
  written.b_UpdDeletes = 0;
  written.b_UpdInserts = 0;
  written.b_UpdUpdates = 1;
  expectSameStoredOptions(loaded.options, written);

  // Every truncation of a good stream is refused, never read past its end.
  for (size_t size = 0; size < stream.bytes().size(); size += 1 + size / 64) {
    Configuration out;
    EXPECT_FALSE(parseLegacyConfiguration(stream.bytes().substr(0, size), current, &out).ok())
        << size;
  }
}

// The fuzz targets' seeds and the damaged files they keep: every damaged_* file is refused with
// the system's message, every other file loads.
TEST(ConfigurationFileTest, TheFuzzCorpusLoadsOrIsRefusedAsItsNameSays) {
#ifndef VELMORA_FUZZ_CORPUS
  GTEST_SKIP() << "no corpus folder given";
#else
  int files = 0;
  for (const char* target : {"config_ini", "legacy_stream"}) {
    const std::filesystem::path folder = std::filesystem::path(VELMORA_FUZZ_CORPUS) / target;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      ++files;
      Configuration out;
      const Status status = readConfigurationFile(entry.path().string(), ComparisonOptions(), &out);
      const bool damaged = entry.path().filename().string().rfind("damaged_", 0) == 0;
      EXPECT_EQ(status.ok(), !damaged) << entry.path() << ": " << status.message();
      if (damaged) {
        EXPECT_EQ(status.message().rfind(kCouldNotOpenConfig, 0), 0u);
      }
    }
  }
  EXPECT_GE(files, 8);
#endif
}

}  // namespace
}  // namespace velmora
