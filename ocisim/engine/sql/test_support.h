// Helpers shared by the parser tests of engine/sql (header-only, test code only).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <span>
#include <stdexcept>
#include <string>

#include "engine/sql/parser.h"

namespace ocisim::sql {

struct ErrorCase {
  const char* sql;
  int code;
};

// Expects every case to fail with its ORA code; reports the statement on a mismatch.
inline void expectErrors(std::span<const ErrorCase> cases) {
  for (const ErrorCase& c : cases) {
    try {
      parseStatement(c.sql);
      ADD_FAILURE() << "no error for: " << c.sql;
    } catch (const OraError& e) {
      EXPECT_EQ(e.code(), c.code) << c.sql << "\n  got: " << e.what();
    }
  }
}

// Parses a statement that must succeed and be of type T; a failure throws, which the test
// framework reports with the ORA message.
template <class T>
std::unique_ptr<T> parseAs(const std::string& sql) {
  std::unique_ptr<Statement> stmt = parseStatement(sql);
  auto* typed = dynamic_cast<T*>(stmt.get());
  if (!typed) throw std::runtime_error("parsed as another kind: " + sql);
  stmt.release();
  return std::unique_ptr<T>(typed);
}

}  // namespace ocisim::sql
