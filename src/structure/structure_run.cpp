#include "structure/structure_run.h"

#include <algorithm>

#include "base/report_text.h"

namespace velmora {

void writeQueryError(StructureRun& run, const std::string& kind, const std::string& what,
                     const StructureDatabase& database, const std::string& detail,
                     const std::string& message) {
  run.recordError(kind);
  const std::string& dash = run.options.s_DashComment;
  run.out.write("\r\n\r\n\r\n" + dash + "The following error ocurred when trying to process " +
                    escapeControls(what),
                ReportColour::Maroon, false, false);
  run.out.write(escapeControls(database.displayName), database.colour(), false, false);
  if (!detail.empty()) run.out.write(escapeControls(detail), ReportColour::Green, false, false);
  // Every line of the message stays behind the comment's dashes.
  run.out.write("\r\n" + dash + commentLines(dash, message), ReportColour::Maroon, false, true);
}

bool walkCommonTables(StructureRun& run, bool firstPass, size_t& tablesRead,
                      const std::function<bool(CommonTable&)>& readTable) {
  if (firstPass) tablesRead = run.tables.size();
  const size_t count = std::min(run.tables.size(), tablesRead);
  for (size_t i = 0; i < count; ++i) {
    CommonTable& table = run.tables[i];
    run.checkpoint();
    run.host.selectObject(table.firstName);
    run.host.stepProgress();
    if (!readTable(table)) {
      if (firstPass) tablesRead = i;
      return false;
    }
  }
  return true;
}

}  // namespace velmora
