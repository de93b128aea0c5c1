#include "structure/statement_guard.h"

#include "structure/ddl_text.h"

namespace velmora {

bool refuseStatementFor(StructureRun& run, const std::string& kind, const std::string& what,
                        const std::string& reason, std::string_view lineStart,
                        std::string_view lineEnd) {
  if (reason.empty()) return false;
  run.recordError(kind);
  run.out.write(
      std::string(lineStart) + unwrittenStatementComment(what, reason) + std::string(lineEnd),
      ReportColour::Maroon, false, true);
  return true;
}

bool refuseStatement(StructureRun& run, const std::string& kind, const std::string& what,
                     std::initializer_list<std::string_view> names, std::string_view lineStart,
                     std::string_view lineEnd) {
  return refuseStatementFor(run, kind, what, unwritableNamesReason(names), lineStart, lineEnd);
}

}  // namespace velmora
