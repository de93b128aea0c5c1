#include "structure/structure_run.h"

namespace velmora {

void writeQueryError(StructureRun& run, const std::string& what, const StructureDatabase& database,
                     const std::string& detail, const std::string& message) {
  const std::string& dash = run.options.s_DashComment;
  run.out.write(
      "\r\n\r\n\r\n" + dash + "The following error ocurred when trying to process " + what,
      ReportColour::Maroon, false, false);
  run.out.write(database.displayName, database.colour(), false, false);
  if (!detail.empty()) run.out.write(detail, ReportColour::Green, false, false);
  run.out.write("\r\n" + dash + message, ReportColour::Maroon, false, true);
}

}  // namespace velmora
