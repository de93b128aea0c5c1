// Constraint DDL of Database 1 in an order a script can run: every table's own constraints
// (primary keys, unique keys, checks) with the table, its foreign keys held back until every
// table and key exists, then written together at the end. Each constraint is scripted on its
// own, since the foreign keys must be told apart. Used by the table lists and the constraint
// phase.
#pragma once

#include <string>

#include "structure/structure_run.h"

namespace velmora {

// The DDL of the table's constraints other than foreign keys (primary, unique, check, others, in
// that order, each cut of trailing white space, joined by CR LF); its foreign keys are added to
// the deferred ones. When the constraint list cannot be read, scriptConstraints' text as it is.
std::string scriptOwnConstraints(StructureRun& run, const std::string& table);

// The creation script of a table of Database 1 for the upgrade script: CREATE TABLE, its own
// constraints and its indexes, each part cut of trailing white space and followed by CR LF; the
// foreign keys are deferred.
std::string scriptNewTable(StructureRun& run, const std::string& table);

// The end of the constraints of an upgrade script: the constraints that earlier statements
// removed along with something else (CASCADE) and that Database 1 still has, then the foreign
// keys held back until every table and key they may reference exists (also in "Script
// database 1"). Writes nothing when there are none.
void writeDeferredConstraints(StructureRun& run);

}  // namespace velmora
