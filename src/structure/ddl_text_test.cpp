#include "structure/ddl_text.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using Lines = std::vector<std::string>;

TEST(DdlLineWriter, PiecesBuildALineUntilAForcedPieceEndsIt) {
  DdlLineWriter writer;
  writer.write("CREATE TABLE ", false);
  writer.write("T", false);
  writer.write(" (", true);
  writer.write(")", true);
  EXPECT_EQ(writer.lines(), (Lines{"CREATE TABLE T (", ")"}));
}

TEST(DdlLineWriter, APieceThatOverflowsStartsTheNextLine) {
  DdlLineWriter writer;
  std::string seventy(70, 'a');
  writer.write(seventy, false);
  writer.write("0123456789", false);  // exactly 80: still fits
  writer.write("X", false);           // 81: the pending line is printed first
  writer.write("Y", true);
  EXPECT_EQ(writer.lines(), (Lines{seventy + "0123456789", "XY"}));
}

TEST(DdlLineWriter, AForcedPieceThatOverflowsIsPrintedOnItsOwn) {
  DdlLineWriter writer;
  writer.write(std::string(75, 'a'), false);
  writer.write("\tNOT NULL", true);
  writer.write("next", true);
  EXPECT_EQ(writer.lines(), (Lines{std::string(75, 'a'), "\tNOT NULL", "next"}));
}

TEST(DdlLineWriter, AnEmptyPendingLineTakesAPieceOfAnyLength) {
  DdlLineWriter writer;
  std::string longPiece(100, 'b');
  writer.write(longPiece, false);
  writer.write("", false);  // an empty piece never overflows either
  writer.write(";", true);
  EXPECT_EQ(writer.lines(), (Lines{longPiece, ";"}));
}

TEST(DdlLineWriter, LengthCountsCharactersNotBytes) {
  DdlLineWriter writer;
  std::string accented;
  for (int i = 0; i < 75; ++i) accented += "\xC3\xA9";  // 75 characters, 150 bytes
  writer.write(accented, false);
  writer.write("12345", false);  // 80 characters: fits
  writer.write("x", true);
  EXPECT_EQ(writer.lines(), (Lines{accented + "12345", "x"}));
  EXPECT_EQ(ddlTextLength(accented), 75u);
}

TEST(DdlOutputText, TrimsEachLineDropsBlankLinesAndEndsLinesWithCrLf) {
  EXPECT_EQ(ddlOutputText({"CREATE TABLE T (", "\t ", "", "    STORAGE ( \t", "        )"}),
            "CREATE TABLE T (\r\n    STORAGE (\r\n        )\r\n");
  EXPECT_EQ(ddlOutputText({}), "");
}

TEST(DdlSizeText, WholeMegabytesAndKilobytesAreShortened) {
  EXPECT_EQ(ddlSizeText("65536"), "64K");
  EXPECT_EQ(ddlSizeText("2097152"), "2M");
  EXPECT_EQ(ddlSizeText("1048576"), "1M");
  EXPECT_EQ(ddlSizeText("1000"), "1000");
  EXPECT_EQ(ddlSizeText("1536"), "1536");
  EXPECT_EQ(ddlSizeText("3072"), "3K");
  EXPECT_EQ(ddlSizeText("5242880"), "5M");
  EXPECT_EQ(ddlSizeText(""), "");
  EXPECT_EQ(ddlSizeText("12.5"), "12.5");
}

