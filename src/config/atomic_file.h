// Whole-file reads and crash-safe whole-file writes for the settings and configuration files.
// A write goes to a temporary file in the target's folder, is flushed to disk (fsync) and then
// renamed over the target, so the target is at every moment either the old or the new content:
// a failed write (disk full, no permission) leaves the old file untouched and says why.
// Stateless functions, safe from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

enum class ReadStatus {
  Ok,
  Missing,  // the file (or its folder) does not exist
  Failed,   // it exists but cannot be read: permissions, a folder, an I/O error
};

// Reads the whole file into *content (emptied first). On Failed, *error says why. A file of more
// than `limit` bytes (a damaged file, a device that never ends) is Failed without being kept.
ReadStatus readWholeFile(const std::string& path, std::string* content, std::string* error,
                         std::size_t limit = SIZE_MAX);

// Replaces the file's content as described above. A new file is created with mode 0600 (the
// files hold passwords); an existing file keeps its mode. A symbolic link is followed, so the
// file it names is replaced and the link stays. The folder must exist. Returns false with
// *error set ("Cannot write <path>: <reason>") when anything fails.
[[nodiscard]] bool writeFileAtomically(const std::string& path, std::string_view content,
                                       std::string* error);

// Writes all of `data` to an open descriptor, retrying short writes and EINTR. False with errno
// set when the system refuses (ENOSPC on a full disk).
[[nodiscard]] bool writeAllToDescriptor(int fd, std::string_view data);

// Creates a folder and its missing parents (mode 0700 for new ones). True when it exists after.
bool makeDirectories(const std::string& path, std::string* error);

}  // namespace velmora
