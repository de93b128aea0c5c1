#include "engine/exec/catalog.h"

#include <gtest/gtest.h>

namespace ocisim {
namespace {

std::unique_ptr<User> user(const std::string& name) {
  auto u = std::make_unique<User>();
  u->name = name;
  return u;
}

TEST(Catalog, SystemPrivilegesThroughRolesPublicAndDba) {
  Catalog c;
  c.addUser(user("A"));
  c.addUser(user("B"));
  auto role = [&](const std::string& name) {
    auto r = std::make_unique<Role>();
    r->name = name;
    c.addRole(std::move(r));
  };
  role("R1");
  role("R2");
  role("DBA");
  c.grantRole({"R1", "R2", false, true});
  c.grantRole({"A", "R1", false, true});
  c.grantSystemPrivilege({"R2", "CREATE VIEW", false});
  c.grantSystemPrivilege({"PUBLIC", "CREATE SESSION", false});
  EXPECT_TRUE(c.hasSystemPrivilege("A", "CREATE VIEW")) << "R1 includes R2";
  EXPECT_FALSE(c.hasSystemPrivilege("B", "CREATE VIEW"));
  EXPECT_TRUE(c.hasSystemPrivilege("B", "CREATE SESSION")) << "granted to PUBLIC";
  EXPECT_FALSE(c.isDba("B"));
  c.grantRole({"B", "DBA", false, true});
  EXPECT_TRUE(c.isDba("B"));
  EXPECT_TRUE(c.hasSystemPrivilege("B", "DROP ANY TABLE"));
  EXPECT_TRUE(c.revokeRole("B", "DBA"));
  EXPECT_FALSE(c.isDba("B"));
}

TEST(Catalog, RevokingAnObjectPrivilegeCascadesThroughGrantOption) {
  Catalog c;
  c.grantObjectPrivilege({"B", "A", "T", "SELECT", "A", true});
  c.grantObjectPrivilege({"C", "A", "T", "SELECT", "B", false});
  c.grantObjectPrivilege({"C", "A", "T", "INSERT", "A", false});
  EXPECT_TRUE(c.hasObjectPrivilege("C", "A", "T", "SELECT"));
  EXPECT_EQ(c.revokeObjectPrivilege("B", "A", "T", "SELECT"), 2);
  EXPECT_FALSE(c.hasObjectPrivilege("C", "A", "T", "SELECT"));
  EXPECT_TRUE(c.hasObjectPrivilege("C", "A", "T", "INSERT")) << "other privileges stay";
  EXPECT_TRUE(c.hasAnyObjectPrivilege("C", "A", "T"));
}

TEST(Catalog, SystemNamesAreUniqueAndNamespacesAreShared) {
  Catalog c;
  std::string first = c.allocateSystemName();
  std::string second = c.allocateSystemName();
  EXPECT_EQ(first, "SYS_C000001");
  EXPECT_NE(first, second);
  auto t = std::make_unique<Table>();
  t->header = {c.allocateObjectId(), "A", "T", {}, {}, true};
  t->columns.push_back({"ID", DataType::number(), "", nullptr});
  t->columns.push_back({"N", DataType::varchar2(10), "", nullptr});
  c.addTable(std::move(t));
  EXPECT_EQ(c.findInMainNamespace("A", "T"), ObjectKind::Table);
  EXPECT_FALSE(c.findInMainNamespace("B", "T").has_value());

  auto pk = std::make_unique<Constraint>();
  pk->owner = "A";
  pk->name = "T_PK";
  pk->type = ConstraintType::PrimaryKey;
  pk->tableName = "T";
  pk->columns = {"ID"};
  c.addConstraint(std::move(pk));
  auto nn = std::make_unique<Constraint>();
  nn->owner = "A";
  nn->name = second;
  nn->type = ConstraintType::Check;
  nn->tableName = "T";
  nn->notNullColumn = "N";
  c.addConstraint(std::move(nn));
  EXPECT_FALSE(c.isNullable("A", "T", "ID")) << "primary key columns are NOT NULL";
  EXPECT_FALSE(c.isNullable("A", "T", "N"));
  c.removeConstraint("A", second);
  EXPECT_TRUE(c.isNullable("A", "T", "N"));
  EXPECT_EQ(c.primaryKeyOf("A", "T")->name, "T_PK");
}

}  // namespace
}  // namespace ocisim
