// SettingsStore: the user's persistent settings, organised like the Windows registry profile
// functions: named sections holding integer and string values. Section and value names ignore
// letter case. Missing or unreadable values give the caller's default, silently. Implementations
// are thread-safe: the run's worker reads settings (DateFormat, InclPct ...) while the user thread
// may write others. Every value is kept as text; an integer is its decimal form, so setInt(x)
// followed by getString gives "x", and getInt of a text that is not a whole decimal 32-bit
// integer gives the default.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace velmora {

class SettingsStore {
 public:
  using NamedValues = std::vector<std::pair<std::string, std::string>>;  // name, value

  virtual ~SettingsStore() = default;

  virtual int getInt(const std::string& section, const std::string& name, int defaultValue);
  virtual std::string getString(const std::string& section, const std::string& name,
                                const std::string& defaultValue) = 0;
  virtual void setInt(const std::string& section, const std::string& name, int value);
  virtual void setString(const std::string& section, const std::string& name,
                         const std::string& value) = 0;

  // Writes several values of one section in the given order, as one update where the store
  // can (the file store rewrites its file once). The default writes them one by one.
  virtual void setStrings(const std::string& section, const NamedValues& values);

  // A "Y"/"N" value counts as set only when it is exactly "Y" ("y" is not set).
  bool getFlag(const std::string& section, const std::string& name, bool defaultValue) {
    return getString(section, name, defaultValue ? "Y" : "N") == "Y";
  }
  void setFlag(const std::string& section, const std::string& name, bool value) {
    setString(section, name, value ? "Y" : "N");
  }
};

// The whole text as a decimal 32-bit integer: an optional "-" and digits, nothing else.
bool parseSettingsInt(const std::string& text, int* value);

inline constexpr const char* kSettingsSection = "Settings";
inline constexpr const char* kRecentDbListSection = "Recent DB List";  // enciphered passwords
inline constexpr const char* kRecentDbSection = "Recent DB";           // old form, plain text

}  // namespace velmora
