// ALL_CATALOG, ALL_OBJECTS, ALL_USERS, ALL_SOURCE, ALL_TRIGGERS, ALL_VIEWS, ALL_SEQUENCES,
// the privilege views, GLOBAL_NAME and DUAL against SCOTT's schema.
#include "engine/dict/dict_test_support.h"

namespace ocisim::dict::testing {
namespace {

using ObjectsTest = DictTest;

TEST_F(ObjectsTest, CatalogListsTablesViewsAndSequences) {
  Rows rows = query(*scott,
                    "select table_name, table_type from all_catalog where owner = 'SCOTT' order "
                    "by table_name");
  Rows expected = {{"BONUS", "TABLE"},        {"DEPT", "TABLE"},     {"EMP", "TABLE"},
                   {"EMP_SEQ", "SEQUENCE"},   {"EMP_V", "VIEW"},     {"PLAIN_SEQ", "SEQUENCE"}};
  EXPECT_EQ(rows, expected);
}

TEST_F(ObjectsTest, ObjectsOfEveryKind) {
  Rows rows = query(*scott,
                    "select object_name, object_type, status from all_objects where owner = "
                    "'SCOTT' order by object_type, object_name");
  Rows expected = {
      {"EMP_JOB", "INDEX", "VALID"},      {"EMP_MGR", "INDEX", "VALID"},
      {"PK_DEPT", "INDEX", "VALID"},      {"PK_EMP", "INDEX", "VALID"},
      {"UK_ENAME", "INDEX", "VALID"},     {"RAISE_SAL", "PROCEDURE", "VALID"},
      {"EMP_SEQ", "SEQUENCE", "VALID"},   {"PLAIN_SEQ", "SEQUENCE", "VALID"},
      {"BONUS", "TABLE", "VALID"},        {"DEPT", "TABLE", "VALID"},
      {"EMP", "TABLE", "VALID"},          {"EMP_TRG", "TRIGGER", "VALID"},
      {"EMP_V", "VIEW", "VALID"},
  };
  EXPECT_EQ(rows, expected);
}

TEST_F(ObjectsTest, ObjectIdsAreUniqueAndDatesAreSet) {
  Rows rows = query(*scott,
                    "select count(*), count(distinct object_id), count(created), "
                    "count(last_ddl_time) from all_objects where owner = 'SCOTT'");
  EXPECT_EQ(rows, (Rows{{"13", "13", "13", "13"}}));
  // DATA_OBJECT_ID only for objects with a segment; TIMESTAMP in its fixed text form.
  Rows emp = query(*scott,
                   "select object_id - data_object_id, length(timestamp), substr(timestamp, 11, "
                   "1) from all_objects where owner = 'SCOTT' and object_name = 'EMP'");
  EXPECT_EQ(emp, (Rows{{"0", "19", ":"}}));
  EXPECT_EQ(column(*scott,
                   "select nvl(to_char(data_object_id), 'none') from all_objects where "
                   "object_name = 'EMP_SEQ'"),
            (std::vector<std::string>{"none"}));
}

TEST_F(ObjectsTest, PackageAndBodyAreSeparateObjects) {
  runAll(*scott, {"create or replace package pk is\n  procedure p;\nend;",
                  "create or replace package body pk is\n  procedure p is\n  begin\n    "
                  "null;\n  end;\nend;"});
  EXPECT_EQ(column(*scott,
                   "select object_type from all_objects where owner = 'SCOTT' and object_name = "
                   "'PK' order by object_type"),
            (std::vector<std::string>{"PACKAGE", "PACKAGE BODY"}));
}

TEST_F(ObjectsTest, ForceViewWithErrorsIsInvalidAndHasNoColumns) {
  runAll(*scott, {"create force view broken_v as select * from nowhere"});
  EXPECT_EQ(column(*scott, "select status from all_objects where object_name = 'BROKEN_V'"),
            (std::vector<std::string>{"INVALID"}));
  EXPECT_EQ(column(*scott,
                   "select count(*) from all_tab_columns where table_name = 'BROKEN_V'"),
            (std::vector<std::string>{"0"}));
  EXPECT_EQ(column(*scott, "select text from all_views where view_name = 'BROKEN_V'"),
            (std::vector<std::string>{"select * from nowhere"}));
}

TEST_F(ObjectsTest, LongColumnsOfTheDictionary) {
  for (const char* sql :
       {"select data_default from all_tab_columns", "select text from all_views",
        "select search_condition from all_constraints", "select trigger_body from all_triggers"}) {
    auto stmt = scott->prepare(sql);
    ASSERT_EQ(stmt->describe().size(), 1u) << sql;
    EXPECT_EQ(stmt->describe()[0].type.code, TypeCode::Long) << sql;
  }
}

TEST_F(ObjectsTest, UsersAreVisibleToEveryone) {
  std::vector<std::string> users = column(*other, "select username from all_users order by 1");
  EXPECT_EQ(users, (std::vector<std::string>{"BOSS", "OTHER", "SCOTT", "SYS", "SYSTEM"}));
  Rows ids = query(*other,
                   "select count(distinct user_id), count(created) from all_users");
  EXPECT_EQ(ids, (Rows{{"5", "5"}}));
}

TEST_F(ObjectsTest, GlobalNameAndDual) {
  EXPECT_EQ(column(*scott, "select global_name from global_name"),
            (std::vector<std::string>{"DICTDB"}));
  EXPECT_EQ(query(*scott, "select * from dual"), (Rows{{"X"}}));
  EXPECT_EQ(query(*scott, "select dummy from sys.dual"), (Rows{{"X"}}));
  EXPECT_EQ(errorCode(*scott, "delete from dual"), 1031);
}

using SourceTest = DictTest;

TEST_F(SourceTest, StoredCodeLineByLine) {
  Rows rows = query(*scott,
                    "select type, line, text from all_source where owner = 'SCOTT' and name = "
                    "'RAISE_SAL' order by line");
  Rows expected = {{"PROCEDURE", "1", "procedure raise_sal(p number) is\n"},
                   {"PROCEDURE", "2", "begin\n"},
                   {"PROCEDURE", "3", "  update emp set sal = sal * p;\n"},
                   {"PROCEDURE", "4", "end;\n"}};
  EXPECT_EQ(rows, expected);
}

TEST_F(SourceTest, TriggerSourceFromReleaseNine) {
  std::string sql = "select count(*) from all_source where owner = 'SCOTT' and type = 'TRIGGER'";
  EXPECT_NE(column(*scott, sql), (std::vector<std::string>{"0"}));
  prepare("8.1.7");
  EXPECT_EQ(column(*scott, sql), (std::vector<std::string>{"0"}));
}

TEST_F(SourceTest, TriggerColumns) {
  Rows rows = query(*scott,
                    "select trigger_type, triggering_event, table_owner, base_object_type, "
                    "table_name, column_name, referencing_names, when_clause, status, "
                    "action_type, trigger_body from all_triggers where owner = 'SCOTT' and "
                    "trigger_name = 'EMP_TRG'");
  Rows expected = {{"BEFORE EACH ROW", "INSERT OR UPDATE", "SCOTT", "TABLE", "EMP", "NULL",
                    "REFERENCING NEW AS NEW OLD AS OLD", "new.sal > 100", "ENABLED", "PL/SQL",
                    "begin\n  :new.ename := upper(:new.ename);\nend;"}};
  EXPECT_EQ(rows, expected);
}

TEST_F(SourceTest, ViewTextIsALong) {
  Rows rows = query(*scott,
                    "select view_name, text_length, text from all_views where owner = 'SCOTT'");
  Rows expected = {{"EMP_V", "51", "select empno, ename, sal from emp where deptno = 10"}};
  EXPECT_EQ(rows, expected);
  auto stmt = scott->prepare("select text from all_views");
  EXPECT_EQ(stmt->describe()[0].type.code, TypeCode::Long);
}

using SequencesTest = DictTest;

TEST_F(SequencesTest, AttributesAndDefaults) {
  const std::string sql =
      "select sequence_name, min_value, max_value, increment_by, cycle_flag, order_flag, "
      "cache_size, last_number from all_sequences where sequence_owner = 'SCOTT' order by "
      "sequence_name";
  // NOMAXVALUE is 10^28 - 1 from 12c on, 10^27 - 1 before.
  Rows expected = {
      {"EMP_SEQ", "1", "1000000", "10", "Y", "Y", "5", "100"},
      {"PLAIN_SEQ", "1", std::string(28, '9'), "1", "N", "N", "20", "1"},
  };
  EXPECT_EQ(query(*scott, sql), expected);
  prepare("8.1.7");
  expected[1][2] = std::string(27, '9');
  EXPECT_EQ(query(*scott, sql), expected);
  runAll(*scott, {"create sequence down_seq increment by -1"});
  EXPECT_EQ(query(*scott,
                  "select min_value, max_value, last_number from all_sequences where "
                  "sequence_name = 'DOWN_SEQ'"),
            (Rows{{"-" + std::string(26, '9'), "-1", "-1"}}));
}

TEST_F(SequencesTest, LastNumberIsTheEndOfTheCachedRange) {
  EXPECT_EQ(column(*scott, "select emp_seq.nextval from dual"),
            (std::vector<std::string>{"100"}));
  // A cache of 5 values of increment 10 was written: 100 .. 140 cached, 150 on disk.
  std::string sql = "select last_number from all_sequences where sequence_name = 'EMP_SEQ'";
  EXPECT_EQ(column(*scott, sql), (std::vector<std::string>{"150"}));
  runAll(*scott, {"create sequence nc_seq start with 7 nocache"});
  column(*scott, "select nc_seq.nextval from dual");
  EXPECT_EQ(column(*scott, "select last_number from all_sequences where sequence_name = 'NC_SEQ'"),
            (std::vector<std::string>{"8"}));
}

using PrivilegesTest = DictTest;

TEST_F(PrivilegesTest, ObjectPrivilegesOfGranteeGrantorAndOwner) {
  std::string sql =
      "select grantor, grantee, table_schema, table_name, privilege, grantable from "
      "all_tab_privs order by table_name, privilege";
  Rows expected = {{"SCOTT", "OTHER", "SCOTT", "DEPT", "SELECT", "YES"},
                   {"SCOTT", "OTHER", "SCOTT", "DEPT", "UPDATE", "YES"},
                   {"SCOTT", "OTHER", "SCOTT", "EMP", "SELECT", "NO"}};
  EXPECT_EQ(query(*other, sql), expected);  // the grantee
  EXPECT_EQ(query(*scott, sql), expected);  // the owner and grantor
  // A DBA sees no more in ALL_TAB_PRIVS than any other user.
  EXPECT_TRUE(query(*boss, sql).empty());
  runAll(*other, {"grant select on scott.dept to boss"});
  EXPECT_EQ(query(*boss, sql), (Rows{{"OTHER", "BOSS", "SCOTT", "DEPT", "SELECT", "NO"}}));
}

TEST_F(PrivilegesTest, PublicGrantsAreSeenByEveryone) {
  runAll(*scott, {"grant select on emp_v to public"});
  EXPECT_EQ(query(*boss, "select grantee, table_name from all_tab_privs"),
            (Rows{{"PUBLIC", "EMP_V"}}));
}

TEST_F(PrivilegesTest, SystemAndRolePrivilegesOfTheUser) {
  EXPECT_EQ(query(*scott, "select username, privilege, admin_option from user_sys_privs"),
            (Rows{{"SCOTT", "CREATE VIEW", "NO"}}));
  EXPECT_EQ(query(*scott,
                  "select username, granted_role, admin_option, default_role, os_granted from "
                  "user_role_privs order by granted_role"),
            (Rows{{"SCOTT", "CONNECT", "NO", "YES", "NO"},
                  {"SCOTT", "RESOURCE", "NO", "YES", "NO"}}));
  EXPECT_EQ(query(*sys, "select granted_role, admin_option from user_role_privs"),
            (Rows{{"DBA", "YES"}}));
  runAll(*sys, {"grant create synonym to public"});
  EXPECT_EQ(column(*other, "select username from user_sys_privs"),
            (std::vector<std::string>{"PUBLIC"}));
}

}  // namespace
}  // namespace ocisim::dict::testing
