#include "tool/cli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tool/script_runner.h"
#include "tool/table_printer.h"
#include "tool/tool_main.h"

namespace ocisim::tool {
namespace {

std::string usageErrorOf(const std::vector<std::string>& args) {
  try {
    parseArgs(args);
  } catch (const UsageError& e) {
    return e.what();
  }
  return "";
}

TEST(CliErrors, MalformedCommandLines) {
  EXPECT_EQ(usageErrorOf({}), "no command given");
  EXPECT_EQ(usageErrorOf({"frob"}), "unknown command: frob");
  EXPECT_EQ(usageErrorOf({"create"}), "'create' needs a database directory");
  EXPECT_EQ(usageErrorOf({"create", "--name", "X"}),
            "'create' needs a database directory before its options");
  EXPECT_EQ(usageErrorOf({"create", "d", "--name"}), "option --name needs a value");
  EXPECT_EQ(usageErrorOf({"create", "d", "--version", "8"}),
            "--version takes one of the releases 19.3.0, 9.2.0, 8.1.7, 8.0.5 and 7.3.4 (patch "
            "numbers may follow, as in 9.2.0.1.0), not '8'");
  EXPECT_NE(usageErrorOf({"create", "d", "--version", "8.1.x"}), "");
  EXPECT_EQ(usageErrorOf({"create", "d", "--frob"}), "unknown option for 'create': --frob");
  EXPECT_EQ(usageErrorOf({"create", "d", "--admin-password", ""}),
            "--admin-password must not be empty");
  EXPECT_EQ(usageErrorOf({"run"}), "'run' needs a database directory");
  EXPECT_EQ(usageErrorOf({"run", "d", "-u", "scott"}), "-u takes USER/PASSWORD, not 'scott'");
  EXPECT_EQ(usageErrorOf({"run", "d", "-u", "/tiger"}), "-u takes USER/PASSWORD, not '/tiger'");
  EXPECT_EQ(usageErrorOf({"run", "d", "-u", "scott/"}), "-u takes USER/PASSWORD, not 'scott/'");
  EXPECT_EQ(usageErrorOf({"run", "d", "a.sql", "b.sql"}), "only one script can be run at a time");
  EXPECT_EQ(usageErrorOf({"run", "d", "@"}), "'@' needs a script file name");
  EXPECT_EQ(usageErrorOf({"run", "d", "@a.sql", "-c", "select 1 from dual"}),
            "give either a script or -c, not both");
  EXPECT_EQ(usageErrorOf({"run", "d", "-c", "x", "-c", "y"}), "-c given twice");
  EXPECT_EQ(usageErrorOf({"run", "d", "-x"}), "unknown option for 'run': -x");
  EXPECT_EQ(usageErrorOf({"dump"}), "'dump' needs a database directory");
  EXPECT_EQ(usageErrorOf({"dump", "d", "extra"}), "unexpected argument for 'dump': extra");
}

TEST(Cli, CreateRunAndDump) {
  ToolArgs create =
      parseArgs({"create", "/tmp/dbs/demo-1/", "--version", "8.0.5", "--admin-password", "secret"});
  EXPECT_EQ(create.command, ToolArgs::Command::Create);
  EXPECT_EQ(create.create.directory, "/tmp/dbs/demo-1/");
  EXPECT_EQ(create.create.name, "DEMO_1");
  EXPECT_EQ(create.create.version, "8.0.5");
  EXPECT_EQ(create.create.adminPassword, "secret");
  EXPECT_EQ(parseArgs({"create", "d", "--name", "ORCL"}).create.name, "ORCL");
  EXPECT_EQ(parseArgs({"create", "d"}).create.version, "19.3.0");

  ToolArgs runScript = parseArgs({"run", "d", "-u", "scott/Tiger@orcl", "@setup.sql", "--echo"});
  EXPECT_EQ(runScript.run.user, "scott");
  EXPECT_EQ(runScript.run.password, "Tiger");
  EXPECT_EQ(runScript.run.scriptPath, "setup.sql");
  EXPECT_TRUE(runScript.run.echo);
  ToolArgs runText = parseArgs({"run", "d", "-c", "select * from dual"});
  EXPECT_TRUE(runText.run.hasCommandText);
  EXPECT_EQ(runText.run.user, "SYSTEM");
  EXPECT_EQ(runText.run.password, "manager");
  EXPECT_EQ(parseArgs({"run", "d", "plain.sql"}).run.scriptPath, "plain.sql");
  EXPECT_EQ(parseArgs({"dump", "d"}).dump.directory, "d");
  EXPECT_EQ(parseArgs({"--help"}).command, ToolArgs::Command::Help);
}

TEST(Cli, OnlyTheFiveReleasesAreAccepted) {
  for (const char* release :
       {"19.3.0", "9.2.0", "8.1.7", "8.0.5", "7.3.4", "9.2.0.1.0", "8.1.7.4"}) {
    EXPECT_EQ(usageErrorOf({"create", "d", "--version", release}), "") << release;
  }
  for (const char* other : {"1.0", "10.2.0", "19.3", "9.2.1", "11.2.0.4.0", "9.2.0.", "9.2.0.1.2.3",
                            "7.3.45", "9.2.0x"}) {
    EXPECT_NE(usageErrorOf({"create", "d", "--version", other}), "") << other;
  }
}

TEST(Cli, DefaultGlobalNames) {
  EXPECT_EQ(defaultGlobalName("db"), "DB");
  EXPECT_EQ(defaultGlobalName("a/b/orders.v2"), "ORDERS_V2");
  EXPECT_EQ(defaultGlobalName("/"), "OCISIM");
  EXPECT_EQ(defaultGlobalName("."), "OCISIM");
}

TEST(Cli, UsageErrorsExitWithTwo) {
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(runTool({"run"}, in, out, err), 2);
  EXPECT_EQ(err.str().rfind("ocisim: 'run' needs a database directory\nusage:", 0), 0u);
  EXPECT_EQ(runTool({"help"}, in, out, err), 0);
  EXPECT_EQ(out.str().rfind("usage:", 0), 0u);
}

TEST(TablePrinter, AlignsNumbersRightAndTextLeft) {
  std::ostringstream out;
  TablePrinter p(out);
  p.columns({{"N", true}, {"TEXT", false}, {"LONGER_NAME", false}});
  p.row({"1", "ab", std::nullopt});
  p.row({"1234", std::nullopt, "x"});
  p.row({"-5", "\xC3\xA9t\xC3\xA9", ""});
  p.finish();
  EXPECT_EQ(out.str(),
            "   N TEXT LONGER_NAME\n"
            "---- ---- -----------\n"
            "   1 ab\n"
            "1234      x\n"
            "  -5 \xC3\xA9t\xC3\xA9\n");
}

TEST(TablePrinter, StreamsRowsAfterTheSample) {
  std::ostringstream out;
  TablePrinter p(out, 2);
  p.columns({{"A", false}});
  p.row({"x"});
  EXPECT_EQ(out.str(), "");
  p.row({"yy"});
  EXPECT_EQ(out.str(), "A\n--\nx\nyy\n");
  p.row({"zzzz"});  // wider than the measured width: printed whole
  p.finish();
  EXPECT_EQ(out.str(), "A\n--\nx\nyy\nzzzz\n");
}

TEST(TablePrinter, NothingWithoutRows) {
  std::ostringstream out;
  TablePrinter p(out);
  p.columns({{"COUNT(*)", true}});
  p.finish();
  EXPECT_EQ(out.str(), "");
  EXPECT_FALSE(p.printedRows());
}

TEST(CommandText, SemicolonsEndStatementsAsLinesWould) {
  EXPECT_EQ(commandTextAsScript("select 1 from dual; select 2 from dual"),
            "select 1 from dual;\n select 2 from dual");
  EXPECT_EQ(commandTextAsScript("select 1 from dual;"), "select 1 from dual;\n");
  // Semicolons in strings, quoted names and comments are text.
  EXPECT_EQ(commandTextAsScript("select 'a;''b' \"x;y\" from dual /* c; */ -- d;\n; drop t"),
            "select 'a;''b' \"x;y\" from dual /* c; */ -- d;\n;\n drop t");
}

TEST(CommandText, PlsqlKeepsItsSemicolonsUpToTheSlashLine) {
  EXPECT_EQ(commandTextAsScript("begin null; end;"), "begin null; end;");
  EXPECT_EQ(commandTextAsScript("DECLARE x number; BEGIN x := 1; END;"),
            "DECLARE x number; BEGIN x := 1; END;");
  EXPECT_EQ(commandTextAsScript("create or replace procedure p is begin null; end;"),
            "create or replace procedure p is begin null; end;");
  EXPECT_EQ(commandTextAsScript("begin null; end;\n/\nselect 1 from dual; select 2 from dual"),
            "begin null; end;\n/\nselect 1 from dual;\n select 2 from dual");
  // Words that only begin like PL/SQL are SQL.
  EXPECT_EQ(
      commandTextAsScript("create table beginning (x number); create view v as select 1 x from "
                          "dual;"),
      "create table beginning (x number);\n create view v as select 1 x from dual;\n");
}

// A database in a temporary folder, made and used through the tool's entry point.
class ToolDatabase : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "ocisim-tool-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root = pattern;
    dir = root + "/db";
    ASSERT_EQ(tool({"create", dir}), 0) << err.str();
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
  int tool(const std::vector<std::string>& args) {
    std::istringstream in;
    out.str("");
    err.str("");
    return runTool(args, in, out, err);
  }
  std::string root;
  std::string dir;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(ToolDatabase, CommandTextRunsEveryStatementAndTheStatusTellsWhetherAllSucceeded) {
  EXPECT_EQ(tool({"run", dir, "-c",
                  "create table t (x number); insert into t values (1); "
                  "insert into t values (2)"}),
            0)
      << out.str();
  EXPECT_EQ(tool({"run", dir, "-c",
                  "select count(*) n from t; select nosuch from t; "
                  "insert into t values (3)"}),
            1);
  EXPECT_NE(out.str().find("ORA-00904"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("1 row created."), std::string::npos) << out.str();  // went on
  EXPECT_EQ(tool({"run", dir, "-c", "select count(*) n from t"}), 0);
  EXPECT_NE(out.str().find("N\n-\n3\n"), std::string::npos) << out.str();
}

TEST_F(ToolDatabase, DumpWritesCommentsAndTheTypesAsDeclared) {
  ASSERT_EQ(tool({"run", dir, "-c",
                  "create table t (a varchar2(3 char), b nvarchar2(4), c timestamp with time "
                  "zone); comment on table t is 'It''s T'; comment on column t.a is 'A'; "
                  "create bitmap index t_b on t (b)"}),
            0)
      << out.str();
  ASSERT_EQ(tool({"dump", dir}), 0) << err.str();
  std::string dump = out.str();
  EXPECT_NE(dump.find("  A VARCHAR2(3 CHAR)\n"), std::string::npos) << dump;
  EXPECT_NE(dump.find("  B NVARCHAR2(4)\n"), std::string::npos) << dump;
  EXPECT_NE(dump.find("  C TIMESTAMP(6) WITH TIME ZONE\n"), std::string::npos) << dump;
  EXPECT_NE(dump.find("(B) BITMAP\n"), std::string::npos) << dump;
  EXPECT_NE(dump.find("COMMENT ON TABLE SYSTEM.T IS 'It''s T'\n"), std::string::npos) << dump;
  EXPECT_NE(dump.find("COMMENT ON COLUMN SYSTEM.T.A IS 'A'\n"), std::string::npos) << dump;
}

TEST_F(ToolDatabase, DumpWritesColumnPrivilegesApartFromTableGrants) {
  ASSERT_EQ(tool({"run", dir, "-c",
                  "create table t (a number, b number); create user u identified by u; "
                  "grant select, update (b) on t to u; "
                  "grant references (a) on t to u with grant option"}),
            0)
      << out.str();
  ASSERT_EQ(tool({"dump", dir}), 0) << err.str();
  std::string dump = out.str();
  EXPECT_NE(dump.find("GRANT SELECT ON SYSTEM.T TO U BY SYSTEM\n"), std::string::npos) << dump;
  EXPECT_NE(dump.find("GRANT UPDATE (B) ON SYSTEM.T TO U BY SYSTEM\n"), std::string::npos)
      << dump;
  EXPECT_NE(dump.find("GRANT REFERENCES (A) ON SYSTEM.T TO U BY SYSTEM WITH GRANT OPTION\n"),
            std::string::npos)
      << dump;
  EXPECT_EQ(dump.find("GRANT UPDATE ON"), std::string::npos) << dump;
}

TEST_F(ToolDatabase, DumpWritesSynonymsThatReloadAndTheOnCommitOfTemporaryTables) {
  ASSERT_EQ(tool({"run", dir, "-c",
                  "create table t (a number); create synonym s for t; "
                  "create public synonym ps for system.s; "
                  "create global temporary table g (a number) on commit preserve rows; "
                  "create global temporary table h (a number); insert into g values (1)"}),
            0)
      << out.str();
  ASSERT_EQ(tool({"dump", dir}), 0) << err.str();
  std::string dump = out.str();
  EXPECT_NE(dump.find("TABLE SYSTEM.G (0 rows) GLOBAL TEMPORARY ON COMMIT PRESERVE ROWS\n"),
            std::string::npos)
      << dump;
  EXPECT_NE(dump.find("TABLE SYSTEM.H (0 rows) GLOBAL TEMPORARY ON COMMIT DELETE ROWS\n"),
            std::string::npos)
      << dump;
  std::string lines;
  std::istringstream in(dump);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("CREATE ", 0) == 0 && line.find(" SYNONYM ") != std::string::npos) {
      lines += line + ";\n";
    }
  }
  EXPECT_EQ(lines,
            "CREATE PUBLIC SYNONYM PS FOR SYSTEM.S;\nCREATE SYNONYM SYSTEM.S FOR SYSTEM.T;\n");
  // The statements make the same synonyms in another database.
  std::string other = root + "/other";
  ASSERT_EQ(tool({"create", other}), 0) << err.str();
  ASSERT_EQ(tool({"run", other, "-c", "create table t (a number); " + lines}), 0) << out.str();
  ASSERT_EQ(tool({"dump", other}), 0) << err.str();
  EXPECT_NE(out.str().find("CREATE PUBLIC SYNONYM PS FOR SYSTEM.S\n"), std::string::npos);
  EXPECT_NE(out.str().find("CREATE SYNONYM SYSTEM.S FOR SYSTEM.T\n"), std::string::npos);
}

TEST_F(ToolDatabase, AJournalDamagedInTheMiddleIsRefusedAndLeftAsItIs) {
  for (int i = 0; i < 6; ++i) {
    ASSERT_EQ(tool({"run", dir, "-c",
                    "create table t" + std::to_string(i) +
                        " (id number primary key, name varchar2(30))"}),
              0);
  }
  std::string journal = dir + "/journal";
  uint64_t size = std::filesystem::file_size(journal);
  {
    std::fstream f(journal, std::ios::in | std::ios::out | std::ios::binary);
    f.seekg(static_cast<std::streamoff>(size / 3));
    char c = 0;
    f.get(c);
    f.seekp(static_cast<std::streamoff>(size / 3));
    f.put(static_cast<char>(c ^ 0x20));
  }
  for (const char* sql : {"select count(*) from user_tables", "create table after (x number)"}) {
    EXPECT_EQ(tool({"run", dir, "-c", sql}), 1);
    EXPECT_NE(err.str().find("ORA-01578"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find(journal), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("offset "), std::string::npos) << err.str();
  }
  EXPECT_EQ(std::filesystem::file_size(journal), size);
}

}  // namespace
}  // namespace ocisim::tool
