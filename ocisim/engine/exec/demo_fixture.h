// A database holding the demo's order-entry schema (release 2.4) for tests that query it the
// way the product does: SYSTEM and OE sessions, and a helper running script texts.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/exec/test_support.h"
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

class DemoTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_EQ(runScript(*sys, readSourceFile("demo/users.sql")), std::vector<std::string>{});
    oe = db->logon("OE", "oe");
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
