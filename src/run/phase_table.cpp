#include "run/phase_table.h"

#include <stdexcept>

namespace velmora {

namespace {

using Options = ComparisonOptions;

// The view phases run in the comparison report for view data too; the scripts have no view data.
bool viewStructuresWanted(const Options& o) {
  return o.b_DoViewStruct || (o.b_DoViewData && o.i_DoingUpgradeScript == 0);
}

using Condition = std::function<bool(const Options&)>;

Phase phase(PhaseId id, const char* name, Condition condition, std::vector<std::string> stepNames,
            bool skipAllowed = false) {
  return {id, name, std::move(condition), std::move(stepNames), skipAllowed, "", {}};
}

Condition option(int Options::*field) {
  return [field](const Options& o) { return o.*field != 0; };
}

Phase storedCode(PhaseId id, const char* name, const char* kindCode, const char* plural,
                 int Options::*field) {
  Phase p = phase(id, name, option(field),
                  {std::string("Analyzing ") + plural, std::string("Comparing ") + plural});
  p.kindCode = kindCode;
  return p;
}

std::vector<Phase> standardPhases() {
  using O = Options;
  return {
      phase(PhaseId::Privileges, "privileges", option(&O::b_DoPriv),
            {"Analyzing System Privileges", "Comparing System Privileges",
             "Analyzing Role Privileges", "Comparing Role Privileges",
             "Analyzing Object Privileges", "Comparing Object Privileges"}),
      phase(PhaseId::Sequences, "sequences", option(&O::b_DoSeq),
            {"Analyzing Sequences", "Comparing Sequences"}, true),
      phase(PhaseId::TableLists, "table lists",
            [](const O& o) { return o.b_DoStruct || o.b_DoData || o.b_DoIndex || o.b_DoConst; },
            {"Analyzing Databases"}),
      phase(PhaseId::TableStructures, "table structures",
            [](const O& o) { return o.b_DoStruct || o.b_DoData; },
            {"Analyzing Structures", "Comparing Structures"}),
      phase(PhaseId::Indexes, "indexes", option(&O::b_DoIndex),
            {"Analyzing Indexes", "Comparing Indexes"}),
      phase(PhaseId::Constraints, "constraints", option(&O::b_DoConst),
            {"Analyzing Constraints", "Comparing Constraints"}),
      phase(PhaseId::TableData, "table data", option(&O::b_DoData),
            {"Comparing Data", "Upgrading Data"}, true),
      phase(PhaseId::ViewLists, "view lists", viewStructuresWanted, {"Retrieving Views"}),
      phase(PhaseId::ViewStructures, "view structures", viewStructuresWanted,
            {"Analyzing View Structures"}),
      phase(
          PhaseId::ViewData, "view data",
          [](const O& o) { return o.b_DoViewData && o.i_DoingUpgradeScript == 0; },
          {"Comparing View Data"}, true),
      storedCode(PhaseId::Triggers, "triggers", "TRIG", "Triggers", &O::b_DoTrigger),
      storedCode(PhaseId::ViewSource, "view source", "VIEW", "Views", &O::b_DoViewSource),
      storedCode(PhaseId::Functions, "functions", "FUNC", "Functions", &O::b_DoFunc),
      storedCode(PhaseId::Packages, "packages", "PKG", "Packages", &O::b_DoPack),
      storedCode(PhaseId::PackageBodies, "package bodies", "PKGBD", "Packages Body",
                 &O::b_DoPackBody),
      storedCode(PhaseId::StoredProcedures, "stored procedures", "STP", "Stored Procedures",
                 &O::b_DoStpCode),
      storedCode(PhaseId::Types, "types", "TYPE", "Types", &O::b_DoType),
      storedCode(PhaseId::TypeBodies, "type bodies", "TYPEB", "Types Body", &O::b_DoTypeBody),
  };
}

}  // namespace

PhaseTable::PhaseTable() : phases_(standardPhases()) {}

const Phase& PhaseTable::phase(PhaseId id) const {
  for (const Phase& p : phases_) {
    if (p.id == id) return p;
  }
  throw std::logic_error("unknown phase");
}

void PhaseTable::setRunner(PhaseId id, PhaseRunner runner) {
  for (Phase& p : phases_) {
    if (p.id == id) {
      p.run = std::move(runner);
      return;
    }
  }
  throw std::logic_error("unknown phase");
}

void PhaseTable::setStoredCodeRunner(
    std::function<void(RunContext&, const std::string& kindCode)> runner) {
  for (Phase& p : phases_) {
    if (p.kindCode.empty()) continue;
    p.run = [runner, kind = p.kindCode](RunContext& context) { runner(context, kind); };
  }
}

std::vector<PhaseId> PhaseTable::enabledPhases(const ComparisonOptions& options) const {
  std::vector<PhaseId> enabled;
  for (const Phase& p : phases_) {
    if (p.condition(options)) enabled.push_back(p.id);
  }
  return enabled;
}

}  // namespace velmora
