// Whole table phases against ocisim databases built with the ocisim tool, reached through
// libocisim.so like a real client: the report of two schemas, and the upgrade script applied to
// Database 2 with the tool, after which a second comparison finds no difference.
#if defined(OCISIM_LIBRARY_PATH) && defined(OCISIM_TOOL_PATH)

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "base/recording_host.h"
#include "config/memory_settings_store.h"
#include "config/test_temp_dir.h"
#include "oracle/database_connection.h"
#include "run/run_driver.h"
#include "structure/structure_phases.h"

namespace velmora {
namespace {

// Runs a command; returns its exit status and appends what it printed to output.
int runCommand(const std::string& command, std::string* output) {
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return -1;
  char buffer[4096];
  size_t read = 0;
  while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
    if (output != nullptr) output->append(buffer, read);
  }
  const int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const char* const kDatabase1 = R"(
CREATE TABLE dept (
  id    NUMBER(4)    CONSTRAINT dept_pk PRIMARY KEY,
  name  VARCHAR2(30) NOT NULL,
  loc   VARCHAR2(20) DEFAULT 'HQ'
);
CREATE TABLE emp (
  id       NUMBER(6)    CONSTRAINT emp_pk PRIMARY KEY,
  name     VARCHAR2(40),
  dept_id  NUMBER(4)    CONSTRAINT emp_dept_fk REFERENCES dept (id) ON DELETE CASCADE,
  salary   NUMBER(8,2)  CONSTRAINT emp_salary_ck CHECK (salary > 0),
  email    VARCHAR2(60)
);
CREATE UNIQUE INDEX emp_email_ux ON emp (email);
CREATE INDEX emp_name_ix ON emp (name, dept_id);
CREATE TABLE project (
  id      NUMBER       CONSTRAINT project_pk PRIMARY KEY,
  emp_id  NUMBER(6)    CONSTRAINT project_emp_fk REFERENCES emp (id),
  lead_id NUMBER(6)    CONSTRAINT project_lead_fk REFERENCES staff (id),
  title   VARCHAR2(50) NOT NULL
);
)";

// Created first in Database 1; in the upgrade script both STAFF and PROJECT are new, and
// PROJECT's key to STAFF must wait until STAFF exists.
const char* const kDatabase1Staff = R"(
CREATE TABLE staff (
  id  NUMBER(6) CONSTRAINT staff_pk PRIMARY KEY
);
)";

// An older release: LEGACY goes away while a column of EMP still references it.
const char* const kDatabase2 = R"(
CREATE TABLE legacy (
  id  NUMBER CONSTRAINT legacy_pk PRIMARY KEY
);
CREATE TABLE dept (
  id        NUMBER(4)    CONSTRAINT dept_pk PRIMARY KEY,
  name      VARCHAR2(20),
  old_code  CHAR(3)
);
CREATE TABLE emp (
  id         NUMBER(6)    CONSTRAINT emp_pk PRIMARY KEY,
  name       VARCHAR2(40) NOT NULL,
  dept_id    NUMBER(4)    CONSTRAINT emp_dept_fk REFERENCES dept (id),
  salary     NUMBER(8,2),
  email      VARCHAR2(60),
  legacy_id  NUMBER       CONSTRAINT emp_legacy_fk REFERENCES legacy (id)
);
CREATE INDEX emp_email_ux ON emp (email);
CREATE INDEX emp_name_ix ON emp (dept_id, name);
CREATE INDEX emp_old_ix ON emp (salary);
)";

class StructureOcisimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(temp.path().empty());
    makeDatabase("db1", std::string(kDatabase1Staff) + kDatabase1);
    makeDatabase("db2", kDatabase2);
  }

  void makeDatabase(const std::string& name, const std::string& schema) {
    const std::string dir = temp.file(name);
    std::string output;
    ASSERT_EQ(runCommand(std::string(OCISIM_TOOL_PATH) + " create " + dir, &output), 0) << output;
    writeFile(name + "_users.sql",
              "CREATE USER scott IDENTIFIED BY tiger;\n"
              "GRANT CREATE SESSION, CREATE TABLE TO scott;\n");
    ASSERT_EQ(runScript(name, "SYSTEM/manager", name + "_users.sql", &output), 0) << output;
    writeFile(name + "_schema.sql", schema);
    ASSERT_EQ(runScript(name, "scott/tiger", name + "_schema.sql", &output), 0) << output;
  }

  void writeFile(const std::string& name, const std::string& text) {
    std::ofstream(temp.file(name), std::ios::binary) << text;
  }

  int runScript(const std::string& database, const std::string& login, const std::string& script,
                std::string* output) {
    return runCommand(std::string(OCISIM_TOOL_PATH) + " run " + temp.file(database) + " -u " +
                          login + " @" + temp.file(script),
                      output);
  }

  // A whole run of the table phases with the given output mode; returns the report text.
  std::string compare(int mode) {
    ComparisonOptions options;
    options.i_DoingUpgradeScript = mode;
    options.b_DoPriv = options.b_DoSeq = options.b_DoData = 0;
    options.b_DoViewStruct = options.b_DoViewData = 0;
    options.b_NoDiffCol = 0;
    options.b_DoCommon = options.b_DoSkipped = 0;
    RecordingHost host;
    MemorySettingsStore settings;
    OracleEnvironment environment;
    environment.settings = &settings;
    environment.host = &host;
    environment.options = &options;
    environment.libraryOverride = OCISIM_LIBRARY_PATH;
    DatabaseConnection first(1, environment, nullptr);
    DatabaseConnection second(2, environment, nullptr);
    EXPECT_EQ(first.open("scott/tiger@" + temp.file("db1")), OpenResult::Connected);
    EXPECT_EQ(second.open("scott/tiger@" + temp.file("db2")), OpenResult::Connected);

    RunDriver driver(options, host, settings);
    registerTablePhases(driver.phases());
    driver.context().setDatabases(&first, &second);
    EXPECT_TRUE(driver.start());
    driver.waitForEnd();
    EXPECT_EQ(driver.lastOutcome(), RunOutcome::Finished);
    return driver.document().text();
  }

  velmora::testing::TempDir temp;
};

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(StructureOcisimTest, ReportShowsTheDrift) {
  const std::string report = compare(0);
  EXPECT_TRUE(contains(report, "4 tables were found in SCOTT@")) << report;
  EXPECT_TRUE(contains(report, "The following tables DO NOT exist in SCOTT@")) << report;
  EXPECT_TRUE(contains(report, "\r\n\t\tLEGACY")) << report;
  EXPECT_TRUE(contains(report, "\r\n\t\tSTAFF")) << report;
  EXPECT_TRUE(contains(report,
                       "The following are the structural differences between COMMON "
                       "tables"))
      << report;
  EXPECT_TRUE(contains(report, "VARCHAR2(30) NOT NULL ")) << report;
  EXPECT_TRUE(contains(report, "The following are the index differences between COMMON tables"))
      << report;
  EXPECT_TRUE(contains(report, "The following are the constraint differences for table EMP"))
      << report;
}

TEST_F(StructureOcisimTest, UpgradeScriptMakesDatabaseTwoLikeDatabaseOne) {
  const std::string script = compare(1);
  writeFile("upgrade.sql", script);
  std::string output;
  ASSERT_EQ(runScript("db2", "scott/tiger", "upgrade.sql", &output), 0)
      << output << "\n--- script ---\n"
      << script;

  const std::string again = compare(0);
  for (const char* difference : {"DO NOT exist", "structural differences", "index differences",
                                 "constraint differences", "error ocurred"}) {
    EXPECT_FALSE(contains(again, difference)) << difference << "\n" << again << "\n" << script;
  }
}

TEST_F(StructureOcisimTest, ScriptOfDatabaseOneRebuildsItInAnEmptyDatabase) {
  const std::string script = compare(2);
  std::string output;
  const std::string empty = temp.file("db3");
  ASSERT_EQ(runCommand(std::string(OCISIM_TOOL_PATH) + " create " + empty, &output), 0);
  writeFile("db3_users.sql",
            "CREATE USER scott IDENTIFIED BY tiger;\n"
            "GRANT CREATE SESSION, CREATE TABLE TO scott;\n");
  ASSERT_EQ(runScript("db3", "SYSTEM/manager", "db3_users.sql", &output), 0) << output;
  writeFile("db3.sql", script);
  ASSERT_EQ(runScript("db3", "scott/tiger", "db3.sql", &output), 0) << output << script;

  // Database 3 now plays Database 2.
  std::filesystem::rename(temp.file("db2"), temp.file("db2.old"));
  std::filesystem::rename(empty, temp.file("db2"));
  const std::string again = compare(0);
  for (const char* difference :
       {"DO NOT exist", "structural differences", "index differences", "constraint differences"}) {
    EXPECT_FALSE(contains(again, difference)) << difference << "\n" << again << "\n" << script;
  }
}

}  // namespace
}  // namespace velmora

#endif
