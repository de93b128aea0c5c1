// Expression compilation: names to slots, literals to values, functions, aggregates and
// subqueries; the relation resolver with its privilege rules.
#include <algorithm>

#include "engine/exec/compiler.h"
#include "engine/exec/exec_context.h"
#include "engine/exec/subquery.h"
#include "engine/exec/synonyms.h"
#include "engine/ora_error.h"
#include "engine/value/conversion.h"
#include "engine/value/format.h"
#include "engine/value/functions.h"
#include "engine/value/value_ops.h"

namespace ocisim {
namespace {

struct ColumnMatch {
  size_t slot;
  const ScopeColumn* column;
};

std::vector<ColumnMatch> findInScope(const Scope& s, const std::vector<std::string>& names) {
  std::vector<ColumnMatch> out;
  if (names.empty() || names.size() > 3) return out;
  const std::string& column = names.back();
  for (const ScopeSource& src : s.sources) {
    if (names.size() == 2 && src.alias != names[0]) continue;
    if (names.size() == 3 && (src.aliased || src.owner != names[0] || src.alias != names[1])) {
      continue;
    }
    for (size_t i = 0; i < src.columns.size(); ++i) {
      if (src.columns[i].name == column) out.push_back({src.offset + i, &src.columns[i]});
    }
  }
  return out;
}

std::unique_ptr<CExpr> node(CKind kind, DataType type) {
  auto e = std::make_unique<CExpr>();
  e->kind = kind;
  e->type = std::move(type);
  return e;
}

CmpOp cmpOf(sql::Op op) {
  switch (op) {
    case sql::Op::Eq:
      return CmpOp::Eq;
    case sql::Op::Ne:
      return CmpOp::Ne;
    case sql::Op::Lt:
      return CmpOp::Lt;
    case sql::Op::Le:
      return CmpOp::Le;
    case sql::Op::Gt:
      return CmpOp::Gt;
    default:
      return CmpOp::Ge;
  }
}

ArithOp arithOf(sql::Op op) {
  switch (op) {
    case sql::Op::Add:
      return ArithOp::Add;
    case sql::Op::Subtract:
      return ArithOp::Subtract;
    case sql::Op::Multiply:
      return ArithOp::Multiply;
    default:
      return ArithOp::Divide;
  }
}

DataType identifierType() {
  return DataType::varchar2(30);
}

// A LONG or LONG RAW value of the database (a column, a view's column, a subquery's result).
// PL/SQL's LONG variables are plain text of up to 32760 bytes and take any operation.
bool isLongValue(const CExpr& c) { return c.type.isLong() && c.kind != CKind::Variable; }

// A LONG where an expression of `expected` type belongs: ORA-00932.
void refuseLong(const CExpr& c, const char* expected) {
  if (isLongValue(c)) throw OraError(932, {expected, c.type.dictDataType()});
}

// A LONG in a comparison, an IN list or a BETWEEN: ORA-00997.
void refuseLongUse(const CExpr& c) {
  if (isLongValue(c)) throw OraError(997);
}

}  // namespace

void refuseLongColumns(const std::vector<ColumnInfo>& columns) {
  for (const ColumnInfo& c : columns) {
    if (c.type.isLong()) throw OraError(997);
  }
}

void refuseSecondLong(const std::vector<Column>& columns) {
  int longs = 0;
  for (const Column& c : columns) longs += c.type.isLong() ? 1 : 0;
  if (longs > 1) throw OraError(1754);
}

int Compiler::release() const {
  return ctx_.db.majorVersion() * 100 + ctx_.db.minorVersion();
}

void Scope::addSource(ScopeSource source) {
  source.offset = width;
  width += source.columns.size();
  sources.push_back(std::move(source));
}

std::string quotedName(const std::vector<std::string>& parts) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) out += ".";
    out += "\"" + parts[i] + "\"";
  }
  return out;
}

bool isAggregateName(const std::vector<std::string>& names) {
  if (names.size() != 1) return false;
  const std::string& n = names[0];
  return n == "COUNT" || n == "SUM" || n == "AVG" || n == "MIN" || n == "MAX";
}

