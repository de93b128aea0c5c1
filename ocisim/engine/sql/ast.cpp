#include "engine/sql/ast.h"

namespace ocisim::sql {
namespace {

// Oracle's SQL command codes for CREATE / DROP of each object kind.
int createCodeFunction(CodeKind kind) {
  switch (kind) {
    case CodeKind::Procedure: return 24;
    case CodeKind::Function: return 91;
    case CodeKind::Package: return 94;
    case CodeKind::PackageBody: return 97;
    case CodeKind::Type: return 77;
    case CodeKind::TypeBody: return 81;
    case CodeKind::Trigger: return 59;
  }
  return 0;
}

int dropFunction(ObjectKind kind) {
  switch (kind) {
    case ObjectKind::Table: return 8;
    case ObjectKind::View: return 7;
    case ObjectKind::Index: return 21;
    case ObjectKind::Sequence: return 16;
    case ObjectKind::Synonym: return 31;
    case ObjectKind::Procedure: return 68;
    case ObjectKind::Function: return 93;
    case ObjectKind::Package: return 96;
    case ObjectKind::PackageBody: return 99;
    case ObjectKind::Type: return 78;
    case ObjectKind::TypeBody: return 83;
    case ObjectKind::Trigger: return 61;
    case ObjectKind::User: return 11;
    case ObjectKind::Role: return 6;
    case ObjectKind::Tablespace: return 51;
  }
  return 0;
}

}  // namespace

int Statement::ociStatementType() const {
  switch (kind) {
    case StatementKind::Select: return 1;
    case StatementKind::Update: return 2;
    case StatementKind::Delete: return 3;
    case StatementKind::Insert: return 4;
    case StatementKind::CreateTable:
    case StatementKind::CreateIndex:
    case StatementKind::CreateSequence:
    case StatementKind::CreateView:
    case StatementKind::CreateCode:
    case StatementKind::CreateUser:
    case StatementKind::CreateRole:
    case StatementKind::CreateTablespace:
    case StatementKind::CreateSynonym: return 5;
    case StatementKind::Drop: return 6;
    case StatementKind::AlterTable:
    case StatementKind::AlterSequence:
    case StatementKind::AlterTrigger:
    case StatementKind::AlterUser:
    case StatementKind::AlterSession:
    case StatementKind::AlterIndex:
    case StatementKind::AlterView: return 7;
    case StatementKind::PlsqlBlock:
      return static_cast<const PlsqlBlockStmt&>(*this).startsWithDeclare ? 9 : 8;
    case StatementKind::Rollback: return 17;
    case StatementKind::Commit: return 21;
    case StatementKind::TruncateTable:
    case StatementKind::Grant:
    case StatementKind::Revoke:
    case StatementKind::Comment:
    case StatementKind::Savepoint: return 0;
  }
  return 0;
}

int Statement::sqlFunctionCode() const {
  switch (kind) {
    case StatementKind::Select: return 4;
    case StatementKind::Insert: return 3;
    case StatementKind::Update: return 5;
    case StatementKind::Delete: return 9;
    case StatementKind::CreateTable: return 1;
    case StatementKind::AlterTable:
      return static_cast<const AlterTableStmt&>(*this).renameStatement ? 37 : 26;  // RENAME
    case StatementKind::TruncateTable: return 85;
    case StatementKind::CreateIndex: return 20;
    case StatementKind::CreateSequence: return 13;
    case StatementKind::AlterSequence: return 14;
    case StatementKind::CreateView: return 10;
    case StatementKind::CreateCode:
      return createCodeFunction(static_cast<const CreateCodeStmt&>(*this).code);
    case StatementKind::Drop: return dropFunction(static_cast<const DropStmt&>(*this).object);
    case StatementKind::AlterTrigger: return 60;
    case StatementKind::CreateUser: return 19;
    case StatementKind::AlterUser: return 53;
    case StatementKind::CreateRole: return 12;
    case StatementKind::Grant: return 28;
    case StatementKind::Revoke: return 29;
    case StatementKind::AlterSession: return 52;
    case StatementKind::Comment: return 38;
    case StatementKind::Commit: return 54;
    case StatementKind::Rollback: return 55;
    case StatementKind::Savepoint: return 56;
    case StatementKind::PlsqlBlock: return 34;
    case StatementKind::AlterIndex: return 41;
    case StatementKind::AlterView: return 88;
    case StatementKind::CreateTablespace: return 49;
    case StatementKind::CreateSynonym: return 30;
  }
  return 0;
}

}  // namespace ocisim::sql
