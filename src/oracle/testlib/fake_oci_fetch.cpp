// Execution and fetching of the fake OCI library: result sets into SQLT_STR / SQLT_INT define
// arrays with indicators, lengths and return codes, piecewise LONG fetch, the DBMS_OUTPUT
// get_line block, and the scripted faults.
#include <algorithm>
#include <cstring>

#include "oracle/testlib/fake_oci_state.h"

namespace fakeoci {

namespace {

bool contains(const std::string& text, const std::string& part) {
  return upper(text).find(upper(part)) != std::string::npos;
}

Bind* findBind(Stmt* stmt, const std::string& name) {
  for (auto& b : stmt->binds) {
    if (b->name == name) return b.get();
  }
  return nullptr;
}

void writeString(Bind* bind, const std::string& value) {
  if (bind == nullptr || bind->value == nullptr || bind->size <= 0) return;
  size_t n = std::min(value.size(), static_cast<size_t>(bind->size - 1));
  std::memcpy(bind->value, value.data(), n);
  bind->value[n] = '\0';
}

void writeInt(Bind* bind, int32_t value) {
  if (bind != nullptr && bind->value != nullptr && bind->size == 4)
    std::memcpy(bind->value, &value, sizeof value);
}

// "declare line ...; begin dbms_output.get_line(line, :more); :line := nvl(line,' '); end;"
void runGetLine(State& s, Stmt* stmt) {
  Bind* line = findBind(stmt, ":LINE");
  Bind* more = findBind(stmt, ":MORE");
  if (s.outputLines.empty()) {
    writeString(line, " ");
    writeInt(more, 1);
    return;
  }
  writeString(line, s.outputLines.front().empty() ? " " : s.outputLines.front());
  s.outputLines.erase(s.outputLines.begin());
  writeInt(more, 0);
}

// Puts one value into element `element` of a define array. Returns the column return code.
ub2 placeValue(Define* d, size_t element, const std::optional<std::string>& value, bool* nullErr) {
  if (d->value == nullptr && d->dty != SQLT_LNG) return 0;
  sb2* ind = d->indicators != nullptr ? d->indicators + element : nullptr;
  ub2* len = d->lengths != nullptr ? d->lengths + element : nullptr;
  if (!value) {
    if (ind != nullptr)
      *ind = OCI_IND_NULL;
    else
      *nullErr = true;
    if (len != nullptr) *len = 0;
    return 1405;
  }
  if (ind != nullptr) *ind = OCI_IND_NOTNULL;
  char* target = d->value + element * static_cast<size_t>(d->size);
  if (d->dty == SQLT_INT && d->size == 4) {
    int32_t v = static_cast<int32_t>(std::strtol(value->c_str(), nullptr, 10));
    std::memcpy(target, &v, sizeof v);
    if (len != nullptr) *len = 4;
    return 0;
  }
  size_t room = d->size > 0 ? static_cast<size_t>(d->size - 1) : 0;
  size_t n = std::min(value->size(), room);
  std::memcpy(target, value->data(), n);
  if (d->size > 0) target[n] = '\0';
  if (len != nullptr) *len = static_cast<ub2>(n);
  if (n == value->size()) return 0;
  if (ind != nullptr) *ind = value->size() > 32767 ? -2 : static_cast<sb2>(value->size());
  return 1406;
}

Define* longDefine(Stmt* stmt) {
  for (auto& d : stmt->defines) {
    if (d->mode == OCI_DYNAMIC_FETCH) return d.get();
  }
  return nullptr;
}

// Delivers up to `rows` rows into the define arrays, starting at element 0.
sword deliver(Stmt* stmt, Error* err, ub4 rows) {
  const Result& r = *stmt->result;
  size_t available = r.rows.size() - stmt->cursor;
  size_t n = std::min<size_t>(rows, available);
  bool truncated = false, nullErr = false;
  for (size_t i = 0; i < n; ++i) {
    const Row& row = r.rows[stmt->cursor + i];
    for (auto& d : stmt->defines) {
      if (d->position < 1 || d->position > row.size()) continue;
      ub2 code = placeValue(d.get(), i, row[d->position - 1], &nullErr);
      if (d->codes != nullptr) d->codes[i] = code == 1405 ? 1405 : code;
      truncated = truncated || code == 1406;
    }
  }
  stmt->cursor += n;
  stmt->rowCount += static_cast<ub4>(n);
  stmt->rowsFetched = static_cast<ub4>(n);
  if (nullErr) return fail(err, 1405);
  if (n < rows) {
    stmt->exhausted = true;
    fail(err, 1403);
    return OCI_NO_DATA;
  }
  if (truncated) {
    fail(err, stmt->defines.front()->indicators != nullptr ? 24345 : 1406);
    return OCI_SUCCESS_WITH_INFO;
  }
  return OCI_SUCCESS;
}

// One step of a piecewise fetch of the LONG column of the current row.
sword deliverPiece(Stmt* stmt, Error* err) {
  Define* d = stmt->pieceDefine;
  if (d->pieceBuffer == nullptr || d->pieceLength == nullptr) return fail(err, 1002);
  size_t n = std::min<size_t>(*d->pieceLength, stmt->pieceValue.size() - stmt->pieceOffset);
  std::memcpy(d->pieceBuffer, stmt->pieceValue.data() + stmt->pieceOffset, n);
  *d->pieceLength = static_cast<ub4>(n);
  stmt->pieceOffset += n;
  if (stmt->pieceOffset < stmt->pieceValue.size()) return OCI_NEED_DATA;
  stmt->pieceDefine = nullptr;
  stmt->cursor += 1;
  stmt->rowCount += 1;
  stmt->rowsFetched = 1;
  return OCI_SUCCESS;
}

sword startPieces(Stmt* stmt, Error* err, Define* d) {
  if (stmt->cursor >= stmt->result->rows.size()) {
    stmt->exhausted = true;
    stmt->rowsFetched = 0;
    fail(err, 1403);
    return OCI_NO_DATA;
  }
  const Row& row = stmt->result->rows[stmt->cursor];
  const auto& cell = d->position <= row.size() ? row[d->position - 1] : std::nullopt;
  if (!cell || cell->empty()) {
    stmt->cursor += 1;
    stmt->rowCount += 1;
    stmt->rowsFetched = 1;
    return OCI_SUCCESS;
  }
  stmt->pieceDefine = d;
  stmt->pieceValue = *cell;
  stmt->pieceOffset = 0;
  d->pieceBuffer = nullptr;
  d->pieceLength = nullptr;
  return OCI_NEED_DATA;
}

sword checkServer(Server* server, Error* err) {
  if (server == nullptr || !server->attached) return fail(err, 3114);
  if (server->lost) return fail(err, 3114);
  return OCI_SUCCESS;
}

sword strike(Server* server, Error* err, int code, const std::string& message) {
  if (isLostConnectionCode(code) && server != nullptr) server->lost = true;
  return fail(err, code, message);
}

}  // namespace

sword execute(State& s, SvcCtx* svc, Stmt* stmt, Error* err, ub4 iterations) {
  Server* server = svc->server;
  if (sword status = checkServer(server, err); status != OCI_SUCCESS) return status;
  if (svc->session == nullptr || !svc->session->begun) return fail(err, 1012);
  s.executed.push_back(stmt->text);
  for (auto& b : stmt->binds) s.lastBinds[b->name] = bindValue(*b);
  std::string message;
  if (int code = callFailure(s, "OCIStmtExecute", &message))
    return strike(server, err, code, message);
  if (int code = statementFailure(s, stmt->text, &message))
    return strike(server, err, code, message);

  stmt->server = server;
  stmt->executed = true;
  stmt->exhausted = false;
  stmt->cursor = 0;
  stmt->rowCount = 0;
  stmt->rowsFetched = 0;
  stmt->pieceDefine = nullptr;
  stmt->result.reset();
  if (stmt->stmtType != OCI_STMT_SELECT) {
    if (iterations == 0) return fail(err, 24333);
    if (contains(stmt->text, "dbms_output.get_line")) runGetLine(s, stmt);
    return OCI_SUCCESS;
  }
  const Result* result = findResult(s, *stmt);
  if (result == nullptr) return fail(err, 942);
  stmt->result = *result;
  if (iterations == 0) return OCI_SUCCESS;
  if (Define* d = longDefine(stmt)) return startPieces(stmt, err, d);
  return deliver(stmt, err, iterations);
}

sword fetch(State& s, Stmt* stmt, Error* err, ub4 rows) {
  if (!stmt->executed || !stmt->result) return fail(err, 24338);
  if (sword status = checkServer(stmt->server, err); status != OCI_SUCCESS) return status;
  if (stmt->server->breakRequested) {
    stmt->server->breakRequested = false;
    return fail(err, 1013);
  }
  std::string message;
  if (int code = callFailure(s, "OCIStmtFetch", &message))
    return strike(stmt->server, err, code, message);
  if (stmt->pieceDefine != nullptr) return deliverPiece(stmt, err);
  if (stmt->exhausted) {
    stmt->rowsFetched = 0;
    fail(err, 1403);
    return OCI_NO_DATA;
  }
  if (rows == 0) {
    stmt->exhausted = true;
    return OCI_SUCCESS;
  }
  if (Define* d = longDefine(stmt)) return startPieces(stmt, err, d);
  return deliver(stmt, err, rows);
}

}  // namespace fakeoci
