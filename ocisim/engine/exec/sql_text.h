// Parsing of the expression texts the catalog keeps (CHECK conditions, column defaults), for
// constraints and defaults whose parsed form is not at hand (a catalog loaded from storage).
// Internal to the executor.
#pragma once

#include <memory>
#include <string>

#include "engine/sql/ast.h"

namespace ocisim {

// The parsed condition of a CHECK constraint text (e.g. "salary > 0"). Throws OraError.
std::shared_ptr<const sql::Expr> parseConditionText(const std::string& text);
// The parsed expression of a DEFAULT text (e.g. "SYSDATE ", "'PENDING'"). Throws OraError.
std::shared_ptr<const sql::Expr> parseExpressionText(const std::string& text);
// Takes ownership of a subtree of a parsed statement, keeping the statement (and its text)
// alive as long as the subtree is used.
std::shared_ptr<const sql::Expr> keepExpr(std::shared_ptr<sql::Statement> owner,
                                          const sql::Expr* expr);

}  // namespace ocisim
