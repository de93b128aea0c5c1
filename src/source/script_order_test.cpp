#include "source/script_order.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

ScriptOrder::Deferred deferred(const std::string& key, const std::string& waits) {
  return {key, waits, {{"CREATE " + key, ReportColour::Blue}}};
}

TEST(ScriptOrder, AnObjectWaitsOnlyForWhatThisRunStillCreates) {
  ScriptOrder order;
  order.begin({"TRIGGER", "VIEW", "FUNCTION"});
  order.setDependencies({{"A", "VIEW", "B", "VIEW"},
                         {"A", "VIEW", "T", "TABLE"},
                         {"A", "VIEW", "F", "FUNCTION"},
                         {"P", "PROCEDURE", "B", "VIEW"}},
                        DependencyRead::Read);
  order.phaseBegins("VIEW", {"A", "B"});
  // A table is no stored code of the run; B and F are still to come.
  EXPECT_EQ(order.waitsFor("VIEW A"), (std::vector<std::string>{"FUNCTION F", "VIEW B"}));
  // PL/SQL never waits.
  EXPECT_TRUE(order.waitsFor("PROCEDURE P").empty());
  order.defer(deferred("VIEW A", "FUNCTION F and VIEW B"));
  order.written("VIEW B");
  EXPECT_TRUE(order.takeReady().empty());
  order.phaseEnded("VIEW");
  order.phaseBegins("FUNCTION", {});
  // F is not written by the functions' phase: it is settled.
  const std::vector<ScriptOrder::Deferred> ready = order.takeReady();
  ASSERT_EQ(ready.size(), 1u);
  EXPECT_EQ(ready[0].key, "VIEW A");
  EXPECT_TRUE(order.isLastPlanned("FUNCTION"));
}

TEST(ScriptOrder, WaitsChainAndPhasesThatDoNotRunAreSettled) {
  ScriptOrder order;
  order.begin({"TRIGGER", "VIEW"});
  order.addDependency("TRIGGER G", "VIEW A");
  order.setDependencies({{"A", "VIEW", "B", "VIEW"}, {"B", "VIEW", "F", "FUNCTION"}},
                        DependencyRead::Read);
  order.phaseBegins("TRIGGER", {"G"});
  EXPECT_EQ(order.waitsFor("TRIGGER G"), std::vector<std::string>{"VIEW A"});
  order.defer(deferred("TRIGGER G", "VIEW A"));
  order.phaseEnded("TRIGGER");
  order.phaseBegins("VIEW", {"A", "B"});
  // Functions are not compared in this run: B need not wait for F.
  EXPECT_TRUE(order.waitsFor("VIEW B").empty());
  order.defer(deferred("VIEW A", "VIEW B"));
  order.written("VIEW B");
  const std::vector<ScriptOrder::Deferred> ready = order.takeReady();
  ASSERT_EQ(ready.size(), 2u);
  EXPECT_EQ(ready[0].key, "VIEW A");
  EXPECT_EQ(ready[1].key, "TRIGGER G");
  EXPECT_FALSE(order.hasDeferred());
}

TEST(ScriptOrder, OnlyViewsAndTypesTakeTheirWaitsFromTheDictionary) {
  ScriptOrder order;
  order.begin({"TYPE", "TYPE BODY"});
  order.setDependencies({{"S", "TYPE", "P", "TYPE"}, {"S", "TYPE", "X", "TABLE"}},
                        DependencyRead::Read);
  order.phaseBegins("TYPE", {"S", "P"});
  EXPECT_EQ(order.waitsFor("TYPE S"), std::vector<std::string>{"TYPE P"});
  EXPECT_TRUE(ScriptOrder::orderMatters("PACKAGE BODY"));
  EXPECT_FALSE(ScriptOrder::orderMatters("FUNCTION"));
}

}  // namespace
}  // namespace velmora
