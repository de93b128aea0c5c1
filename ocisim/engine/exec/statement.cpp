#include "engine/exec/statement.h"

#include <algorithm>
#include <cctype>

#include "engine/exec/compiler.h"
#include "engine/exec/exec_context.h"
#include "engine/exec/executor.h"
#include "engine/exec/query_sequences.h"
#include "engine/ora_error.h"
#include "engine/sql/parser.h"

namespace ocisim {
namespace {

// Calls the persistence hook's endStatement however the statement ends.
class HookScope {
 public:
  HookScope(Database& db, bool writes) : db_(db), hook_(db.persistence()) {
    if (hook_) hook_->beginStatement(db_, writes);
  }
  ~HookScope() {
    if (hook_) hook_->endStatement(db_);
  }
  HookScope(const HookScope&) = delete;
  HookScope& operator=(const HookScope&) = delete;
  PersistenceHook* hook() const { return hook_; }

 private:
  Database& db_;
  PersistenceHook* hook_;
};

// One execution of a query: its own binds, context and plan.
class QueryCursor : public Cursor {
 public:
  QueryCursor(std::unique_ptr<BindSet> binds, std::unique_ptr<ExecContext> ctx)
      : binds_(std::move(binds)), ctx_(std::move(ctx)), sequences_(ctx_->db) {
    env_.ctx = ctx_.get();
  }

  void start(CompiledQuery query) {
    query_ = std::move(query);
    query_.root->open(env_);
    commitSequences(false);
  }

  const std::vector<ColumnInfo>& columns() const override { return query_.columns; }
  uint64_t rowCount() const override { return fetched_; }

  bool fetch(Row& row) override {
    if (done_) return false;
    Database& db = ctx_->db;
    std::lock_guard lock(db.mutex());
    ctx_->session.clearCancel();
    HookScope hook(db, false);
    sequences_.beforeFetch();
    try {
      if (!query_.root->next(row)) {
        done_ = true;
        commitSequences(true);
        return false;
      }
    } catch (...) {
      done_ = true;
      throw;
    }
    ++fetched_;
    commitSequences(false);
    return true;
  }

  // The lock and the storage's catch-up once for the whole batch, not once per row.
  size_t fetchMany(std::vector<Row>& rows, size_t max, std::exception_ptr& error) override {
    if (done_) return 0;
    Database& db = ctx_->db;
    std::lock_guard lock(db.mutex());
    ctx_->session.clearCancel();
    HookScope hook(db, false);
    size_t count = 0;
    try {
      while (count < max) {
        if (rows.size() == count) rows.emplace_back();
        sequences_.beforeFetch();
        if (!query_.root->next(rows[count])) {
          done_ = true;
          commitSequences(true);
          break;
        }
        ++fetched_;
        ++count;
        commitSequences(false);
      }
    } catch (...) {
      done_ = true;
      error = std::current_exception();
    }
    return count;
  }

 private:
  // NEXTVAL in a select list advances sequences; storage must keep that (see
  // QuerySequenceWriter for how few writes that takes).
  void commitSequences(bool finished) {
    std::vector<ObjectId> touched = std::move(ctx_->sequencesTouched);
    ctx_->sequencesTouched.clear();
    sequences_.afterFetch(touched, finished);
  }

