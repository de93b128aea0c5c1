// The demo schemas, run statement by statement as the ocisim tool runs scripts: every
// statement must succeed, and the data must come out as written.
#include "engine/exec/demo_fixture.h"

namespace ocisim::testing {
namespace {

class DemoScriptTest : public EngineTest {
 protected:
  std::unique_ptr<Session> buildSchema(const std::string& script) {
    EXPECT_EQ(runScript(*sys, readSourceFile("demo/users.sql")), std::vector<std::string>{});
    auto oe = db->logon("OE", "oe");
    EXPECT_EQ(runScript(*oe, readSourceFile(script)), std::vector<std::string>{});
    return oe;
  }
};

TEST_F(DemoScriptTest, CurrentReleaseBuildsCleanly) {
  auto oe = buildSchema("demo/oe_current.sql");
  EXPECT_EQ(column(*oe, "select count(*) from customers"), (std::vector<std::string>{"7"}));
  EXPECT_EQ(column(*oe, "select cust_last_name from customers where customer_id = 105"),
            (std::vector<std::string>{"O'Brien"}));
  EXPECT_EQ(query(*oe, "select product_id, on_hand from product_stock_v order by 1"),
            (Rows{{"1726", "182"}, {"2289", "300"}, {"3106", "41"}, {"3127", "7"}}));
  EXPECT_EQ(column(*oe, "select count(*) from customer_orders_v where loyalty_tier = 'SILVER'"),
            (std::vector<std::string>{"2"}));
  auto rpt = db->logon("RPT", "rpt");
  EXPECT_EQ(column(*rpt, "select count(*) from oe.orders"), (std::vector<std::string>{"4"}));
  EXPECT_EQ(errorCode(*rpt, "select * from oe.products"), 942);
}

TEST_F(DemoScriptTest, ProductionReleaseBuildsCleanly) {
  auto oe = buildSchema("demo/oe_production.sql");
  EXPECT_GT(std::stoi(column(*oe, "select count(*) from orders").at(0)), 0);
}

}  // namespace
}  // namespace ocisim::testing
