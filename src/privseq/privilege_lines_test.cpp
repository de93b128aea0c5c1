#include "privseq/privilege_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace velmora {
namespace {

using Written = std::vector<std::pair<int, std::string>>;

Written merge(std::vector<std::string> list1, std::vector<std::string> list2, int stopAfter = -1) {
  Written written;
  int steps = 0;
  mergePrivilegeLines(
      list1, list2, [](const std::string& a, const std::string& b) { return a == b; },
      [&](int side, const std::string& line) { written.emplace_back(side, line); },
      [&] { return stopAfter < 0 || steps++ < stopAfter; });
  return written;
}

TEST(PrivilegeMergeTest, LookAheadPairsTheLists) {
  // A B C against B C: A alone, then B and C match.
  EXPECT_EQ(merge({"A", "B", "C"}, {"B", "C"}), (Written{{1, "A"}}));
  // A X against X A: A of Database 1 first, X matches, then A of Database 2.
  EXPECT_EQ(merge({"A", "X"}, {"X", "A"}), (Written{{1, "A"}, {2, "A"}}));
  // Heads found nowhere: Database 2's, then Database 1's.
  EXPECT_EQ(merge({"P", "Z"}, {"Q", "Z"}), (Written{{2, "Q"}, {1, "P"}}));
  // The other side's head comes sooner: Database 2's lines up to it.
  EXPECT_EQ(merge({"C", "D"}, {"A", "B", "C", "D"}), (Written{{2, "A"}, {2, "B"}}));
  EXPECT_EQ(merge({}, {"R"}), (Written{{2, "R"}}));
  EXPECT_EQ(merge({"R", "S"}, {}), (Written{{1, "R"}, {1, "S"}}));
  EXPECT_TRUE(merge({"A", "B"}, {"A", "B"}).empty());
}

TEST(PrivilegeMergeTest, AStepThatRefusesEndsTheMerge) {
  EXPECT_TRUE(merge({"A", "B"}, {"C", "D"}, 0).empty());
  EXPECT_EQ(merge({"A", "B"}, {"C", "D"}, 1).size(), 2u);
}

std::string pad(const std::string& text, size_t width) {
  return (text + std::string(60, ' ')).substr(0, width);
}

TEST(PrivilegeStatementTest, GrantsCarryTheirOptionAndRevokesNever) {
  const PrivilegeLine system =
      parsePrivilegeLine(PrivilegeKind::System, pad("CREATE TABLE", 41) + " " + pad("YES", 13));
  EXPECT_EQ(system.privilege, "CREATE TABLE");
  EXPECT_EQ(grantStatement(PrivilegeKind::System, system, "APP"),
            "GRANT CREATE TABLE TO APP WITH ADMIN OPTION;\r\n");
  EXPECT_EQ(revokeStatement(PrivilegeKind::System, system, "APP"),
            "REVOKE CREATE TABLE FROM APP;\r\n");
  const PrivilegeLine noAdmin =
      parsePrivilegeLine(PrivilegeKind::System, pad("CREATE VIEW", 41) + " " + pad("NO", 13));
  EXPECT_EQ(grantStatement(PrivilegeKind::System, noAdmin, "APP"), "GRANT CREATE VIEW TO APP;\r\n");

  const PrivilegeLine role =
      parsePrivilegeLine(PrivilegeKind::Role, pad("app_reader", 41) + " " + pad("NO", 13) + " " +
                                                  pad("YES", 13) + " NO");
  EXPECT_EQ(grantStatement(PrivilegeKind::Role, role, "app"),
            "GRANT \"app_reader\" TO \"app\";\r\n");

  const std::string objectLine = pad("SELECT", 41) + " " + pad("EMP", 31) + " " + pad("SCOTT", 31) +
                                 " " + pad("APP", 31) + " " + pad("SCOTT", 31) + " YES";
  const PrivilegeLine object = parsePrivilegeLine(PrivilegeKind::Object, objectLine);
  EXPECT_EQ(object.schema, "SCOTT");
  EXPECT_EQ(object.table, "EMP");
  EXPECT_EQ(grantStatement(PrivilegeKind::Object, object, "APP"),
            "GRANT SELECT ON SCOTT.EMP TO APP WITH GRANT OPTION;\r\n");
  EXPECT_EQ(revokeStatement(PrivilegeKind::Object, object, "APP"),
            "REVOKE SELECT ON SCOTT.EMP FROM APP;\r\n");
}

TEST(PrivilegeQueryTest, AnotherSchemaIsReadFromTheDbaViewsWithItsNameQuoted) {
  EXPECT_EQ(privilegeQuery(PrivilegeKind::System, "X"),
            "select substr(privilege||'                                        ',0,41) || ' ' || "
            "substr(admin_option||'            ',0,13) from user_sys_privs order by privilege");
  const std::string other = schemaPrivilegeQuery(PrivilegeKind::System, "O'NEIL");
  EXPECT_NE(other.find("from dba_sys_privs where grantee = 'O''NEIL' order by privilege"),
            std::string::npos);
  EXPECT_NE(schemaPrivilegeQuery(PrivilegeKind::Role, "APP").find("from dba_role_privs"),
            std::string::npos);
  EXPECT_NE(privilegeQuery(PrivilegeKind::Object, "APP")
                .find("from all_tab_privs where grantee = 'APP' order by privilege,table_name"),
            std::string::npos);
}

}  // namespace
}  // namespace velmora