bool containsAggregate(const sql::Expr& e) {
  if (e.kind == sql::ExprKind::Function && isAggregateName(e.names)) return true;
  for (const auto& a : e.args) {
    if (a && containsAggregate(*a)) return true;
  }
  if (e.caseOperand && containsAggregate(*e.caseOperand)) return true;
  if (e.elseExpr && containsAggregate(*e.elseExpr)) return true;
  return false;
}

bool sameExpr(const sql::Expr& a, const sql::Expr& b) {
  if (a.kind != b.kind || a.literal != b.literal || a.op != b.op || a.negated != b.negated ||
      a.distinct != b.distinct || a.countStar != b.countStar || a.text != b.text ||
      a.names != b.names || a.args.size() != b.args.size() || a.query || b.query) {
    return false;
  }
  for (size_t i = 0; i < a.args.size(); ++i) {
    if (!a.args[i] != !b.args[i]) return false;
    if (a.args[i] && !sameExpr(*a.args[i], *b.args[i])) return false;
  }
  if (!a.caseOperand != !b.caseOperand || !a.elseExpr != !b.elseExpr) return false;
  if (a.caseOperand && !sameExpr(*a.caseOperand, *b.caseOperand)) return false;
  if (a.elseExpr && !sameExpr(*a.elseExpr, *b.elseExpr)) return false;
  return true;
}

Compiler::Compiler(ExecContext& ctx)
    : ctx_(ctx), schema_(ctx.session.currentSchema()), authUser_(ctx.user()) {}

std::unique_ptr<CExpr> Compiler::compileValue(const sql::Expr& e, Scope& scope) {
  return compileExpr(e, scope);
}

std::unique_ptr<CExpr> Compiler::compileCondition(const sql::Expr& e, Scope& scope) {
  bool saved = sequencesAllowed_;
  sequencesAllowed_ = false;
  std::unique_ptr<CExpr> c;
  try {
    c = compileExpr(e, scope);
  } catch (...) {
    sequencesAllowed_ = saved;
    throw;
  }
  sequencesAllowed_ = saved;
  if (!c->isCondition() && c->kind != CKind::Variable && c->kind != CKind::Const &&
      c->kind != CKind::Bind) {
    throw OraError(920);
  }
  return c;
}

std::unique_ptr<CExpr> Compiler::compileLiteral(const sql::Expr& e) {
  switch (e.literal) {
    case sql::LiteralKind::Null:
      return makeConst(Value(), DataType::varchar2(0));
    case sql::LiteralKind::Number: {
      auto d = Decimal::parse(e.text);
      if (!d) throw OraError(1722);
      return makeConst(Value::number(*d), DataType::number());
    }
    case sql::LiteralKind::String: {
      // A text literal holds at most 4000 bytes in SQL (2000 in release 7), 32767 in PL/SQL.
      size_t limit = ctx_.variables ? 32767 : release() < 800 ? 2000 : 4000;
      if (e.text.size() > limit) throw OraError(1704);
      Value v = Value::charText(e.text);
      DataType t =
          v.isNull() ? DataType::varchar2(0) : DataType::charType(static_cast<int>(e.text.size()));
      return makeConst(std::move(v), std::move(t));
    }
    case sql::LiteralKind::Date: {
      DateTime d =
          toDate(Value::text(e.text), NlsSettings{"YYYY-MM-DD", "YYYY-MM-DD HH24:MI:SS.FF"});
      return makeConst(Value::date(d), DataType::date());
    }
    case sql::LiteralKind::Timestamp: {
      // 'YYYY-MM-DD HH24:MI:SS' with an optional fraction of up to 9 digits.
      if (e.text.find('.') != std::string::npos) {
        DateTime d = parseDate(e.text, "YYYY-MM-DD HH24:MI:SS.FF", DateTime::now(), true);
        return makeConst(Value::timestamp(d), DataType::timestamp());
      }
      NlsSettings nls{"YYYY-MM-DD HH24:MI:SS", "YYYY-MM-DD HH24:MI:SS.FF"};
      Value v = toDateValue(Value::text(e.text), nls);
      return makeConst(Value::timestamp(v.asDateTime()), DataType::timestamp());
    }
  }
  return makeConst(Value(), DataType::varchar2(0));
}

