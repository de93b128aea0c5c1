// DdlGenerator over a session of the scriptable fake OCI library: the dictionary rows of one
// table are scripted, the generator's text is checked whole.
#include "structure/ddl_generator.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include "oracle/testlib/fake_oci_control.h"
#include "oracle/testlib/session_fixture.h"
#include "structure/ddl_text.h"

namespace velmora {
namespace {

using Binds = std::vector<std::pair<std::string, std::string>>;
using Cells = std::vector<const char*>;  // nullptr is NULL

const char* const kTableSql =
    "select owner, table_name, pct_free, pct_used, ini_trans, max_trans, tablespace_name, "
    "initial_extent, next_extent, min_extents, max_extents, freelists, freelist_groups, "
    "pct_increase from all_tables where owner = :owner and table_name = :name";
const char* const kColumnsSql =
    "select column_name, data_type, data_length, data_precision, data_scale, nullable, "
    "default_length, column_id from all_tab_columns where owner = :owner and table_name = :name "
    "order by column_id";
const char* const kConstraintsSql =
    "select constraint_name, constraint_type, r_owner, r_constraint_name, delete_rule from "
    "all_constraints where owner = :owner and table_name = :name";
const char* const kConditionSql =
    "select search_condition from all_constraints where owner = :bind1 and constraint_name = "
    ":bind2";
const char* const kConsColumnsSql =
    "select constraint_name, column_name from all_cons_columns where owner = :owner and "
    "table_name = :name order by constraint_name, position";
const char* const kReferencedSql =
    "select table_name, column_name from all_cons_columns where owner = :owner and "
    "constraint_name = :name order by position";
const char* const kIndexesSql =
    "select index_name, uniqueness, pct_free, ini_trans, max_trans, tablespace_name, "
    "compression, prefix_length from all_indexes where owner = :owner1 and table_owner = "
    ":owner2 and table_name = :name order by index_name";
const char* const kIndexColumnsSql =
    "select index_name, column_name from all_ind_columns where index_owner = :owner1 and "
    "table_owner = :owner2 and table_name = :name order by index_name, column_position";
const char* const kKeyNamesSql =
    "select constraint_name from all_constraints where owner = :owner and table_name = :name "
    "and constraint_type in ('P','U')";

class DdlGeneratorTest : public SessionFixture {
 protected:
  void SetUp() override {
    SessionFixture::SetUp();
    module_ = dlopen(VELMORA_FAKE_OCI_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module_, nullptr);
    addResult_ = reinterpret_cast<decltype(addResult_)>(dlsym(module_, "fakeoci_add_result"));
    resultBind_ = reinterpret_cast<decltype(resultBind_)>(dlsym(module_, "fakeoci_result_bind"));
    resultRow_ = reinterpret_cast<decltype(resultRow_)>(dlsym(module_, "fakeoci_result_row"));
    scriptEmp();
  }
  void TearDown() override {
    if (module_ != nullptr) dlclose(module_);
  }

  void result(const std::string& sql, const Binds& binds, const std::vector<Cells>& rows,
              int columns) {
    addResult_(sql.c_str(), columns);
    for (const auto& [name, value] : binds) resultBind_(name.c_str(), value.c_str());
    for (const Cells& row : rows) resultRow_(row.data());
  }

