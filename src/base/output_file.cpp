#include "base/output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace velmora {

bool OutputFile::fail() {
  error_ = errno;
  return false;
}

bool OutputFile::create(const std::string& path) {
  close();
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  return fd_ >= 0 || fail();
}

bool OutputFile::openExisting(const std::string& path) {
  close();
  fd_ = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  return fd_ >= 0 || fail();
}

bool OutputFile::seekToEnd() {
  if (fd_ < 0) {
    error_ = EBADF;
    return false;
  }
  return ::lseek(fd_, 0, SEEK_END) >= 0 || fail();
}

bool OutputFile::write(std::string_view bytes) {
  if (fd_ < 0) {
    error_ = EBADF;
    return false;
  }
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail();
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool OutputFile::close() {
  if (fd_ < 0) return true;
  const int rc = ::close(fd_);
  fd_ = -1;
  return rc == 0 || fail();
}

int OutputFile::probeWritable(const std::string& path) {
  if (path.empty()) return ENOENT;
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd >= 0) {
    ::close(fd);
    ::unlink(path.c_str());
    return 0;
  }
  if (errno != EEXIST) return errno;
  fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  ::close(fd);
  return 0;
}

off_t OutputFile::position() const {
  return fd_ < 0 ? -1 : ::lseek(fd_, 0, SEEK_CUR);
}

void OutputFile::truncateTo(off_t length) {
  if (fd_ < 0 || length < 0) return;
  if (::ftruncate(fd_, length) == 0) ::lseek(fd_, length, SEEK_SET);
}

bool LineFileWriter::writeLine(std::string_view content, std::string_view lineBreak) {
  if (lineLimit_ != 0 && content.size() > lineLimit_) content = content.substr(0, lineLimit_);
  if (stage_.size() + content.size() + lineBreak.size() > kStageSize && !finish()) return false;
  if (content.size() >= kStageSize) {
    if (!file_.write(content)) return false;
  } else {
    stage_.append(content);
  }
  stage_.append(lineBreak);
  return true;
}

bool LineFileWriter::finish() {
  if (stage_.empty()) return true;
  const bool ok = file_.write(stage_);
  stage_.clear();
  return ok;
}

}  // namespace velmora