std::unique_ptr<CExpr> Compiler::compileExpr(const sql::Expr& e, Scope& scope) {
  if (scope.grouped) {
    for (size_t i = 0; i < scope.groupExprs.size(); ++i) {
      if (sameExpr(e, *scope.groupExprs[i])) {
        auto c = node(CKind::Column, scope.groupTypes[i]);
        c->slot = static_cast<int>(i);
        c->notNull = scope.groupNotNull[i];
        return c;
      }
    }
  }
  switch (e.kind) {
    case sql::ExprKind::Literal:
      return compileLiteral(e);
    case sql::ExprKind::Column:
      return compileColumn(e, scope);
    case sql::ExprKind::Star:
      throw OraError(936);
    case sql::ExprKind::Bind: {
      const Value* bound = ctx_.binds ? ctx_.binds->find(e.text) : nullptr;
      if (!bound && ctx_.outBinds) bound = ctx_.outBinds->find(e.text);
      auto c = node(CKind::Bind,
                    bound && !bound->isNull() ? typeOfValue(*bound) : DataType::varchar2(4000));
      if (c->type.code == TypeCode::Char) c->type = DataType::varchar2(c->type.length);
      c->name = e.text;
      return c;
    }
    case sql::ExprKind::Unary: {
      if (e.op == sql::Op::Prior) {
        auto c = compileExpr(*e.args[0], scope);
        if (c->kind != CKind::Column || c->depth != 0) throw OraError(936);
        c->prior = true;
        scope.usesPrior = true;
        return c;
      }
      auto arg = compileExpr(*e.args[0], scope);
      if (e.op != sql::Op::Not) refuseLong(*arg, "NUMBER");
      if (e.op == sql::Op::Plus) return arg;
      if (e.op == sql::Op::Not) {
        auto c = node(CKind::Not, DataType::number());
        c->args.push_back(std::move(arg));
        return c;
      }
      // -literal folds into a constant (the parser keeps negative numbers as Negate).
      if (arg->kind == CKind::Const && arg->constant.isNumber()) {
        return makeConst(negate(arg->constant), arg->type);
      }
      auto c = node(CKind::Negate, DataType::number());
      c->args.push_back(std::move(arg));
      return c;
    }
    case sql::ExprKind::Binary: {
      auto a = compileExpr(*e.args[0], scope);
      auto b = compileExpr(*e.args[1], scope);
      if (e.op >= sql::Op::Eq && e.op <= sql::Op::Ge) {
        refuseLongUse(*a);
        refuseLongUse(*b);
      } else if (e.op != sql::Op::And && e.op != sql::Op::Or) {
        const char* expected = e.op == sql::Op::Concat ? "CHAR" : "NUMBER";
        refuseLong(*a, expected);
        refuseLong(*b, expected);
      }
      std::unique_ptr<CExpr> c;
      switch (e.op) {
        case sql::Op::Add:
        case sql::Op::Subtract:
        case sql::Op::Multiply:
        case sql::Op::Divide:
          c = node(CKind::Arith, arithmeticType(arithOf(e.op), a->type, b->type));
          c->arith = arithOf(e.op);
          break;
        case sql::Op::Concat:
          c = node(CKind::Concat, concatType(a->type, b->type));
          break;
        case sql::Op::And:
          c = node(CKind::And, DataType::number());
          break;
        case sql::Op::Or:
          c = node(CKind::Or, DataType::number());
          break;
        default:
          c = node(CKind::Compare, DataType::number());
          c->cmp = cmpOf(e.op);
          break;
      }
      c->args.push_back(std::move(a));
      c->args.push_back(std::move(b));
      return c;
    }
    case sql::ExprKind::IsNull:
    case sql::ExprKind::Like:
    case sql::ExprKind::Between:
    case sql::ExprKind::InList: {
      CKind kind = e.kind == sql::ExprKind::IsNull    ? CKind::IsNull
                   : e.kind == sql::ExprKind::Like    ? CKind::Like
                   : e.kind == sql::ExprKind::Between ? CKind::Between
                                                      : CKind::InList;
      auto c = node(kind, DataType::number());
      c->negated = e.negated;
      for (const auto& a : e.args) {
        c->args.push_back(compileExpr(*a, scope));
        // IS [NOT] NULL is the one condition a LONG may stand in.
        if (kind == CKind::Like) refuseLong(*c->args.back(), "CHAR");
        if (kind == CKind::Between || kind == CKind::InList) refuseLongUse(*c->args.back());
      }
      return c;
    }
    case sql::ExprKind::InSubquery:
      return compileSubquery(e, scope, CKind::InSubquery);
    case sql::ExprKind::Exists:
      return compileSubquery(e, scope, CKind::Exists);
    case sql::ExprKind::Subquery:
      return compileSubquery(e, scope, CKind::Subquery);
    case sql::ExprKind::Case: {
      auto c = node(CKind::Case, DataType::varchar2(4000));
      c->hasOperand = e.caseOperand != nullptr;
      c->hasElse = e.elseExpr != nullptr;
      if (e.caseOperand) {
        c->args.push_back(compileExpr(*e.caseOperand, scope));
        refuseLong(*c->args.back(), "CHAR");
      }
      bool typed = false;
      for (size_t i = 0; i < e.args.size(); ++i) {
        c->args.push_back(compileExpr(*e.args[i], scope));
        refuseLong(*c->args.back(), "CHAR");
        if (i % 2 == 1 && !typed && c->args.back()->type.length != 0) {
          c->type = c->args.back()->type;
          typed = true;
        }
      }
      if (e.elseExpr) {
        c->args.push_back(compileExpr(*e.elseExpr, scope));
        refuseLong(*c->args.back(), "CHAR");
        if (!typed) c->type = c->args.back()->type;
      }
      if (c->type.code == TypeCode::Char) c->type = DataType::varchar2(c->type.length);
      return c;
    }
    case sql::ExprKind::Function:
      return compileFunction(e, scope);
  }
  throw OraError(936);
}

