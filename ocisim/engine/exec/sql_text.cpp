#include "engine/exec/sql_text.h"

#include "engine/ora_error.h"
#include "engine/sql/parser.h"

namespace ocisim {

std::shared_ptr<const sql::Expr> keepExpr(std::shared_ptr<sql::Statement> owner,
                                          const sql::Expr* expr) {
  return std::shared_ptr<const sql::Expr>(std::move(owner), expr);
}

std::shared_ptr<const sql::Expr> parseConditionText(const std::string& text) {
  std::shared_ptr<sql::Statement> stmt = sql::parseStatement("SELECT 1 FROM DUAL WHERE " + text);
  const auto& select = stmt->as<sql::SelectStmt>();
  if (!select.query || !select.query->block || !select.query->block->where) throw OraError(920);
  return keepExpr(stmt, select.query->block->where.get());
}

std::shared_ptr<const sql::Expr> parseExpressionText(const std::string& text) {
  std::shared_ptr<sql::Statement> stmt = sql::parseStatement("SELECT " + text + " FROM DUAL");
  const auto& select = stmt->as<sql::SelectStmt>();
  if (!select.query || !select.query->block || select.query->block->items.size() != 1) {
    throw OraError(936);
  }
  return keepExpr(stmt, select.query->block->items[0].expr.get());
}

}  // namespace ocisim