  // SCOTT.EMP with a key, a foreign key with a delete rule, a named and a NOT NULL check, a
  // default with the trailing newline the dictionary keeps, and one index besides the key's.
  void scriptEmp() {
    Binds emp = {{":owner", "SCOTT"}, {":name", "EMP"}};
    Binds empIndexes = {{":owner1", "SCOTT"}, {":owner2", "SCOTT"}, {":name", "EMP"}};
    result(kTableSql, emp,
           {{"SCOTT", "EMP", "10", "40", "1", "255", "USERS", "65536", "65536", "1", "2147483645",
             "1", "1", "0"}},
           14);
    result(kColumnsSql, emp,
           {{"EMPNO", "NUMBER", "22", "4", "0", "N", nullptr, "1"},
            {"ENAME", "VARCHAR2", "10", nullptr, nullptr, "Y", nullptr, "2"},
            {"DEPTNO", "NUMBER", "22", "2", "0", "Y", nullptr, "3"},
            {"HIREDATE", "DATE", "7", nullptr, nullptr, "Y", "8", "4"}},
           8);
    result(
        "select data_default from all_tab_columns where owner = :bind1 and table_name = :bind2 "
        "and column_id = 4",
        {{":bind1", "SCOTT"}, {":bind2", "EMP"}}, {{"sysdate \n"}}, 1);
    result(kConstraintsSql, emp,
           {{"SYS_C001", "C", nullptr, nullptr, nullptr},
            {"FK_EMP_DEPT", "R", "SCOTT", "PK_DEPT", "CASCADE"},
            {"CK_EMPNO", "C", nullptr, nullptr, nullptr},
            {"PK_EMP", "P", nullptr, nullptr, nullptr}},
           5);
    result(std::string(kConstraintsSql) + " and constraint_name = :cname",
           {{":owner", "SCOTT"}, {":name", "EMP"}, {":cname", "FK_EMP_DEPT"}},
           {{"FK_EMP_DEPT", "R", "SCOTT", "PK_DEPT", "CASCADE"}}, 5);
    result(kConditionSql, {{":bind1", "SCOTT"}, {":bind2", "SYS_C001"}},
           {{"\"EMPNO\" IS NOT NULL"}}, 1);
    result(kConditionSql, {{":bind1", "SCOTT"}, {":bind2", "CK_EMPNO"}}, {{"EMPNO > 0"}}, 1);
    result(kConsColumnsSql, emp,
           {{"CK_EMPNO", "EMPNO"},
            {"FK_EMP_DEPT", "DEPTNO"},
            {"PK_EMP", "EMPNO"},
            {"SYS_C001", "EMPNO"}},
           2);
    result(kReferencedSql, {{":owner", "SCOTT"}, {":name", "PK_DEPT"}}, {{"DEPT", "DEPTNO"}}, 2);
    result(kIndexesSql, empIndexes,
           {{"IX_EMP_NAME", "NONUNIQUE", "10", "2", "255", "USERS", "DISABLED", nullptr},
            {"PK_EMP", "UNIQUE", "10", "2", "255", "INDX", "DISABLED", nullptr}},
           8);
    result(kIndexColumnsSql, empIndexes, {{"IX_EMP_NAME", "ENAME"}, {"PK_EMP", "EMPNO"}}, 2);
    result(kKeyNamesSql, emp, {{"PK_EMP"}}, 1);
  }

  // SCOTT.SALES: an index on a DESC column and a plain one, one on a function and a DESC
  // column, one whose hidden column has no expression row. ALL_IND_COLUMNS names hidden
  // columns; their text is the expression of ALL_IND_EXPRESSIONS.
  void scriptSales() {
    Binds sales = {{":owner", "SCOTT"}, {":name", "SALES"}};
    Binds salesIndexes = {{":owner1", "SCOTT"}, {":owner2", "SCOTT"}, {":name", "SALES"}};
    result(kTableSql, sales,
           {{"SCOTT", "SALES", "10", "40", "1", "255", "USERS", "65536", "65536", "1", "2147483645",
             "1", "1", "0"}},
           14);
    result(kIndexesSql, salesIndexes,
           {{"SALES_AMOUNT_IX", "NONUNIQUE", "10", "2", "255", "USERS", "DISABLED", nullptr},
            {"SALES_LOST_IX", "NONUNIQUE", "10", "2", "255", "USERS", "DISABLED", nullptr},
            {"SALES_UPPER_IX", "NONUNIQUE", "10", "2", "255", "USERS", "DISABLED", nullptr}},
           8);
    result(kIndexColumnsSql, salesIndexes,
           {{"SALES_AMOUNT_IX", "SYS_NC00005$"},
            {"SALES_AMOUNT_IX", "ID"},
            {"SALES_LOST_IX", "SYS_NC00009$"},
            {"SALES_UPPER_IX", "SYS_NC00006$"},
            {"SALES_UPPER_IX", "SYS_NC00007$"}},
           2);
    result(kIndexExpressionsQuery, salesIndexes,
           {{"SALES_AMOUNT_IX", "1", "DESC", "\"AMOUNT\""},
            {"SALES_UPPER_IX", "1", "ASC", "UPPER(\"NAME\")  "},
            {"SALES_UPPER_IX", "2", "DESC", "\"SOLD\""}},
           4);
    result(kKeyNamesSql, sales, {}, 1);
  }

  std::string tableText(int mode) {
    options.i_DoingUpgradeScript = mode;
    auto session = logOn();
    DdlGenerator generator(*session, settings, options);
    return generator.scriptTable("SCOTT", "EMP");
  }