  std::unique_ptr<BindSet> binds_;
  std::unique_ptr<ExecContext> ctx_;
  QuerySequenceWriter sequences_;
  CompiledQuery query_;
  EvalEnv env_;
  bool done_ = false;
  uint64_t fetched_ = 0;
};

}  // namespace

// ---- Cursor ----

size_t Cursor::fetchMany(std::vector<Row>& rows, size_t max, std::exception_ptr& error) {
  size_t count = 0;
  try {
    while (count < max) {
      if (rows.size() == count) rows.emplace_back();
      if (!fetch(rows[count])) break;
      ++count;
    }
  } catch (...) {
    error = std::current_exception();
  }
  return count;
}

// ---- BindSet ----

void BindSet::set(const std::string& name, Value value) {
  values_[normalize(name)] = std::move(value);
}

const Value* BindSet::find(const std::string& name) const {
  auto it = values_.find(name);
  return it == values_.end() ? nullptr : &it->second;
}

Value* BindSet::findMutable(const std::string& name) {
  auto it = values_.find(name);
  return it == values_.end() ? nullptr : &it->second;
}

std::string BindSet::normalize(std::string_view name) {
  if (!name.empty() && name.front() == ':') name.remove_prefix(1);
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
    return std::string(name.substr(1, name.size() - 2));
  }
  std::string out(name);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// ---- PreparedStatement ----

struct PreparedStatement::Impl {
  Session& session;
  std::unique_ptr<sql::Statement> stmt;
  std::vector<ColumnInfo> described;
  bool hasDescribe = false;
};

PreparedStatement::PreparedStatement(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
PreparedStatement::~PreparedStatement() = default;

const std::string& PreparedStatement::text() const {
  return impl_->stmt->text;
}
int PreparedStatement::statementType() const {
  return impl_->stmt->ociStatementType();
}
int PreparedStatement::sqlFunctionCode() const {
  return impl_->stmt->sqlFunctionCode();
}
bool PreparedStatement::isQuery() const {
  return impl_->stmt->kind == sql::StatementKind::Select;
}
bool PreparedStatement::isPlsql() const {
  return impl_->stmt->kind == sql::StatementKind::PlsqlBlock;
}
const std::vector<std::string>& PreparedStatement::bindNames() const {
  return impl_->stmt->bindNames;
}

const std::vector<ColumnInfo>& PreparedStatement::describe() {
  if (impl_->hasDescribe || !isQuery()) return impl_->described;
  Database& db = impl_->session.database();
  std::lock_guard lock(db.mutex());
  HookScope hook(db, false);
  ExecContext ctx(impl_->session, nullptr);
  Compiler compiler(ctx);
  CompiledQuery q = compiler.compileQuery(*impl_->stmt->as<sql::SelectStmt>().query, nullptr);
  impl_->described = q.columns;
  impl_->hasDescribe = true;
  return impl_->described;
}

ExecResult PreparedStatement::execute(BindSet& binds) {
  Session& session = impl_->session;
  Database& db = session.database();
  const sql::Statement& stmt = *impl_->stmt;
  for (const std::string& name : stmt.bindNames) {
    if (!binds.contains(name)) throw OraError(1008);
  }
  std::lock_guard lock(db.mutex());
  session.clearCancel();
  ExecResult result;
  if (isQuery()) {
    HookScope hook(db, false);
    auto ownBinds = std::make_unique<BindSet>(binds);
    auto ctx = std::make_unique<ExecContext>(session, ownBinds.get());
    Compiler compiler(*ctx);
    CompiledQuery q = compiler.compileQuery(*stmt.as<sql::SelectStmt>().query, nullptr);
    impl_->described = q.columns;
    impl_->hasDescribe = true;
    auto cursor = std::make_unique<QueryCursor>(std::move(ownBinds), std::move(ctx));
    cursor->start(std::move(q));
    result.cursor = std::move(cursor);
    return result;
  }
  HookScope hook(db, true);
  ExecContext ctx(session, &binds);
  ctx.outBinds = &binds;
  try {
    result.rowCount = runStatement(ctx, stmt);
    result.warning = ctx.warning;
    CommitRecord record = ctx.commitRecord();
    if (hook.hook() && !record.empty()) hook.hook()->commit(db, record);
    // The statement committed: ON COMMIT DELETE ROWS empties the session's temporary rows.
    db.endTemporaryTransaction(session.sessionId());
  } catch (const OraError& e) {
    ctx.undo.rollback();
    // Before release 10 a value too large for its column was reported without the details.
    if (e.code() == 12899 && db.majorVersion() < 10) throw OraError(1401);
    throw;
  } catch (...) {
    ctx.undo.rollback();
    throw;
  }
  return result;
}

// ---- Session::prepare ----

std::unique_ptr<PreparedStatement> Session::prepare(std::string_view sqlText) {
  sql::ParseOptions options;
  if (database().majorVersion() < 12 ||
      (database().majorVersion() == 12 && database().minorVersion() < 2)) {
    options.maxIdentifierLength = 30;
  }
  options.release = database().majorVersion() * 100 + database().minorVersion();
  auto impl = std::make_unique<PreparedStatement::Impl>(
      PreparedStatement::Impl{*this, sql::parseStatement(sqlText, options), {}, false});
  return std::unique_ptr<PreparedStatement>(new PreparedStatement(std::move(impl)));
}

}  // namespace ocisim
