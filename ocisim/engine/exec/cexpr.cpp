#include "engine/exec/cexpr.h"

#include "engine/exec/catalog_objects.h"
#include "engine/exec/exec_context.h"
#include "engine/exec/subquery.h"
#include "engine/ora_error.h"
#include "engine/value/conversion.h"
#include "engine/value/functions.h"

namespace ocisim {
namespace {

Tri notTri(Tri t) {
  if (t == Tri::Unknown) return t;
  return t == Tri::True ? Tri::False : Tri::True;
}

Tri andTri(Tri a, Tri b) {
  if (a == Tri::False || b == Tri::False) return Tri::False;
  if (a == Tri::True && b == Tri::True) return Tri::True;
  return Tri::Unknown;
}

Tri orTri(Tri a, Tri b) {
  if (a == Tri::True || b == Tri::True) return Tri::True;
  if (a == Tri::False && b == Tri::False) return Tri::False;
  return Tri::Unknown;
}

Value triValue(Tri t) {
  if (t == Tri::Unknown) return Value();
  return Value::text(t == Tri::True ? "TRUE" : "FALSE");
}

const Value& columnValue(const CExpr& e, const EvalEnv& env) {
  static const Value kNull;
  const EvalEnv* at = &env;
  for (int d = 0; d < e.depth && at; ++d) at = at->outer;
  if (!at) return kNull;
  const Value* row = e.prior ? at->prior : at->row;
  return row ? row[e.slot] : kNull;
}

Tri likeTri(const CExpr& e, const EvalEnv& env) {
  const NlsSettings& nls = env.ctx->nls();
  Value v = evaluate(*e.args[0], env);
  Value p = evaluate(*e.args[1], env);
  if (v.isNull() || p.isNull()) return Tri::Unknown;
  char escape = 0;
  if (e.args.size() > 2) {
    Value esc = evaluate(*e.args[2], env);
    if (esc.isNull()) return Tri::Unknown;
    std::string s = toText(esc, nls);
    if (s.size() != 1) throw OraError(1425);
    escape = s[0];
  }
  bool match = likeMatch(toText(v, nls), toText(p, nls), escape);
  return match != e.negated ? Tri::True : Tri::False;
}

Tri inListTri(const CExpr& e, const EvalEnv& env) {
  const NlsSettings& nls = env.ctx->nls();
  Value left = evaluate(*e.args[0], env);
  Tri result = Tri::False;
  for (size_t i = 1; i < e.args.size() && result != Tri::True; ++i) {
    result = orTri(result, compareTri(CmpOp::Eq, left, evaluate(*e.args[i], env), nls));
  }
  return e.negated ? notTri(result) : result;
}

Tri betweenTri(const CExpr& e, const EvalEnv& env) {
  const NlsSettings& nls = env.ctx->nls();
  Value v = evaluate(*e.args[0], env);
  Tri t = andTri(compareTri(CmpOp::Ge, v, evaluate(*e.args[1], env), nls),
                 compareTri(CmpOp::Le, v, evaluate(*e.args[2], env), nls));
  return e.negated ? notTri(t) : t;
}

Value caseValue(const CExpr& e, const EvalEnv& env) {
  size_t i = 0;
  size_t end = e.args.size() - (e.hasElse ? 1 : 0);
  if (e.hasOperand) {
    Value operand = evaluate(*e.args[0], env);
    for (i = 1; i + 1 < end; i += 2) {
      if (compareTri(CmpOp::Eq, operand, evaluate(*e.args[i], env), env.ctx->nls()) == Tri::True) {
        return evaluate(*e.args[i + 1], env);
      }
    }
  } else {
    for (i = 0; i + 1 < end; i += 2) {
      if (evaluateCondition(*e.args[i], env) == Tri::True) return evaluate(*e.args[i + 1], env);
    }
  }
  return e.hasElse ? evaluate(*e.args.back(), env) : Value();
}

Value functionValue(const CExpr& e, const EvalEnv& env) {
  std::vector<Value> args;
  args.reserve(e.args.size());
  for (const auto& a : e.args) args.push_back(evaluate(*a, env));
  return e.function ? callScalarFunction(*e.function, args, env.ctx->functions)
                    : callScalarFunction(e.name, args, env.ctx->functions);
}

}  // namespace

bool CExpr::isCondition() const {
  switch (kind) {
    case CKind::Compare:
    case CKind::And:
    case CKind::Or:
    case CKind::Not:
    case CKind::IsNull:
    case CKind::Like:
    case CKind::Between:
    case CKind::InList:
    case CKind::InSubquery:
    case CKind::Exists:
    case CKind::ToBoolean:
      return true;
    default:
      return false;
  }
}

std::unique_ptr<CExpr> makeConst(Value v, DataType type) {
  auto e = std::make_unique<CExpr>();
  e->kind = CKind::Const;
  e->constant = std::move(v);
  e->type = std::move(type);
  return e;
}

Tri compareTri(CmpOp op, const Value& a, const Value& b, const NlsSettings& nls) {
  if (a.isNull() || b.isNull()) return Tri::Unknown;
  int c = compareValues(a, b, nls);
  bool r = false;
  switch (op) {
    case CmpOp::Eq:
      r = c == 0;
      break;
    case CmpOp::Ne:
      r = c != 0;
      break;
    case CmpOp::Lt:
      r = c < 0;
      break;
    case CmpOp::Le:
      r = c <= 0;
      break;
    case CmpOp::Gt:
      r = c > 0;
      break;
    case CmpOp::Ge:
      r = c >= 0;
      break;
  }
  return r ? Tri::True : Tri::False;
}

Value evaluate(const CExpr& e, const EvalEnv& env) {
  switch (e.kind) {
    case CKind::Const:
      return e.constant;
    case CKind::Column:
      return columnValue(e, env);
    case CKind::Bind:
      return env.ctx->bind(e.name);
    case CKind::Variable:
      return *e.var;
    case CKind::Rownum:
      return Value::integer(env.rownum);
    case CKind::Level:
      return Value::integer(env.level);
    case CKind::NextVal:
      return env.ctx->nextval(*e.sequence);
    case CKind::CurrVal:
      return env.ctx->currval(*e.sequence);
    case CKind::Arith:
      return arithmetic(e.arith, evaluate(*e.args[0], env), evaluate(*e.args[1], env),
                        env.ctx->nls());
    case CKind::Negate:
      return negate(evaluate(*e.args[0], env));
    case CKind::Concat:
      return concat(evaluate(*e.args[0], env), evaluate(*e.args[1], env), env.ctx->nls());
    case CKind::Subquery:
      return e.subquery->scalar(env);
    case CKind::Case:
      return caseValue(e, env);
    case CKind::Function:
      return functionValue(e, env);
    case CKind::Cast:
      return castValue(evaluate(*e.args[0], env), e.type, env.ctx->nls());
    default:
      return triValue(evaluateCondition(e, env));
  }
}

Tri evaluateCondition(const CExpr& e, const EvalEnv& env) {
  switch (e.kind) {
    case CKind::Compare:
      return compareTri(e.cmp, evaluate(*e.args[0], env), evaluate(*e.args[1], env),
                        env.ctx->nls());
    case CKind::And: {
      Tri a = evaluateCondition(*e.args[0], env);
      if (a == Tri::False) return a;
      return andTri(a, evaluateCondition(*e.args[1], env));
    }
    case CKind::Or: {
      Tri a = evaluateCondition(*e.args[0], env);
      if (a == Tri::True) return a;
      return orTri(a, evaluateCondition(*e.args[1], env));
    }
    case CKind::Not:
      return notTri(evaluateCondition(*e.args[0], env));
    case CKind::IsNull:
      return evaluate(*e.args[0], env).isNull() != e.negated ? Tri::True : Tri::False;
    case CKind::Like:
      return likeTri(e, env);
    case CKind::Between:
      return betweenTri(e, env);
    case CKind::InList:
      return inListTri(e, env);
    case CKind::InSubquery: {
      std::vector<Value> left;
      for (const auto& a : e.args) left.push_back(evaluate(*a, env));
      Tri t = e.subquery->in(left, env);
      return e.negated ? notTri(t) : t;
    }
    case CKind::Exists:
      return e.subquery->exists(env) != e.negated ? Tri::True : Tri::False;
    default: {
      Value v = evaluate(e, env);
      if (v.isNull()) return Tri::Unknown;
      if (v.isText()) return v.asText() == "TRUE" ? Tri::True : Tri::False;
      if (v.isNumber()) return v.asNumber().isZero() ? Tri::False : Tri::True;
      return Tri::True;
    }
  }
}

}  // namespace ocisim
