// The privilege and sequence phases against two ocisim databases: the report, the upgrade script
// applied as SYSTEM after which nothing differs and no sequence of Database 2 went back, and the
// schema:user form, which reads the schema's privileges and never the logged-on DBA's.
#if defined(OCISIM_LIBRARY_PATH) && defined(OCISIM_TOOL_PATH)

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "oracle/database_connection.h"
#include "oracle/ocisim_test_support.h"
#include "privseq/privseq_phases.h"
#include "run/run_driver.h"

namespace velmora {
namespace {

const char* const kDatabase1 = R"(
CREATE USER app IDENTIFIED BY app;
GRANT CREATE SESSION, CREATE TABLE, CREATE SEQUENCE TO app;
GRANT CREATE VIEW TO app WITH ADMIN OPTION;
CREATE ROLE reporting;
GRANT reporting TO app;
CREATE USER peek IDENTIFIED BY peek;
GRANT CREATE SESSION TO peek;
CREATE TABLE system.lookup (id NUMBER);
GRANT SELECT ON system.lookup TO app WITH GRANT OPTION;
CREATE SEQUENCE app.orders_seq START WITH 1000 NOCACHE;
CREATE SEQUENCE app.new_seq START WITH 5 NOCACHE;
CREATE SEQUENCE app.changed_seq START WITH 1 INCREMENT BY 5 MAXVALUE 100000 CACHE 10;
CREATE SEQUENCE app.raised_seq START WITH 500 MINVALUE 500 NOCACHE;
CREATE SEQUENCE app.down_seq INCREMENT BY -1 START WITH -1 MAXVALUE -1 MINVALUE -1000 NOCACHE;
)";

const char* const kDatabase2 = R"(
CREATE USER app IDENTIFIED BY app;
GRANT CREATE SESSION, CREATE TABLE, CREATE PROCEDURE TO app;
CREATE ROLE reporting;
CREATE ROLE legacy_role;
GRANT legacy_role TO app WITH ADMIN OPTION;
CREATE USER peek IDENTIFIED BY peek;
GRANT CREATE SESSION TO peek;
CREATE TABLE system.lookup (id NUMBER);
GRANT SELECT ON system.lookup TO app;
CREATE SEQUENCE app.orders_seq START WITH 1000 NOCACHE;
SELECT app.orders_seq.NEXTVAL FROM dual;
CREATE SEQUENCE app.old_seq;
CREATE SEQUENCE app.changed_seq START WITH 1 INCREMENT BY 1 NOCACHE;
SELECT app.changed_seq.NEXTVAL FROM dual;
SELECT app.changed_seq.NEXTVAL FROM dual;
SELECT app.changed_seq.NEXTVAL FROM dual;
CREATE SEQUENCE app.raised_seq START WITH 1 NOCACHE;
SELECT app.raised_seq.NEXTVAL FROM dual;
CREATE SEQUENCE app.down_seq INCREMENT BY -1 START WITH -1 MAXVALUE -1 MINVALUE -1000 NOCACHE;
)";

class PrivSeqOcisimTest : public ocisimtest::OcisimTest {
 protected:
  void SetUp() override {
    OcisimTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(createDatabase("db1", "19.3.0", kDatabase1));
    ASSERT_NO_FATAL_FAILURE(createDatabase("db2", "19.3.0", kDatabase2));
  }

  std::string compare(int mode, const std::string& login1, const std::string& login2,
                      int ignoreLastNumber = 0) {
    ComparisonOptions run;
    run.i_DoingUpgradeScript = mode;
    run.b_IgnoreSeqLastNum = ignoreLastNumber;
    run.b_DoStruct = run.b_DoIndex = run.b_DoConst = run.b_DoData = 0;
    run.b_DoViewStruct = run.b_DoViewData = run.b_DoTrigger = run.b_DoViewSource = 0;
    run.b_DoFunc = run.b_DoPack = run.b_DoPackBody = run.b_DoStpCode = 0;
    run.b_DoType = run.b_DoTypeBody = 0;
    OracleEnvironment env = environment;
    env.options = &run;
    DatabaseConnection first(1, env, nullptr);
    DatabaseConnection second(2, env, nullptr);
    EXPECT_EQ(first.open(login1 + "@db1"), OpenResult::Connected);
    if (mode != 2) {
      EXPECT_EQ(second.open(login2 + "@db2"), OpenResult::Connected);
    }
    RunDriver driver(run, host, settings);
    registerPrivilegeAndSequencePhases(driver.phases());
    driver.context().setDatabases(&first, mode != 2 ? &second : nullptr);
    EXPECT_TRUE(driver.start());
    driver.waitForEnd();
    EXPECT_EQ(driver.lastOutcome(), RunOutcome::Finished);
    lastErrors = driver.errors().any();
    return driver.document().text();
  }

  // Applies a script as its banners say: the privileges as SYSTEM, the sequences as the schema's
  // owner. Every statement must succeed.
  void apply(const std::string& database, const std::string& script) {
    const size_t sequences = script.rfind("\r\n\r\n\r\n/", script.find("*  sequences"));
    runAs(database, "system/manager", script.substr(0, sequences));
    if (sequences != std::string::npos) runAs(database, "app/app", script.substr(sequences));
  }

  void runAs(const std::string& database, const std::string& login, const std::string& script) {
    std::ofstream(home / "apply.sql") << script << "\nexit\n";
    tool("run " + ocisimtest::shellQuoted(directory(database)) + " -u " + login + " @" +
         ocisimtest::shellQuoted((home / "apply.sql").string()));
  }