std::unique_ptr<CExpr> Compiler::compileColumn(const sql::Expr& e, Scope& scope) {
  int depth = 0;
  for (Scope* s = &scope; s; s = s->parent, ++depth) {
    auto matches = findInScope(*s, e.names);
    if (matches.size() > 1) throw OraError(918);
    if (matches.empty()) continue;
    for (Scope* t = &scope; t != s; t = t->parent) t->correlated = true;
    size_t slot = matches[0].slot;
    DataType type = matches[0].column->type;
    if (s->grouped) {
      auto it = std::find(s->groupSlots.begin(), s->groupSlots.end(), static_cast<int>(slot));
      if (it == s->groupSlots.end()) throw OraError(979);
      slot = static_cast<size_t>(it - s->groupSlots.begin());
    }
    auto c = node(CKind::Column, type);
    c->depth = depth;
    c->slot = static_cast<int>(slot);
    c->notNull = !matches[0].column->nullable;
    return c;
  }
  if (scope.orderAliases && e.names.size() == 1) {
    auto it = scope.orderAliases->find(e.names[0]);
    if (it != scope.orderAliases->end()) {
      const auto* aliases = scope.orderAliases;
      scope.orderAliases = nullptr;  // an alias cannot refer to another alias
      auto c = compileExpr(*it->second, scope);
      scope.orderAliases = aliases;
      return c;
    }
  }
  return compilePseudoColumn(e, scope);
}

