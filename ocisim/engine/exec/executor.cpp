#include "engine/exec/executor.h"

#include "engine/exec/synonyms.h"
#include "engine/ora_error.h"

namespace ocisim {

uint64_t runStatement(ExecContext& ctx, const sql::Statement& stmt) {
  using K = sql::StatementKind;
  switch (stmt.kind) {
    case K::Insert:
      return runInsert(ctx, stmt.as<sql::InsertStmt>());
    case K::Update:
      return runUpdate(ctx, stmt.as<sql::UpdateStmt>());
    case K::Delete:
      return runDelete(ctx, stmt.as<sql::DeleteStmt>());
    case K::CreateTable:
      runCreateTable(ctx, stmt.as<sql::CreateTableStmt>());
      return 0;
    case K::AlterTable:
      runAlterTable(ctx, stmt.as<sql::AlterTableStmt>());
      return 0;
    case K::TruncateTable:
      runTruncate(ctx, stmt.as<sql::TruncateTableStmt>());
      return 0;
    case K::CreateIndex:
      runCreateIndex(ctx, stmt.as<sql::CreateIndexStmt>());
      return 0;
    case K::CreateSequence:
    case K::AlterSequence:
      runSequence(ctx, stmt.as<sql::SequenceStmt>());
      return 0;
    case K::CreateView:
      runCreateView(ctx, stmt.as<sql::CreateViewStmt>());
      return 0;
    case K::CreateCode:
      runCreateCode(ctx, stmt.as<sql::CreateCodeStmt>());
      return 0;
    case K::AlterTrigger:
      runAlterTrigger(ctx, stmt.as<sql::AlterTriggerStmt>());
      return 0;
    case K::Drop:
      runDrop(ctx, stmt.as<sql::DropStmt>());
      return 0;
    case K::CreateUser:
    case K::AlterUser:
      runUser(ctx, stmt.as<sql::UserStmt>());
      return 0;
    case K::CreateRole:
      runCreateRole(ctx, stmt.as<sql::CreateRoleStmt>());
      return 0;
    case K::Grant:
      runGrant(ctx, stmt.as<sql::GrantStmt>());
      return 0;
    case K::Revoke:
      runRevoke(ctx, stmt.as<sql::GrantStmt>());
      return 0;
    case K::AlterSession:
      runAlterSession(ctx, stmt.as<sql::AlterSessionStmt>());
      return 0;
    case K::Comment:
      runComment(ctx, stmt.as<sql::CommentStmt>());
      return 0;
    case K::Commit:
    case K::Savepoint:
      return 0;  // every statement is committed already
    case K::Rollback:
      // Every statement commits on success: there is nothing a rollback could undo, and
      // pretending it did would mislead the script that asked for it. The text says why.
      throw OraError::withText(
          3001, "unimplemented feature: ROLLBACK (every statement was committed when it ran)");
    case K::PlsqlBlock:
      runPlsqlBlock(ctx, stmt.as<sql::PlsqlBlockStmt>());
      return 0;
    case K::AlterIndex:
      runAlterIndex(ctx, stmt.as<sql::AlterIndexStmt>());
      return 0;
    case K::AlterView:
      runAlterView(ctx, stmt.as<sql::AlterViewStmt>());
      return 0;
    case K::CreateTablespace:
      runCreateTablespace(ctx, stmt.as<sql::CreateTablespaceStmt>());
      return 0;
    case K::CreateSynonym:
      runCreateSynonym(ctx, stmt.as<sql::CreateSynonymStmt>());
      return 0;
    case K::Select:
      break;
  }
  throw OraError(900);
}

}  // namespace ocisim
