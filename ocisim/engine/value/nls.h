// NlsSettings: the per-session NLS parameters the value conversions read (ALTER SESSION SET
// NLS_DATE_FORMAT = ...). Owned by the session; passed by const reference to conversions.
#pragma once

#include <string>

namespace ocisim {

struct NlsSettings {
  std::string dateFormat = "DD-MON-RR";                         // NLS_DATE_FORMAT
  std::string timestampFormat = "DD-MON-RR HH.MI.SSXFF AM";     // NLS_TIMESTAMP_FORMAT
  // NLS_LENGTH_SEMANTICS = CHAR: a VARCHAR2(n) or CHAR(n) declared without a unit counts
  // characters (release 9 on).
  bool charLengthSemantics = false;

  // The defaults of a server release: 7.x and 8.0 use DD-MON-YY, later releases DD-MON-RR.
  static NlsSettings forVersion(const std::string& version);
};

}  // namespace ocisim
