// Recent logins: the Login dialog's list of earlier logins, kept in the settings store in
// section "Recent DB List" (values "0", "1", ...: user ["/" enciphered password] "@" database)
// and read from the older section "Recent DB" (the same with plain passwords), which is emptied
// at the next save. Passwords are plain text in memory only. Damaged entries never stop the
// list: an unreadable password is dropped and the entry shown without one.
#pragma once

#include <string>
#include <vector>

namespace velmora {

class SettingsStore;
class PasswordCipher;

struct RecentLogin {
  std::string user;
  std::string password;  // plain; "" when none was kept
  std::string database;
  // The row as the list shows it: user + "/*****@" + database, or user + "@" + database.
  std::string displayText() const;
};

struct RecentLoginList {
  std::vector<RecentLogin> entries;  // "Recent DB" first, then "Recent DB List"
  bool hadOldEntries = false;        // "Recent DB" held entries
};

RecentLoginList readRecentLogins(SettingsStore& settings, const PasswordCipher& cipher);

// Writes the list with `newest` first (its password only when savePassword), then every row in
// order unless its exact text was written already, then an empty value that ends the list.
// Empties "Recent DB" when it had entries.
void saveRecentLogins(SettingsStore& settings, const PasswordCipher& cipher,
                      const RecentLogin& newest, bool savePassword, const RecentLoginList& list);

}  // namespace velmora
