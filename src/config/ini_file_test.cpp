#include "config/ini_file.h"

#include <gtest/gtest.h>

#include <random>

#include "config/test_temp_dir.h"

namespace velmora {
namespace {

TEST(IniFileTest, ReadsSectionsKeysAndIgnoresTheRest) {
  IniFile file = IniFile::parse(
      "stray=before any section\n"
      "; a comment\n"
      "[Settings]\n"
      "  asl = 750  \n"
      "DateFormat=DD.MM.YYYY HH24:MI\n"
      "# another comment=not a value\n"
      "garbage without equals\n"
      "=no key\n"
      "asl=second of the name\n"
      "[Recent DB List] trailing text\n"
      "0=SCOTT/8149ABE45E17685C@ORCL\n"
      "[settings]\n"
      "late=in a second section of the same name\n");
  EXPECT_EQ(file.get("Settings", "asl"), "750");
  EXPECT_EQ(file.get("SETTINGS", "ASL"), "750");  // names ignore case, the first key wins
  EXPECT_EQ(file.get("Settings", "dateformat"), "DD.MM.YYYY HH24:MI");
  EXPECT_EQ(file.get("recent db list", "0"), "SCOTT/8149ABE45E17685C@ORCL");
  EXPECT_FALSE(file.get("Settings", "# another comment").has_value());
  EXPECT_FALSE(file.get("Settings", "garbage without equals").has_value());
  EXPECT_FALSE(file.get("", "stray").has_value());
  EXPECT_FALSE(file.get("Settings", "late").has_value());  // only the first section is read
  EXPECT_FALSE(file.get("Missing", "asl").has_value());
  EXPECT_EQ(file.sectionNames(),
            (std::vector<std::string>{"Settings", "Recent DB List", "settings"}));
  EXPECT_EQ(file.keys("Settings"), (std::vector<std::string>{"asl", "DateFormat", "asl"}));
}

TEST(IniFileTest, ValuesRoundTripExactly) {
  std::vector<std::string> values = {"",
                                     " ",
                                     "  lead",
                                     "trail  ",
                                     "\ttab\t",
                                     "a=b=c",
                                     "; not a comment",
                                     "# nor",
                                     "\"quoted\"",
                                     "\"",
                                     "\"x",
                                     "x\"",
                                     "\\",
                                     "C:\\temp\\new.txt",
                                     "\\n",
                                     "a\r\nb\nc",
                                     "\"\\\" \\x41\"",
                                     "[x]",
                                     "\x7F\x01",
                                     "\xC3\xA9t\xC3\xA9"};
  std::mt19937 random(7);
  for (int i = 0; i < 300; ++i) {
    std::string value(random() % 12, ' ');
    for (char& c : value) c = static_cast<char>(random() % 256);
    values.push_back(value);
  }
  values.push_back(std::string("nul\0inside", 10));
  IniFile file;
  for (size_t i = 0; i < values.size(); ++i) {
    ASSERT_TRUE(file.set("Values", "k" + std::to_string(i), values[i]));
  }
  IniFile reread = IniFile::parse(file.text());
  for (size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(reread.get("Values", "k" + std::to_string(i)), values[i]) << "value " << i;
  }
  // Every value stays on its own line.
  const std::string text = file.text();
  size_t lines = std::count(text.begin(), text.end(), '\n');
  EXPECT_EQ(lines, values.size() + 1);
}

TEST(IniFileTest, WrittenForms) {
  EXPECT_EQ(IniFile::encodeValue("plain text; a=b"), "plain text; a=b");
  EXPECT_EQ(IniFile::encodeValue("C:\\temp\\new.txt"), "C:\\temp\\new.txt");
  EXPECT_EQ(IniFile::encodeValue(" padded "), "\" padded \"");
  EXPECT_EQ(IniFile::encodeValue("a\r\nb"), "\"a\\r\\nb\"");
  EXPECT_EQ(IniFile::encodeValue("\"x\""), "\"\\\"x\\\"\"");
  EXPECT_EQ(IniFile::encodeValue(std::string("\0\x1F", 2)), "\"\\x00\\x1F\"");
  // Hand-written quoted values: known escapes only, the rest as written.
  EXPECT_EQ(IniFile::decodeValue("\"a\\qb\\x4\\\""), "a\\qb\\x4\\");
  EXPECT_EQ(IniFile::decodeValue("\"\\x41\\x6a\""), "Aj");
  EXPECT_EQ(IniFile::decodeValue("\"\""), "");
}

TEST(IniFileTest, RewriteKeepsDamagedLinesAndLayout) {
  const std::string original =
      "; settings of the tool\n"
      "junk before sections\n"
      "[Settings]\n"
      "asn = 1\n"
      "\x01\x02 binary \xFF damage\n"
      "[broken header\n"
      "asl=500\n"
      "; trailing comment of the section\n"
      "\n"
      "[Other]\n"
      "keep=me\n";
  IniFile file = IniFile::parse(original);
  EXPECT_EQ(file.text(), original);  // an untouched file is written back byte for byte
  ASSERT_TRUE(file.set("settings", "ASL", "600"));
  ASSERT_TRUE(file.set("Settings", "asn", "1"));  // unchanged value: line kept as written
  ASSERT_TRUE(file.set("Settings", "new", "x"));
  ASSERT_TRUE(file.set("Recent DB", "0", ""));
  EXPECT_EQ(file.text(),
            "; settings of the tool\n"
            "junk before sections\n"
            "[Settings]\n"
            "asn = 1\n"
            "\x01\x02 binary \xFF damage\n"
            "[broken header\n"
            "asl=600\n"
            "new=x\n"
            "; trailing comment of the section\n"
            "\n"
            "[Other]\n"
            "keep=me\n"
            "\n"
            "[Recent DB]\n"
            "0=\n");
}

TEST(IniFileTest, NewKeysInSectionsWithoutEntries) {
  IniFile file = IniFile::parse("[A]\n; about A\n\n[B]\n");
  ASSERT_TRUE(file.set("A", "k", "1"));
  ASSERT_TRUE(file.set("B", "k", "2"));
  EXPECT_EQ(file.text(), "[A]\n; about A\nk=1\n\n[B]\nk=2\n");
  IniFile empty;
  ASSERT_TRUE(empty.set("S", "k", "v"));
  EXPECT_EQ(empty.text(), "[S]\nk=v\n");
}

TEST(IniFileTest, WindowsLineEndsAndMissingLastLineEnd) {
  IniFile file = IniFile::parse("[S]\r\na=1\r\nb=2");
  EXPECT_EQ(file.get("S", "b"), "2");
  ASSERT_TRUE(file.set("S", "c", "3"));
  EXPECT_EQ(file.text(), "[S]\r\na=1\r\nb=2\r\nc=3\r\n");
  EXPECT_EQ(IniFile::parse("[S]\na=1\r\n").get("S", "a"), "1");  // stray CR ignored
}

TEST(IniFileTest, NamesTheFormatCannotHoldAreRefused) {
  IniFile file;
  for (const char* bad : {"", " lead", "trail ", "a=b", "[x", ";x", "#x", "a\nb"}) {
    EXPECT_FALSE(file.set("S", bad, "v")) << bad;
  }
  for (const char* bad : {"", "a]b", " S", "a\rb"}) EXPECT_FALSE(file.set(bad, "k", "v")) << bad;
  EXPECT_EQ(file.text(), "");
  EXPECT_TRUE(file.set("Recent DB List", "0", "v"));
  EXPECT_TRUE(file.set("S", "a b.c-d", "v"));
}

TEST(IniFileTest, RemoveKeysAndSections) {
  IniFile file = IniFile::parse("[A]\nx=1\ny=2\n[B]\nz=3\n[a]\nw=4\n");
  EXPECT_TRUE(file.remove("a", "X"));
  EXPECT_FALSE(file.remove("A", "x"));
  EXPECT_FALSE(file.remove("C", "x"));
  EXPECT_TRUE(file.removeSection("A"));  // both sections named A
  EXPECT_FALSE(file.hasSection("a"));
  EXPECT_EQ(file.text(), "[B]\nz=3\n");
}

TEST(IniFileTest, LoadAndSave) {
  testing::TempDir dir;
  std::string path = dir.file("x.ini");
  IniFile file;
  std::string error;
  EXPECT_EQ(IniFile::load(path, &file, &error), ReadStatus::Missing);
  ASSERT_TRUE(file.set("S", "k", " v "));
  ASSERT_TRUE(file.save(path, &error)) << error;
  IniFile loaded;
  EXPECT_EQ(IniFile::load(path, &loaded, &error), ReadStatus::Ok);
  EXPECT_EQ(loaded.get("S", "k"), " v ");
  EXPECT_FALSE(file.save(dir.file("missing/x.ini"), &error));
}

}  // namespace
}  // namespace velmora
