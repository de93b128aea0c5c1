#include "run/phase_table.h"

#include <stdexcept>

namespace velmora {

namespace {

using Options = ComparisonOptions;

// The view phases run in the comparison report for view data too; the scripts have no view data.
bool viewStructuresWanted(const Options& o) {
  return o.b_DoViewStruct || (o.b_DoViewData && o.i_DoingUpgradeScript == 0);
}

Phase storedCode(PhaseId id, const char* name, const char* kindCode, const char* plural,
                 int Options::*option) {
  return {id,
          name,
          [option](const Options& o) { return o.*option != 0; },
          {std::string("Analyzing ") + plural, std::string("Comparing ") + plural},
          false,
          kindCode,
          {}};
}

std::vector<Phase> standardPhases() {
  std::vector<Phase> phases = {
      {PhaseId::Privileges, "privileges", [](const Options& o) { return o.b_DoPriv != 0; },
       {"Analyzing System Privileges", "Comparing System Privileges", "Analyzing Role Privileges",
        "Comparing Role Privileges", "Analyzing Object Privileges", "Comparing Object Privileges"},
       false, "", {}},
      {PhaseId::Sequences, "sequences", [](const Options& o) { return o.b_DoSeq != 0; },
       {"Analyzing Sequences", "Comparing Sequences"}, true, "", {}},
      {PhaseId::TableLists, "table lists",
       [](const Options& o) { return o.b_DoStruct || o.b_DoData || o.b_DoIndex || o.b_DoConst; },
       {"Analyzing Databases"}, false, "", {}},
      {PhaseId::TableStructures, "table structures",
       [](const Options& o) { return o.b_DoStruct || o.b_DoData; },
       {"Analyzing Structures", "Comparing Structures"}, false, "", {}},
      {PhaseId::Indexes, "indexes", [](const Options& o) { return o.b_DoIndex != 0; },
       {"Analyzing Indexes", "Comparing Indexes"}, false, "", {}},
      {PhaseId::Constraints, "constraints", [](const Options& o) { return o.b_DoConst != 0; },
       {"Analyzing Constraints", "Comparing Constraints"}, false, "", {}},
      {PhaseId::TableData, "table data", [](const Options& o) { return o.b_DoData != 0; },
       {"Comparing Data", "Upgrading Data"}, true, "", {}},
      {PhaseId::ViewLists, "view lists", viewStructuresWanted, {"Retrieving Views"}, false, "", {}},
      {PhaseId::ViewStructures, "view structures", viewStructuresWanted,
       {"Analyzing View Structures"}, false, "", {}},
      {PhaseId::ViewData, "view data",
       [](const Options& o) { return o.b_DoViewData && o.i_DoingUpgradeScript == 0; },
       {"Comparing View Data"}, true, "", {}},
  };
  phases.push_back(
      storedCode(PhaseId::Triggers, "triggers", "TRIG", "Triggers", &Options::b_DoTrigger));
  phases.push_back(
      storedCode(PhaseId::ViewSource, "view source", "VIEW", "Views", &Options::b_DoViewSource));
  phases.push_back(
      storedCode(PhaseId::Functions, "functions", "FUNC", "Functions", &Options::b_DoFunc));
  phases.push_back(
      storedCode(PhaseId::Packages, "packages", "PKG", "Packages", &Options::b_DoPack));
  phases.push_back(storedCode(PhaseId::PackageBodies, "package bodies", "PKGBD", "Packages Body",
                              &Options::b_DoPackBody));
  phases.push_back(storedCode(PhaseId::StoredProcedures, "stored procedures", "STP",
                              "Stored Procedures", &Options::b_DoStpCode));
  phases.push_back(storedCode(PhaseId::Types, "types", "TYPE", "Types", &Options::b_DoType));
  phases.push_back(storedCode(PhaseId::TypeBodies, "type bodies", "TYPEB", "Types Body",
                              &Options::b_DoTypeBody));
  return phases;
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
