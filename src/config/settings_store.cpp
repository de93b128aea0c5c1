#include "config/settings_store.h"

#include <charconv>

namespace velmora {

bool parseSettingsInt(const std::string& text, int* value) {
  if (text.empty() || text.front() == '+') return false;
  const char* end = text.data() + text.size();
  int parsed = 0;
  auto [ptr, ec] = std::from_chars(text.data(), end, parsed);
  if (ec != std::errc() || ptr != end) return false;
  *value = parsed;
  return true;
}

int SettingsStore::getInt(const std::string& section, const std::string& name, int defaultValue) {
  int value = defaultValue;
  return parseSettingsInt(getString(section, name, std::string()), &value) ? value : defaultValue;
}

void SettingsStore::setInt(const std::string& section, const std::string& name, int value) {
  setString(section, name, std::to_string(value));
}

void SettingsStore::setStrings(const std::string& section, const NamedValues& values) {
  for (const auto& [name, value] : values) setString(section, name, value);
}

}  // namespace velmora
