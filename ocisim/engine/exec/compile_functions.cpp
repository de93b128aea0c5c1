// Compilation of the calls and names that are more than a library function: CAST, the
// datetime values of the session (SYSTIMESTAMP, CURRENT_DATE, CURRENT_TIMESTAMP,
// LOCALTIMESTAMP), GROUPING, and the release each of them came with. Evaluation of CAST.
#include "engine/exec/compiler.h"
#include "engine/exec/ddl_util.h"
#include "engine/exec/exec_context.h"
#include "engine/ora_error.h"
#include "engine/value/coercion.h"
#include "engine/value/conversion.h"
#include "engine/value/utf8.h"

namespace ocisim {
namespace {

std::unique_ptr<CExpr> castNode(std::unique_ptr<CExpr> arg, DataType type) {
  auto c = std::make_unique<CExpr>();
  c->kind = CKind::Cast;
  c->type = std::move(type);
  c->args.push_back(std::move(arg));
  return c;
}

}  // namespace

std::unique_ptr<CExpr> Compiler::compileCast(const sql::Expr& e, Scope& scope) {
  auto arg = compileExpr(*e.args[0], scope);
  if (arg->type.isLong() && arg->kind != CKind::Variable) {
    throw OraError(932, {"CHAR", arg->type.dictDataType()});
  }
  const sql::TypeSpec& spec = *e.castType;
  DataType target = dataTypeOf(ctx_, spec, schema_);
  // CAST knows the built-in scalar types; LONG, LONG RAW and ROWID are no target.
  if (target.isLong() || target.code == TypeCode::Object || target.code == TypeCode::Rowid) {
    throw OraError(902);
  }
  const DataType& from = arg->type;
  bool textual = from.isCharacter() || (from.code == TypeCode::Varchar2 && from.length == 0);
  bool ok = true;
  switch (target.code) {
    case TypeCode::Number:
    case TypeCode::Float:
      ok = from.isNumeric() || textual;
      break;
    case TypeCode::Date:
    case TypeCode::Timestamp:
      ok = from.isDatetime() || textual;
      break;
    case TypeCode::Raw:
    case TypeCode::Blob:
      ok = from.isBinary() || textual;
      break;
    case TypeCode::Clob:
      ok = textual;
      break;
    default:
      ok = !from.isBinary() || target.isCharacter();
      break;
  }
  if (!ok) throw OraError(932, {target.dictDataType(), from.dictDataType()});
  return castNode(std::move(arg), std::move(target));
}

Value castValue(const Value& v, const DataType& type, const NlsSettings& nls) {
  if (v.isNull()) return v;
  if (type.code == TypeCode::Varchar2 || type.code == TypeCode::Char) {
    // Text is cut to the target's length (in its unit), not refused; CHAR is then padded.
    std::string text = toText(v, nls);
    size_t limit = static_cast<size_t>(type.length);
    if (type.charSemantics || type.national) {
      text.resize(utf8::offsetOf(text, limit));
    } else if (text.size() > limit) {
      size_t cut = 0;
      while (cut < text.size()) {
        size_t n = utf8::charSize(text, cut);
        if (n == 0 || cut + n > limit) break;
        cut += n;
      }
      text.resize(cut);
    }
    if (type.code == TypeCode::Varchar2) return Value::text(text);
    return coerceForColumn(Value::text(text), type, nls, "CAST");
  }
  return coerceForColumn(v, type, nls, "CAST");
}

// Names that stand for values of the session and the statement; nullptr when `n` is none.
std::unique_ptr<CExpr> Compiler::compileSessionValue(const std::string& n,
                                                     const std::vector<const sql::Expr*>& args) {
  bool datetime9 = n == "SYSTIMESTAMP" || n == "CURRENT_DATE" || n == "CURRENT_TIMESTAMP" ||
                   n == "LOCALTIMESTAMP";
  if (!datetime9) return nullptr;
  // These came with release 9: before it they are unknown names.
  if (release() < 900) throw OraError(904, {quotedName({n})});
  if (n == "CURRENT_DATE") {
    if (!args.empty()) throw OraError(909);
    return makeConst(Value::date(ctx_.sysdate), DataType::date());
  }
  // CURRENT_TIMESTAMP and LOCALTIMESTAMP take an optional fraction precision (0 to 9).
  if (args.size() > 1 || (n == "SYSTIMESTAMP" && !args.empty())) throw OraError(909);
  int digits = 6;
  if (!args.empty()) {
    const sql::Expr& p = *args[0];
    if (p.kind != sql::ExprKind::Literal || p.literal != sql::LiteralKind::Number) {
      throw OraError(30088);
    }
    digits = std::atoi(p.text.c_str());
    if (digits < 0 || digits > 9 || p.text.find('.') != std::string::npos) throw OraError(30088);
  }
  DateTime t = ctx_.systimestamp;
  if (digits < 9) {
    uint32_t scale = 1;
    for (int i = digits; i < 9; ++i) scale *= 10;
    t.nanos = t.nanos / scale * scale;
  }
  TimeZoneKind zone = n == "LOCALTIMESTAMP" ? TimeZoneKind::None : TimeZoneKind::WithTimeZone;
  return makeConst(Value::timestamp(t), DataType::timestamp(digits, zone));
}

}  // namespace ocisim
