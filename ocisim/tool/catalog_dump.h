// `ocisim dump`: prints the whole catalog of a database (users, roles, grants, tables with
// columns, storage and constraints, indexes, sequences, views, stored code, triggers, comments)
// as text in a stable order (by owner, then name) and without dates or object ids, so that two
// dumps of equal catalogs are equal. Holds the database lock while it reads.
#pragma once

#include <ostream>

namespace ocisim {
class Database;
}

namespace ocisim::tool {

void dumpCatalog(Database& database, std::ostream& out);

}  // namespace ocisim::tool
