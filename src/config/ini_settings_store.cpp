#include "config/ini_settings_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace velmora {
namespace {

constexpr const char* kSettingsFolders = "/Quenlor Systems/Velmora for Oracle";
constexpr const char* kSettingsFileName = "/settings.ini";

std::string folderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

int64_t nanoseconds(const timespec& time) {
  return static_cast<int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

// An exclusive flock held for the life of the object; released by closing the descriptor.
class FileLock {
 public:
  explicit FileLock(const std::string& path) {
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) {
      error_ = errno;
      return;
    }
    while (flock(fd_, LOCK_EX) != 0) {
      if (errno == EINTR) continue;
      error_ = errno;
      break;
    }
  }
  ~FileLock() {
    if (fd_ >= 0) close(fd_);
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  int error() const { return error_; }  // 0 when locked

 private:
  int fd_ = -1;
  int error_ = 0;
};

}  // namespace

IniSettingsStore::IniSettingsStore(std::string path)
    : path_(std::move(path)), lockPath_(path_ + ".lock") {}

std::string IniSettingsStore::defaultPathFor(const char* xdgConfigHome, const char* home) {
  std::string base;
  if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
    base = xdgConfigHome;
  } else if (home != nullptr && home[0] != '\0') {
    base = std::string(home) + "/.config";
  } else {
    base = ".config";  // no home at all: beside the working folder rather than nowhere
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base + kSettingsFolders + kSettingsFileName;
}

std::string IniSettingsStore::defaultPath() {
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') {
    if (const passwd* user = getpwuid(getuid())) home = user->pw_dir;
  }
  return defaultPathFor(std::getenv("XDG_CONFIG_HOME"), home);
}

IniSettingsStore::FileStamp IniSettingsStore::stampOfFile() const {
  FileStamp stamp;
  struct stat info {};
  if (stat(path_.c_str(), &info) != 0) return stamp;
  stamp.exists = true;
  stamp.device = info.st_dev;
  stamp.inode = info.st_ino;
  stamp.size = info.st_size;
  stamp.modifiedNs = nanoseconds(info.st_mtim);
  stamp.changedNs = nanoseconds(info.st_ctim);
  return stamp;
}

void IniSettingsStore::refreshLocked() {
  FileStamp stamp = stampOfFile();
  if (cacheValid_ && stamp == cacheStamp_) return;
  std::string ignored;
  IniFile::load(path_, &cache_, &ignored);  // missing or unreadable: empty, so defaults
  cacheStamp_ = stamp;
  cacheValid_ = true;
}

std::string IniSettingsStore::getString(const std::string& section, const std::string& name,
                                        const std::string& defaultValue) {
  std::lock_guard<std::mutex> lock(mutex_);
  refreshLocked();
  return cache_.get(section, name).value_or(defaultValue);
}

void IniSettingsStore::setString(const std::string& section, const std::string& name,
                                 const std::string& value) {
  (void)update(section, {{name, value}});
}

void IniSettingsStore::setStrings(const std::string& section, const NamedValues& values) {
  (void)update(section, values);
}

bool IniSettingsStore::update(const std::string& section, const NamedValues& values) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!IniFile::isValidSectionName(section)) {
    lastError_ = "Invalid settings section name \"" + section + "\"";
    return false;
  }
  for (const auto& value : values) {
    if (!IniFile::isValidKey(value.first)) {
      lastError_ = "Invalid settings value name \"" + value.first + "\"";
      return false;
    }
  }
  return writeLocked(section, values);
}

bool IniSettingsStore::writeLocked(const std::string& section, const NamedValues& values) {
  std::string error;
  if (!makeDirectories(folderOf(path_), &error)) {
    lastError_ = error;
    return false;
  }
  FileLock fileLock(lockPath_);
  if (fileLock.error() != 0) {
    lastError_ = "Cannot lock " + lockPath_ + ": " + std::strerror(fileLock.error());
    return false;
  }
  IniFile file;
  if (IniFile::load(path_, &file, &error) == ReadStatus::Failed) {
    lastError_ = error + "; the settings were not saved";
    return false;
  }
  bool changed = false;
  for (const auto& [name, value] : values) {
    if (file.get(section, name) != value) {
      file.set(section, name, value);
      changed = true;
    }
  }
  if (changed && !file.save(path_, &error)) {
    lastError_ = error;
    cacheValid_ = false;
    return false;
  }
  cache_ = std::move(file);
  cacheStamp_ = stampOfFile();
  cacheValid_ = true;
  return true;
}

std::string IniSettingsStore::lastError() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lastError_;
}

}  // namespace velmora
