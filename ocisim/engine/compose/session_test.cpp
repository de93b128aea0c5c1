// Databases, logons, banners and the DBMS_OUTPUT buffer rules.
#include "engine/compose/engine.h"
#include "engine/compose/test_support.h"

#include <filesystem>

namespace ocisim::testing {
namespace {

TEST(DbmsOutputTest, IgnoredUntilEnabledAndDiscardedAfterAGet) {
  DbmsOutput out(19);
  out.putLine("lost");
  EXPECT_FALSE(out.getLine().has_value());
  out.enable(20000);
  out.put("a");
  out.put("b");
  out.putLine("c");
  out.putLine("second");
  EXPECT_EQ(out.getLine(), "abc");
  out.putLine("third");  // a put after a get discards what was not read
  EXPECT_EQ(out.getLine(), "third");
  EXPECT_FALSE(out.getLine().has_value());
  out.disable();
  out.enable(std::nullopt);
  EXPECT_FALSE(out.getLine().has_value()) << "DISABLE clears the buffer";
}

TEST(DbmsOutputTest, BufferAndLineLimits) {
  DbmsOutput out(19);
  out.enable(2000);
  std::string line(1000, 'x');
  out.putLine(line);
  out.putLine(line);
  try {
    out.putLine("one more");
    FAIL();
  } catch (const OraError& e) {
    EXPECT_EQ(e.code(), 20000);
    EXPECT_NE(e.text().find("ORU-10027"), std::string::npos);
  }
  DbmsOutput old(8);
  old.enable(20000);
  try {
    old.putLine(std::string(256, 'y'));
    FAIL();
  } catch (const OraError& e) {
    EXPECT_NE(e.text().find("ORU-10028"), std::string::npos);
  }
}

TEST(DatabaseTest, BannersByRelease) {
  auto banner = [](const char* version) {
    return createDatabaseInMemory({"X", version, "m"})->serverBanner();
  };
  EXPECT_NE(banner("7.3.4").find(" 7.3"), std::string::npos);
  EXPECT_NE(banner("8.0.5").find(" 8.0"), std::string::npos);
  EXPECT_EQ(banner("8.1.7").find(" 8.0"), std::string::npos);
  EXPECT_NE(banner("8.1.7").find("Oracle8i Enterprise Edition Release 8.1.7.0.0"),
            std::string::npos);
  EXPECT_EQ(banner("19.3.0"),
            "Oracle Database 19c Enterprise Edition Release 19.0.0.0.0 - Production\n"
            "Version 19.3.0.0.0");
  EXPECT_EQ(createDatabaseInMemory({"X", "7.3.4", "m"})->logon("SYSTEM", "m")->nls().dateFormat,
            "DD-MON-YY");
}

TEST(DatabaseTest, SameDirectoryGivesTheSameInstance) {
  std::string dir = ::testing::TempDir() + "ocisim_exec_same_dir";
  std::filesystem::remove_all(dir);
  auto db = createDatabase(dir, {"ONE", "19.3.0", "m"});
  auto again = openDatabase(dir + "/.");
  EXPECT_EQ(db.get(), again.get());
  EXPECT_THROW(createDatabase(dir, {}), OraError);
  auto s = again->logon("system", "m");
  EXPECT_EQ(s->user(), "SYSTEM");
  std::filesystem::remove_all(dir);
}

class QueryShapesTest : public EngineTest {};

TEST_F(QueryShapesTest, StarsQuotedNamesAndQualifiers) {
  exec(*sys, "create table \"Mixed\" (\"lower\" number, UP varchar2(5))");
  exec(*sys, "insert into \"Mixed\" values (1, 'a')");
  EXPECT_EQ(query(*sys, "select m.*, m.\"lower\" + 1 from \"Mixed\" m"), (Rows{{"1", "a", "2"}}));
  EXPECT_EQ(query(*sys, "select system.\"Mixed\".up from system.\"Mixed\""), (Rows{{"a"}}));
  EXPECT_EQ(errorCode(*sys, "select lower from \"Mixed\""), 904);
  auto stmt = sys->prepare("select * from \"Mixed\"");
  EXPECT_EQ(stmt->describe()[0].name, "lower");
  EXPECT_EQ(errorCode(*sys, "select x.* from \"Mixed\" m"), 904);
  EXPECT_EQ(errorCode(*sys, "select dummy from dual a, dual b"), 918);
}

TEST_F(QueryShapesTest, CaseDistinctAndStringComparison) {
  std::string gen = "(select level n from dual connect by level <= 5)";
  EXPECT_EQ(column(*sys,
                   "select case when n < 3 then 'low' when n < 5 then 'mid' else 'high' "
                   "end from " +
                       gen + " order by n"),
            (std::vector<std::string>{"low", "low", "mid", "mid", "high"}));
  EXPECT_EQ(column(*sys,
                   "select distinct case mod(n, 2) when 0 then 'even' else 'odd' end c "
                   "from " +
                       gen + " order by c"),
            (std::vector<std::string>{"even", "odd"}));
  EXPECT_EQ(query(*sys, "select 1 from dual where 'a ' = 'a'").size(), 1u)
      << "two text literals compare blank-padded";
  exec(*sys, "create table s (v varchar2(5), c char(5))");
  exec(*sys, "insert into s values ('a', 'a')");
  EXPECT_TRUE(query(*sys, "select 1 from s where v = 'a '").empty());
  EXPECT_EQ(query(*sys, "select 1 from s where c = 'a'").size(), 1u);
  EXPECT_EQ(column(*sys, "select '[' || c || ']' from s"), (std::vector<std::string>{"[a    ]"}));
}

}  // namespace
}  // namespace ocisim::testing