  void* module_ = nullptr;
  decltype(&fakeoci_add_result) addResult_ = nullptr;
  decltype(&fakeoci_result_bind) resultBind_ = nullptr;
  decltype(&fakeoci_result_row) resultRow_ = nullptr;
};

const char* const kCreateEmp =
    "CREATE TABLE EMP (\r\n"
    "\t \"EMPNO\"\tNUMBER(4)\tNOT NULL\r\n"
    "\t,\"ENAME\"\tVARCHAR2(10)\t    NULL\r\n"
    "\t,\"DEPTNO\"\tNUMBER(2)\t    NULL\r\n"
    "\t,\"HIREDATE\"\tDATE DEFAULT sysdate\t    NULL\r\n"
    ")\r\n"
    "PCTFREE  10\r\nPCTUSED  40\r\nINITRANS 1\r\nMAXTRANS 255\r\n"
    "TABLESPACE USERS\r\n"
    "    STORAGE (\r\n\tINITIAL 64K\r\n\tNEXT 64K\r\n\tMINEXTENTS 1\r\n\tMAXEXTENTS 2147483645\r\n"
    "\tPCTINCREASE 0\r\n\tFREELISTS 1 FREELIST GROUPS 1\r\n        )\r\n"
    ";\r\n";

const char* const kForeignKey =
    "ALTER TABLE EMP ADD (\r\n\tCONSTRAINT FK_EMP_DEPT\r\n\tFOREIGN KEY\r\n"
    "\t            (\r\n\t            DEPTNO\r\n\t            )\r\n"
    "\tREFERENCES DEPT\r\n"
    "\t            (\r\n\t            DEPTNO\r\n\t            )\r\n"
    "ON DELETE CASCADE\r\n)\r\n;\r\n";

const char* const kIndex =
    "CREATE INDEX IX_EMP_NAME ON EMP\r\n\t(\r\n\t ENAME\r\n\t)\r\n"
    "\tPCTFREE    10\r\n\tINITRANS   2\r\n\tMAXTRANS   255\r\n\tTABLESPACE USERS\r\n;\r\n";

TEST_P(DdlGeneratorTest, UpgradeScriptTableComesWithItsConstraintsThenItsIndexes) {
  EXPECT_EQ(tableText(1),
            std::string(kCreateEmp) + "\r\n" +
                "ALTER TABLE EMP ADD (\r\n\tCONSTRAINT PK_EMP\r\n\tPRIMARY KEY\r\n"
                "\t            (\r\n\t            EMPNO\r\n\t            )\r\n"
                "\tUSING INDEX\r\n\tPCTFREE    10\r\n\tINITRANS   2\r\n\tMAXTRANS   255\r\n"
                "\tTABLESPACE INDX\r\n)\r\n;\r\n" +
                kForeignKey +
                "ALTER TABLE EMP ADD (\r\n\tCONSTRAINT CK_EMPNO\r\n\tCHECK\r\n"
                "\t(\r\n\tEMPNO > 0\r\n\t)\r\n)\r\n;\r\n" +
                kIndex);
  EXPECT_TRUE(host.messages.empty());
}

TEST_P(DdlGeneratorTest, ScriptOfDatabase1WritesTheTableAlone) {
  EXPECT_EQ(tableText(2), std::string(kCreateEmp) + "\r\n");
}

TEST_P(DdlGeneratorTest, OneConstraintByName) {
  auto session = logOn();
  DdlGenerator generator(*session, settings, options);
  EXPECT_EQ(generator.scriptConstraint("SCOTT", "EMP", "FK_EMP_DEPT"),
            std::string(kForeignKey) + "\r\n");
  EXPECT_EQ(generator.scriptConstraint("SCOTT", "EMP", "NO_SUCH"), "\r\n");
}

TEST_P(DdlGeneratorTest, IndexesByNameNeverTheIndexOfAKey) {
  auto session = logOn();
  DdlGenerator generator(*session, settings, options);
  std::vector<std::string> named = {"IX_EMP_NAME"}, keyIndex = {"PK_EMP"}, none;
  EXPECT_EQ(generator.scriptIndexes("SCOTT", "EMP"), std::string(kIndex) + "\r\n");
  EXPECT_EQ(generator.scriptIndexes("SCOTT", "EMP", &named), std::string(kIndex) + "\r\n");
  EXPECT_EQ(generator.scriptIndexes("SCOTT", "EMP", &keyIndex), "\r\n");
  EXPECT_EQ(generator.scriptIndexes("SCOTT", "EMP", &none), "\r\n");
}

TEST_P(DdlGeneratorTest, SettingsAreReadAtEachCallAndOnlyAnExactYCounts) {
  auto session = logOn();
  options.i_DoingUpgradeScript = 2;
  DdlGenerator generator(*session, settings, options);
  std::string full = generator.scriptTable("SCOTT", "EMP");
  settings.setString(kSettingsSection, "InclPct", "y");
  settings.setString(kSettingsSection, "InclStorage", "N");
  std::string bare = generator.scriptTable("SCOTT", "EMP");
  EXPECT_EQ(full, std::string(kCreateEmp) + "\r\n");
  std::string columns(kCreateEmp);
  columns.resize(columns.find(")\r\n") + 3);
  EXPECT_EQ(bare, columns + ";\r\n\r\n");
}

TEST_P(DdlGeneratorTest, AMissingTableGivesAnEmptyText) {
  auto session = logOn();
  DdlGenerator generator(*session, settings, options);
  EXPECT_EQ(generator.scriptTable("SCOTT", "NOPE"), "\r\n");
  EXPECT_EQ(generator.scriptConstraints("SCOTT", "NOPE"), "\r\n");
  EXPECT_EQ(generator.scriptIndexes("SCOTT", "NOPE"), "\r\n");
  EXPECT_TRUE(host.messages.empty());
}

TEST_P(DdlGeneratorTest, AFailingDictionaryQueryIsShownAndGivesNoPartialStatement) {
  backend->failStatement("from all_tab_columns", 1, 942);
  auto session = logOn();
  options.i_DoingUpgradeScript = 1;
  DdlGenerator generator(*session, settings, options);
  // No CREATE TABLE, and so no constraints or indexes of a table that will not exist.
  EXPECT_EQ(generator.scriptTable("SCOTT", "EMP"), "\r\n");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].find("ORA-00942"), std::string::npos) << host.messages[0];
}

