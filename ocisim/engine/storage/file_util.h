// POSIX file plumbing of the storage module: an owning file descriptor, whole-buffer reads and
// writes at an offset, fsync of files and directories, flock, and the ORA- errors that I/O
// failures become (the statement that hit them fails with a message naming the file and the
// system error, e.g. ORA-01114 ... No space left on device).
#pragma once

#include <sys/types.h>
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/ora_error.h"

namespace ocisim::storage {

// An owned file descriptor (closed on destruction). Move-only.
class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  Fd(Fd&& o) noexcept : fd_(o.release()) {}
  Fd& operator=(Fd&& o) noexcept;
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { reset(); }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void reset(int fd = -1);

 private:
  int fd_ = -1;
};

// The identity of a file (device and inode): tells a replaced file from the one held open.
struct FileId {
  dev_t device = 0;
  ino_t inode = 0;
  bool operator==(const FileId& o) const { return device == o.device && inode == o.inode; }
};

// Files of a database hold the users' passwords: only their owner may read them.
constexpr mode_t kFileMode = 0600;
constexpr mode_t kDirectoryMode = 0700;

// Opens with O_CLOEXEC; returns an invalid Fd and sets errno on failure. A file it creates gets
// `mode` (less the umask).
Fd openFile(const std::string& path, int flags, mode_t mode = kFileMode);
FileId fileIdOf(int fd);
// nullopt-like: false when the path does not exist (other errors throw).
bool fileIdOfPath(const std::string& path, FileId& id);
uint64_t fileSize(int fd, const std::string& path);
bool pathExists(const std::string& path);

// Full writes and reads at an offset (EINTR and short transfers handled). readAt returns the
// bytes read, fewer only at the end of the file.
void writeAt(int fd, const char* data, size_t size, uint64_t offset, const std::string& path);
size_t readAt(int fd, char* data, size_t size, uint64_t offset, const std::string& path);
void syncFile(int fd, const std::string& path);
void truncateFile(int fd, uint64_t size, const std::string& path);
// Makes renames and new files in the directory durable.
void syncDirectory(const std::string& directory);
// rename(2) with an ORA- error on failure.
void renameFile(const std::string& from, const std::string& to);

// flock(2) with EINTR retried; operation is LOCK_SH, LOCK_EX or LOCK_UN.
void lockFile(int fd, int operation, const std::string& path);

// The ORA- errors of the storage.
OraError writeError(const std::string& path, uint64_t offset, int err);
OraError readError(const std::string& path, uint64_t offset, int err);
OraError openError(const std::string& path, int err);
OraError corruptError(const std::string& path, uint64_t offset, const std::string& what);

}  // namespace ocisim::storage