std::unique_ptr<CExpr> Compiler::compilePseudoColumn(const sql::Expr& e, Scope& scope) {
  const auto& names = e.names;
  if (names.size() == 1) {
    const std::string& n = names[0];
    if (ctx_.variables) {
      DataType type;
      if (Value* v = ctx_.variables->findVariable(n, &type)) {
        auto c = node(CKind::Variable, type);
        c->var = v;
        return c;
      }
    }
    if (n == "ROWNUM") return node(CKind::Rownum, DataType::number());
    if (n == "LEVEL") {
      if (scope.levelSlot < 0) throw OraError(1788);
      auto c = node(CKind::Column, DataType::number());
      c->slot = scope.levelSlot;
      return c;
    }
    if (n == "SYSDATE") return makeConst(Value::date(ctx_.sysdate), DataType::date());
    if (auto c = compileSessionValue(n, {})) {
      if (n == "SYSTIMESTAMP") c->type = DataType::timestamp();
      return c;
    }
    if (n == "USER") return makeConst(Value::text(ctx_.user()), identifierType());
    if (n == "UID") {
      const User* u = ctx_.catalog.findUser(ctx_.user());
      return makeConst(Value::integer(u ? u->userId : 0), DataType::number());
    }
    if (n == "TRUE" || n == "FALSE") return makeConst(Value::text(n), DataType::varchar2(5));
  }
  if ((names.size() == 2 || names.size() == 3) &&
      (names.back() == "NEXTVAL" || names.back() == "CURRVAL")) {
    std::string owner = names.size() == 3 ? names[0] : schema_;
    std::string seqName = names[names.size() - 2];
    if (!ctx_.catalog.findSequence(owner, seqName)) {
      if (auto target = resolveObjectName(ctx_.db, owner, seqName, names.size() == 3)) {
        owner = target->first;
        seqName = target->second;
      }
    }
    Sequence* seq = ctx_.catalog.findSequence(owner, seqName);
    if (seq && owner != authUser_ &&
        !ctx_.catalog.hasSystemPrivilege(authUser_, "SELECT ANY SEQUENCE") &&
        !ctx_.catalog.hasObjectPrivilege(authUser_, owner, seqName, "SELECT")) {
      seq = nullptr;
    }
    if (!seq) throw OraError(2289);
    if (!sequencesAllowed_) throw OraError(2287);
    auto c = node(names.back() == "NEXTVAL" ? CKind::NextVal : CKind::CurrVal, DataType::number());
    c->sequence = seq;
    return c;
  }
  if (names.size() <= 2 && names.back() == "ROWID") {
    throw OraError::withText(3001, "unimplemented feature: ROWID");
  }
  throw OraError(904, {quotedName(names)});
}

std::unique_ptr<CExpr> Compiler::compileFunction(const sql::Expr& e, Scope& scope) {
  if (isAggregateName(e.names)) return compileAggregate(e, scope);
  std::string name;
  for (size_t i = 0; i < e.names.size(); ++i) name += (i ? "." : "") + e.names[i];
  if (e.names.size() == 1 && e.castType) return compileCast(e, scope);
  if (e.names.size() == 1) {
    std::vector<const sql::Expr*> args;
    for (const auto& a : e.args) args.push_back(a.get());
    if (auto c = compileSessionValue(name, args)) return c;
    if (name == "GROUPING" && release() >= 801) {
      throw OraError::withText(3001, "unimplemented feature: GROUPING");
    }
    if ((name == "EMPTY_BLOB" || name == "EMPTY_CLOB") && release() >= 800) {
      // An empty LOB would be NULL here (no value tells them apart): refused, not faked.
      throw OraError::withText(3001, "unimplemented feature: " + name);
    }
  }
  // A function newer than the database's release is an unknown name there.
  if (e.names.size() != 1 || !isScalarFunction(name) || scalarFunctionSince(name) > release()) {
    throw OraError(904, {quotedName(e.names)});
  }
  auto c = node(CKind::Function, DataType::varchar2(4000));
  c->name = name;
  c->function = scalarFunctionEntry(name);
  std::vector<DataType> argTypes;
  for (const auto& a : e.args) {
    c->args.push_back(compileExpr(*a, scope));
    refuseLong(*c->args.back(), "NUMBER");
    argTypes.push_back(c->args.back()->type);
  }
  c->type = scalarFunctionType(name, argTypes);
  return c;
}

std::unique_ptr<CExpr> Compiler::compileAggregate(const sql::Expr& e, Scope& scope) {
  if (!scope.grouped || !scope.aggregates) throw OraError(934);
  const std::string& name = e.names[0];
  AggregateSpec spec;
  spec.distinct = e.distinct;
  DataType type = DataType::number();
  if (e.countStar) {
    spec.function = AggregateFunction::CountStar;
  } else {
    if (e.args.size() != 1) throw OraError(909);
    scope.grouped = false;
    try {
      spec.argument = compileExpr(*e.args[0], scope);
    } catch (...) {
      scope.grouped = true;
      throw;
    }
    scope.grouped = true;
    refuseLong(*spec.argument, "NUMBER");
    spec.function = name == "COUNT" ? AggregateFunction::Count
                    : name == "SUM" ? AggregateFunction::Sum
                    : name == "AVG" ? AggregateFunction::Avg
                    : name == "MIN" ? AggregateFunction::Min
                                    : AggregateFunction::Max;
    if (name == "MIN" || name == "MAX") type = spec.argument->type;
  }
  auto c = node(CKind::Column, type);
  c->slot = static_cast<int>(scope.groupExprs.size() + scope.aggregates->size());
  scope.aggregates->push_back(std::move(spec));
  scope.aggregateTypes.push_back(type);
  return c;
}

