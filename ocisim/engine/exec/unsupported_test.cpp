// Features the engine leaves out are refused with ORA-03001 naming them, and change nothing.
#include "engine/exec/test_support.h"

namespace ocisim::testing {
namespace {

std::string failure(Session& s, const std::string& sql) {
  try {
    auto result = s.execute(sql);
    if (result.cursor) {
      Row row;
      while (result.cursor->fetch(row)) {
      }
    }
  } catch (const OraError& e) {
    return e.what();
  }
  return "no error";
}

TEST_F(EngineTest, LeftOutFeaturesSayWhatIsMissing) {
  exec(*sys, "create table t (id number, name varchar2(5))");
  exec(*sys, "insert into t values (1, 'a')");
  EXPECT_EQ(failure(*sys, "select id, row_number() over (order by id) from t"),
            "ORA-03001: unimplemented feature: analytic functions (OVER)");
  EXPECT_EQ(failure(*sys, "select count(*) over (partition by name) from t"),
            "ORA-03001: unimplemented feature: analytic functions (OVER)");
  EXPECT_EQ(failure(*sys, "insert all into t values (2, 'b') select * from dual"),
            "ORA-03001: unimplemented feature: multi-table INSERT");
  EXPECT_EQ(failure(*sys, "insert first into t values (2, 'b') select * from dual"),
            "ORA-03001: unimplemented feature: multi-table INSERT");
  EXPECT_EQ(failure(*sys, "select rowid from t"), "ORA-03001: unimplemented feature: ROWID");
  EXPECT_EQ(failure(*sys, "select t.rowid, id from t"), "ORA-03001: unimplemented feature: ROWID");
  EXPECT_EQ(failure(*sys, "create index t_up on t (upper(name))"),
            "ORA-03001: unimplemented feature: function-based index");
  exec(*sys, "create procedure p as begin null; end;");
  std::string call = failure(*sys, "begin p; end;");
  EXPECT_EQ(call.rfind("ORA-03001: unimplemented feature: calling stored code\n", 0), 0u)
      << call;
  EXPECT_EQ(failure(*sys, "select nosuch from t"), "ORA-00904: \"NOSUCH\": invalid identifier");
  // A column or alias named OVER is still an ordinary name.
  EXPECT_EQ(column(*sys, "select over from (select 1 over from dual)"),
            std::vector<std::string>{"1"});
  EXPECT_EQ(column(*sys, "select count(*) from t"), std::vector<std::string>{"1"});
}

}  // namespace
}  // namespace ocisim::testing
