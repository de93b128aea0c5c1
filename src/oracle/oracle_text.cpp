#include "oracle/oracle_text.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace velmora {

namespace {

// Oracle's reserved words: a name spelled like one must be quoted to be read as a name.
constexpr std::string_view kReservedWords[] = {
    "ACCESS",    "ADD",      "ALL",        "ALTER",      "AND",      "ANY",        "AS",
    "ASC",       "AUDIT",    "BETWEEN",    "BY",         "CHAR",     "CHECK",      "CLUSTER",
    "COLUMN",    "COMMENT",  "COMPRESS",   "CONNECT",    "CREATE",   "CURRENT",    "DATE",
    "DECIMAL",   "DEFAULT",  "DELETE",     "DESC",       "DISTINCT", "DROP",       "ELSE",
    "EXCLUSIVE", "EXISTS",   "FILE",       "FLOAT",      "FOR",      "FROM",       "GRANT",
    "GROUP",     "HAVING",   "IDENTIFIED", "IMMEDIATE",  "IN",       "INCREMENT",  "INDEX",
    "INITIAL",   "INSERT",   "INTEGER",    "INTERSECT",  "INTO",     "IS",         "LEVEL",
    "LIKE",      "LOCK",     "LONG",       "MAXEXTENTS", "MINUS",    "MLSLABEL",   "MODE",
    "MODIFY",    "NOAUDIT",  "NOCOMPRESS", "NOT",        "NOWAIT",   "NULL",       "NUMBER",
    "OF",        "OFFLINE",  "ON",         "ONLINE",     "OPTION",   "OR",         "ORDER",
    "PCTFREE",   "PRIOR",    "PRIVILEGES", "PUBLIC",     "RAW",      "RENAME",     "RESOURCE",
    "REVOKE",    "ROW",      "ROWID",      "ROWNUM",     "ROWS",     "SELECT",     "SESSION",
    "SET",       "SHARE",    "SIZE",       "SMALLINT",   "START",    "SUCCESSFUL", "SYNONYM",
    "SYSDATE",   "TABLE",    "THEN",       "TO",         "TRIGGER",  "UID",        "UNION",
    "UNIQUE",    "UPDATE",   "USER",       "VALIDATE",   "VALUES",   "VARCHAR",    "VARCHAR2",
    "VIEW",      "WHENEVER", "WHERE",      "WITH",
};

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
}  // namespace

std::string toUpperAscii(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  });
  return text;
}

std::string trimTrailingSpace(std::string text) {
  while (!text.empty() && isSpace(text.back())) text.pop_back();
  return text;
}

std::string trimLeadingSpace(std::string text) {
  size_t start = 0;
  while (start < text.size() && isSpace(text[start])) ++start;
  return text.substr(start);
}

std::string sqlName(const std::string& name) {
  if (name.empty()) return name;
  bool plain = name[0] >= 'A' && name[0] <= 'Z';
  for (char c : name) {
    bool allowed =
        (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$' || c == '#';
    plain = plain && allowed;
  }
  if (plain && std::find(std::begin(kReservedWords), std::end(kReservedWords), name) ==
                   std::end(kReservedWords))
    return name;
  return "\"" + name + "\"";
}

}  // namespace velmora
