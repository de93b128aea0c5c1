#include "structure/ddl_format.h"

#include <gtest/gtest.h>

#include "structure/ddl_text.h"

namespace velmora {
namespace {

TableFacts tableT() {
  TableFacts table;
  table.owner = "SCOTT";
  table.name = "T";
  SegmentFacts& s = table.segment;
  s.pctFree = "10";
  s.pctUsed = "40";
  s.iniTrans = "0";
  s.maxTrans = "255";
  s.tablespace = "USERS";
  s.initialExtent = "65536";
  s.nextExtent = "2097152";
  s.minExtents = "1";
  s.maxExtents = "2147483645";
  s.pctIncrease = "0";
  s.freelists = "1";
  s.freelistGroups = "1";
  return table;
}

ColumnFacts column(const std::string& name, const std::string& type, const std::string& length,
                   const std::string& precision, const std::string& scale,
                   const std::string& nullable, const std::string& defaultText = "") {
  return ColumnFacts{name, type, length, precision, scale, nullable, defaultText};
}

std::vector<ColumnFacts> threeColumns() {
  return {column("A", "NUMBER", "22", "10", "2", "N"),
          column("B", "VARCHAR2", "30", "", "", "Y", "'X'"), column("C", "DATE", "7", "", "", "Y")};
}

std::string createText(const TableFacts& table, const std::vector<ColumnFacts>& columns,
                       DdlSwitches switches = {}) {
  return ddlOutputText(formatCreateTable(table, columns, switches));
}

const char* const kColumnBlock =
    "CREATE TABLE T (\r\n"
    "\t \"A\"\tNUMBER(10,2)\tNOT NULL\r\n"
    "\t,\"B\"\tVARCHAR2(30) DEFAULT 'X'\t    NULL\r\n"
    "\t,\"C\"\tDATE\t    NULL\r\n"
    ")\r\n";

TEST(FormatCreateTable, ColumnsThenPctAndStorageClauses) {
  EXPECT_EQ(createText(tableT(), threeColumns()),
            std::string(kColumnBlock) +
                "PCTFREE  10\r\nPCTUSED  40\r\nINITRANS 1\r\nMAXTRANS 255\r\n"
                "TABLESPACE USERS\r\n"
                "    STORAGE (\r\n"
                "\tINITIAL 64K\r\n\tNEXT 2M\r\n\tMINEXTENTS 1\r\n\tMAXEXTENTS 2147483645\r\n"
                "\tPCTINCREASE 0\r\n\tFREELISTS 1 FREELIST GROUPS 1\r\n"
                "        )\r\n"
                ";\r\n");
}

TEST(FormatCreateTable, EachSwitchControlsItsOwnClauses) {
  EXPECT_EQ(createText(tableT(), threeColumns(), {false, false}),
            std::string(kColumnBlock) + ";\r\n");
  std::string pctOnly = createText(tableT(), threeColumns(), {true, false});
  EXPECT_NE(pctOnly.find("MAXTRANS 255\r\n;\r\n"), std::string::npos) << pctOnly;
  EXPECT_EQ(pctOnly.find("TABLESPACE"), std::string::npos);
  std::string storageOnly = createText(tableT(), threeColumns(), {false, true});
  EXPECT_NE(storageOnly.find(")\r\nTABLESPACE USERS\r\n"), std::string::npos) << storageOnly;
  EXPECT_EQ(storageOnly.find("PCTFREE"), std::string::npos);
}

TEST(FormatCreateTable, ClausesWithoutADictionaryValueAreLeftOut) {
  TableFacts table = tableT();
  SegmentFacts& s = table.segment;
  s.pctUsed.clear();  // automatic segment space management: no PCTUSED, no free lists
  s.freelists.clear();
  s.freelistGroups.clear();
  s.nextExtent.clear();
  s.pctIncrease.clear();
  std::string text = createText(table, threeColumns());
  EXPECT_EQ(text.substr(std::string(kColumnBlock).size()),
            "PCTFREE  10\r\nINITRANS 1\r\nMAXTRANS 255\r\nTABLESPACE USERS\r\n"
            "    STORAGE (\r\n\tINITIAL 64K\r\n\tMINEXTENTS 1\r\n\tMAXEXTENTS 2147483645\r\n"
            "        )\r\n;\r\n");

  table.segment = SegmentFacts{};  // a table the dictionary has no storage for
  EXPECT_EQ(createText(table, threeColumns()), std::string(kColumnBlock) + ";\r\n");
}

TEST(FormatCreateTable, AColumnLineTooLongContinuesAtTheOverflowingPiece) {
  std::string name(30, 'N');
  std::string defaultText = "'ABCDEFGHIJKLMNOPQRSTUV'";
  TableFacts table = tableT();
  std::string text = createText(table,
                                {column("A", "NUMBER", "22", "", "", "Y"),
                                 column(name, "VARCHAR2", "4000", "", "", "N", defaultText)},
                                {false, false});
  EXPECT_EQ(text,
            "CREATE TABLE T (\r\n"
            "\t \"A\"\tNUMBER\t    NULL\r\n"
            "\t,\"" +
                name + "\"\tVARCHAR2(4000) DEFAULT\r\n" + defaultText +
                "\tNOT NULL\r\n"
                ")\r\n;\r\n");
}

TEST(FormatCreateTable, ALongDefaultIsWrittenInFullOnItsOwnLine) {
  std::string longDefault = "'" + std::string(98, 'x') + "'";
  std::string text = createText(
      tableT(), {column("D", "VARCHAR2", "200", "", "", "N", longDefault)}, {false, false});
  EXPECT_EQ(text,
            "CREATE TABLE T (\r\n"
            "\t \"D\"\tVARCHAR2(200) DEFAULT\r\n" +
                longDefault + "\r\n" +
                "\tNOT NULL\r\n"
                ")\r\n;\r\n");
  EXPECT_EQ(text.find("Skipping"), std::string::npos);
}

TEST(FormatCreateTable, TypeTexts) {
  std::string text = createText(
      tableT(),
      {column("N1", "NUMBER", "22", "", "", "Y"), column("N2", "NUMBER", "22", "5", "0", "Y"),
       column("N3", "NUMBER", "22", "7", "-2", "Y"), column("I", "NUMBER", "22", "", "0", "Y"),
       column("F", "FLOAT", "22", "126", "", "Y"), column("C", "CHAR", "1", "", "", "Y"),
       column("R", "RAW", "16", "", "", "Y"), column("L", "LONG", "0", "", "", "Y"),
       column("TS", "TIMESTAMP(6)", "11", "", "6", "Y")},
      {false, false});
  EXPECT_EQ(text,
            "CREATE TABLE T (\r\n"
            "\t \"N1\"\tNUMBER\t    NULL\r\n"
            "\t,\"N2\"\tNUMBER(5)\t    NULL\r\n"
            "\t,\"N3\"\tNUMBER(7,-2)\t    NULL\r\n"
            "\t,\"I\"\tINTEGER\t    NULL\r\n"
            "\t,\"F\"\tFLOAT(126)\t    NULL\r\n"
            "\t,\"C\"\tCHAR(1)\t    NULL\r\n"
            "\t,\"R\"\tRAW(16)\t    NULL\r\n"
            "\t,\"L\"\tLONG\t    NULL\r\n"
            "\t,\"TS\"\tTIMESTAMP(6)\t    NULL\r\n"
            ")\r\n;\r\n");
}

TEST(FormatCreateTable, OddTableNamesAreQuotedAndZeroTransactionCountsBecomeOne) {
  TableFacts table = tableT();
  table.name = "Order Lines";
  table.segment.maxTrans = "0";
  std::string text = createText(table, threeColumns(), {true, false});
  EXPECT_EQ(text.rfind("CREATE TABLE \"Order Lines\" (\r\n", 0), 0u) << text;
  EXPECT_NE(text.find("INITRANS 1\r\nMAXTRANS 1\r\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace velmora
