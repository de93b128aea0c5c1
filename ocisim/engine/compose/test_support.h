// Helpers for the tests of the standard engine: an in-memory database with the dictionary views
// (standardHooks()) and a SYSTEM session, and the statement helpers of
// engine/exec/test_queries.h.
#pragma once

#include <memory>

#include <gtest/gtest.h>

#include "engine/compose/engine.h"
#include "engine/exec/database.h"
#include "engine/exec/session.h"
#include "engine/exec/test_queries.h"

namespace ocisim::testing {

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db = Database::createInMemory({"TESTDB", "19.3.0", "manager"}, standardHooks());
    sys = db->logon("SYSTEM", "manager");
  }
  std::shared_ptr<Database> db;
  std::unique_ptr<Session> sys;
};

}  // namespace ocisim::testing
