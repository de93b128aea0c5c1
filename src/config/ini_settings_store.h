// IniSettingsStore: the user's settings in an INI file, by default
// $XDG_CONFIG_HOME/Quenlor Systems/Velmora for Oracle/settings.ini ($XDG_CONFIG_HOME defaults to
// ~/.config), sections as the registry names them ("Settings", "Recent DB List", "Recent DB").
//
// Thread-safe (one mutex) and safe between processes: every write takes an exclusive advisory
// lock (flock on "<file>.lock" beside it), re-reads the file, changes only its own values and
// rewrites the file atomically, so writers never lose each other's values and a crash never
// leaves half a file. Reads use a copy that is re-read whenever the file changes on disk.
// Missing or unreadable values give the caller's default silently. A file that cannot be read
// (as opposed to a missing one) is never overwritten: the write fails and lastError() says why.
// Damaged lines of a readable file are kept as they are.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "config/ini_file.h"
#include "config/settings_store.h"

namespace velmora {

class IniSettingsStore : public SettingsStore {
 public:
  // The file need not exist; its folders are created at the first write.
  explicit IniSettingsStore(std::string path);

  // The standard settings file of the current user, from $XDG_CONFIG_HOME or $HOME.
  static std::string defaultPath();
  // The same from given values (either may be null): an empty or relative XDG_CONFIG_HOME is
  // ignored, as the XDG base-directory rules ask.
  static std::string defaultPathFor(const char* xdgConfigHome, const char* home);

  std::string getString(const std::string& section, const std::string& name,
                        const std::string& defaultValue) override;
  void setString(const std::string& section, const std::string& name,
                 const std::string& value) override;
  void setStrings(const std::string& section, const NamedValues& values) override;

  // Writes the values as one locked read-modify-write; the file is rewritten only when a value
  // changes. False when a name cannot be stored or the file cannot be read or written; then the
  // file is as it was and lastError() holds the reason.
  [[nodiscard]] bool update(const std::string& section, const NamedValues& values);

  std::string lastError() const;
  const std::string& path() const { return path_; }

 private:
  struct FileStamp {  // identifies one version of the file on disk
    bool exists = false;
    uint64_t device = 0, inode = 0;
    int64_t size = 0, modifiedNs = 0, changedNs = 0;
    bool operator==(const FileStamp&) const = default;
  };
  FileStamp stampOfFile() const;
  void refreshLocked();
  bool writeLocked(const std::string& section, const NamedValues& values);

  const std::string path_;
  const std::string lockPath_;
  mutable std::mutex mutex_;
  IniFile cache_;
  bool cacheValid_ = false;
  FileStamp cacheStamp_;
  std::string lastError_;
};

}  // namespace velmora
