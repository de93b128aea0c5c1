// SettingsStore: the user's persistent settings, organised like the Windows registry profile
// functions: named sections holding integer and string values. Missing or unreadable values give
// the caller's default, silently. Implementations are thread-safe: the run's worker reads
// settings (DateFormat, InclPct ...) while the user thread may write others.
#pragma once

#include <string>
#include <vector>

namespace velmora {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  virtual int getInt(const std::string& section, const std::string& name, int defaultValue) = 0;
  virtual std::string getString(const std::string& section, const std::string& name,
                                const std::string& defaultValue) = 0;
  virtual void setInt(const std::string& section, const std::string& name, int value) = 0;
  virtual void setString(const std::string& section, const std::string& name,
                         const std::string& value) = 0;

  // A "Y"/"N" value counts as set only when it is exactly "Y".
  bool getFlag(const std::string& section, const std::string& name, bool defaultValue) {
    return getString(section, name, defaultValue ? "Y" : "N") == "Y";
  }
};

inline constexpr const char* kSettingsSection = "Settings";

}  // namespace velmora
