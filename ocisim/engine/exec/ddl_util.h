// Helpers shared by the DDL statements: schema and privilege checks, types and storage clauses
// as the catalog records them, and the creation of key indexes. Internal to the executor.
#pragma once

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

// Column names a CHECK condition uses (in table column order).
std::vector<std::string> conditionColumns(const sql::Expr& condition, const Table& table);

// Makes `key` use an index: one on exactly these columns if there is one, else a new index
// named like the constraint (unique unless the key is deferrable). Sets the key's index name
// and ownsIndex (true when the index was made here).
void ensureKeyIndex(ExecContext& ctx, Table& table, Constraint& key,
                    const sql::StorageClause* usingIndex);

}  // namespace ocisim
