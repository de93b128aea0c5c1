// CREATE [OR REPLACE] [PUBLIC] SYNONYM, DROP [PUBLIC] SYNONYM, and the translation of names
// through synonyms that queries, DML, sequences and grants use.
#include "engine/exec/synonyms.h"

#include <set>

#include "engine/exec/database.h"
#include "engine/exec/ddl_util.h"
#include "engine/exec/exec_context.h"
#include "engine/ora_error.h"

namespace ocisim {
namespace {

const char* const kPublic = "PUBLIC";

// An object other than a synonym: what a chain of synonyms ends at.
bool isObject(const Database& db, const std::string& owner, const std::string& name) {
  auto kind = db.catalog().findInMainNamespace(owner, name);
  if (kind && *kind != ObjectKind::Synonym) return true;
  return owner == "SYS" && db.virtualTables().find(name) != nullptr;
}

}  // namespace

std::optional<NameKey> resolveObjectName(const Database& db, const std::string& schema,
                                         const std::string& name, bool qualified) {
  const Catalog& cat = db.catalog();
  if (isObject(db, schema, name)) return NameKey(schema, name);
  Synonym* synonym = cat.findSynonym(schema, name);
  if (!synonym && !qualified) synonym = cat.findSynonym(kPublic, name);
  if (!synonym) return std::nullopt;
  std::set<Synonym*> seen;
  for (;;) {
    if (!seen.insert(synonym).second) throw OraError(1775);
    const std::string& owner = synonym->tableOwner;
    const std::string& target = synonym->tableName;
    if (isObject(db, owner, target)) {
      // A synonym made INVALID by the loss of its object is VALID again once it translates
      // (as Oracle recompiles it on use).
      for (Synonym* s : seen) s->header.valid = true;
      return NameKey(owner, target);
    }
    synonym = cat.findSynonym(owner, target);
    if (!synonym) throw OraError(980);
  }
}

void runCreateSynonym(ExecContext& ctx, const sql::CreateSynonymStmt& stmt) {
  Catalog& cat = ctx.catalog;
  const std::string& name = stmt.synonym.name;
  std::string owner;
  if (stmt.isPublic) {
    if (!cat.hasSystemPrivilege(ctx.user(), "CREATE PUBLIC SYNONYM")) throw OraError(1031);
    owner = kPublic;
  } else {
    owner = ddlOwner(ctx, stmt.synonym.schema);
    requireCreate(ctx, owner, "SYNONYM");
  }
  std::string targetOwner =
      stmt.target.schema.empty() ? ctx.session.currentSchema() : stmt.target.schema;
  // A private synonym cannot stand for the object whose name it takes.
  if (!stmt.isPublic && targetOwner == owner && stmt.target.name == name) throw OraError(1471);
  Synonym* existing = cat.findSynonym(owner, name);
  if (stmt.isPublic) {
    // The dictionary views are public synonyms of SYS already.
    if ((existing && !stmt.orReplace) || ctx.db.virtualTables().find(name)) throw OraError(955);
  } else {
    auto kind = cat.findInMainNamespace(owner, name);
    if (kind && (*kind != ObjectKind::Synonym || !stmt.orReplace)) throw OraError(955);
  }
  auto synonym = std::make_unique<Synonym>();
  synonym->header = replacementHeader(ctx, owner, name, existing ? &existing->header : nullptr);
  synonym->tableOwner = targetOwner;
  synonym->tableName = stmt.target.name;
  if (existing) cat.removeSynonym(owner, name);
  cat.addSynonym(std::move(synonym));
  ctx.catalogChanged = true;
}

void dropSynonym(ExecContext& ctx, const sql::DropStmt& stmt) {
  Catalog& cat = ctx.catalog;
  const std::string& name = stmt.name.name;
  if (stmt.isPublic) {
    if (!stmt.name.schema.empty()) throw OraError(933);
    if (!cat.findSynonym(kPublic, name)) throw OraError(1432);
    if (!cat.hasSystemPrivilege(ctx.user(), "DROP PUBLIC SYNONYM")) throw OraError(1031);
    cat.removeSynonym(kPublic, name);
    return;
  }
  std::string owner = stmt.name.schema.empty() ? ctx.user() : stmt.name.schema;
  if (!cat.findSynonym(owner, name)) throw OraError(1434);
  requireOwnerOr(ctx, owner, "DROP ANY SYNONYM");
  cat.removeSynonym(owner, name);
}

}  // namespace ocisim
