// The objects a view's query references: the tables and views of its FROM items (joins,
// subqueries and set operations included), the sequences it reads and the stored functions and
// packages it calls. Used by ALL_DEPENDENCIES (engine/dict) and by the DDL that makes views
// INVALID when an object they use is dropped, renamed or changed.
#pragma once

#include <set>
#include <string>
#include <tuple>

#include "engine/exec/catalog.h"

namespace ocisim {

// One referenced object: owner, name, OBJECT_TYPE ("TABLE", "VIEW", "SEQUENCE", "FUNCTION",
// "PACKAGE"; "" for a name that names no object now).
using ObjectReference = std::tuple<std::string, std::string, std::string>;

// The objects view's query references; none when the text does not parse. With existingOnly
// false, names that name no object now are listed too (type ""), and a call F or P.F lists the
// names it could mean.
std::set<ObjectReference> viewReferences(const Catalog& catalog, const View& view,
                                         bool existingOnly = true);

}  // namespace ocisim
