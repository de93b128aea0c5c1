#include "cli/cli_args.h"

#include <gtest/gtest.h>

#include "cli/cli_app.h"

namespace velmora::cli {
namespace {

ParseResult parse(std::initializer_list<std::string> arguments) {
  return parseArgs(arguments);
}

TEST(CliArgsTest, Commands) {
  EXPECT_EQ(parse({"--help"}).args.command, Command::Help);
  EXPECT_EQ(parse({"-h"}).args.command, Command::Help);
  EXPECT_EQ(parse({"--version"}).args.command, Command::Version);
  EXPECT_EQ(parse({"run"}).args.command, Command::Run);
  EXPECT_EQ(parse({"demo", "--no-progress"}).args.command, Command::Demo);
  EXPECT_EQ(parse({"run", "--help"}).args.command, Command::Help);
  EXPECT_TRUE(parse({"run"}).ok());
}

TEST(CliArgsTest, UsageErrors) {
  EXPECT_EQ(parse({}).error, "No command given");
  EXPECT_EQ(parse({"compare"}).error, "Unknown command \"compare\"");
  EXPECT_EQ(parse({"--version", "x"}).error, "Unexpected argument \"x\"");
  EXPECT_EQ(parse({"run", "--bogus"}).error, "Unknown argument \"--bogus\"");
  EXPECT_EQ(parse({"run", "extra"}).error, "Unknown argument \"extra\"");
  EXPECT_EQ(parse({"run", "--mode"}).error, "--mode needs a value (report|upgrade|script)");
  EXPECT_EQ(parse({"run", "--mode", "diff"}).error,
            "Invalid value \"diff\" for --mode: expected report, upgrade or script");
  EXPECT_EQ(parse({"run", "--yes=1"}).error, "--yes takes no value");
  EXPECT_EQ(parse({"run", "--output", ""}).error, "--output needs a file name");
  EXPECT_EQ(parse({"run", "--color", "blue"}).error,
            "Invalid value \"blue\" for --color: expected auto, always or never");
  // Option keys and values are checked by the option table.
  EXPECT_EQ(parse({"run", "--set", "b_dodata=0"}).error,
            "Unknown option key \"b_dodata\" (did you mean \"b_DoData\"?)");
  EXPECT_EQ(parse({"run", "--set", "b_DoData=2"}).error,
            "Invalid value \"2\" for b_DoData: expected 0 or 1");
  EXPECT_FALSE(parse({"run", "--set", "b_DoData"}).ok());
  EXPECT_FALSE(parse({"run", "--autosave-lines", "0"}).ok());
  EXPECT_FALSE(parse({"run", "--autosave-lines", "12x"}).ok());
}

TEST(CliArgsTest, RunOptionsApplyInOrder) {
  const ParseResult result =
      parse({"run", "--mode=upgrade", "--set", "b_DoData=0", "--autosave", "a.txt",
             "--autosave-lines", "20", "--set=s_GlobalPassSql1=select 1 from dual", "--no",
             "--color", "never", "--no-progress"});
  ASSERT_TRUE(result.ok()) << result.error;
  const ComparisonOptions& o = result.args.options;
  EXPECT_EQ(o.i_DoingUpgradeScript, 1);
  EXPECT_EQ(o.b_DoData, 0);
  EXPECT_EQ(o.b_AutoSave, 1);
  EXPECT_EQ(o.b_OnlyToFile, 0);
  EXPECT_EQ(o.s_AutoSaveFile, "a.txt");
  EXPECT_EQ(o.i_AutoSaveLines, 20);
  EXPECT_EQ(o.s_GlobalPassSql1, "select 1 from dual");
  EXPECT_EQ(result.args.answer, Answer::No);
  EXPECT_EQ(result.args.colour, ColourMode::Never);
  EXPECT_FALSE(result.args.progress);

  // The output modes exclude each other: both given is a usage error, whichever comes first
  // and however the other was switched on.
  const std::string both =
      "--output and --autosave cannot be used together: --output writes the report only to its "
      "file, --autosave saves a copy of what is printed";
  EXPECT_EQ(parse({"run", "--autosave", "a.txt", "--output", "r.txt"}).error, both);
  EXPECT_EQ(parse({"demo", "-o", "r.txt", "--autosave", "a.txt"}).error, both);
  EXPECT_EQ(parse({"run", "-o", "r.txt", "--set", "b_AutoSave=1"}).error, both);
  const ParseResult output = parse({"run", "--output", "q.txt", "--output", "r.txt"});
  ASSERT_TRUE(output.ok()) << output.error;
  EXPECT_EQ(output.args.options.b_OnlyToFile, 1);
  EXPECT_EQ(output.args.options.b_AutoSave, 0);
  EXPECT_EQ(output.args.options.s_AutoSaveFile, "r.txt");
  const ParseResult shortOutput = parse({"demo", "--mode", "upgrade", "-o", "upgrade.sql"});
  ASSERT_TRUE(shortOutput.ok()) << shortOutput.error;
  EXPECT_EQ(shortOutput.args.options.s_AutoSaveFile, "upgrade.sql");
  EXPECT_EQ(shortOutput.args.options.b_OnlyToFile, 1);
  EXPECT_FALSE(parse({"run", "-x"}).ok());
  EXPECT_EQ(parse({"run", "--mode", "script"}).args.options.i_DoingUpgradeScript, 2);
  EXPECT_EQ(parse({"run", "--yes"}).args.answer, Answer::Yes);
  EXPECT_EQ(parse({"run"}).args.answer, std::nullopt);
}

TEST(CliArgsTest, SelectionListsByKey) {
  const ParseResult parsed =
      parse({"run", "--set", "IgnoreColumns=audit_%,%_ts,,ROW_ID", "--set", "IgnoreTables=t1"});
  ASSERT_TRUE(parsed.ok()) << parsed.error;
  EXPECT_EQ(parsed.args.options.IgnoreColumns.names(),
            (std::vector<std::string>{"AUDIT_%", "%_TS", "ROW_ID"}));
  EXPECT_TRUE(parsed.args.options.isIgnoredColumn("audit_user"));
  EXPECT_FALSE(parsed.args.options.isIgnoredColumn("AUDITED"));
  EXPECT_EQ(parsed.args.options.IgnoreTables.names(), std::vector<std::string>{"T1"});
  // A later --set replaces the list; an empty value empties it.
  EXPECT_TRUE(parse({"run", "--set", "IgnoreTables=A", "--set", "IgnoreTables="})
                  .args.options.IgnoreTables.empty());
  EXPECT_EQ(parse({"run", "--set", "IgnoreColumns=A%B%"}).error,
            "You can have only one expander ('%') per string");
}

TEST(CliArgsTest, ConnectionsAndTheClientLibrary) {
  const ParseResult result = parse({"run", "--db1", "HR:scott/tiger@orcl", "--db2=scott@test",
                                    "--oci-library", "/opt/lib/libocisim.so"});
  ASSERT_TRUE(result.ok()) << result.error;
  EXPECT_EQ(result.args.database1, "HR:scott/tiger@orcl");
  EXPECT_EQ(result.args.database2, "scott@test");
  EXPECT_EQ(result.args.ociLibrary, "/opt/lib/libocisim.so");
  EXPECT_TRUE(parse({"run"}).args.database1.empty());
  // A user and an alias are needed; the text is not repeated (it may hold a password).
  EXPECT_EQ(parse({"run", "--db1", "scott/secret"}).error,
            "Invalid value for --db1: expected [schema:]user[/password]@alias");
  EXPECT_EQ(parse({"run", "--db2", "@orcl"}).error,
            "Invalid value for --db2: expected [schema:]user[/password]@alias");
  EXPECT_EQ(parse({"run", "--db1"}).error, "--db1 needs a value (CONNECT)");
  EXPECT_EQ(parse({"run", "--oci-library="}).error, "--oci-library needs a file name");
}

TEST(CliArgsTest, UsageNamesEveryFlag) {
  const std::string usage = usageText();
  for (const FlagSpec& flag : runFlags()) {
    EXPECT_NE(usage.find(flag.name), std::string::npos) << flag.name;
  }
}

TEST(CliArgsTest, UsageListsEveryExitStatusAndThePasswordAdvice) {
  const std::string usage = usageText();
  const size_t section = usage.find("\nExit status:\n");
  ASSERT_NE(section, std::string::npos);
  for (int status : {kExitFinished, kExitStopped, kExitUsage, kExitUnanswered, kExitNotConnected,
                     kExitRunErrors, kExitOutputFailed, kExitNoClient}) {
    EXPECT_NE(usage.find("\n  " + std::to_string(status) + "  ", section), std::string::npos)
        << status;
  }
  EXPECT_NE(usage.find("128+N", section), std::string::npos);
  EXPECT_NE(usage.find("130 for Ctrl+C", section), std::string::npos);
  // A password on the command line is visible to others: say so and name the alternatives.
  EXPECT_NE(usage.find("(ps)"), std::string::npos);
  EXPECT_NE(usage.find("VELMORA_DB1_PASSWORD / VELMORA_DB2_PASSWORD"), std::string::npos);
  EXPECT_NE(usage.find("ask for it on the terminal"), std::string::npos);
}

}  // namespace
}  // namespace velmora::cli

