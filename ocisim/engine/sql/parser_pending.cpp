// Statement kinds whose grammar is not written yet: they fail with ORA-00900 for now.
#include "engine/sql/parser_internal.h"

namespace ocisim::sql {

std::unique_ptr<Statement> Parser::createStatement() { fail(900); }
std::unique_ptr<Statement> Parser::alterStatement() { fail(900); }
std::unique_ptr<Statement> Parser::dropStatement() { fail(900); }
std::unique_ptr<Statement> Parser::truncateStatement() { fail(900); }
std::unique_ptr<Statement> Parser::grantStatement(bool) { fail(900); }
std::unique_ptr<Statement> Parser::commentStatement() { fail(900); }
std::unique_ptr<Statement> Parser::transactionStatement() { fail(900); }
std::unique_ptr<Statement> Parser::plsqlBlockStatement() { fail(900); }

}  // namespace ocisim::sql
