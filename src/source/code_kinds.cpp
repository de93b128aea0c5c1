#include "source/code_kinds.h"

namespace velmora {

const std::vector<CodeKind>& codeKinds() {
  using O = ComparisonOptions;
  static const std::vector<CodeKind> kinds = {
      {"TRIG", "Triggers", "TRIGGER", "trigger", "Trigger", &O::b_DoTrigger, &O::b_DoTriggerCommon,
       &O::b_DoTriggerSkipped, &O::b_NoDiffTrig, 0},
      {"VIEW", "Views", "VIEW", "view", "View", &O::b_DoViewSource, &O::b_DoViewSourceCommon,
       &O::b_DoViewSourceSkipped, &O::b_NoDiffViewSource, 1},
      {"FUNC", "Functions", "FUNCTION", "function", "Function", &O::b_DoFunc, &O::b_DoFuncCommon,
       &O::b_DoFuncSkipped, &O::b_NoDiffFunc, 2},
      {"PKG", "Packages", "PACKAGE", "package", "Package", &O::b_DoPack, &O::b_DoPkgCommon,
       &O::b_DoPkgSkipped, &O::b_NoDiffPkg, 3},
      {"PKGBD", "Packages Body", "PACKAGE BODY", "package body", "Package Body", &O::b_DoPackBody,
       &O::b_DoPkgBodyCommon, &O::b_DoPkgBodySkipped, &O::b_NoDiffPkgBody, 4},
      {"STP", "Stored Procedures", "PROCEDURE", "stored procedure", "Stored Procedure",
       &O::b_DoStpCode, &O::b_DoStpCommon, &O::b_DoStpSkipped, &O::b_NoDiffStp, 5},
      {"TYPE", "Types", "TYPE", "type", "Type", &O::b_DoType, &O::b_DoTypeCommon,
       &O::b_DoTypeSkipped, &O::b_NoDiffType, 6},
      {"TYPEB", "Types Body", "TYPE BODY", "type body", "Type Body", &O::b_DoTypeBody,
       &O::b_DoTypeBodyCommon, &O::b_DoTypeBodySkipped, &O::b_NoDiffTypeBody, 7},
  };
  return kinds;
}

const CodeKind* codeKindByCode(const std::string& code) {
  for (const CodeKind& kind : codeKinds()) {
    if (code == kind.code) return &kind;
  }
  return nullptr;
}

const CodeKind* codeKindByType(const std::string& oracleType) {
  for (const CodeKind& kind : codeKinds()) {
    if (oracleType == kind.oracleType) return &kind;
  }
  return nullptr;
}

bool isPlsqlKind(const CodeKind& kind) {
  const std::string code = kind.code;
  return code != "VIEW" && code != "TRIG";
}

}  // namespace velmora
