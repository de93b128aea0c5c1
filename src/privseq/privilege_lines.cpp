#include "privseq/privilege_lines.h"

#include "structure/ddl_text.h"

namespace velmora {

namespace {

std::string field(const std::string& line, size_t from, size_t to) {
  if (from >= line.size()) return "";
  std::string value = line.substr(from, to - from + 1);
  const size_t end = value.find_last_not_of(" \r\n");
  return end == std::string::npos ? "" : value.substr(0, end + 1);
}

bool flagAt(const std::string& line, size_t position) {
  return position < line.size() && line[position] != 'N';
}

// The literal of a schema name inside the query's quotes: its quotes doubled.
std::string inQuotes(const std::string& name) {
  std::string out;
  for (char c : name) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out;
}

// A privilege or role name as a statement writes it: the system privileges are words ("CREATE
// ANY TABLE") and go as they are; a role is a name.
std::string privilegeText(PrivilegeKind kind, const std::string& privilege) {
  return kind == PrivilegeKind::Role ? ddlName(privilege) : privilege;
}

std::string onClause(PrivilegeKind kind, const PrivilegeLine& line) {
  if (kind != PrivilegeKind::Object) return "";
  return " ON " + ddlName(line.schema) + "." + ddlName(line.table);
}

}  // namespace

const char* privilegeKindName(PrivilegeKind kind) {
  switch (kind) {
    case PrivilegeKind::System:
      return "system privileges";
    case PrivilegeKind::Role:
      return "role privileges";
    case PrivilegeKind::Object:
      return "object privileges";
  }
  return "";
}

const char* privilegeKindTitle(PrivilegeKind kind) {
  switch (kind) {
    case PrivilegeKind::System:
      return "System Privileges";
    case PrivilegeKind::Role:
      return "Role Privileges";
    case PrivilegeKind::Object:
      return "Object Privileges";
  }
  return "";
}

int privilegeRowWidth(PrivilegeKind kind) {
  switch (kind) {
    case PrivilegeKind::System:
      return 60;
    case PrivilegeKind::Role:
      return 80;
    case PrivilegeKind::Object:
      return 200;
  }
  return 200;
}

std::string privilegeQuery(PrivilegeKind kind, const std::string& owner) {
  switch (kind) {
    case PrivilegeKind::System:
      return "select substr(privilege||'                                        ',0,41) || ' ' || "
             "substr(admin_option||'            ',0,13) from user_sys_privs order by privilege";
    case PrivilegeKind::Role:
      return "select substr(granted_role||'                                        ',0,41) || ' ' "
             "|| substr(admin_option||'            ',0,13)  || ' ' || "
             "substr(default_role||'            ',0,13) || ' ' || os_granted from "
             "user_role_privs order by granted_role";
    case PrivilegeKind::Object:
      return "select substr(privilege||'                                          ',0,41) || ' ' "
             "|| substr(table_name||'                                   ',0,31) || ' ' || "
             "substr(table_schema||'                                   ',0,31) || ' ' || "
             "substr(grantee||'                                   ',0,31) || ' ' || "
             "substr(grantor||'                                   ',0,31) || ' ' || grantable "
             "from all_tab_privs where grantee = '" +
             inQuotes(owner) + "' order by privilege,table_name";
  }
  return "";
}

std::string schemaPrivilegeQuery(PrivilegeKind kind, const std::string& schema) {
  if (kind == PrivilegeKind::System)
    return "select substr(privilege||'                                        ',0,41) || ' ' || "
           "substr(admin_option||'            ',0,13) from dba_sys_privs where grantee = '" +
           inQuotes(schema) + "' order by privilege";
  if (kind == PrivilegeKind::Role)
    // DBA_ROLE_PRIVS has no OS_GRANTED: roles granted by the operating system are not in it.
    return "select substr(granted_role||'                                        ',0,41) || ' ' "
           "|| substr(admin_option||'            ',0,13)  || ' ' || "
           "substr(default_role||'            ',0,13) || ' ' || 'NO' from dba_role_privs where "
           "grantee = '" +
           inQuotes(schema) + "' order by granted_role";
  return privilegeQuery(kind, schema);
}

PrivilegeLine parsePrivilegeLine(PrivilegeKind kind, const std::string& line) {
  PrivilegeLine parsed;
  parsed.privilege = field(line, 0, 40);
  if (kind == PrivilegeKind::Object) {
    parsed.table = field(line, 42, 72);
    parsed.schema = field(line, 74, 104);
    parsed.withOption = flagAt(line, 170);
  } else {
    parsed.withOption = flagAt(line, 42);
  }
  return parsed;
}

std::string grantStatement(PrivilegeKind kind, const PrivilegeLine& line,
                           const std::string& grantee) {
  std::string statement = "GRANT " + privilegeText(kind, line.privilege) + onClause(kind, line) +
                          " TO " + ddlName(grantee);
  if (line.withOption)
    statement += kind == PrivilegeKind::Object ? " WITH GRANT OPTION" : " WITH ADMIN OPTION";
  return statement + ";\r\n";
}

std::string revokeStatement(PrivilegeKind kind, const PrivilegeLine& line,
                            const std::string& grantee) {
  return "REVOKE " + privilegeText(kind, line.privilege) + onClause(kind, line) + " FROM " +
         ddlName(grantee) + ";\r\n";
}

void mergePrivilegeLines(std::vector<std::string>& list1, std::vector<std::string>& list2,
                         const std::function<bool(const std::string&, const std::string&)>& equal,
                         const std::function<void(int side, const std::string& line)>& write,
                         const std::function<bool()>& step) {
  constexpr size_t kNotFound = 1000000000;
  // Heads are taken from the front through an index, so a long list is not shifted per line.
  size_t head1 = 0, head2 = 0;
  auto find = [&equal](const std::string& line, const std::vector<std::string>& list, size_t from) {
    for (size_t i = from; i < list.size(); ++i) {
      if (equal(line, list[i])) return i - from;
    }
    return kNotFound;
  };
  while (head1 < list1.size() || head2 < list2.size()) {
    if (!step()) break;
    if (head1 < list1.size() && head2 < list2.size()) {
      const size_t a = find(list1[head1], list2, head2);
      if (a == 0) {
        ++head1;
        ++head2;
        continue;
      }
      const size_t b = find(list2[head2], list1, head1);
      if (a == kNotFound && b == kNotFound) {
        write(2, list2[head2++]);
        write(1, list1[head1++]);
      } else if (a >= b) {
        for (size_t i = 0; i < b; ++i) write(1, list1[head1++]);
      } else {
        for (size_t i = 0; i < a; ++i) write(2, list2[head2++]);
      }
    } else if (head1 < list1.size()) {
      while (head1 < list1.size()) write(1, list1[head1++]);
    } else {
      while (head2 < list2.size()) write(2, list2[head2++]);
    }
  }
  list1.clear();
  list2.clear();
}

}  // namespace velmora
