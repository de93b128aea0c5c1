#include "oracle/connection_text.h"

namespace velmora {

ConnectionText parseLoginField(const std::string& text) {
  ConnectionText result;
  std::string rest = text;
  size_t at = rest.find('@', 1);
  if (!rest.empty() && at != std::string::npos) {
    result.database = rest.substr(at + 1);
    rest.erase(at);
  }
  size_t slash = rest.find('/');
  if (slash != std::string::npos) {
    result.password = rest.substr(slash + 1);
    rest.erase(slash);
  }
  result.user = rest;
  return result;
}

ConnectionText parseConnectionText(const std::string& text) {
  size_t colon = text.find(':', 1);
  size_t firstSeparator = text.find_first_of("/@");
  std::string schema;
  std::string rest = text;
  if (!text.empty() && colon != std::string::npos &&
      (firstSeparator == std::string::npos || colon < firstSeparator)) {
    schema = text.substr(0, colon);
    rest = text.substr(colon + 1);
  }
  ConnectionText result = parseLoginField(rest);
  result.schema = schema;
  return result;
}

}  // namespace velmora