TEST_P(DdlGeneratorTest, ALostConnectionIsReestablishedAndTheQueryRunsAgain) {
  backend->failStatement("from all_tab_columns", 1, 3113);
  auto session = logOn();
  options.i_DoingUpgradeScript = 2;
  DdlGenerator generator(*session, settings, options);
  EXPECT_EQ(generator.scriptTable("SCOTT", "EMP"), std::string(kCreateEmp) + "\r\n");
  EXPECT_TRUE(host.messages.empty());
}

TEST_P(DdlGeneratorTest, ServersWithoutIndexCompressionAreNotAskedForIt) {
  backend->setRelease("8.0.5");
  result(
      "select index_name, uniqueness, pct_free, ini_trans, max_trans, tablespace_name from "
      "all_indexes where owner = :owner1 and table_owner = :owner2 and table_name = :name order "
      "by index_name",
      {{":owner1", "SCOTT"}, {":owner2", "SCOTT"}, {":name", "EMP"}},
      {{"IX_EMP_NAME", "NONUNIQUE", "10", "2", "255", "USERS"}}, 6);
  auto session = logOn();
  ASSERT_EQ(session->serverVersion(), "8.0");
  DdlGenerator generator(*session, settings, options);
  EXPECT_EQ(generator.scriptIndexes("SCOTT", "EMP"), std::string(kIndex) + "\r\n");
  EXPECT_TRUE(host.messages.empty());
}

TEST_P(DdlGeneratorTest, HiddenIndexColumnsAreWrittenAsTheirExpressions) {
  scriptSales();
  auto session = logOn();
  DdlGenerator generator(*session, settings, options);
  const std::string segment =
      "\tPCTFREE    10\r\n\tINITRANS   2\r\n\tMAXTRANS   255\r\n\tTABLESPACE USERS\r\n;\r\n";
  EXPECT_EQ(generator.scriptIndexes("SCOTT", "SALES"),
            "CREATE INDEX SALES_AMOUNT_IX ON SALES\r\n\t(\r\n\t \"AMOUNT\" DESC\r\n\t ,ID\r\n\t)"
            "\r\n" +
                segment +
                "-- No statement is written for index SALES_LOST_IX of table SALES: the "
                "expression of its column SYS_NC00009$ cannot be read\r\n"
                "CREATE INDEX SALES_UPPER_IX ON SALES\r\n\t(\r\n\t UPPER(\"NAME\")\r\n\t "
                ",\"SOLD\" DESC\r\n\t)\r\n" +
                segment + "\r\n");
  EXPECT_TRUE(host.messages.empty());
}

TEST_P(DdlGeneratorTest, ServersBeforeIndexExpressionsAreNotAskedForThem) {
  backend->setRelease("8.0.5");
  scriptSales();
  result(
      "select index_name, uniqueness, pct_free, ini_trans, max_trans, tablespace_name from "
      "all_indexes where owner = :owner1 and table_owner = :owner2 and table_name = :name order "
      "by index_name",
      {{":owner1", "SCOTT"}, {":owner2", "SCOTT"}, {":name", "SALES"}},
      {{"SALES_AMOUNT_IX", "NONUNIQUE", "10", "2", "255", "USERS"}}, 6);
  auto session = logOn();
  ASSERT_EQ(session->serverVersion(), "8.0");
  DdlGenerator generator(*session, settings, options);
  // The expression rows scripted above are never read: the hidden name is refused.
  EXPECT_EQ(generator.scriptIndexes("SCOTT", "SALES"),
            "-- No statement is written for index SALES_AMOUNT_IX of table SALES: the expression "
            "of its column SYS_NC00005$ cannot be read\r\n\r\n");
  EXPECT_TRUE(host.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Backends, DdlGeneratorTest, ::testing::Values("fake"));

}  // namespace
}  // namespace velmora
