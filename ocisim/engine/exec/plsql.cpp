// Anonymous PL/SQL blocks: scalar variables, assignments to variables and binds, IF, loops,
// EXIT, nested blocks with exception handlers, RAISE_APPLICATION_ERROR, the DBMS_OUTPUT calls,
// SELECT ... INTO and DML. Stored procedures are kept as source and never run: calling one
// fails with ORA-03001.
#include <map>

#include "engine/exec/compiler.h"
#include "engine/exec/ddl_util.h"
#include "engine/exec/executor.h"
#include "engine/ora_error.h"
#include "engine/value/coercion.h"
#include "engine/value/conversion.h"

namespace ocisim {
namespace {

enum class Flow { Normal, Exit, Return };

struct Variable {
  Value value;
  DataType type;
  bool constant = false;
  bool isBoolean = false;
};

// Predefined exceptions and their codes.
int exceptionCode(const std::string& name) {
  static const std::map<std::string, int> codes = {
      {"NO_DATA_FOUND", 1403},  {"TOO_MANY_ROWS", 1422},      {"ZERO_DIVIDE", 1476},
      {"VALUE_ERROR", 6502},    {"INVALID_NUMBER", 1722},     {"DUP_VAL_ON_INDEX", 1},
      {"INVALID_CURSOR", 1001}, {"CURSOR_ALREADY_OPEN", 6511}};
  auto it = codes.find(name);
  return it == codes.end() ? 0 : it->second;
}

class Interpreter : public VariableScope {
 public:
  explicit Interpreter(ExecContext& ctx) : ctx_(ctx) {}

  Value* findVariable(const std::string& name, DataType* type) override {
    for (auto frame = frames_.rbegin(); frame != frames_.rend(); ++frame) {
      auto it = frame->find(name);
      if (it != frame->end()) {
        if (type) *type = it->second.type;
        return &it->second.value;
      }
    }
    return nullptr;
  }

  Flow runBlock(const sql::PlsqlBlock& block) {
    frames_.emplace_back();
    try {
      for (const sql::VarDecl& d : block.declarations) declare(d);
      Flow flow = runList(block.body);
      frames_.pop_back();
      return flow;
    } catch (const OraError& e) {
      for (const sql::ExceptionHandler& h : block.handlers) {
        if (!handles(h, e)) continue;
        auto& frame = frames_.back();
        frame["SQLCODE"] = {Value::integer(e.code() == 1403 ? 100 : -e.code()), DataType::number(),
                            true, false};
        frame["SQLERRM"] = {Value::text(e.what()), DataType::varchar2(512), true, false};
        handling_.push_back(e);
        Flow flow = runList(h.body);
        handling_.pop_back();
        frames_.pop_back();
        return flow;
      }
      frames_.pop_back();
      throw;
    }
  }

  int lastLine() const { return line_; }

 private:
  static bool handles(const sql::ExceptionHandler& h, const OraError& e) {
    for (const std::string& n : h.names) {
      if (n == "OTHERS" || exceptionCode(n) == e.code()) return true;
    }
    return false;
  }

  DataType declaredType(const sql::TypeSpec& spec) {
    if (!spec.anchor.empty()) {
      const auto& a = spec.anchor;
      if (a.size() == 1) {
        DataType t;
        if (findVariable(a[0], &t)) return t;
      }
      if (a.size() == 2 || a.size() == 3) {
        std::string owner = a.size() == 3 ? a[0] : ctx_.user();
        if (Table* t = ctx_.catalog.findTable(owner, a[a.size() - 2])) {
          int pos = t->columnIndex(a.back());
          if (pos >= 0) return t->columns[pos].type;
        }
      }
      throw OraError(6550, {std::to_string(line_), "1", "PLS-00201: identifier must be declared"});
    }
    if (spec.name == "BOOLEAN") return DataType::varchar2(5);
    if (spec.name == "PLS_INTEGER" || spec.name == "BINARY_INTEGER" || spec.name == "NATURAL" ||
        spec.name == "POSITIVE") {
      return DataType::integer();
    }
    if (spec.name == "VARCHAR2" && !spec.length) return DataType::varchar2(32767);
    bool textual = spec.name == "VARCHAR2" || spec.name == "VARCHAR" || spec.name == "CHAR" ||
                   spec.name == "CHARACTER" || spec.name == "RAW";
    if (textual && spec.schema.empty() && spec.length) {
      // PL/SQL variables reach 32767 (the parser checks the bound), beyond the columns' limits.
      sql::TypeSpec shorter = spec;
      shorter.length = 1;
      DataType t = dataTypeOf(ctx_, shorter, ctx_.user());
      t.length = *spec.length;
      return t;
    }
    return dataTypeOf(ctx_, spec, ctx_.user());
  }

