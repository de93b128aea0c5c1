// Stmt: prepare, binds, defines, execute and the describe attributes. Fetching is in
// statement_fetch.cpp.
#include <algorithm>
#include <cctype>

#include "faults.h"
#include "statement.h"
#include "transfer.h"

namespace ocisim::oci {
namespace {

std::string upperWord(std::string_view text, size_t pos) {
  std::string word;
  while (pos < text.size() && std::isalpha(static_cast<unsigned char>(text[pos])))
    word += static_cast<char>(std::toupper(static_cast<unsigned char>(text[pos++])));
  return word;
}

// The position of the first keyword: blanks, comments and opening parentheses skipped.
size_t firstKeyword(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (std::isspace(static_cast<unsigned char>(c)) || c == '(') {
      ++i;
    } else if (text.substr(i, 2) == "--") {
      size_t end = text.find('\n', i);
      i = end == std::string_view::npos ? text.size() : end + 1;
    } else if (text.substr(i, 2) == "/*") {
      size_t end = text.find("*/", i + 2);
      i = end == std::string_view::npos ? text.size() : end + 2;
    } else {
      break;
    }
  }
  return i;
}

}  // namespace

ub2 statementTypeOf(std::string_view text) {
  std::string word = upperWord(text, firstKeyword(text));
  static const struct {
    const char* word;
    ub2 type;
  } kTypes[] = {
      {"SELECT", OCI_STMT_SELECT},   {"WITH", OCI_STMT_SELECT},   {"UPDATE", OCI_STMT_UPDATE},
      {"DELETE", OCI_STMT_DELETE},   {"INSERT", OCI_STMT_INSERT}, {"CREATE", OCI_STMT_CREATE},
      {"DROP", OCI_STMT_DROP},       {"ALTER", OCI_STMT_ALTER},   {"BEGIN", OCI_STMT_BEGIN},
      {"DECLARE", OCI_STMT_DECLARE}, {"CALL", OCI_STMT_CALL}};
  for (const auto& entry : kTypes) {
    if (word == entry.word) return entry.type;
  }
  return OCI_STMT_UNKNOWN;
}

Stmt::~Stmt() {
  closeCursor();
  statement_.reset();
}

void Stmt::prepare(std::string text) {
  closeCursor();
  statement_.reset();
  session_.reset();
  binds_.clear();
  defines_.clear();
  params_.clear();
  columns_.clear();
  described_ = false;
  executed_ = false;
  exhausted_ = false;
  rowCount_ = 0;
  rowsFetched_ = 0;
  piece_ = PieceState();
  // Some clients count the terminating NUL in the statement length.
  while (!text.empty() && text.back() == '\0') text.pop_back();
  text_ = std::move(text);
  statementType_ = statementTypeOf(text_);
  prepared_ = true;
}

Bind* Stmt::bind(Bind* reuse, std::string name) {
  if (!prepared_) throw oraError(24337, "statement handle not prepared");
  std::string normalized = BindSet::normalize(name);
  if (normalized.empty()) throw oraError(1036, "illegal variable name/number");
  Bind* target = nullptr;
  for (auto& b : binds_) {
    if (b.get() == reuse || b->name == normalized) target = b.get();
  }
  if (target == nullptr) {
    binds_.push_back(std::make_unique<Bind>(env(), this));
    target = binds_.back().get();
  }
  target->name = normalized;
  return target;
}

Define* Stmt::define(Define* reuse, ub4 position) {
  if (!prepared_) throw oraError(24337, "statement handle not prepared");
  if (position == 0) throw oraError(1007, "variable not in select list");
  Define* target = nullptr;
  for (auto& d : defines_) {
    if (d->position == position) target = d.get();
  }
  if (target == nullptr && reuse != nullptr) {
    for (auto& d : defines_) {
      if (d.get() == reuse) target = d.get();
    }
  }
  if (target == nullptr) {
    defines_.push_back(std::make_unique<Define>(env(), this));
    target = defines_.back().get();
  }
  target->position = position;
  std::stable_sort(defines_.begin(), defines_.end(),
                   [](const auto& a, const auto& b) { return a->position < b->position; });
  return target;
}

SessionState& Stmt::useSession(SvcCtx& svc) {
  SessionHandle* sessionHandle = svc.sessionHandle();
  ServerHandle* server = svc.serverHandle();
  if (server == nullptr || !server->connection) throw OraError(3114);
  if (sessionHandle == nullptr || !sessionHandle->state) throw oraError(1012, "not logged on");
  std::shared_ptr<SessionState> state = sessionHandle->state;
  if (state->connection->lost || state->connection->detached) throw OraError(3114);
  if (session_ != state) {
    closeCursor();
    statement_.reset();
    session_ = std::move(state);
  }
  return *session_;
}

PreparedStatement& Stmt::prepared(SessionState& state) {
  if (!statement_) statement_ = state.session->prepare(text_);
  return *statement_;
}

void Stmt::checkConnection() const {
  if (!session_) throw OraError(24338);
  if (session_->ended) throw oraError(1012, "not logged on");
  const Connection& connection = *session_->connection;
  if (connection.lost || connection.detached) throw OraError(3114);
}

