// The privilege lines of the two databases: the dictionary queries (one fixed-width line per
// system privilege, role or object privilege), the look-ahead merge that pairs two lists, and
// the GRANT and REVOKE statements built from a line.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace velmora {

enum class PrivilegeKind { System, Role, Object };

// "system privileges", "role privileges", "object privileges".
const char* privilegeKindName(PrivilegeKind kind);
// "System Privileges" ...: the skip notice and the status line.
const char* privilegeKindTitle(PrivilegeKind kind);
// The row width a line of the kind is read with.
int privilegeRowWidth(PrivilegeKind kind);

// The query of the logged-on user's own privileges (USER_SYS_PRIVS, USER_ROLE_PRIVS) or of the
// object privileges granted to the owner (ALL_TAB_PRIVS).
std::string privilegeQuery(PrivilegeKind kind, const std::string& owner);
// The same lines of another schema's system and role privileges, read from DBA_SYS_PRIVS and
// DBA_ROLE_PRIVS (which a session can read only with the DBA role or SELECT ANY DICTIONARY).
std::string schemaPrivilegeQuery(PrivilegeKind kind, const std::string& schema);

// The fields of a line that its statements need.
struct PrivilegeLine {
  std::string privilege;      // the system privilege, the role, or the object privilege
  bool withOption = false;    // ADMIN OPTION (system, role) or GRANTABLE (object)
  std::string schema, table;  // object privileges
};
PrivilegeLine parsePrivilegeLine(PrivilegeKind kind, const std::string& line);

// "GRANT p TO grantee[ WITH ADMIN OPTION];\r\n", "GRANT p ON schema.table TO grantee[ WITH GRANT
// OPTION];\r\n", "REVOKE p FROM grantee;\r\n" ...; names as Oracle needs them written.
std::string grantStatement(PrivilegeKind kind, const PrivilegeLine& line,
                           const std::string& grantee);
std::string revokeStatement(PrivilegeKind kind, const PrivilegeLine& line,
                            const std::string& grantee);

// The look-ahead merge of two lists of lines: equal heads are passed over; otherwise the side
// whose head turns up sooner in the other list has its lines up to there written as its own;
// when neither head turns up, the head of list 2 is written, then that of list 1. `equal`
// decides line equality; `write` gets each line written, with its side (1 or 2), in order;
// `step` runs before each step (pause and stop) and returns false to end the merge (skip).
// The lists are consumed.
void mergePrivilegeLines(std::vector<std::string>& list1, std::vector<std::string>& list2,
                         const std::function<bool(const std::string&, const std::string&)>& equal,
                         const std::function<void(int side, const std::string& line)>& write,
                         const std::function<bool()>& step);

}  // namespace velmora
