// Helpers for the executor's tests: an in-memory database of the executor alone (DUAL, no
// dictionary views, no storage) with a SYSTEM session, and the statement helpers of
// test_queries.h.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/exec/database.h"
#include "engine/exec/session.h"
#include "engine/exec/test_queries.h"
#include "engine/exec/virtual_table.h"

namespace ocisim::testing {

// The hooks of the executor's test databases: DUAL (one row, DUMMY 'X', as the dictionary has
// it) and no storage. The dictionary views and the storage sit above this layer; the tests
// that read them run over the standard engine (engine/compose).
inline DatabaseHooks dualOnly() {
  DatabaseHooks hooks;
  hooks.installViews = [](Database&, VirtualTableRegistry& registry) {
    registry.add("DUAL", std::make_shared<LambdaVirtualTable>(
                             std::vector<VirtualColumn>{{"DUMMY", DataType::varchar2(1)}},
                             [](const VirtualScanContext&, const RowEmitter& emit) {
                               emit(Row{Value::text("X")});
                             }));
  };
  return hooks;
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db = Database::createInMemory({"TESTDB", "19.3.0", "manager"}, dualOnly());
    sys = db->logon("SYSTEM", "manager");
  }
  std::shared_ptr<Database> db;
  std::unique_ptr<Session> sys;
};

}  // namespace ocisim::testing
