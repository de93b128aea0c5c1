#include "engine/storage/file_util.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace ocisim::storage {
namespace {

constexpr uint64_t kBlockSize = 8192;  // block numbers in messages, as a data file counts them

std::string systemError(int err) {
  return "Linux-x86_64 Error: " + std::to_string(err) + ": " + std::strerror(err);
}

}  // namespace

Fd& Fd::operator=(Fd&& o) noexcept {
  if (this != &o) reset(o.release());
  return *this;
}

void Fd::reset(int fd) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
}

Fd openFile(const std::string& path, int flags, mode_t mode) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return Fd(fd);
}

FileId fileIdOf(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return {};
  return {st.st_dev, st.st_ino};
}

bool fileIdOfPath(const std::string& path, FileId& id) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return false;
    throw readError(path, 0, errno);
  }
  id = {st.st_dev, st.st_ino};
  return true;
}

uint64_t fileSize(int fd, const std::string& path) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) throw readError(path, 0, errno);
  return static_cast<uint64_t>(st.st_size);
}

bool pathExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

void writeAt(int fd, const char* data, size_t size, uint64_t offset, const std::string& path) {
  while (size > 0) {
    ssize_t n = ::pwrite(fd, data, size, static_cast<off_t>(offset));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw writeError(path, offset, errno);
    }
    if (n == 0) throw writeError(path, offset, ENOSPC);
    data += n;
    size -= static_cast<size_t>(n);
    offset += static_cast<uint64_t>(n);
  }
}

size_t readAt(int fd, char* data, size_t size, uint64_t offset, const std::string& path) {
  size_t done = 0;
  while (done < size) {
    ssize_t n = ::pread(fd, data + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw readError(path, offset + done, errno);
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

void syncFile(int fd, const std::string& path) {
  while (::fdatasync(fd) != 0) {
    if (errno != EINTR) throw writeError(path, 0, errno);
  }
}

void truncateFile(int fd, uint64_t size, const std::string& path) {
  while (::ftruncate(fd, static_cast<off_t>(size)) != 0) {
    if (errno != EINTR) throw writeError(path, size, errno);
  }
}

void syncDirectory(const std::string& directory) {
  Fd dir = openFile(directory, O_RDONLY | O_DIRECTORY);
  if (!dir.valid()) throw openError(directory, errno);
  while (::fsync(dir.get()) != 0) {
    // Some file systems cannot sync a directory; the rename is then as durable as it gets.
    if (errno == EINVAL || errno == EROFS) return;
    if (errno != EINTR) throw writeError(directory, 0, errno);
  }
}

void renameFile(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) throw writeError(to, 0, errno);
}

void lockFile(int fd, int operation, const std::string& path) {
  while (::flock(fd, operation) != 0) {
    if (errno == EINTR) continue;
    throw OraError::withText(27086, "unable to lock file - already in use\nORA-27041: " + path +
                                        "\n" + systemError(errno));
  }
}

OraError writeError(const std::string& path, uint64_t offset, int err) {
  return OraError::withText(1114, "IO error writing block to file " + path + " (block # " +
                                      std::to_string(offset / kBlockSize + 1) +
                                      ")\nORA-27072: File I/O error\n" + systemError(err));
}

OraError readError(const std::string& path, uint64_t offset, int err) {
  return OraError::withText(1115, "IO error reading block from file " + path + " (block # " +
                                      std::to_string(offset / kBlockSize + 1) +
                                      ")\nORA-27072: File I/O error\n" + systemError(err));
}

OraError openError(const std::string& path, int err) {
  return OraError::withText(27041, "unable to open file " + path + "\n" + systemError(err));
}

OraError corruptError(const std::string& path, uint64_t offset, const std::string& what) {
  return OraError::withText(1578, "ORACLE data block corrupted (file # 1, block # " +
                                      std::to_string(offset / kBlockSize + 1) +
                                      ")\nORA-01110: data file 1: '" + path + "' (" + what + ")");
}

}  // namespace ocisim::storage