  std::string nextValue(const std::string& sequence) {
    auto session = logOn("system", "manager", "db2");
    return session->queryValue("select app." + sequence + ".nextval from dual");
  }

  bool lastErrors = false;
};

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(PrivSeqOcisimTest, ReportShowsBothSidesOfEveryKind) {
  const std::string report = compare(0, "app/app", "app/app");
  EXPECT_FALSE(lastErrors) << report;
  EXPECT_TRUE(has(report, "Differences found in system privileges")) << report;
  EXPECT_TRUE(has(report, "\r\n< CREATE VIEW")) << report;
  EXPECT_TRUE(has(report, "\r\n> CREATE PROCEDURE")) << report;
  EXPECT_TRUE(has(report, "Differences found in role privileges")) << report;
  EXPECT_TRUE(has(report, "> LEGACY_ROLE")) << report;
  EXPECT_TRUE(has(report, "Differences found in object privileges")) << report;
  EXPECT_TRUE(has(report, "Differences found in sequences")) << report;
  EXPECT_TRUE(has(report, "< NEW_SEQ")) << report;
  EXPECT_TRUE(has(report, "> OLD_SEQ")) << report;
  // The same attributes, a different last number: both lines, in name order.
  EXPECT_TRUE(has(report, "< ORDERS_SEQ")) << report;
  EXPECT_TRUE(has(report, "> ORDERS_SEQ")) << report;
  EXPECT_FALSE(has(compare(0, "app/app", "app/app", 1), "ORDERS_SEQ"));
}

TEST_F(PrivSeqOcisimTest, UpgradeScriptAppliesAndNoSequenceGoesBack) {
  const std::string changedBefore = nextValue("changed_seq");
  const std::string raisedBefore = nextValue("raised_seq");
  const std::string script = compare(1, "app/app", "app/app");
  EXPECT_TRUE(has(script, "GRANT CREATE VIEW TO APP WITH ADMIN OPTION;")) << script;
  EXPECT_TRUE(has(script, "REVOKE CREATE PROCEDURE FROM APP;")) << script;
  EXPECT_TRUE(has(script, "REVOKE LEGACY_ROLE FROM APP;")) << script;
  EXPECT_TRUE(has(script, "GRANT SELECT ON SYSTEM.LOOKUP TO APP WITH GRANT OPTION;")) << script;
  EXPECT_TRUE(has(script, "DROP SEQUENCE OLD_SEQ;")) << script;
  EXPECT_TRUE(has(script, "ALTER SEQUENCE CHANGED_SEQ INCREMENT BY 5 MAXVALUE 100000 CACHE 10;"))
      << script;
  EXPECT_FALSE(has(script, "DROP SEQUENCE CHANGED_SEQ")) << script;
  EXPECT_FALSE(has(script, "DROP SEQUENCE ORDERS_SEQ")) << script;
  ASSERT_NO_FATAL_FAILURE(apply("db2", script));

  const std::string again = compare(0, "app/app", "app/app", 1);
  EXPECT_FALSE(has(again, "Differences found")) << again << "\n--- script ---\n" << script;
  // Altered in place: on from where it was. Created again (MINVALUE 500): from Database 1's
  // start, past where Database 2 was.
  EXPECT_GT(std::stoll(nextValue("changed_seq")), std::stoll(changedBefore));
  EXPECT_GE(std::stoll(nextValue("raised_seq")), 500);
  EXPECT_GT(std::stoll(nextValue("raised_seq")), std::stoll(raisedBefore));
}

TEST_F(PrivSeqOcisimTest, ScriptOfDatabaseOneCreatesItsSequencesAndGrants) {
  const std::string script = compare(2, "app/app", "");
  EXPECT_TRUE(has(script, "The following statements will create the sequences")) << script;
  EXPECT_TRUE(has(script,
                  "CREATE SEQUENCE NEW_SEQ INCREMENT BY 1 START WITH 6 NOMAXVALUE "
                  "MINVALUE 1 NOCYCLE NOCACHE NOORDER;"))
      << script;
  EXPECT_TRUE(has(script, "GRANT REPORTING TO APP;")) << script;
}

TEST_F(PrivSeqOcisimTest, AnotherSchemaIsComparedByItsOwnPrivilegesNeverTheDbas) {
  const std::string script = compare(1, "APP:system/manager", "APP:system/manager");
  EXPECT_TRUE(has(script, "GRANT CREATE VIEW TO APP WITH ADMIN OPTION;")) << script;
  EXPECT_TRUE(has(script, "REVOKE CREATE PROCEDURE FROM APP;")) << script;
  // SYSTEM's own privileges and roles are nowhere in it.
  EXPECT_FALSE(has(script, "GRANT DBA")) << script;
  EXPECT_FALSE(has(script, "CREATE USER")) << script;

  // A session that may not read the DBA views compares nothing of those kinds: a notice, no
  // statement, and the run says it did not compare everything.
  const std::string refused = compare(1, "APP:peek/peek", "APP:peek/peek");
  EXPECT_TRUE(has(refused, "could not be read")) << refused;
  EXPECT_FALSE(has(refused, "GRANT CREATE")) << refused;
  EXPECT_FALSE(has(refused, "REVOKE CREATE")) << refused;
  EXPECT_TRUE(lastErrors);
}

}  // namespace
}  // namespace velmora

#endif
