// Anonymous PL/SQL blocks, binds IN and OUT, DBMS_OUTPUT.
#include "engine/exec/test_support.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace ocisim::testing {
namespace {

class PlsqlTest : public EngineTest {
 protected:
  // Reads the output buffer the way the product does: one GET_LINE block per line.
  std::vector<std::string> readOutput() {
    auto reader = sys->prepare(
        "declare line varchar2(4000); begin dbms_output.get_line( line, :more); "
        ":line := nvl(line,' '); end;");
    std::vector<std::string> lines;
    for (int guard = 0; guard < 1000; ++guard) {
      BindSet binds;
      binds.set("LINE", Value());
      binds.set("MORE", Value());
      reader->execute(binds);
      if (*binds.find("MORE")->asNumber().toInt64() == 1) break;
      lines.emplace_back(binds.find("LINE")->asText());
    }
    return lines;
  }
};

TEST_F(PlsqlTest, ServerOutputReaderProtocol) {
  exec(*sys, "begin dbms_output.enable(100000); end;");
  exec(*sys,
       "declare n number := 3; begin for i in 1..n loop "
       "dbms_output.put_line('line ' || i); end loop; dbms_output.put_line(null); end;");
  EXPECT_EQ(readOutput(), (std::vector<std::string>{"line 1", "line 2", "line 3", " "}));
  EXPECT_TRUE(readOutput().empty());
  exec(*sys, "begin dbms_output.disable; end;");
  exec(*sys, "begin dbms_output.put_line('ignored'); end;");
  exec(*sys, "begin dbms_output.enable; end;");
  EXPECT_TRUE(readOutput().empty()) << "lines put while disabled are dropped";
}

TEST_F(PlsqlTest, VariablesIfAndBinds) {
  auto stmt = sys->prepare(
      "declare x number := :a; y varchar2(10); begin if x > 10 then y := 'big'; "
      "elsif x > 5 then y := 'mid'; else y := 'small'; end if; :out := y || ':' || x; end;");
  EXPECT_EQ(stmt->statementType(), 9);
  for (auto [in, expected] :
       std::vector<std::pair<int, std::string>>{{20, "big:20"}, {7, "mid:7"}, {1, "small:1"}}) {
    BindSet binds;
    binds.set("A", Value::integer(in));
    binds.set("OUT", Value());
    stmt->execute(binds);
    EXPECT_EQ(binds.find("OUT")->asText(), expected);
  }
  EXPECT_EQ(sys->prepare("begin null; end;")->statementType(), 8);
}

TEST_F(PlsqlTest, DmlSelectIntoAndErrors) {
  exec(*sys, "create table t (id number primary key, v varchar2(10))");
  exec(*sys, "begin for i in 1..3 loop insert into t values (i, 'v' || i); end loop; end;");
  BindSet binds;
  binds.set("R", Value());
  sys->execute("declare c number; begin select count(*) into c from t; :r := c; end;", binds);
  EXPECT_EQ(binds.find("R")->asNumber().toString(), "3");
  EXPECT_EQ(errorCode(*sys, "declare v varchar2(10); begin select v into v from t; end;"), 1422);
  EXPECT_EQ(errorCode(*sys,
                      "declare v varchar2(10); begin select v into v from t "
                      "where id = 9; end;"),
            1403);
  exec(*sys,
       "declare v varchar2(10); begin select v into v from t where id = 9; "
       "exception when no_data_found then insert into t values (9, 'none'); end;");
  EXPECT_EQ(column(*sys, "select v from t where id = 9"), (std::vector<std::string>{"none"}));
  try {
    exec(*sys, "begin\n  raise_application_error(-20001, 'custom failure');\nend;");
    FAIL();
  } catch (const OraError& e) {
    EXPECT_EQ(e.code(), 20001);
    EXPECT_EQ(std::string(e.what()), "ORA-20001: custom failure\nORA-06512: at line 2");
  }
  EXPECT_EQ(errorCode(*sys, "declare s varchar2(2); begin s := 'abc'; end;"), 6502);
  EXPECT_EQ(errorCode(*sys, "begin undeclared := 1; end;"), 6550);
}

TEST_F(PlsqlTest, BlockFailureUndoesItsChanges) {
  exec(*sys, "create table t (id number primary key)");
  EXPECT_EQ(errorCode(*sys, "begin insert into t values (1); insert into t values (1); end;"), 1);
  EXPECT_EQ(column(*sys, "select count(*) from t"), (std::vector<std::string>{"0"}));
}

TEST_F(PlsqlTest, StoredCodeIsNotExecuted) {
  exec(*sys, "create procedure p is begin null; end;");
  EXPECT_EQ(errorCode(*sys, "begin p; end;"), 3001);
}

TEST_F(PlsqlTest, CancelStopsALongCall) {
  // Break repeatedly until the call ends: a break that arrives before the call starts is
  // forgotten, as OCIBreak outside a call is.
  std::atomic<bool> done{false};
  std::thread canceller([&] {
    while (!done) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      sys->cancel();
    }
  });
  int code = errorCode(*sys, "select count(*) from dual connect by level <= 1000000000");
  done = true;
  canceller.join();
  EXPECT_EQ(code, 1013);
  EXPECT_EQ(errorCode(*sys, "select 1 from dual"), 0) << "the session is usable again";
}

}  // namespace
}  // namespace ocisim::testing
