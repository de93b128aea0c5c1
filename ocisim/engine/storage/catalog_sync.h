// Brings the catalog of a live Database to a decoded catalog image (from a snapshot or from a
// journal record another process wrote), in place: records that still exist (same object id)
// are updated where they are, so pointers held by open cursors and prepared plans stay valid;
// dropped ones are removed and new ones added. Tables keep their rows unless their column
// count changed (the journal then rewrites them); index structures are rebuilt only for tables
// whose columns, indexes or key constraints changed.
#pragma once

#include "engine/exec/database.h"
#include "engine/storage/catalog_codec.h"

namespace ocisim::storage {

void applyCatalogImage(Database& db, CatalogImage image);

}  // namespace ocisim::storage
