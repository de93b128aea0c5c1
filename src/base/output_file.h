// OutputFile: a small owning wrapper of a POSIX file descriptor for the report's files (the
// auto-save file, the only-to-file report file, Save Report). Writes go straight to the kernel, so
// a failure (ENOSPC on a full disk) is seen by the write that caused it. Not thread-safe.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace velmora {

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile() { close(); }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Each returns false on failure and keeps errno in error().
  bool create(const std::string& path);        // create or truncate, for writing
  bool openExisting(const std::string& path);  // for writing, without creating or truncating
  bool seekToEnd();
  bool write(std::string_view bytes);  // all of it, or false
  bool close();                        // true when there was nothing to close

  off_t position() const;         // the current offset, -1 when unknown
  void truncateTo(off_t length);  // best effort, for undoing a partial write

  bool isOpen() const { return fd_ >= 0; }
  int error() const { return error_; }

  // Whether path could be opened for writing, found without changing it (a file created for the
  // test is removed again): 0, or the errno of the failure (ENOENT for a missing folder, EISDIR,
  // EACCES ...). A device such as /dev/full passes: its failure only shows when written.
  static int probeWritable(const std::string& path);

 private:
  bool fail();

  int fd_ = -1;
  int error_ = 0;
};

// Writes lines to a file through one staging buffer. With a line limit, the content of each line
// is cut to that many bytes and its line break kept; without one, every byte is written.
class LineFileWriter {
 public:
  // Takes the staging buffer; throws std::bad_alloc when it cannot be had.
  LineFileWriter(OutputFile& file, size_t lineLimit) : file_(file), lineLimit_(lineLimit) {
    stage_.reserve(kStageSize);
  }
  bool writeLine(std::string_view content, std::string_view lineBreak);
  bool finish();  // writes what is staged

 private:
  static constexpr size_t kStageSize = 64 * 1024;
  OutputFile& file_;
  size_t lineLimit_;  // 0: no limit
  std::string stage_;
};

}  // namespace velmora
