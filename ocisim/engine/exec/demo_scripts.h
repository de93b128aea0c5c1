// The demo's scripts for tests: a file of the source tree, a script run statement by statement
// as the ocisim tool runs it, and a fixture holding the demo's order-entry schema.
#pragma once

#include <fstream>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/exec/session.h"
#include "engine/ora_error.h"
#include "engine/sql/script.h"

namespace ocisim::testing {

// A file of the source tree (OCISIM_SOURCE_ROOT is set by the build for the tests that read one).
inline std::string readSourceFile(const std::string& relative) {
  std::ifstream in(std::string(OCISIM_SOURCE_ROOT) + "/" + relative);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs every statement of a script as the ocisim tool does; returns "line N: error" for each
// statement that failed.
inline std::vector<std::string> runScript(Session& s, const std::string& script) {
  std::vector<std::string> failures;
  for (const sql::ScriptItem& item : sql::splitScript(script)) {
    if (item.kind != sql::ScriptItemKind::Statement) continue;
    try {
      auto result = s.execute(item.text);
      if (result.cursor) {
        Row row;
        while (result.cursor->fetch(row)) {
        }
      }
    } catch (const OraError& e) {
      failures.push_back("line " + std::to_string(item.line) + ": " + e.what());
    }
  }
  return failures;
}

// A database holding the demo's order-entry schema (release 2.4) for tests that query it the
// way the product does: SYSTEM and OE sessions. Base makes the database and the SYSTEM session
// (db, sys): the EngineTest of exec/test_support.h or of engine/compose/test_support.h.
template <class Base>
class DemoSchemaTest : public Base {
 protected:
  void SetUp() override {
    Base::SetUp();
    ASSERT_EQ(runScript(*this->sys, readSourceFile("demo/users.sql")), std::vector<std::string>{});
    oe = this->db->logon("OE", "oe");
    ASSERT_EQ(runScript(*oe, readSourceFile("demo/oe_current.sql")), std::vector<std::string>{});
  }
  // Binds as the product gives them (":owner" -> text).
  static BindSet binds(std::initializer_list<std::pair<const char*, const char*>> values) {
    BindSet b;
    for (const auto& [name, value] : values) b.set(name, Value::text(value));
    return b;
  }
  std::unique_ptr<Session> oe;
};

}  // namespace ocisim::testing
