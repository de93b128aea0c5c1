// The privilege and sequence phases of a run: the first two phases, comparing the system, role
// and object privileges and the sequences of the two schemas, in a report or as GRANT/REVOKE and
// CREATE/ALTER/DROP SEQUENCE statements. Run on the run's worker thread over the run's
// DatabaseConnections.
#pragma once

namespace velmora {

class PhaseTable;
class RunContext;

void runPrivilegePhase(RunContext& context);
void runSequencePhase(RunContext& context);

// Registers both phases' runners (they need Database 1; Database 2 too unless scripting
// Database 1).
void registerPrivilegeAndSequencePhases(PhaseTable& phases);
void unregisterPrivilegeAndSequencePhases(PhaseTable& phases);

}  // namespace velmora
