// The eight kinds of stored code (triggers, view source, functions, packages, package
// bodies, procedures, types, type bodies): their codes, names in the report, Oracle types and
// options. Constant data; thread-safe.
#pragma once

#include <string>
#include <vector>

#include "base/comparison_options.h"

namespace velmora {

struct CodeKind {
  const char* code;         // "STP": the key of the phase, the ignore list and the object list
  const char* plural;       // "Stored Procedures": titles and list headings
  const char* oracleType;   // "PROCEDURE": the catalog query and the DROP statement
  const char* name;         // "stored procedure": difference headers
  const char* capitalised;  // "Stored Procedure": the skip line
  int ComparisonOptions::*doKind;   // the phase's switch (b_DoStpCode)
  int ComparisonOptions::*common;   // list the objects in both databases (b_DoStpCommon)
  int ComparisonOptions::*skipped;  // list the objects not processed (b_DoStpSkipped)
  int ComparisonOptions::*noDiff;   // say so when an object has no difference (b_NoDiffStp)
  int order;                        // position among the stored-code phases of a run (0..7)
};

// The kinds in the order of the run (TRIG, VIEW, FUNC, PKG, PKGBD, STP, TYPE, TYPEB).
const std::vector<CodeKind>& codeKinds();
// The kind of a code or of an Oracle type ("TRIGGER" ...); null for anything else.
const CodeKind* codeKindByCode(const std::string& code);
const CodeKind* codeKindByType(const std::string& oracleType);

// True for the kinds that are PL/SQL: a CREATE OR REPLACE of them that does not compile still
// creates the object, so their order in a script does not matter. Views and triggers (whose table
// or view must exist) are not.
bool isPlsqlKind(const CodeKind& kind);

}  // namespace velmora
