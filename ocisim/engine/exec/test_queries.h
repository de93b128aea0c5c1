// Statements for tests, with rows that come back as text (NULL as "NULL", numbers as Oracle
// shows them). The fixtures that make a database to run them in: test_support.h (the executor
// alone) and engine/compose/test_support.h (the standard engine).
#pragma once

#include <string>
#include <vector>

#include "engine/exec/session.h"
#include "engine/ora_error.h"
#include "engine/value/conversion.h"

namespace ocisim::testing {

using Rows = std::vector<std::vector<std::string>>;

inline std::string show(const Value& v, const NlsSettings& nls) {
  return v.isNull() ? "NULL" : toText(v, nls);
}

// Runs a query and returns its rows as text.
inline Rows query(Session& s, const std::string& sql, BindSet binds = {}) {
  auto result = s.execute(sql, binds);
  Rows rows;
  Row row;
  while (result.cursor->fetch(row)) {
    std::vector<std::string> line;
    for (const Value& v : row) line.push_back(show(v, s.nls()));
    rows.push_back(std::move(line));
  }
  return rows;
}

// The rows of a one-column query, one string each.
inline std::vector<std::string> column(Session& s, const std::string& sql, BindSet binds = {}) {
  std::vector<std::string> out;
  for (auto& r : query(s, sql, std::move(binds))) out.push_back(r.at(0));
  return out;
}

inline uint64_t exec(Session& s, const std::string& sql, BindSet binds = {}) {
  return s.execute(sql, binds).rowCount;
}

// The ORA code a statement fails with, or 0 when it succeeds (queries are fetched to the end).
inline int errorCode(Session& s, const std::string& sql, BindSet binds = {}) {
  try {
    auto result = s.execute(sql, binds);
    if (result.cursor) {
      Row row;
      while (result.cursor->fetch(row)) {
      }
    }
  } catch (const OraError& e) {
    return e.code();
  }
  return 0;
}

}  // namespace ocisim::testing
