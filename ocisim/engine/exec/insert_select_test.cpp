// INSERT ... SELECT whose query reads the target table: the query sees the table as it was
// before the statement (it used to read its own new rows and never end).
#include "engine/exec/test_support.h"

namespace ocisim::testing {
namespace {

using Strings = std::vector<std::string>;

class InsertSelectTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    exec(*sys, "create table p (id number primary key, name varchar2(10))");
    exec(*sys, "insert into p values (1, 'one')");
    exec(*sys, "insert into p values (2, 'two')");
  }
};

TEST_F(InsertSelectTest, QueryOverTheTargetSeesTheRowsBeforeTheStatement) {
  EXPECT_EQ(exec(*sys, "insert into p select id + 10, name || '+' from p"), 2u);
  EXPECT_EQ(exec(*sys, "insert into p select id + 100, name from p order by id"), 4u);
  EXPECT_EQ(column(*sys, "select count(*) from p"), (Strings{"8"}));
  // Through an index scan and in a correlated subquery: each new id is absent before.
  EXPECT_EQ(exec(*sys,
                 "insert into p select id + 1000, 'x' from p p1 where id > 100 and not exists "
                 "(select 1 from p p2 where p2.id = p1.id + 1000)"),
            4u);
  EXPECT_EQ(exec(*sys, "insert into p select max(id) + 1, 'max' from p"), 1u);
  EXPECT_EQ(column(*sys, "select max(id) from p"), (Strings{"1113"}));
}

TEST_F(InsertSelectTest, FailureInsertsNothing) {
  EXPECT_EQ(errorCode(*sys, "insert into p select id + 1, name from p"), 1);
  EXPECT_EQ(column(*sys, "select count(*) from p"), (Strings{"2"}));
}

}  // namespace
}  // namespace ocisim::testing
