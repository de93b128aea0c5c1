// Keys enforced by CREATE UNIQUE INDEX alone (no constraint), next to constraint keys.
#include "engine/exec/test_support.h"

namespace ocisim::testing {
namespace {

using Strings = std::vector<std::string>;

class UniqueIndexTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    exec(*sys, "create table u (id number, code varchar2(5), part number)");
    exec(*sys, "create unique index u_code on u (code)");
    exec(*sys, "insert into u values (1, 'A', 1)");
    exec(*sys, "insert into u values (2, 'B', 1)");
  }
  std::string failure(const std::string& sql) {
    try {
      exec(*sys, sql);
    } catch (const OraError& e) {
      return e.what();
    }
    return "no error";
  }
};

TEST_F(UniqueIndexTest, InsertAndUpdateOfADuplicateFailNamingTheIndex) {
  EXPECT_EQ(failure("insert into u values (3, 'A', 2)"),
            "ORA-00001: unique constraint (SYSTEM.U_CODE) violated");
  EXPECT_EQ(failure("update u set code = 'A' where id = 2"),
            "ORA-00001: unique constraint (SYSTEM.U_CODE) violated");
  EXPECT_EQ(failure("insert into u select 9, 'C', level from dual connect by level <= 2"),
            "ORA-00001: unique constraint (SYSTEM.U_CODE) violated");
  EXPECT_EQ(column(*sys, "select id || code from u order by id"), (Strings{"1A", "2B"}))
      << "failed statements leave nothing behind";
  // Swapping keys within one statement is checked at its end, as for constraints.
  exec(*sys, "update u set code = decode(code, 'A', 'B', 'A')");
  EXPECT_EQ(column(*sys, "select id || code from u order by id"), (Strings{"1B", "2A"}));
}

TEST_F(UniqueIndexTest, NullKeysAreNotCompared) {
  exec(*sys, "insert into u values (3, null, 1)");
  exec(*sys, "insert into u values (4, null, 1)");
  EXPECT_EQ(column(*sys, "select count(*) from u where code is null"), (Strings{"2"}));
}

TEST_F(UniqueIndexTest, CompositeAndConstraintKeys) {
  exec(*sys, "create unique index u_id_part on u (id, part)");
  EXPECT_EQ(failure("insert into u values (1, 'Z', 1)"),
            "ORA-00001: unique constraint (SYSTEM.U_ID_PART) violated");
  exec(*sys, "insert into u values (1, 'Z', 2)");
  // Unique indexes and constraint keys are enforced side by side.
  exec(*sys, "alter table u add constraint u_pk primary key (id, code)");
  EXPECT_EQ(failure("insert into u values (1, 'Y', 2)"),
            "ORA-00001: unique constraint (SYSTEM.U_ID_PART) violated");
  exec(*sys, "drop index u_code");
  EXPECT_EQ(failure("insert into u values (1, 'Z', 4)"),
            "ORA-00001: unique constraint (SYSTEM.U_PK) violated");
  exec(*sys, "drop index u_id_part");
  exec(*sys, "insert into u values (5, 'A', 1)");
  EXPECT_EQ(column(*sys, "select count(*) from u where code = 'A'"), (Strings{"2"}))
      << "a dropped unique index no longer enforces anything";
}

}  // namespace
}  // namespace ocisim::testing
