#include "structure/oracle_dictionary_reader.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include "base/recording_host.h"
#include "config/memory_settings_store.h"
#include "oracle/oracle_session.h"
#include "oracle/testlib/fake_oci_control.h"
#include "oracle/testlib/oci_test_backend.h"
#include "structure/column_text.h"
#include "structure/ddl_text.h"

namespace velmora {
namespace {

// Scripts exact statement texts into the fake client library that the session loads.
class FakeServer {
 public:
  FakeServer() {
    module_ = dlopen(VELMORA_FAKE_OCI_PATH, RTLD_NOW | RTLD_LOCAL);
    addResult_ = reinterpret_cast<decltype(addResult_)>(dlsym(module_, "fakeoci_add_result"));
    bind_ = reinterpret_cast<decltype(bind_)>(dlsym(module_, "fakeoci_result_bind"));
    row_ = reinterpret_cast<decltype(row_)>(dlsym(module_, "fakeoci_result_row"));
  }
  ~FakeServer() { dlclose(module_); }
  bool ready() const { return addResult_ && bind_ && row_; }

  void result(const std::string& sql, int columns,
              std::initializer_list<std::pair<const char*, const char*>> binds) {
    addResult_(sql.c_str(), columns);
    for (const auto& [placeholder, value] : binds) bind_(placeholder, value);
  }
  void row(std::initializer_list<const char*> cells) {
    std::vector<const char*> values(cells);
    row_(values.data());
  }

 private:
  void* module_ = nullptr;
  decltype(&::fakeoci_add_result) addResult_ = nullptr;
  decltype(&::fakeoci_result_bind) bind_ = nullptr;
  decltype(&::fakeoci_result_row) row_ = nullptr;
};

class OracleDictionaryReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    backend = makeFakeOciBackend(VELMORA_FAKE_OCI_PATH);
    backend->reset();
    backend->addUser("SCOTT", "tiger");
    ASSERT_TRUE(server.ready());
    settings.setInt(kSettingsSection, "OCIVER", 99);
    settings.setString(kSettingsSection, "OCIDLL", backend->libraryPath());
    environment.settings = &settings;
    environment.host = &host;
    session = std::make_unique<OracleSession>(environment);
    ASSERT_TRUE(session->connect("scott", "tiger", backend->alias(), false, false));
    reader = std::make_unique<OracleDictionaryReader>(*session);
  }

  std::unique_ptr<OciTestBackend> backend;
  FakeServer server;
  MemorySettingsStore settings;
  RecordingHost host;
  OracleEnvironment environment;
  std::unique_ptr<OracleSession> session;
  std::unique_ptr<OracleDictionaryReader> reader;
};

TEST_F(OracleDictionaryReaderTest, ColumnRowsWithDefaultsCutAndTrimmed) {
  const std::string sql = columnQueryText(0, false, "8");
  server.result(sql, 8, {{":owner", "SCOTT"}, {":name", "EMP"}});
  server.row({"ID", "NUMBER(10)", "22", "10", "0", "NOT NULL ", nullptr, " "});
  server.row({"STATUS", "VARCHAR2(1)", "1", "0", "-1", "    NULL ", "'A' \n  ", " "});
  server.row({"ADDR", "ADDRESS_T", "0", "0", "-1", "    NULL ", "", "SCOTT"});
  QueryRows<ColumnRow> rows = reader->columns(sql, "SCOTT", "EMP");
  EXPECT_EQ(rows.error, "");
  ASSERT_EQ(rows.rows.size(), 3u);
  EXPECT_EQ(rows.rows[0].name, "ID");
  EXPECT_EQ(rows.rows[0].type, "NUMBER(10)");
  EXPECT_EQ(rows.rows[0].length, "22");
  EXPECT_EQ(rows.rows[0].precision, "10");
  EXPECT_EQ(rows.rows[0].scale, "0");
  EXPECT_EQ(rows.rows[0].nullability, "NOT NULL ");
  EXPECT_EQ(rows.rows[0].defaultText, "");
  EXPECT_EQ(rows.rows[1].defaultText, "'A'");
  EXPECT_EQ(rows.rows[2].defaultText, "");
  EXPECT_EQ(rows.rows[2].typeOwner, "SCOTT");

  // Another table (binds not matching) has no rows; an unknown text is an error.
  EXPECT_TRUE(reader->columns(sql, "SCOTT", "DEPT").rows.empty());
  EXPECT_EQ(reader->columns(sql, "SCOTT", "DEPT").error, "");
  QueryRows<ColumnRow> failed = reader->columns("select nothing", "SCOTT", "EMP");
  EXPECT_NE(failed.error.find("ORA-00942"), std::string::npos);
}

