// Helpers shared by the DDL statements: schema and privilege checks, types and storage clauses
// as the catalog records them, and the creation of key indexes. Internal to the executor.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/exec/catalog.h"
#include "engine/exec/exec_context.h"
#include "engine/sql/ast.h"

namespace ocisim {

// The owner a DDL statement acts on (the schema written, else the session user); ORA-01918
// when that user does not exist.
std::string ddlOwner(ExecContext& ctx, const std::string& schema);
// ORA-01031 unless the session user may create an object of `kind` ("TABLE", "VIEW", ...) in
// `owner`'s schema: its own schema with CREATE <kind> or CREATE ANY <kind>, another schema
// with CREATE ANY <kind>.
void requireCreate(ExecContext& ctx, const std::string& owner, const std::string& kind);
// ORA-01031 unless the user owns the object or holds `anyPrivilege` ("DROP ANY TABLE" ...).
void requireOwnerOr(ExecContext& ctx, const std::string& owner, const std::string& anyPrivilege);
// ORA-00955 when owner.name is taken in the namespace of tables, views, sequences, code, types.
void requireFreeName(const Catalog& catalog, const std::string& owner, const std::string& name);

// The DataType of a column type as written (object types resolved in `owner`'s schema);
// ORA-00902 for an unknown type.
DataType dataTypeOf(ExecContext& ctx, const sql::TypeSpec& spec, const std::string& owner);
// Storage attributes: the given clause over the defaults.
StorageAttributes storageOf(const sql::StorageClause& clause, StorageAttributes defaults);

ObjectHeader newHeader(ExecContext& ctx, const std::string& owner, const std::string& name);
// The header of an object that CREATE OR REPLACE puts in the place of `replaced` (null: there
// is none): the replacement keeps the object id and the creation time of the object it replaces.
ObjectHeader replacementHeader(ExecContext& ctx, const std::string& owner, const std::string& name,
                               const ObjectHeader* replaced);

// Column names a CHECK condition uses (in table column order).
std::vector<std::string> conditionColumns(const sql::Expr& condition, const Table& table);

// Makes `key` use an index: one on exactly these columns if there is one, else a new index
// named like the constraint (unique unless the key is deferrable). Sets the key's index name
// and ownsIndex (true when the index was made here).
void ensureKeyIndex(ExecContext& ctx, Table& table, Constraint& key,
                    const sql::StorageClause* usingIndex);
// The same for a key defined by `def` (may be null): USING INDEX (CREATE INDEX ...) makes that
// index and USING INDEX name takes that one (the key does not own either: dropping the key keeps
// it); otherwise as above with the USING INDEX attributes.
void ensureKeyIndex(ExecContext& ctx, Table& table, Constraint& key, const sql::ConstraintDef* def);
// Checks what ensureKeyIndex(def) will do without changing anything: the tablespace of USING
// INDEX, and the index of USING INDEX (CREATE INDEX ...) / USING INDEX name (ORA-14196 when it
// cannot enforce the key). True when the key names its index that way (so the index named like
// the key is not needed).
bool checkKeyIndexClause(ExecContext& ctx, const Table& table, const Constraint& key,
                         const sql::ConstraintDef& def);

// CREATE INDEX once the statement's privileges are checked: the index on `table` in `owner`'s
// schema, with its structure built (ddl_table.cpp).
Index& createIndexObject(ExecContext& ctx, const sql::CreateIndexStmt& stmt, Table& table,
                         const std::string& owner);

// ---- tablespaces (ddl_tablespaces.cpp) ----

// The tablespace's DBA_TABLESPACES.CONTENTS, or nullopt when the database has no such tablespace.
std::optional<std::string> tablespaceContents(const ExecContext& ctx, const std::string& name);
// ORA-00959 unless the tablespace exists; ORA-02195 when it is a TEMPORARY or UNDO one and a
// table or index is to go there.
void requireSegmentTablespace(const ExecContext& ctx, const std::string& name);
// The same for the TABLESPACE of a clause, when it has one.
void requireClauseTablespace(const ExecContext& ctx, const sql::StorageClause& clause);
// The tablespace a new table or index of `owner` goes to when none is named.
std::string defaultTablespaceOf(const ExecContext& ctx, const std::string& owner);
// CREATE USER / ALTER USER: checks DEFAULT / TEMPORARY TABLESPACE and records them.
void applyUserTablespaces(ExecContext& ctx, const sql::UserStmt& stmt);
// DROP TABLESPACE (ddl_drop.cpp).
void dropTablespace(ExecContext& ctx, const sql::DropStmt& stmt);

// DDL on a global temporary table: `code` (ORA-14450 for ALTER TABLE, ORA-14452 for DROP and
// indexes) while any session holds rows of it; otherwise every session's (empty) store of it
// is forgotten, to be made again after the change. Nothing for other tables.
void requireTemporaryTableUnused(ExecContext& ctx, const Table& table, int code);

// ---- object status (ddl_status.cpp) ----

// Marks INVALID the views (and, through them, the views over those) whose query references
// owner.name, an object being dropped, renamed or changed incompatibly.
void invalidateDependents(ExecContext& ctx, const std::string& owner, const std::string& name);
// Compiles a view's query again: VALID with its columns when it compiles (true), else INVALID.
bool recompileView(ExecContext& ctx, View& view);

}  // namespace ocisim
