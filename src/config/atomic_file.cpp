#include "config/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace velmora {
namespace {

std::string reason(int error) {
  return std::strerror(error);
}

// The file a write replaces: the target of a symbolic link, else the path itself.
std::string resolveTarget(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return path;
  return resolved;
}

std::string folderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the rename itself durable; a failure here loses nothing, so it is not reported.
void syncFolder(const std::string& folder) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

ReadStatus readWholeFile(const std::string& path, std::string* content, std::string* error,
                         std::size_t limit) {
  content->clear();
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return ReadStatus::Missing;
    if (error) *error = "Cannot read " + path + ": " + reason(errno);
    return ReadStatus::Failed;
  }
  std::vector<char> buffer(64 * 1024);
  for (;;) {
    ssize_t got = read(fd, buffer.data(), buffer.size());
    if (got > 0) {
      if (static_cast<size_t>(got) > limit - content->size()) {
        close(fd);
        content->clear();
        if (error)
          *error =
              "Cannot read " + path + ": it is larger than " + std::to_string(limit) + " bytes";
        return ReadStatus::Failed;
      }
      content->append(buffer.data(), static_cast<size_t>(got));
    } else if (got == 0) {
      break;
    } else if (errno != EINTR) {
      int saved = errno;
      close(fd);
      content->clear();
      if (error) *error = "Cannot read " + path + ": " + reason(saved);
      return ReadStatus::Failed;
    }
  }
  close(fd);
  return ReadStatus::Ok;
}

bool writeAllToDescriptor(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t written = write(fd, data.data(), data.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

bool writeFileAtomically(const std::string& path, std::string_view content, std::string* error) {
  const std::string target = resolveTarget(path);
  std::string temporary = target + ".XXXXXX";
  int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) {
    if (error) *error = "Cannot write " + path + ": " + reason(errno);
    return false;
  }
  struct stat old {};
  bool ok = true;
  if (stat(target.c_str(), &old) == 0) ok = fchmod(fd, old.st_mode & 07777) == 0;
  ok = ok && writeAllToDescriptor(fd, content) && fsync(fd) == 0;
  int saved = errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  if (ok && rename(temporary.c_str(), target.c_str()) != 0) {
    ok = false;
    saved = errno;
  }
  if (!ok) {
    unlink(temporary.c_str());
    if (error) *error = "Cannot write " + path + ": " + reason(saved);
    return false;
  }
  syncFolder(folderOf(target));
  return true;
}

bool makeDirectories(const std::string& path, std::string* error) {
  struct stat info {};
  if (stat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return true;
    if (error) *error = "Cannot create folder " + path + ": " + reason(ENOTDIR);
    return false;
  }
  std::string parent = folderOf(path);
  if (parent != path && parent != "." && !makeDirectories(parent, error)) return false;
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
    if (error) *error = "Cannot create folder " + path + ": " + reason(errno);
    return false;
  }
  return true;
}

}  // namespace velmora
