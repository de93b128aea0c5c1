#include "oracle/recent_logins.h"

#include <algorithm>

#include "config/settings_store.h"
#include "oracle/password_cipher.h"

namespace velmora {

namespace {

// A deciphered password is text a user typed: control characters mean the stored value was
// damaged or enciphered under another pass phrase.
bool looksTyped(const std::string& password) {
  return password != "false" && std::none_of(password.begin(), password.end(), [](char c) {
           return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
         });
}

std::string readablePassword(const PasswordCipher& cipher, const std::string& hex) {
  try {
    std::string password = cipher.decipherText(hex);
    return looksTyped(password) ? password : "";
  } catch (const CipherError&) {
    return "";  // "Incorrect buffer length": show the entry without a password
  }
}

void readSection(SettingsStore& settings, const char* section, const PasswordCipher* cipher,
                 std::vector<RecentLogin>& out) {
  for (int i = 0;; ++i) {
    std::string value = settings.getString(section, std::to_string(i), "");
    if (value.empty()) break;
    size_t at = value.find('@');
    if (at == std::string::npos || at == 0) break;
    RecentLogin login;
    login.database = value.substr(at + 1);
    std::string credentials = value.substr(0, at);
    size_t slash = credentials.find('/');
    login.user = credentials.substr(0, slash);
    if (slash != std::string::npos) {
      std::string password = credentials.substr(slash + 1);
      login.password = cipher != nullptr ? readablePassword(*cipher, password) : password;
    }
    out.push_back(login);
  }
}

std::string storedText(const PasswordCipher& cipher, const RecentLogin& login, bool withPassword) {
  std::string text = login.user;
  if (withPassword && !login.password.empty()) {
    std::string hex = cipher.encipherText(login.password);
    if (hex != "false") text += "/" + hex;  // a password too long to keep is not kept
  }
  return text + "@" + login.database;
}

}  // namespace

std::string RecentLogin::displayText() const {
  return user + (password.empty() ? "@" : "/*****@") + database;
}

RecentLoginList readRecentLogins(SettingsStore& settings, const PasswordCipher& cipher) {
  RecentLoginList list;
  readSection(settings, kRecentDbSection, nullptr, list.entries);
  list.hadOldEntries = !list.entries.empty();
  readSection(settings, kRecentDbListSection, &cipher, list.entries);
  return list;
}

void saveRecentLogins(SettingsStore& settings, const PasswordCipher& cipher,
                      const RecentLogin& newest, bool savePassword, const RecentLoginList& list) {
  if (list.hadOldEntries) settings.setString(kRecentDbSection, "0", "");
  std::vector<std::string> written = {storedText(cipher, newest, savePassword)};
  for (const RecentLogin& row : list.entries) {
    std::string text = storedText(cipher, row, true);
    if (std::find(written.begin(), written.end(), text) == written.end()) written.push_back(text);
  }
  SettingsStore::NamedValues values;
  for (size_t i = 0; i < written.size(); ++i) values.emplace_back(std::to_string(i), written[i]);
  values.emplace_back(std::to_string(written.size()), "");
  settings.setStrings(kRecentDbListSection, values);
}

}  // namespace velmora