std::unique_ptr<CExpr> Compiler::compileSubquery(const sql::Expr& e, Scope& scope, CKind kind) {
  CompiledQuery q = compileQuery(*e.query, &scope);
  auto c = node(kind, DataType::number());
  c->negated = e.negated;
  if (kind == CKind::Subquery) {
    if (q.columns.size() != 1) throw OraError(913);
    c->type = q.columns[0].type;
  }
  if (kind != CKind::Exists) refuseLongColumns(q.columns);
  if (kind == CKind::InSubquery) {
    for (const auto& a : e.args) {
      c->args.push_back(compileExpr(*a, scope));
      refuseLongUse(*c->args.back());
    }
    if (q.columns.size() > c->args.size()) throw OraError(913);
    if (q.columns.size() < c->args.size()) throw OraError(947);
  }
  c->correlated = q.correlated;
  c->subquery = std::make_shared<SubqueryPlan>(ctx_, std::move(q.root), q.correlated);
  return c;
}

// ---- relations ----

Relation Compiler::resolveRelation(const std::string& schema, const std::string& name,
                                   const std::string& privilege) {
  Catalog& cat = ctx_.catalog;
  Relation r;
  r.owner = schema.empty() ? schema_ : schema;
  r.name = name;
  // A name that is no table or view of the schema may be a synonym (privileges are those on
  // the object it stands for).
  bool translated = false;
  if (!cat.findTable(r.owner, name) && !cat.findView(r.owner, name)) {
    if (auto target = resolveObjectName(ctx_.db, r.owner, name, !schema.empty())) {
      translated = *target != NameKey(r.owner, name);
      r.owner = target->first;
      r.name = target->second;
    }
  }
  if ((r.table = cat.findTable(r.owner, r.name))) {
    r.kind = Relation::Kind::Table;
  } else if ((r.view = cat.findView(r.owner, r.name))) {
    r.kind = Relation::Kind::View;
  } else if ((translated ? r.owner == "SYS" : (schema.empty() || schema == "SYS")) &&
             (r.virtualTable = ctx_.db.virtualTables().find(r.name))) {
    r.kind = Relation::Kind::Virtual;
    r.owner = "SYS";
    if (privilege != "SELECT") throw OraError(1031);
    return r;
  } else {
    // A sequence where a table belongs (FROM, INSERT INTO, UPDATE, DELETE FROM) is ORA-02201
    // to a user who may see it; to anyone else it does not exist.
    if (cat.findSequence(r.owner, r.name) &&
        (r.owner == authUser_ || cat.hasSystemPrivilege(authUser_, "SELECT ANY SEQUENCE") ||
         cat.hasAnyObjectPrivilege(authUser_, r.owner, r.name))) {
      throw OraError(2201);
    }
    throw OraError(942);
  }
  if (r.owner == authUser_) return r;
  if (cat.hasSystemPrivilege(authUser_, privilege + " ANY TABLE")) return r;
  if (cat.hasObjectPrivilege(authUser_, r.owner, r.name, privilege)) return r;
  if (cat.hasAnyObjectPrivilege(authUser_, r.owner, r.name)) throw OraError(1031);
  throw OraError(942);
}

std::vector<ScopeColumn> Compiler::relationColumns(const Relation& r) {
  std::vector<ScopeColumn> out;
  switch (r.kind) {
    case Relation::Kind::Table:
      for (const Column& c : r.table->columns) {
        out.push_back({c.name, c.type, ctx_.catalog.isNullable(r.owner, r.name, c.name)});
      }
      break;
    case Relation::Kind::View:
      if (!r.view->header.valid)
        throw OraError(4063, {"view \"" + r.owner + "." + r.name + "\""});
      for (const ViewColumn& c : r.view->columns) out.push_back({c.name, c.type, c.nullable});
      break;
    case Relation::Kind::Virtual:
      for (const VirtualColumn& c : r.virtualTable->columns(ctx_.db)) {
        out.push_back({c.name, c.type, true});
      }
      break;
  }
  return out;
}

}  // namespace ocisim