namespace velmora::cli {
namespace {

TEST(CliArgsTest, SqlCompareTakesItsStatementsAndTheFlagsOfRun) {
  ParseResult parsed = parseArgs({"sql-compare", "--db1", "a@x", "--sql1", "select 1 from dual",
                                  "--sql2=@two.sql", "--set", "b_CompDatCase=1"});
  ASSERT_TRUE(parsed.ok()) << parsed.error;
  EXPECT_EQ(parsed.args.command, Command::SqlCompare);
  EXPECT_EQ(parsed.args.sql1, "select 1 from dual");
  EXPECT_EQ(parsed.args.sql2, "@two.sql");
  EXPECT_EQ(parsed.args.database1, "a@x");
  EXPECT_EQ(parsed.args.options.b_CompDatCase, 1);
  parsed = parseArgs({"sql-compare", "--sql", "select x from t"});
  ASSERT_TRUE(parsed.ok()) << parsed.error;
  EXPECT_EQ(parsed.args.sql1, parsed.args.sql2);

  EXPECT_NE(parseArgs({"sql-compare", "--sql1", "select 1 from dual"}).error, "");
  EXPECT_NE(parseArgs({"sql-compare", "--sql1"}).error, "");
  EXPECT_NE(parseArgs({"sql-compare", "--sql", "select 1 from dual", "--mode", "upgrade"}).error,
            "");
  EXPECT_NE(parseArgs({"run", "--sql", "select 1 from dual"}).error, "") << "for sql-compare only";
}

}  // namespace
}  // namespace velmora::cli
