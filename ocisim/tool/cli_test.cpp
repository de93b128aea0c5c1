#include "tool/cli.h"

#include <gtest/gtest.h>

#include <sstream>

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
            "--version takes a release such as 19.3.0, 9.2.0, 8.1.7, 8.0.5 or 7.3.4, not '8'");
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
  ToolArgs create = parseArgs({"create", "/tmp/dbs/demo-1/", "--version", "8.0.5",
                               "--admin-password", "secret"});
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

}  // namespace
}  // namespace ocisim::tool
