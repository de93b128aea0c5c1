// Every prefix and every single-character deletion of a set of statements either parses or
// fails with an OraError: the parser never crashes, loops or throws anything else at unexpected
// ends of input. (Run under the sanitizers this also checks memory safety.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/sql/parser.h"

namespace ocisim::sql {
namespace {

const std::vector<std::string>& corpus() {
  static const std::vector<std::string> texts = {
      "select a.x, count(distinct b) c, case when x > 1 then 'a' else 'b' end, trim(both 'x' "
      "from y) from s.t a left join u b on a.id = b.id(+) where a.x not in (select 1 from dual)"
      " and y like 'a%' escape '\\' connect by prior id = pid start with id = 1 group by a.x "
      "having count(*) > 1 union all select 1, 2, 3, 4 from dual order by 1 desc nulls last",
      "insert into t (a, b) values (:1, to_date('01/02/2020','MM/DD/YYYY'))",
      "update t set a = a + 1, b = 'x' where c is not null and rownum = 1",
      "delete from t where a between 1 and 2",
      "create table t (a number(5,2) default 0 not null constraint c1 check (a > 0), b "
      "varchar2(10 char) references u(x) on delete cascade, constraint pk primary key (a) using"
      " index pctfree 5 tablespace users) storage (initial 64K maxextents unlimited)",
      "alter table t add (c date, constraint u1 unique (c)) modify (b null) drop column d",
      "create unique index i on t (a desc, upper(b)) compress 1",
      "create sequence s increment by -1 start with 10 maxvalue 100 nocycle cache 5 order",
      "create or replace force view v (a) as select x from t with check option",
      "create or replace trigger tr before update of a on t referencing new as n for each row "
      "when (n.a > 0) begin :n.a := 1; end;",
      "create type o as object (a number, b varchar2(5))",
      "grant select, update (a) on s.t to u, public with grant option",
      "alter session set nls_date_format = 'DD-MON-RR'",
      "comment on column t.c is 'x'",
      "declare x number := 1; begin for i in 1..3 loop x := x * i; end loop; if x > 1 then "
      "dbms_output.put_line(x); elsif x < 0 then null; else raise e; end if; select count(*) "
      "into x from dual; exception when others then :e := sqlerrm; end;",
  };
  return texts;
}

void expectParsesOrOraError(const std::string& text) {
  try {
    parseStatement(text);
  } catch (const OraError&) {
  } catch (const std::exception& e) {
    ADD_FAILURE() << "non-ORA exception " << e.what() << " for: " << text;
  }
}

TEST(ParserRobustness, EveryPrefixParsesOrFailsCleanly) {
  for (const std::string& text : corpus()) {
    expectParsesOrOraError(text);
    for (size_t n = 0; n < text.size(); ++n) expectParsesOrOraError(text.substr(0, n));
  }
}

TEST(ParserRobustness, EveryDeletionParsesOrFailsCleanly) {
  for (const std::string& text : corpus()) {
    for (size_t i = 0; i < text.size(); ++i) {
      std::string damaged = text;
      damaged.erase(i, 1);
      expectParsesOrOraError(damaged);
    }
  }
}

}  // namespace
}  // namespace ocisim::sql