TEST(DdlName, OrdinaryNamesStayBareOthersAreQuoted) {
  EXPECT_EQ(ddlName("EMP"), "EMP");
  EXPECT_EQ(ddlName("ORDER_LINES$2#"), "ORDER_LINES$2#");
  EXPECT_EQ(ddlName("Emp"), "\"Emp\"");
  EXPECT_EQ(ddlName("MY COL"), "\"MY COL\"");
  EXPECT_EQ(ddlName("1ST"), "\"1ST\"");
  EXPECT_EQ(ddlName("_X"), "\"_X\"");
  EXPECT_EQ(ddlName("DATE"), "\"DATE\"");
  EXPECT_EQ(ddlName("ORDER"), "\"ORDER\"");
  EXPECT_EQ(ddlName("ORDERS"), "ORDERS");
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

TEST(DdlWritable, NamesWithControlCharactersOrQuotesCannotStandInAStatement) {
  for (const char* name : {"EMP", "Mixed Case", "caf\xc3\xa9", "A;B", "#1", "/"})
    EXPECT_EQ(unwritableNameReason(name), "") << name;
  EXPECT_EQ(unwritableNameReason("Z\nDROP TABLE VICTIM;\n"), "its name holds a line break");
  EXPECT_EQ(unwritableNameReason("A\rB"), "its name holds a line break");
  EXPECT_EQ(unwritableNameReason("T\x1b]0;x\x07"), "its name holds a control character");
  EXPECT_EQ(unwritableNameReason("A\tB"), "its name holds a control character");
  EXPECT_EQ(unwritableNameReason("A\xc2\x85"
                                 "B"),
            "its name holds a control character");
  EXPECT_EQ(unwritableNameReason("A\"B"), "its name holds a double quote");
  EXPECT_EQ(unwritableNamesReason({"EMP", "ID"}), "");
  EXPECT_EQ(unwritableNamesReason({"EMP", "I\nD", "X\x1b"}), "its name holds a line break");
}

TEST(DdlWritable, ExpressionsMayHoldLinesThatDoNotEndTheStatement) {
  for (const char* text : {"", "SYSDATE", "'a;b'", "a > 0\n  AND b < 1", "x IN (1,\r\n\t2)",
                           "'a' || CHR(10)", "a /\n 2"})
    EXPECT_EQ(unwritableExpressionReason(text), "") << text;
  const std::string breaks = "one of its lines would break the statement: ";
  EXPECT_EQ(unwritableExpressionReason("'x;\nDROP TABLE VICTIM;\n'"),
            breaks + "a line ending in \";\" ends the statement");
  EXPECT_EQ(unwritableExpressionReason("a > 0 ;  "),
            breaks + "a line ending in \";\" ends the statement");
  EXPECT_EQ(unwritableExpressionReason("'a\n\nDROP TABLE VICTIM;'"),
            breaks + "a blank line ends the statement");
  EXPECT_EQ(unwritableExpressionReason("'a\r\n \t\r\nb'"),
            breaks + "a blank line ends the statement");
  EXPECT_EQ(unwritableExpressionReason("1\n/\n"), breaks + "a line of \"/\" ends the statement");
  EXPECT_EQ(unwritableExpressionReason("1\n.\n2"), breaks + "a line of \".\" ends the statement");
  EXPECT_EQ(unwritableExpressionReason("1\n #host rm x\n2"),
            breaks + "a line starting with \"#\" runs as a command");
  EXPECT_EQ(unwritableExpressionReason("'\x1b[2J'"), "it holds a control character");
}

TEST(DdlWritable, TheCommentOfAnUnwrittenStatementStaysOnItsLine) {
  const std::string comment =
      unwrittenStatementComment("table Z\nDROP TABLE VICTIM;\n", "its name holds a line break");
  EXPECT_EQ(comment,
            "-- No statement is written for table Z\\nDROP TABLE VICTIM;\\n: its name holds a line "
            "break");
  EXPECT_TRUE(holdsUnwrittenStatement(comment));
  EXPECT_TRUE(holdsUnwrittenStatement("CREATE TABLE A (\r\n)\r\n;\r\n" + comment + "\r\n"));
  EXPECT_FALSE(holdsUnwrittenStatement("CREATE TABLE A (\r\n)\r\n;\r\n"));
  // A name that reads like the comment is no comment of ours: it never starts a line.
  EXPECT_FALSE(holdsUnwrittenStatement("DROP INDEX \"-- No statement is written for x\";\r\n"));
}

}  // namespace
}  // namespace velmora