TEST_F(OracleDictionaryReaderTest, ManyRowsComeInSeveralBatches) {
  server.result(kConstraintColumnsQuery, 1, {{":owner", "SCOTT"}, {":name", "WIDE_UK"}});
  for (int i = 0; i < 45; ++i) {
    const std::string name = "C" + std::to_string(i);
    server.row({name.c_str()});
  }
  QueryRows<std::string> columns = reader->constraintColumns("SCOTT", "WIDE_UK");
  ASSERT_EQ(columns.rows.size(), 45u);
  EXPECT_EQ(columns.rows[44], "C44");
}

TEST_F(OracleDictionaryReaderTest, IndexAndConstraintQueries) {
  server.result(kIndexQuery, 4, {{":owner1", "SCOTT"}, {":owner2", "SCOTT"}, {":name", "EMP"}});
  server.row({"SCOTT", "    UNIQUE ", "EMP_X", "A"});
  const std::string longCondition = "\"ID\" IN (" + std::string(6000, '1') + ")";
  // The server receives one percent sign where the statement text writes two.
  std::string withoutSystem = kConstraintQueryWithoutSystemNamed;
  withoutSystem.replace(withoutSystem.find("%%"), 2, "%");
  server.result(withoutSystem, 4, {{":owner", "SCOTT"}, {":name", "EMP"}});
  server.row({"EMP_CK", "C", nullptr, longCondition.c_str()});
  server.row({"EMP_FK", "R", "NO ACTION", nullptr});
  server.result(kConstraintQuery, 4, {{":owner", "SCOTT"}, {":name", "EMP"}});
  server.row({"SYS_C0001", "C", nullptr, "\"ID\" IS NOT NULL"});

  QueryRows<IndexRow> indexes = reader->indexes("SCOTT", "EMP");
  ASSERT_EQ(indexes.rows.size(), 1u);
  EXPECT_EQ(indexes.rows[0].uniqueness, "    UNIQUE ");
  EXPECT_EQ(indexes.rows[0].columnName, "A");

  QueryRows<ConstraintRow> named = reader->constraints("SCOTT", "EMP", true);
  ASSERT_EQ(named.rows.size(), 2u);
  EXPECT_EQ(named.rows[0].condition, longCondition);
  EXPECT_EQ(named.rows[1].deleteRule, "NO ACTION");
  EXPECT_EQ(named.rows[1].condition, "");
  QueryRows<ConstraintRow> all = reader->constraints("SCOTT", "EMP", false);
  ASSERT_EQ(all.rows.size(), 1u);
  EXPECT_EQ(all.rows[0].name, "SYS_C0001");
}

// ALL_IND_COLUMNS names a DESC or function key column by its hidden column; the rows carry the
// expression of ALL_IND_EXPRESSIONS at the same index and position instead.
void scriptHiddenIndexColumns(FakeServer& server) {
  server.result(kIndexQuery, 4, {{":owner1", "SCOTT"}, {":owner2", "SCOTT"}, {":name", "EMP"}});
  server.row({"SCOTT", "NOT UNIQUE ", "EMP_A", "SYS_NC00005$"});
  server.row({"SCOTT", "NOT UNIQUE ", "EMP_A", "ID"});
  server.row({"SCOTT", "NOT UNIQUE ", "EMP_B", "ID"});
  server.row({"SCOTT", "NOT UNIQUE ", "EMP_B", "SYS_NC00006$"});
  server.row({"SCOTT", "NOT UNIQUE ", "EMP_C", "SYS_NC00007$"});
  server.result(kIndexExpressionsQuery, 4,
                {{":owner1", "SCOTT"}, {":owner2", "SCOTT"}, {":name", "EMP"}});
  server.row({"EMP_A", "1", "DESC", "\"NAME\""});
  server.row({"EMP_B", "2", "ASC", "UPPER(\"NAME\") "});
}

