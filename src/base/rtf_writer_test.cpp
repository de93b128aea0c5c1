#include "base/rtf_writer.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(RtfWriterTest, EscapesSpecialAndNonAsciiCharacters) {
  EXPECT_EQ(rtfEscape("a\\b{c}d"), "a\\\\b\\{c\\}d");
  EXPECT_EQ(rtfEscape("x\r\ny\nz\r"), "x\\par\ny\\par\nz\\par\n");
  EXPECT_EQ(rtfEscape("\tT"), "\\tab T");
  EXPECT_EQ(rtfEscape("caf\xc3\xa9"), "caf\\u233?");                // U+00E9
  EXPECT_EQ(rtfEscape("\xe2\x82\xac"), "\\u8364?");                 // U+20AC
  EXPECT_EQ(rtfEscape("\xef\xbf\xbd"), "\\u-3?");                   // U+FFFD as signed 16 bits
  EXPECT_EQ(rtfEscape("\xf0\x9f\x98\x80"), "\\u-10179?\\u-8704?");  // U+1F600, surrogate pair
  EXPECT_EQ(rtfEscape("\xe9t\xe9"), "\\'e9t\\'e9");                 // Latin-1 bytes, not UTF-8
  EXPECT_EQ(rtfEscape("\xc0\x80"), "\\'c0\\'80");                   // overlong form
  EXPECT_EQ(rtfEscape("\xc3"), "\\'c3");                            // cut sequence
  EXPECT_EQ(rtfEscape(std::string("\x01", 1)), "\\'01");
}

TEST(RtfWriterTest, WritesColourTableFontAndRuns) {
  ReportDocument doc;
  doc.append("< DATABASE 1:  ", ReportColour::Black);
  doc.append("A{1}", ReportColour::Blue);
  doc.append("\r\nHEAD", ReportColour::Red, true);
  doc.append(" tail", ReportColour::Red);
  const std::string rtf = toRtf(doc.snapshot());
  EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
  EXPECT_EQ(rtf.back(), '}');
  EXPECT_NE(rtf.find("{\\fonttbl{\\f0\\fmodern\\fcharset0 Courier New;}}"), std::string::npos);
  EXPECT_NE(rtf.find("{\\colortbl ;\\red42\\green42\\blue255;\\red255\\green0\\blue0;"
                     "\\red9\\green165\\blue46;\\red0\\green0\\blue0;\\red130\\green8\\blue54;"
                     "\\red255\\green255\\blue255;}"),
            std::string::npos);
  EXPECT_NE(rtf.find("\\fs17"), std::string::npos);  // 170 twips = 8.5 points
  EXPECT_NE(rtf.find("\\cf4 < DATABASE 1:  \\cf1 A\\{1\\}\\cf2\\ul \\par\nHEAD\\cf2\\ulnone  tail"),
            std::string::npos)
      << rtf;
  // Braces balance: every "{" of the text is escaped.
  int depth = 0;
  for (size_t i = 0; i < rtf.size(); ++i) {
    if (rtf[i] == '\\') {
      ++i;
      continue;
    }
    if (rtf[i] == '{') ++depth;
    if (rtf[i] == '}') --depth;
    ASSERT_GE(depth, 0);
  }
  EXPECT_EQ(depth, 0);
}

TEST(RtfWriterTest, LineBreakSplitAcrossRunsIsOneParagraph) {
  ReportDocument doc;
  doc.append("a\r", ReportColour::Blue);
  doc.append("\nb", ReportColour::Red);
  const std::string rtf = toRtf(doc.snapshot());
  EXPECT_NE(rtf.find("\\cf1 a\\par\n\\cf2 b"), std::string::npos) << rtf;
}

}  // namespace
}  // namespace velmora