  void declare(const sql::VarDecl& d) {
    Variable v;
    v.type = declaredType(d.type);
    v.isBoolean = d.type.name == "BOOLEAN";
    if (d.init) v.value = convert(eval(*d.init), v);
    v.constant = d.constant;
    frames_.back()[d.name] = std::move(v);
  }

  Value convert(const Value& value, const Variable& v) {
    if (value.isNull() || v.isBoolean) return value;
    try {
      return coerceForColumn(value, v.type, ctx_.nls(), "");
    } catch (const OraError& e) {
      if (e.code() == 12899) {
        throw OraError::withText(
            6502, "PL/SQL: numeric or value error: character string buffer too small");
      }
      if (e.code() == 1438) throw OraError(6502);
      throw;
    }
  }

  std::unique_ptr<CExpr> compile(const sql::Expr& e) {
    Compiler compiler(ctx_);
    Scope none;
    return compiler.compileValue(e, none);
  }

  Value eval(const sql::Expr& e) {
    auto c = compile(e);
    EvalEnv env{&ctx_};
    return evaluate(*c, env);
  }

  Tri condition(const sql::Expr& e) {
    auto c = compile(e);
    EvalEnv env{&ctx_};
    return evaluateCondition(*c, env);
  }

  // Stores into a variable or a bind (PL/SQL OUT binds).
  void assign(const sql::Expr& target, Value value) {
    if (target.kind == sql::ExprKind::Bind) {
      Value* slot = ctx_.outBinds ? ctx_.outBinds->findMutable(target.text) : nullptr;
      if (!slot) throw OraError(1008);
      *slot = std::move(value);
      return;
    }
    if (target.kind == sql::ExprKind::Column && target.names.size() == 1) {
      for (auto frame = frames_.rbegin(); frame != frames_.rend(); ++frame) {
        auto it = frame->find(target.names[0]);
        if (it == frame->end()) continue;
        if (it->second.constant) {
          throw OraError(6550, {std::to_string(line_), "1",
                                "PLS-00363: expression '" + target.names[0] +
                                    "' cannot be used as an assignment target"});
        }
        it->second.value = convert(value, it->second);
        return;
      }
    }
    std::string name = target.names.empty() ? target.text : target.names.back();
    throw OraError(6550, {std::to_string(line_), "1",
                          "PLS-00201: identifier '" + name + "' must be declared"});
  }

  Flow runList(const sql::PlsqlStmtList& list) {
    for (const auto& s : list) {
      Flow flow = run(*s);
      if (flow != Flow::Normal) return flow;
    }
    return Flow::Normal;
  }

  Flow run(const sql::PlsqlStmt& s) {
    line_ = s.line;
    ctx_.checkCancel();
    using K = sql::PlsqlStmtKind;
    switch (s.kind) {
      case K::Null:
        return Flow::Normal;
      case K::Assign:
        assign(*s.target, eval(*s.value));
        return Flow::Normal;
      case K::Call:
        call(*s.value);
        return Flow::Normal;
      case K::If:
        for (const sql::IfBranch& b : s.branches) {
          if (condition(*b.condition) == Tri::True) return runList(b.body);
        }
        return runList(s.elseBody);
      case K::ForLoop:
        return forLoop(s);
      case K::WhileLoop:
        while (condition(*s.value) == Tri::True) {
          Flow flow = runList(s.body);
          if (flow == Flow::Exit) break;
          if (flow == Flow::Return) return flow;
        }
        return Flow::Normal;
      case K::Loop:
        while (true) {
          Flow flow = runList(s.body);
          if (flow == Flow::Exit) break;
          if (flow == Flow::Return) return flow;
        }
        return Flow::Normal;
      case K::Exit:
        if (!s.value || condition(*s.value) == Tri::True) return Flow::Exit;
        return Flow::Normal;
      case K::Raise:
        if (s.exceptionName.empty()) {
          if (handling_.empty()) throw OraError(6550, {std::to_string(line_), "1", "PLS-00367"});
          throw handling_.back();
        }
        if (int code = exceptionCode(s.exceptionName)) throw OraError(code);
        throw OraError(6510);
      case K::Return:
        return Flow::Return;
      case K::Block:
        return runBlock(*s.block);
      case K::Sql:
        runSql(*s.sql);
        return Flow::Normal;
    }
    return Flow::Normal;
  }

  Flow forLoop(const sql::PlsqlStmt& s) {
    Value lo = eval(*s.lower);
    Value hi = eval(*s.upper);
    if (lo.isNull() || hi.isNull()) throw OraError(6502);
    int64_t from = toNumber(lo).round(0).toInt64Truncated();
    int64_t to = toNumber(hi).round(0).toInt64Truncated();
    frames_.emplace_back();
    auto& var = frames_.back()[s.loopVar];
    var.type = DataType::integer();
    var.constant = true;
    Flow result = Flow::Normal;
    for (int64_t i = s.reverse ? to : from; s.reverse ? i >= from : i <= to;
         i += s.reverse ? -1 : 1) {
      frames_.back()[s.loopVar].value = Value::integer(i);
      Flow flow = runList(s.body);
      if (flow == Flow::Exit) break;
      if (flow == Flow::Return) {
        result = flow;
        break;
      }
    }
    frames_.pop_back();
    return result;
  }

