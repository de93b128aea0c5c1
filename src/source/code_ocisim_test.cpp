// OracleCodeReader against ocisim databases reached through libocisim.so: the lists, the sources
// of every kind, a trigger's table and status (also on releases without BASE_OBJECT_TYPE), and the
// dependencies among the schema's objects.
#if defined(OCISIM_LIBRARY_PATH) && defined(OCISIM_TOOL_PATH)

#include <algorithm>

#include "base/recording_host.h"
#include "oracle/database_connection.h"
#include "oracle/ocisim_test_support.h"
#include "source/oracle_code_reader.h"

namespace velmora {
namespace {

const char* const kUsers =
    "CREATE USER app IDENTIFIED BY app;\n"
    "GRANT CREATE SESSION, CREATE TABLE, CREATE VIEW, CREATE PROCEDURE, CREATE TRIGGER, "
    "CREATE TYPE TO app;\n";

const char* const kSchema = R"(
CREATE TABLE t (id NUMBER PRIMARY KEY, name VARCHAR2(20));
CREATE VIEW v_base AS SELECT id, name FROM t;
CREATE VIEW v_top AS SELECT id FROM v_base;
CREATE TRIGGER "lower_trg" BEFORE INSERT ON t FOR EACH ROW
BEGIN
  :new.name := UPPER(:new.name);
END;
/
ALTER TRIGGER "lower_trg" DISABLE;
CREATE TRIGGER t_au AFTER INSERT OR UPDATE OF name, id ON t FOR EACH ROW
BEGIN
  NULL;
END;
/
CREATE TRIGGER v_top_ioi INSTEAD OF INSERT ON v_top
BEGIN
  NULL;
END;
/
CREATE PACKAGE pk AS
  PROCEDURE p;
END;
/
CREATE PACKAGE BODY pk AS
  PROCEDURE p IS BEGIN NULL; END;
END;
/
)";

class CodeReaderOcisim : public ocisimtest::OcisimTest {
 protected:
  std::unique_ptr<DatabaseConnection> open(const std::string& version) {
    createDatabase("db", version, kUsers);
    runScript("db", kSchema, "app/app");
    auto connection = std::make_unique<DatabaseConnection>(1, environment, nullptr);
    EXPECT_EQ(connection->open("app/app@db"), OpenResult::Connected);
    return connection;
  }

  CatalogState state;
  RecordingWriter report;
};

TEST_F(CodeReaderOcisim, ReadsListsSourcesTriggersAndDependencies) {
  auto connection = open("19.3.0");
  OracleCodeReader reader(*connection, state, report, options);
  std::vector<std::string> names;
  ASSERT_TRUE(reader.listObjects("TRIGGER", names));
  EXPECT_EQ(names, (std::vector<std::string>{"T_AU", "V_TOP_IOI", "lower_trg"}));

  std::string text;
  EXPECT_EQ(reader.sourceText("lower_trg", "TRIGGER", text), "");
  EXPECT_EQ(text.rfind("TRIGGER \"lower_trg\" BEFORE\nINSERT\n ON \"T\"\nFOR EACH ROW\nBEGIN", 0),
            0u)
      << text;
  // The columns of UPDATE OF are kept: a trigger written from the text fires as this one does.
  EXPECT_EQ(reader.sourceText("T_AU", "TRIGGER", text), "");
  EXPECT_EQ(text.rfind("TRIGGER \"T_AU\" AFTER\nINSERT OR UPDATE OF ID, NAME\n ON \"T\"\n", 0), 0u)
      << text;
  EXPECT_EQ(reader.sourceText("V_TOP", "VIEW", text), "");
  EXPECT_EQ(text, "VIEW V_TOP (ID ) AS\nSELECT id FROM v_base");

  TriggerBase base;
  EXPECT_EQ(reader.triggerBase("lower_trg", base), "");
  EXPECT_EQ(base.table, "T");
  EXPECT_EQ(base.objectType, "TABLE");
  EXPECT_FALSE(base.enabled);
  EXPECT_EQ(reader.triggerBase("V_TOP_IOI", base), "");
  EXPECT_EQ(base.objectType, "VIEW");
  EXPECT_TRUE(base.enabled);
  EXPECT_NE(reader.triggerBase("GONE", base), "");

  std::vector<Dependency> rows;
  std::string error;
  ASSERT_EQ(reader.dependencies(rows, error), DependencyRead::Read) << error;
  for (const Dependency& expected :
       {Dependency{"V_TOP", "VIEW", "V_BASE", "VIEW"}, Dependency{"V_BASE", "VIEW", "T", "TABLE"},
        Dependency{"V_TOP_IOI", "TRIGGER", "V_TOP", "VIEW"},
        Dependency{"PK", "PACKAGE BODY", "PK", "PACKAGE"}}) {
    EXPECT_NE(std::find(rows.begin(), rows.end(), expected), rows.end()) << expected.name;
  }
  EXPECT_EQ(report.text(), "");
}

TEST_F(CodeReaderOcisim, An80ServerGivesTheTriggerTableWithoutItsKind) {
  auto connection = open("8.0.5");
  OracleCodeReader reader(*connection, state, report, options);
  TriggerBase base;
  EXPECT_EQ(reader.triggerBase("V_TOP_IOI", base), "");
  EXPECT_EQ(base.table, "V_TOP");
  EXPECT_EQ(base.objectType, "");
}

}  // namespace
}  // namespace velmora

#endif
