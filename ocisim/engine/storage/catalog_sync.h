// Brings the catalog of a live Database to a decoded catalog image (from a snapshot or from a
// journal record another process wrote), in place: records that still exist (same object id)
// are updated where they are, so pointers held by open cursors and prepared plans stay valid;
// dropped ones are removed and new ones added. Tables keep their rows unless their column
// count changed (the journal then rewrites them); index structures are rebuilt only for tables
// whose columns, indexes or key constraints changed.
#pragma once

#include "engine/exec/database.h"
#include "engine/storage/catalog_codec.h"
#include "engine/storage/catalog_delta.h"

namespace ocisim::storage {

void applyCatalogImage(Database& db, CatalogImage image);

// Applies the records of a delta the same way, touching only them: a table renamed keeps its
// rows; only the tables a changed record belongs to have their index structures rebuilt.
// Tells whether a table record was dropped or replaced (pointers to tables held elsewhere by
// object id may be stale) and which tables were added.
struct DeltaEffect {
  bool tablesRemoved = false;
  std::vector<Table*> tablesAdded;
};
DeltaEffect applyCatalogDelta(Database& db, const CatalogDelta& delta);

}  // namespace ocisim::storage