  void call(const sql::Expr& e) {
    std::string name;
    for (size_t i = 0; i < e.names.size(); ++i) name += (i ? "." : "") + e.names[i];
    if (name == "RAISE_APPLICATION_ERROR") {
      if (e.args.size() < 2) throw OraError(6550, {std::to_string(line_), "1", "PLS-00306"});
      Value code = eval(*e.args[0]);
      Value message = eval(*e.args[1]);
      int64_t n = code.isNull() ? 0 : toNumber(code).toInt64Truncated();
      if (n > -20000 || n < -20999) throw OraError(21000, {std::to_string(n)});
      throw OraError(static_cast<int>(-n), {message.isNull() ? "" : toText(message, ctx_.nls())});
    }
    if (e.names.size() == 2 && (e.names[0] == "DBMS_OUTPUT" || (e.names[0] == "SYS" && false))) {
      dbmsOutput(e.names[1], e);
      return;
    }
    if (e.names.size() == 3 && e.names[0] == "SYS" && e.names[1] == "DBMS_OUTPUT") {
      dbmsOutput(e.names[2], e);
      return;
    }
    // Stored code is kept as source and never run.
    throw OraError::withText(3001, "unimplemented feature: calling stored code");
  }

  void dbmsOutput(const std::string& proc, const sql::Expr& e) {
    DbmsOutput& out = ctx_.session.output();
    auto text = [&](size_t i) {
      Value v = eval(*e.args.at(i));
      return v.isNull() ? std::string() : toText(v, ctx_.nls());
    };
    if (proc == "ENABLE") {
      if (e.args.empty()) {
        out.enable(20000);
      } else {
        Value v = eval(*e.args[0]);
        out.enable(v.isNull() ? std::nullopt
                              : std::optional<int64_t>(toNumber(v).toInt64Truncated()));
      }
    } else if (proc == "DISABLE") {
      out.disable();
    } else if (proc == "PUT_LINE" && e.args.size() == 1) {
      out.putLine(text(0));
    } else if (proc == "PUT" && e.args.size() == 1) {
      out.put(text(0));
    } else if (proc == "NEW_LINE" && e.args.empty()) {
      out.newLine();
    } else if (proc == "GET_LINE" && e.args.size() == 2) {
      auto line = out.getLine();
      assign(*e.args[0], line ? Value::text(*line) : Value());
      assign(*e.args[1], Value::integer(line ? 0 : 1));
    } else {
      throw OraError(6550, {std::to_string(line_), "1",
                            "PLS-00302: component '" + proc + "' must be declared"});
    }
  }

  void runSql(const sql::Statement& stmt) {
    if (stmt.kind == sql::StatementKind::Select) {
      selectInto(stmt.as<sql::SelectStmt>());
      return;
    }
    runStatement(ctx_, stmt);
  }

  void selectInto(const sql::SelectStmt& stmt) {
    const sql::Query& q = *stmt.query;
    if (!q.block || q.block->into.empty()) {
      throw OraError(6550, {std::to_string(line_), "1",
                            "PLS-00428: an INTO clause is expected in this SELECT statement"});
    }
    Compiler compiler(ctx_);
    CompiledQuery cq = compiler.compileQuery(q, nullptr);
    if (cq.columns.size() != q.block->into.size())
      throw OraError(cq.columns.size() > q.block->into.size() ? 913 : 947);
    EvalEnv env{&ctx_};
    cq.root->open(env);
    Row row;
    if (!cq.root->next(row)) throw OraError(1403);
    Row extra;
    if (cq.root->next(extra)) throw OraError(1422);
    for (size_t i = 0; i < row.size(); ++i) assign(*q.block->into[i], row[i]);
  }

  ExecContext& ctx_;
  std::vector<std::map<std::string, Variable>> frames_;
  std::vector<OraError> handling_;
  int line_ = 1;
};

}  // namespace

void runPlsqlBlock(ExecContext& ctx, const sql::PlsqlBlockStmt& stmt) {
  Interpreter interpreter(ctx);
  VariableScope* saved = ctx.variables;
  ctx.variables = &interpreter;
  try {
    interpreter.runBlock(stmt.block);
  } catch (const OraError& e) {
    ctx.variables = saved;
    if (e.code() == 6550 || e.code() == 1013) throw;
    throw OraError::withText(
        e.code(), e.text() + "\nORA-06512: at line " + std::to_string(interpreter.lastLine()));
  }
  ctx.variables = saved;
}

}  // namespace ocisim
