#include "data/data_literal.h"

#include "base/report_text.h"
#include "data/row_compare.h"
#include "oracle/oracle_text.h"

namespace velmora {

namespace {

std::string doubled(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 2);
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

}  // namespace

std::string scriptLiteral(const DataField& field) {
  if (field.null) return "NULL";
  switch (field.kind) {
    case FieldKind::Number: {
      bool ok = false;
      compareDecimalTexts(field.text, field.text, &ok);
      // The server's text of a number is a numeric literal; anything else stays text.
      return ok ? field.text : quotedSqlLiteral(field.text);
    }
    case FieldKind::Date:
      return "TO_DATE(" + quotedSqlLiteral(field.text) + ",'" + kDateSelectFormat + "')";
    case FieldKind::Timestamp:
      return "TO_TIMESTAMP(" + quotedSqlLiteral(field.text) + ",'" + kTimestampSelectFormat + "')";
    case FieldKind::Raw:
    case FieldKind::LongRaw:
      return "HEXTORAW(" + quotedSqlLiteral(field.text) + ")";
    case FieldKind::Lob:
      return "";
    case FieldKind::Text:
    case FieldKind::Long:
      break;
  }
  return quotedSqlLiteral(field.text);
}

std::string reportValue(const DataField& field) {
  if (field.null) return "NULL";
  if (field.kind == FieldKind::Text || field.kind == FieldKind::Long)
    return escapeControls(doubled(field.text));
  return escapeControls(field.text);
}

}  // namespace velmora
