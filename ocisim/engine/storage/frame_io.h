// The framing shared by the snapshot and the journal: a 32-byte file header (magic, format
// version, generation, checksum) followed by frames, each a little-endian u32 payload length,
// a u32 CRC-32C over length and payload, and the payload (first byte: the FrameType). A frame
// whose length runs past the end of the file or whose checksum fails ends the readable part
// of the file: that is how a torn or corrupt tail is recognised.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/storage/byte_codec.h"

namespace ocisim::storage {

// Version 2 added CatalogDelta frames to the journal; version 3 widened a constraint's state
// (deferrable, deferred, validated, index ownership); version 4 gave data types their flags
// (character length semantics, national character set, time zone); version 5 gave object
// grants a flags byte and column privileges their column; version 6 added synonyms (a list
// after the users' tablespaces in the catalog image, record kind 17 in a delta). Files of
// versions 1 to 5 are still read (an older journal is compacted away before the first write).
constexpr uint32_t kFormatVersion = 6;
constexpr uint32_t kOldestFormatVersion = 1;
constexpr size_t kFileHeaderSize = 32;
constexpr size_t kFrameHeaderSize = 8;
// No writer makes frames this large; a bigger length can only be garbage.
constexpr uint32_t kMaxFramePayload = 1u << 30;

enum class FileKind : uint8_t { Snapshot, Journal };

enum class FrameType : uint8_t {
  Identity = 1,      // snapshot: global name, release
  Catalog = 2,       // the whole catalog image (catalog_codec.h)
  TableReset = 3,    // table id, column count: the table's rows are replaced by those following
  RowChanges = 4,    // row operations (record_codec.h)
  Sequences = 5,     // sequence states advanced by NEXTVAL
  Commit = 6,        // journal: the end of one committed statement (its number)
  SnapshotEnd = 7,   // snapshot: the end (table and row counts)
  CatalogDelta = 8,  // journal: the catalog records a statement changed (catalog_delta.h)
};
constexpr uint8_t kLastFrameType = 8;

struct FileHeader {
  FileKind kind = FileKind::Snapshot;
  uint32_t version = kFormatVersion;
  uint64_t generation = 0;
};

std::string encodeFileHeader(const FileHeader& header);
// Throws the storage's ORA- error (corrupt header, unsupported version) naming the path.
FileHeader readFileHeader(int fd, const std::string& path, FileKind expected);

// Appends frames to a file at a known offset, buffering them so that a million-row statement
// costs a few large writes. Errors are ORA- errors (writeError).
class FrameWriter {
 public:
  FrameWriter(int fd, std::string path, uint64_t offset);

  // The payload of the frame being built; beginFrame writes its type byte.
  void beginFrame(FrameType type);
  ByteWriter& payload() { return payload_; }
  size_t payloadSize() const { return payload_.size(); }
  void endFrame();
  // Writes the buffered frames; sync() also makes them durable.
  void flush();
  void sync();
  // The file offset after every frame ended so far (buffered ones included).
  uint64_t offset() const { return offset_ + buffer_.size(); }
  uint64_t bytesWritten() const { return bytesWritten_; }

 private:
  int fd_;
  std::string path_;
  uint64_t offset_;  // where buffer_ goes
  uint64_t bytesWritten_ = 0;
  ByteWriter payload_;
  std::string buffer_;
};

// Reads the frames of [begin, end) of a file in large chunks.
class FrameReader {
 public:
  struct Frame {
    FrameType type = FrameType::Commit;
    std::string_view body;  // the payload after the type byte; valid until the next call
    uint64_t offset = 0;    // where the frame starts
    uint64_t end = 0;       // where the next frame starts
  };

  FrameReader(int fd, std::string path, uint64_t begin, uint64_t end);
  // The next intact frame; false at the end or at a torn or corrupt frame (see damaged()).
  bool next(Frame& frame);
  // True when reading stopped at bytes that are not an intact frame.
  bool damaged() const { return damaged_; }
  // Where reading stopped: the end of the last intact frame.
  uint64_t position() const { return position_; }
  // The offset of the first intact Commit frame numbered above `after` that starts in
  // [from, end), or end when there is none (`number`: its statement number). After a damaged
  // frame this tells a torn tail from damage in the middle of the journal.
  uint64_t findCommit(uint64_t from, uint64_t after, uint64_t& number);
  const std::string& path() const { return path_; }

 private:
  bool fill(size_t bytes);

  int fd_;
  std::string path_;
  uint64_t position_;  // file offset of the next frame
  uint64_t end_;
  std::string buffer_;  // file bytes from bufferStart_
  uint64_t bufferStart_;
  bool damaged_ = false;
};

}  // namespace ocisim::storage
