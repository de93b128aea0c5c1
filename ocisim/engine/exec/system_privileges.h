// The system privileges GRANT knows ("CREATE TABLE", "SELECT ANY DICTIONARY" ...), upper case
// with single blanks, and the release each first exists in.
#pragma once

#include <set>
#include <string>

namespace ocisim {

const std::set<std::string>& systemPrivilegeNames();
// The first release (major * 100 + minor) with the privilege; 0 for every release.
int systemPrivilegeSince(const std::string& privilege);

}  // namespace ocisim
