// ALTER SESSION SET: the NLS parameters a session may change and CURRENT_SCHEMA, each from the
// release that has it (an older release knows no such option: ORA-02248).
#include <cctype>

#include "engine/exec/executor.h"
#include "engine/exec/exec_context.h"
#include "engine/ora_error.h"
#include "engine/value/format.h"

namespace ocisim {

void runAlterSession(ExecContext& ctx, const sql::AlterSessionStmt& stmt) {
  NlsSettings nls = ctx.session.nls();
  std::string schema;
  int release = ctx.db.majorVersion() * 100 + ctx.db.minorVersion();
  for (const sql::SessionSetting& s : stmt.settings) {
    if (s.name == "NLS_DATE_FORMAT" || s.name == "NLS_TIMESTAMP_FORMAT") {
      if (s.name == "NLS_TIMESTAMP_FORMAT" && release < 900) throw OraError(2248);
      // An invalid model fails here (ORA-01821), as Oracle checks it when it is set.
      formatDate(DateTime::make(2000, 1, 1), s.value, s.name == "NLS_TIMESTAMP_FORMAT");
      (s.name == "NLS_DATE_FORMAT" ? nls.dateFormat : nls.timestampFormat) = s.value;
    } else if ((s.name == "NLS_LANGUAGE" && s.value == "AMERICAN") ||
               (s.name == "NLS_TERRITORY" && s.value == "AMERICA") ||
               (s.name == "NLS_NUMERIC_CHARACTERS" && s.value == ".,")) {
      // The settings this engine always has.
    } else if (s.name == "NLS_SORT" || (s.name == "NLS_COMP" && release >= 801)) {
      // Text compares and sorts by its bytes; linguistic orders are not implemented.
      std::string value = s.value;
      for (char& c : value) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (value != "BINARY") {
        throw OraError::withText(3001, "unimplemented feature: " + s.name + " = " + s.value);
      }
    } else if (s.name == "NLS_LENGTH_SEMANTICS" && release >= 900) {
      std::string value = s.value;
      for (char& c : value) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (value != "BYTE" && value != "CHAR") {
        throw OraError(96, {s.value, "nls_length_semantics", "BYTE, CHAR"});
      }
      nls.charLengthSemantics = value == "CHAR";
    } else if (s.name == "CURRENT_SCHEMA" && release >= 801) {
      if (s.quoted) throw OraError(2248);
      if (!ctx.catalog.findUser(s.value)) throw OraError(1435);
      schema = s.value;
    } else if (s.name.rfind("NLS_", 0) == 0 && s.name != "NLS_LENGTH_SEMANTICS" &&
               s.name != "NLS_COMP" && release >= 801) {
      throw OraError(3001);
    } else {
      throw OraError(2248);
    }
  }
  ctx.session.nls() = nls;
  if (!schema.empty()) ctx.session.setCurrentSchema(schema);
}

}  // namespace ocisim
