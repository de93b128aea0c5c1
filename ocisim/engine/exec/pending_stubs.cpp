#include "engine/exec/executor.h"
#include "engine/ora_error.h"

namespace ocisim {
uint64_t runInsert(ExecContext&, const sql::InsertStmt&) {
  throw OraError(900);
}
uint64_t runUpdate(ExecContext&, const sql::UpdateStmt&) {
  throw OraError(900);
}
uint64_t runDelete(ExecContext&, const sql::DeleteStmt&) {
  throw OraError(900);
}
void runCreateTable(ExecContext&, const sql::CreateTableStmt&) {
  throw OraError(900);
}
void runAlterTable(ExecContext&, const sql::AlterTableStmt&) {
  throw OraError(900);
}
void runTruncate(ExecContext&, const sql::TruncateTableStmt&) {
  throw OraError(900);
}
void runCreateIndex(ExecContext&, const sql::CreateIndexStmt&) {
  throw OraError(900);
}
void runSequence(ExecContext&, const sql::SequenceStmt&) {
  throw OraError(900);
}
void runCreateView(ExecContext&, const sql::CreateViewStmt&) {
  throw OraError(900);
}
void runCreateCode(ExecContext&, const sql::CreateCodeStmt&) {
  throw OraError(900);
}
void runDrop(ExecContext&, const sql::DropStmt&) {
  throw OraError(900);
}
void runUser(ExecContext&, const sql::UserStmt&) {
  throw OraError(900);
}
void runCreateRole(ExecContext&, const sql::CreateRoleStmt&) {
  throw OraError(900);
}
void runGrant(ExecContext&, const sql::GrantStmt&) {
  throw OraError(900);
}
void runRevoke(ExecContext&, const sql::GrantStmt&) {
  throw OraError(900);
}
void runAlterSession(ExecContext&, const sql::AlterSessionStmt&) {
  throw OraError(900);
}
void runComment(ExecContext&, const sql::CommentStmt&) {
  throw OraError(900);
}
void runPlsqlBlock(ExecContext&, const sql::PlsqlBlockStmt&) {
  throw OraError(900);
}
}  // namespace ocisim
