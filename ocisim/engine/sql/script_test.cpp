#include "engine/sql/script.h"

#include <gtest/gtest.h>

namespace ocisim::sql {
namespace {

std::vector<std::string> statementTexts(const std::vector<ScriptItem>& items) {
  std::vector<std::string> out;
  for (const ScriptItem& i : items) {
    if (i.kind == ScriptItemKind::Statement) out.push_back(i.text);
  }
  return out;
}

TEST(ScriptSplitter, SemicolonAtEndOfLineEndsAStatement) {
  auto items = splitScript(
      "select 1 from dual;\n"
      "select a,\n  b\nfrom t  ;   \n"
      "insert into t values ('a;b');  -- trailing note\n"
      "update t set a = 1; /* done */\n");
  EXPECT_EQ(statementTexts(items),
            (std::vector<std::string>{"select 1 from dual", "select a,\n  b\nfrom t",
                                      "insert into t values ('a;b')", "update t set a = 1"}));
  EXPECT_EQ(items[1].line, 2);
  EXPECT_EQ(items[2].line, 5);
  EXPECT_FALSE(items[0].plsql);
}

TEST(ScriptSplitter, SemicolonsInsideStringsAndCommentsDoNotEnd) {
  auto items = splitScript(
      "insert into t values ('first;\nsecond;\n');\n"
      "select 1 -- not the end;\nfrom dual;\n"
      "select /* a;\n b; */ 2 from dual;\n"
      "select \"odd;name\" from t;\n"
      "select 'it''s;' from dual;\n");
  EXPECT_EQ(statementTexts(items),
            (std::vector<std::string>{"insert into t values ('first;\nsecond;\n')",
                                      "select 1 -- not the end;\nfrom dual",
                                      "select /* a;\n b; */ 2 from dual",
                                      "select \"odd;name\" from t", "select 'it''s;' from dual"}));
  EXPECT_EQ(items[1].line, 4);
  EXPECT_EQ(items[2].line, 6);
}

TEST(ScriptSplitter, CrLfLineEnds) {
  auto items = splitScript("select 1\r\nfrom dual;\r\nbegin\r\n  null;\r\nend;\r\n/\r\n");
  EXPECT_EQ(statementTexts(items),
            (std::vector<std::string>{"select 1\nfrom dual", "begin\n  null;\nend;"}));
  EXPECT_EQ(items[1].line, 3);
  EXPECT_TRUE(items[1].plsql);
}

TEST(ScriptSplitter, BlocksAndStoredCodeEndWithSlash) {
  auto items = splitScript(
      "declare\n  x number;\nbegin\n  x := 1;\nend;\n/\n"
      "CREATE OR REPLACE\nPROCEDURE p IS\nBEGIN\n  NULL;\nEND;\n   /   \n"
      "create trigger t before insert on x for each row\nbegin\n  :new.a := 1;\nend;\n/\n"
      "create or replace type o as object (a number);\n/\n"
      "create or replace view v as select 1 x from dual;\n"
      "create table t (a number)\n/\n");
  EXPECT_EQ(statementTexts(items),
            (std::vector<std::string>{
                "declare\n  x number;\nbegin\n  x := 1;\nend;",
                "CREATE OR REPLACE\nPROCEDURE p IS\nBEGIN\n  NULL;\nEND;",
                "create trigger t before insert on x for each row\nbegin\n  :new.a := 1;\nend;",
                "create or replace type o as object (a number);",
                "create or replace view v as select 1 x from dual", "create table t (a number)"}));
  EXPECT_TRUE(items[1].plsql);
  EXPECT_EQ(items[1].line, 7);
  EXPECT_FALSE(items[4].plsql);
  EXPECT_EQ(items[5].line, 21);
}

TEST(ScriptSplitter, SlashInsideABlockStringIsNotTheEnd) {
  auto items = splitScript("begin\n  x := '\n/\n';\nend;\n/\n");
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].text, "begin\n  x := '\n/\n';\nend;");
}

TEST(ScriptSplitter, SlashBetweenStatementsReruns) {
  auto items = splitScript("insert into t values (1);\n/\n");
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[1].kind, ScriptItemKind::Rerun);
  EXPECT_EQ(items[1].line, 2);
}

