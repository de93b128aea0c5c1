// Synonyms: CREATE / DROP [PUBLIC] SYNONYM and the translation of a name through them.
// Internal to the executor.
#pragma once

#include <optional>
#include <string>

#include "engine/exec/catalog.h"
#include "engine/sql/ast.h"

namespace ocisim {

class Database;
class ExecContext;

// The object a name stands for when it is no object of `schema` itself: a private synonym of
// `schema`, then (for a name written without a schema) a PUBLIC synonym, followed through
// synonyms of synonyms to a table, view, sequence, stored code or type (or a dictionary view
// of SYS). nullopt when `schema` has neither an object nor a synonym of that name (the caller
// gives its own error: ORA-00942, ORA-02289 ...); the object itself when it exists.
// ORA-00980 when a synonym names nothing that exists, ORA-01775 for a loop of synonyms.
std::optional<NameKey> resolveObjectName(const Database& db, const std::string& schema,
                                         const std::string& name, bool qualified);

void runCreateSynonym(ExecContext& ctx, const sql::CreateSynonymStmt& stmt);
// DROP [PUBLIC] SYNONYM [schema.]name [FORCE].
void dropSynonym(ExecContext& ctx, const sql::DropStmt& stmt);

}  // namespace ocisim
