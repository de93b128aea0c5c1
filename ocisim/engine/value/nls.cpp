#include "engine/value/nls.h"

namespace ocisim {

NlsSettings NlsSettings::forVersion(const std::string& version) {
  NlsSettings nls;
  if (version.rfind("7.", 0) == 0 || version == "7" || version.rfind("8.0", 0) == 0) {
    nls.dateFormat = "DD-MON-YY";
    nls.timestampFormat = "DD-MON-YY HH.MI.SSXFF AM";
  }
  return nls;
}

}  // namespace ocisim
