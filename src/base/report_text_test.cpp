#include "base/report_text.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

using namespace std::string_literals;

TEST(ReportTextTest, ControlCharactersAreWrittenVisibly) {
  EXPECT_EQ(escapeControls("EMP"), "EMP");
  EXPECT_EQ(escapeControls("Z\nDROP TABLE VICTIM;\n"), "Z\\nDROP TABLE VICTIM;\\n");
  EXPECT_EQ(escapeControls("a\r\nb"), "a\\r\\nb") << "a CR LF pair is two characters";
  EXPECT_EQ(escapeControls("\r\n\r"), "\\r\\n\\r");
  EXPECT_EQ(escapeControls("a\tb"), "a\\tb");
  EXPECT_EQ(escapeControls("T\x1b]0;title\x07\x1b[2J"), "T\\x1B]0;title\\x07\\x1B[2J");
  EXPECT_EQ(escapeControls("\x7f\x01\x1f"), "\\x7F\\x01\\x1F");
  EXPECT_EQ(escapeControls("a\0b"s), "a\\x00b") << "NUL does not end the text";
  EXPECT_EQ(escapeControls(""), "");
  EXPECT_EQ(escapeControls("C:\\temp"), "C:\\temp") << "a backslash stays";
}

TEST(ReportTextTest, C1ControlsAreEscapedAndOtherUnicodeKept) {
  EXPECT_EQ(escapeControls("a\xc2\x85z"), "a\\u0085z");  // NEL
  EXPECT_EQ(escapeControls("\xc2\x9b"
                           "2J"),
            "\\u009B2J");  // CSI
  EXPECT_EQ(escapeControls("\xc2\x80\xc2\x9f"), "\\u0080\\u009F");
  EXPECT_EQ(escapeControls("caf\xc3\xa9 \xc2\xa0 \xe2\x82\xac \xf0\x9f\x98\x80"),
            "caf\xc3\xa9 \xc2\xa0 \xe2\x82\xac \xf0\x9f\x98\x80");
}

TEST(ReportTextTest, InvalidUtf8KeepsItsBytesExceptTheC1Range) {
  // A stray byte of the C1 range is a control in the 8-bit sets (0x9B is CSI); others stay.
  EXPECT_EQ(escapeControls("a\x9b"
                           "2Jb"),
            "a\\x9B2Jb");
  EXPECT_EQ(escapeControls("\x85"), "\\x85");
  EXPECT_EQ(escapeControls("\xff\xfe\xc3"), "\xff\xfe\xc3");
  EXPECT_EQ(escapeControls("\xc3(\x80"), "\xc3(\\x80") << "a broken sequence";
  EXPECT_EQ(escapeControls("\xc2"), "\xc2") << "a sequence cut at the end";
  EXPECT_EQ(escapeControls("\xc0\x8a"), "\xc0\\x8A") << "an overlong LF is no LF";
  EXPECT_EQ(escapeControls("\xed\xa0\x80"), "\xed\xa0\\x80") << "a surrogate is not valid";
}

TEST(ReportTextTest, KeptControlsStayAsTheyAre) {
  EXPECT_EQ(escapeControls("a\r\n\tb\x1b[2J\x07", "\r\n\t"), "a\r\n\tb\\x1B[2J\\x07");
  EXPECT_EQ(escapeControls("\xc2\x85", "\r\n\t"), "\\u0085");
}

TEST(ReportTextTest, BlockCommentTextCannotCloseTheComment) {
  EXPECT_EQ(escapeForBlockComment("A*/DROP TABLE VICTIM;/*"), "A*\\/DROP TABLE VICTIM;/*");
  EXPECT_EQ(escapeForBlockComment("*/"), "*\\/");
  EXPECT_EQ(escapeForBlockComment("**/"), "**\\/");
  EXPECT_EQ(escapeForBlockComment("*/*/"), "*\\/*\\/");
  EXPECT_EQ(escapeForBlockComment("a*"), "a*");
  EXPECT_EQ(escapeForBlockComment("/a"), "/a");
  EXPECT_EQ(escapeForBlockComment("*\n/"), "*\\n/");
  for (const std::string text : {"*/", "x*/y", "\n*/\r", "***///"})
    EXPECT_EQ(escapeForBlockComment(text).find("*/"), std::string::npos) << text;
}

TEST(ReportTextTest, TheModeChoosesTheVariant) {
  ComparisonOptions options;
  options.i_DoingUpgradeScript = 0;
  EXPECT_EQ(reportText(options, "A*/B\n"), "A*/B\\n");
  options.i_DoingUpgradeScript = 1;
  EXPECT_EQ(reportText(options, "A*/B\n"), "A*\\/B\\n");
  options.i_DoingUpgradeScript = 2;
  EXPECT_EQ(reportText(options, "A*/B\n"), "A*\\/B\\n");
}

TEST(ReportTextTest, HoldsControlCharacterAgreesWithTheEscape) {
  for (const std::string text : {"EMP", "caf\xc3\xa9", "a\\nb", "\xff"})
    EXPECT_FALSE(holdsControlCharacter(text)) << text;
  for (const std::string text : {"a\nb", "\t", "\x1b", "\x7f", "\xc2\x85", "\x9b"})
    EXPECT_TRUE(holdsControlCharacter(text)) << text;
}

TEST(ReportTextTest, EveryLineOfAMessageStaysInTheComment) {
  EXPECT_EQ(commentLines("-- ", "ORA-00942: table or view does not exist"),
            "ORA-00942: table or view does not exist");
  EXPECT_EQ(commentLines("-- ", "ORA-06550: line 1\nDROP TABLE VICTIM;\r\nlast\rpart"),
            "ORA-06550: line 1\r\n-- DROP TABLE VICTIM;\r\n-- last\r\n-- part");
  EXPECT_EQ(commentLines("-- ", "a\n\nb"), "a\r\n-- \r\n-- b") << "an empty line too";
  EXPECT_EQ(commentLines("-- ", "message\r\n\n"), "message") << "line ends at the end dropped";
  EXPECT_EQ(commentLines("-- ", "tab\there \x1b[2J"), "tab\\there \\x1B[2J");
  EXPECT_EQ(commentLines("", "a\nb"), "a\r\nb") << "the report keeps the lines";
  EXPECT_EQ(commentLines("-- ", ""), "");
}

}  // namespace
}  // namespace velmora
