// Entry points of the executor for statements that are not queries: DML, DDL, transaction
// control, ALTER SESSION and anonymous PL/SQL blocks. Each runs inside the ExecContext of its
// statement; row changes go through ctx.undo so that a failure can be undone. Internal.
#pragma once

#include <cstdint>

#include "engine/exec/exec_context.h"
#include "engine/sql/ast.h"

namespace ocisim {

// Runs one statement; returns the rows processed (DML) or 0.
uint64_t runStatement(ExecContext& ctx, const sql::Statement& stmt);

uint64_t runInsert(ExecContext& ctx, const sql::InsertStmt& stmt);
uint64_t runUpdate(ExecContext& ctx, const sql::UpdateStmt& stmt);
uint64_t runDelete(ExecContext& ctx, const sql::DeleteStmt& stmt);
void runCreateTable(ExecContext& ctx, const sql::CreateTableStmt& stmt);
void runAlterTable(ExecContext& ctx, const sql::AlterTableStmt& stmt);
void runTruncate(ExecContext& ctx, const sql::TruncateTableStmt& stmt);
void runCreateIndex(ExecContext& ctx, const sql::CreateIndexStmt& stmt);
void runSequence(ExecContext& ctx, const sql::SequenceStmt& stmt);
void runCreateView(ExecContext& ctx, const sql::CreateViewStmt& stmt);
void runCreateCode(ExecContext& ctx, const sql::CreateCodeStmt& stmt);
void runAlterTrigger(ExecContext& ctx, const sql::AlterTriggerStmt& stmt);
void runDrop(ExecContext& ctx, const sql::DropStmt& stmt);
void runUser(ExecContext& ctx, const sql::UserStmt& stmt);
void runCreateRole(ExecContext& ctx, const sql::CreateRoleStmt& stmt);
void runGrant(ExecContext& ctx, const sql::GrantStmt& stmt);
void runRevoke(ExecContext& ctx, const sql::GrantStmt& stmt);
void runAlterSession(ExecContext& ctx, const sql::AlterSessionStmt& stmt);
void runComment(ExecContext& ctx, const sql::CommentStmt& stmt);
void runPlsqlBlock(ExecContext& ctx, const sql::PlsqlBlockStmt& stmt);
void runAlterIndex(ExecContext& ctx, const sql::AlterIndexStmt& stmt);
void runAlterView(ExecContext& ctx, const sql::AlterViewStmt& stmt);
void runCreateTablespace(ExecContext& ctx, const sql::CreateTablespaceStmt& stmt);

}  // namespace ocisim