sword Stmt::execute(SvcCtx& svc, ub4 iterations, ub4 rowOffset, ub4 mode, CallErrors& errors) {
  if (!prepared_) throw oraError(24337, "statement handle not prepared");
  SessionState& state = useSession(svc);
  Connection& connection = *state.connection;
  connection.breakRequested = false;  // a break sent while nothing ran is forgotten
  closeCursor();
  piece_ = PieceState();
  rowCount_ = 0;
  rowsFetched_ = 0;
  roundTrips_ = 0;
  executed_ = false;
  exhausted_ = false;
  if (Faults::countCallLosesConnection()) {
    connection.lost = true;
    throw OraError(3113);
  }
  if (int code = Faults::statementFailure(text_); code != 0) {
    if (code == 3113) connection.lost = true;  // an injected end-of-file loses the connection
    if (oraMessageTemplate(code) != nullptr)
      throw OraError(code, {"OCISIM_FAULTS", "OCISIM_FAULTS", "OCISIM_FAULTS"});
    throw oraError(code, "failure injected by OCISIM_FAULTS");
  }
  PreparedStatement& statement = prepared(state);
  for (const auto& b : binds_) {
    const auto& names = statement.bindNames();
    if (std::find(names.begin(), names.end(), b->name) == names.end())
      throw oraError(1036, "illegal variable name/number");
  }
  if (statement.isQuery()) return executeQuery(iterations, mode, errors);
  if ((mode & OCI_DESCRIBE_ONLY) != 0) return OCI_SUCCESS;
  return executeOther(iterations, rowOffset, errors);
}

sword Stmt::executeQuery(ub4 iterations, ub4 mode, CallErrors& errors) {
  params_.clear();
  if ((mode & OCI_DESCRIBE_ONLY) != 0) {
    columns_ = statement_->describe();
    described_ = true;
    return OCI_SUCCESS;
  }
  BindSet binds;
  buildBinds(binds, 0);
  ExecResult result = statement_->execute(binds);
  cursor_ = std::move(result.cursor);
  columns_ = cursor_->columns();
  described_ = true;
  executed_ = true;
  if (iterations == 0) return OCI_SUCCESS;
  piece_.rows = iterations;
  return fetchRows(errors);
}

sword Stmt::executeOther(ub4 iterations, ub4 rowOffset, CallErrors& errors) {
  if (iterations == 0) throw OraError(24333);
  uint64_t total = 0;
  int warning = 0;
  try {
    for (ub4 i = rowOffset; i < iterations; ++i) {
      BindSet binds;
      buildBinds(binds, i);
      ExecResult result = statement_->execute(binds);
      total += result.rowCount;
      if (result.warning != 0) warning = result.warning;
      if (statement_->isPlsql()) writeOutBinds(binds, i);
    }
  } catch (const OraError& e) {
    rowCount_ = static_cast<ub4>(total);
    // A block whose SELECT INTO finds nothing ends with no data; stored code created with
    // compilation errors succeeds with information.
    if (e.code() == 1403 && statement_->isPlsql()) {
      errors.set(e);
      return OCI_NO_DATA;
    }
    if (e.code() == 24344) {
      errors.set(e);
      return OCI_SUCCESS_WITH_INFO;
    }
    throw;
  }
  rowCount_ = static_cast<ub4>(total);
  if (warning != 0) {  // e.g. a FORCE view created with compilation errors
    errors.set(OraError(warning));
    return OCI_SUCCESS_WITH_INFO;
  }
  return OCI_SUCCESS;
}

void Stmt::buildBinds(BindSet& binds, ub4 iteration) const {
  for (const auto& b : binds_) {
    ElementBuffers element =
        elementAt(b->value, b->size, b->indicators, b->lengths, b->codes, iteration);
    Value value = readBindValue(element, b->dty);
    // The name is already normalised; a quoted name must not be upper-cased again.
    binds.set(b->name == BindSet::normalize(b->name) ? b->name : "\"" + b->name + "\"",
              std::move(value));
  }
}

void Stmt::writeOutBinds(const BindSet& binds, ub4 iteration) const {
  for (const auto& b : binds_) {
    const Value* value = binds.find(b->name);
    if (value == nullptr) continue;
    ElementBuffers element =
        elementAt(b->value, b->size, b->indicators, b->lengths, b->codes, iteration);
    writeBindValue(element, b->dty, *value, nls());
  }
}

ub2 Stmt::functionCode() const {
  return statement_ ? static_cast<ub2>(statement_->sqlFunctionCode()) : 0;
}

ub4 Stmt::paramCount() {
  if (described_) return static_cast<ub4>(columns_.size());
  if (statementType_ == OCI_STMT_SELECT) throw OraError(24338);
  return 0;
}

Param* Stmt::param(ub4 position) {
  if (!described_) throw OraError(24338);
  if (position < 1 || position > columns_.size()) throw OraError(24334);
  if (params_.size() < columns_.size()) params_.resize(columns_.size());
  auto& slot = params_[position - 1];
  if (!slot) slot = std::make_unique<Param>(env(), this, columns_[position - 1]);
  return slot.get();
}

bool Stmt::freeParam(Param* param) {
  for (auto& slot : params_) {
    if (slot.get() == param) {
      slot.reset();
      return true;
    }
  }
  return false;
}

void Stmt::closeCursor() {
  cursor_.reset();
  piece_.active = false;
  heldNext_ = heldCount_ = 0;
  serverExhausted_ = false;
  heldError_ = nullptr;
}

}  // namespace ocisim::oci
