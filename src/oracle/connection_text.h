// Connection texts: "[schema:]user[/password][@database]", the way configuration files, the
// command line and the Login dialog's user field write a login. Parsing only; the connection
// (DatabaseConnection) decides what a missing part means.
#pragma once

#include <string>

namespace velmora {

struct ConnectionText {
  std::string schema;  // the owner to compare, "" when the text names none
  std::string user;
  std::string password;  // "" when the text holds none
  std::string database;  // the alias, "" when the text names none
  bool hasPassword() const { return !password.empty(); }
};

// Splits a connection text. A ":" past the first character that comes before any "/" or "@"
// ends the schema (so "scott/tiger@host:1521/orcl" has none); then the first "@" past the first
// character starts the database, and the first "/" before it starts the password.
//   "HR:scott/tiger@orcl" -> schema HR, user scott, password tiger, database orcl
//   "scott@orcl"          -> user scott, database orcl, no password
ConnectionText parseConnectionText(const std::string& text);

// The same without a schema part: the Login dialog's user field ("scott/tiger@orcl").
ConnectionText parseLoginField(const std::string& text);

}  // namespace velmora
