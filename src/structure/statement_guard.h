// The guard before a statement that names objects of a database: a name that cannot stand in a
// line-based script (unwritableNameReason) gets a comment saying that no statement is written for
// the object, and the run records the kind of object as not completely compared. Used by the
// comparers that write DROP and ALTER statements themselves.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "structure/structure_run.h"

namespace velmora {

// When `reason` is not empty, writes lineStart + the comment (maroon) + lineEnd, records `kind`
// and returns true; else writes nothing and returns false. `what` names the object ("table " +
// name); the comment escapes it.
bool refuseStatementFor(StructureRun& run, const std::string& kind, const std::string& what,
                        const std::string& reason, std::string_view lineStart = "\r\n",
                        std::string_view lineEnd = "");

// The same when one of `names` cannot be written (unwritableNamesReason).
bool refuseStatement(StructureRun& run, const std::string& kind, const std::string& what,
                     std::initializer_list<std::string_view> names,
                     std::string_view lineStart = "\r\n", std::string_view lineEnd = "");

}  // namespace velmora