TEST(ScriptSplitter, CommentsBetweenStatementsAreSkipped) {
  auto items = splitScript(
      "-- a comment; with a semicolon\n"
      "/* a block\n   comment; */\n"
      "/* one line */ select 1 from dual;\n"
      "REM remark; here\n"
      "rem another\n"
      "\n\n"
      "select 2 from dual;\n");
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[0].text, " select 1 from dual");
  EXPECT_EQ(items[0].line, 4);
  EXPECT_EQ(items[1].command, "REMARK");
  EXPECT_EQ(items[2].command, "REMARK");
  EXPECT_EQ(items[3].line, 9);
}

TEST(ScriptSplitter, SqlPlusCommands) {
  auto items = splitScript(
      "SET SERVEROUTPUT ON\n"
      "set transaction read only;\n"
      "prompt Creating; tables\n"
      "spool out.log\n"
      "whenever sqlerror exit failure\n"
      "col name format a20 -\n  heading 'Name'\n"
      "@other.sql\n"
      "exec dbms_output.put_line('x');\n"
      "execute p(1)\n"
      "exit\n");
  ASSERT_EQ(items.size(), 10u);
  EXPECT_EQ(items[0].command, "SET");
  EXPECT_EQ(items[0].text, "SET SERVEROUTPUT ON");
  EXPECT_EQ(items[1].kind, ScriptItemKind::Statement);
  EXPECT_EQ(items[2].command, "PROMPT");
  EXPECT_EQ(items[2].text, "prompt Creating; tables");
  EXPECT_EQ(items[3].command, "SPOOL");
  EXPECT_EQ(items[4].command, "WHENEVER");
  EXPECT_EQ(items[5].command, "COLUMN");
  EXPECT_EQ(items[5].text, "col name format a20 -\n  heading 'Name'");
  EXPECT_EQ(items[6].command, "@");
  EXPECT_EQ(items[7].text, "BEGIN dbms_output.put_line('x'); END;");
  EXPECT_TRUE(items[7].plsql);
  EXPECT_EQ(items[8].text, "BEGIN p(1); END;");
  EXPECT_EQ(items[9].command, "EXIT");
  EXPECT_EQ(items[9].line, 11);
}

TEST(ScriptSplitter, UnterminatedLastStatement) {
  auto items = splitScript("select 1 from dual;\nselect 2\nfrom dual\n");
  ASSERT_EQ(items.size(), 2u);
  EXPECT_TRUE(items[0].terminated);
  EXPECT_FALSE(items[1].terminated);
  EXPECT_EQ(items[1].text, "select 2\nfrom dual");
  auto block = splitScript("begin\n  null;\nend;");
  ASSERT_EQ(block.size(), 1u);
  EXPECT_FALSE(block[0].terminated);
  EXPECT_TRUE(block[0].plsql);
  EXPECT_TRUE(splitScript("").empty());
  EXPECT_TRUE(splitScript("\n\n-- nothing\n").empty());
}

TEST(ScriptSplitter, GeneratedUpgradeScript) {
  // The shape of a generated upgrade script: banner comments, statements, comment lines
  // inside a multi-line ALTER TABLE, ';' alone on a line.
  const char* script =
      "/************************************************************************************"
      "************************************\r\n*\r\n*  tables\r\n*\r\n***********************"
      "*************************************************************************************"
      "***********/\r\n\r\n"
      "DROP TABLE OLD_T;\r\n"
      "ALTER TABLE T ADD ( C NUMBER DEFAULT 0 NOT NULL  );\r\n"
      "ALTER TABLE T ADD (\r\n\tCHECK\r\n-- original system constraint name was SYS_C001\r\n"
      "\t(\r\n\ta > 0\r\n\t)\r\n)\r\n;\r\n"
      "UPDATE T SET \"NOTE\" = 'x;y'\r\nWHERE \"ID\" = 1 and ROWNUM = 1;\r\n"
      "-- ROWNUM=1 added to prevent updating more than a single row, if multiple records need "
      "be updated, multiple statements will be generated.\r\n";
  auto items = splitScript(script);
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[0].text, "DROP TABLE OLD_T");
  EXPECT_EQ(items[0].line, 7);
  EXPECT_EQ(items[2].text,
            "ALTER TABLE T ADD (\n\tCHECK\n-- original system constraint name was SYS_C001\n"
            "\t(\n\ta > 0\n\t)\n)");
  EXPECT_EQ(items[2].line, 9);
  EXPECT_EQ(items[3].text, "UPDATE T SET \"NOTE\" = 'x;y'\nWHERE \"ID\" = 1 and ROWNUM = 1");
}

}  // namespace
}  // namespace ocisim::sql
