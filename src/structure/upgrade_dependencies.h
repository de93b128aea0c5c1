// The dependency checks that keep an upgrade script runnable. Before the script drops a table,
// a column or a key of Database 2, they look up in Database 2 what goes with it (foreign keys of
// other tables, constraints and indexes on the column), decide whether the statement needs
// CASCADE CONSTRAINTS / CASCADE, and record in ScriptDependencies what the statement removes,
// so that later statements do not drop it again and the keys Database 1 still has are created
// again. Foreign keys owned by another schema are never cascaded away: the statement is then
// written without CASCADE and fails visibly instead of changing another schema.
#pragma once

#include <string>

#include "structure/dictionary_reader.h"
#include "structure/script_dependencies.h"

namespace velmora {

// DROP TABLE table: true when it needs CASCADE CONSTRAINTS (foreign keys of other tables of the
// owner reference its keys); records the table and those keys.
bool noteTableDrop(DictionaryReader& reader2, const std::string& owner, const std::string& table,
                   ScriptDependencies& dependencies);

// ALTER TABLE table DROP COLUMN column: true when it needs CASCADE CONSTRAINTS (a constraint on
// several columns includes it, or foreign keys reference a key on it); records the constraints
// and indexes that go with the column.
bool noteColumnDrop(DictionaryReader& reader2, const std::string& owner, const std::string& table,
                    const std::string& column, ScriptDependencies& dependencies);

// ALTER TABLE table DROP CONSTRAINT key of type P or U: true when it needs CASCADE (foreign keys
// still reference it); records those foreign keys. The key itself is recorded by the caller.
bool noteKeyDrop(DictionaryReader& reader2, const std::string& owner, const std::string& key,
                 ScriptDependencies& dependencies);

// Before a NOT NULL column of Database 2 is made nullable: a primary key that holds the column
// keeps it NOT NULL, so the key is dropped first (the constraint phase creates it again as
// Database 1 has it). Without a NOT NULL of its own the column is nullable once the key is gone.
struct KeyRelease {
  std::string key;              // the primary key that holds the column; "" when there is none
  bool alreadyDropped = false;  // an earlier statement dropped it: nothing to write
  bool cascade = false;         // foreign keys reference it
  bool ownNotNull = false;      // the column is also declared NOT NULL
};
KeyRelease notePrimaryKeyRelease(DictionaryReader& reader2, const std::string& owner,
                                 const std::string& table, const std::string& column,
                                 ScriptDependencies& dependencies);

}  // namespace velmora
