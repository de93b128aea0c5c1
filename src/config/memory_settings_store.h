// MemorySettingsStore: a SettingsStore held in memory, for tests and for runs that must not touch
// the user's settings. Same rules as the file store (names ignore letter case, every value is
// text), thread-safe. Tests may inspect what was written and count the writes.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "config/settings_store.h"

namespace velmora {

class MemorySettingsStore : public SettingsStore {
 public:
  std::string getString(const std::string& section, const std::string& name,
                        const std::string& defaultValue) override;
  void setString(const std::string& section, const std::string& name,
                 const std::string& value) override;

  // The stored text of a value, or nothing when it was never written.
  std::optional<std::string> find(const std::string& section, const std::string& name) const;
  bool contains(const std::string& section, const std::string& name) const {
    return find(section, name).has_value();
  }
  void erase(const std::string& section, const std::string& name);
  void clear();
  size_t size() const;
  int writeCount() const;  // setString/setInt calls so far, batches counted per value

 private:
  using Key = std::pair<std::string, std::string>;  // lower-cased section and name
  static Key keyOf(const std::string& section, const std::string& name);

  mutable std::mutex mutex_;
  std::map<Key, std::string> values_;
  int writes_ = 0;
};

}  // namespace velmora