TEST_F(OracleDictionaryReaderTest, HiddenIndexColumnsBecomeTheirKeyExpressions) {
  scriptHiddenIndexColumns(server);
  QueryRows<IndexRow> indexes = reader->indexes("SCOTT", "EMP");
  EXPECT_EQ(indexes.error, "");
  std::vector<std::string> columns;
  for (const IndexRow& row : indexes.rows) columns.push_back(row.indexName + " " + row.columnName);
  // EMP_C has no expression row: its hidden name stays.
  EXPECT_EQ(columns, (std::vector<std::string>{"EMP_A \"NAME\" DESC", "EMP_A ID", "EMP_B ID",
                                               "EMP_B UPPER(\"NAME\")", "EMP_C SYS_NC00007$"}));
}

TEST_F(OracleDictionaryReaderTest, ReleasesWithoutIndexExpressionsAreNotAskedForThem) {
  backend->setRelease("8.0.5");
  OracleSession old(environment);
  ASSERT_TRUE(old.connect("scott", "tiger", backend->alias(), false, false));
  ASSERT_EQ(old.serverVersion(), "8.0");
  OracleDictionaryReader oldReader(old);
  scriptHiddenIndexColumns(server);
  QueryRows<IndexRow> indexes = oldReader.indexes("SCOTT", "EMP");
  EXPECT_EQ(indexes.error, "");
  ASSERT_EQ(indexes.rows.size(), 5u);
  EXPECT_EQ(indexes.rows[0].columnName, "SYS_NC00005$");
}

TEST_F(OracleDictionaryReaderTest, AFailingExpressionQueryIsAnError) {
  scriptHiddenIndexColumns(server);
  backend->failStatement("from all_ind_expressions", 1, 942);
  QueryRows<IndexRow> indexes = reader->indexes("SCOTT", "EMP");
  EXPECT_NE(indexes.error.find("ORA-00942"), std::string::npos) << indexes.error;
}

TEST_F(OracleDictionaryReaderTest, KeyLookupsBindTableNamesAsGiven) {
  server.result(kPrimaryKeyColumnsQuery, 1, {{":owner", "SCOTT"}, {":name", "Orders"}});
  server.result(kUniqueIndexQuery, 1, {{":owner", "SCOTT"}, {":objname", "Orders"}});
  server.row({"Orders_UX"});
  server.result(kIndexColumnsQuery, 1, {{":owner", "SCOTT"}, {":name", "Orders_UX"}});
  server.row({"A"});
  server.row({"B"});
  EXPECT_TRUE(reader->primaryKeyColumns("SCOTT", "Orders").rows.empty());
  EXPECT_EQ(reader->uniqueIndexName("SCOTT", "Orders"), "Orders_UX");
  EXPECT_EQ(reader->indexColumns("SCOTT", "Orders_UX").rows, (std::vector<std::string>{"A", "B"}));
}

TEST_F(OracleDictionaryReaderTest, NoDataIsNoError) {
  backend->failStatement("all_cons_columns", 1, 1403);
  QueryRows<std::string> columns = reader->constraintColumns("SCOTT", "EMP_PK");
  EXPECT_TRUE(columns.rows.empty());
  EXPECT_EQ(columns.error, "");
  backend->failStatement("all_cons_columns", 1, 1031);
  EXPECT_NE(reader->constraintColumns("SCOTT", "EMP_PK").error.find("ORA-01031"),
            std::string::npos);
}

}  // namespace
}  // namespace velmora
