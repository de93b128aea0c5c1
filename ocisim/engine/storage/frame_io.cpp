#include "engine/storage/frame_io.h"

#include <algorithm>
#include <cstring>

#include "engine/storage/file_util.h"

namespace ocisim::storage {
namespace {

constexpr char kSnapshotMagic[8] = {'O', 'C', 'I', 'S', 'N', 'A', 'P', '\0'};
constexpr char kJournalMagic[8] = {'O', 'C', 'I', 'J', 'R', 'N', 'L', '\0'};
constexpr size_t kWriteChunk = 4u << 20;  // buffered frames are written in pieces of this size
constexpr size_t kReadChunk = 4u << 20;

const char* magicOf(FileKind kind) {
  return kind == FileKind::Snapshot ? kSnapshotMagic : kJournalMagic;
}

uint32_t load32(const char* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);  // the files are little-endian, as is every machine this runs on
  return v;
}

}  // namespace

std::string encodeFileHeader(const FileHeader& header) {
  ByteWriter out;
  out.raw(magicOf(header.kind), 8);
  out.u32(header.version);
  out.u32(0);
  out.u64(header.generation);
  out.u32(0);
  out.u32(crc32c(out.buffer().data(), out.size()));
  return out.buffer();
}

FileHeader readFileHeader(int fd, const std::string& path, FileKind expected) {
  char bytes[kFileHeaderSize];
  if (readAt(fd, bytes, sizeof bytes, 0, path) != sizeof bytes) {
    throw corruptError(path, 0, "file header incomplete");
  }
  if (std::memcmp(bytes, magicOf(expected), 8) != 0) {
    throw corruptError(
        path, 0,
        expected == FileKind::Snapshot ? "not an ocisim snapshot" : "not an ocisim journal");
  }
  ByteReader in(bytes + 8, sizeof bytes - 8);
  FileHeader header;
  header.kind = expected;
  header.version = in.u32();
  in.u32();
  header.generation = in.u64();
  in.u32();
  if (in.u32() != crc32c(bytes, kFileHeaderSize - 4)) {
    throw corruptError(path, 0, "file header checksum mismatch");
  }
  if (header.version < kOldestFormatVersion || header.version > kFormatVersion) {
    throw OraError::withText(201, "control file version " + std::to_string(header.version) +
                                      " incompatible with ORACLE version " +
                                      std::to_string(kFormatVersion) + " (" + path + ")");
  }
  return header;
}

// ---- FrameWriter ----

FrameWriter::FrameWriter(int fd, std::string path, uint64_t offset)
    : fd_(fd), path_(std::move(path)), offset_(offset) {}

void FrameWriter::beginFrame(FrameType type) {
  payload_.clear();
  payload_.u8(static_cast<uint8_t>(type));
}

void FrameWriter::endFrame() {
  const std::string& p = payload_.buffer();
  char header[kFrameHeaderSize];
  auto length = static_cast<uint32_t>(p.size());
  std::memcpy(header, &length, 4);
  uint32_t crc = crc32c(p.data(), p.size(), crc32c(header, 4));
  std::memcpy(header + 4, &crc, 4);
  buffer_.append(header, sizeof header);
  buffer_.append(p);
  payload_.clear();
  if (buffer_.size() >= kWriteChunk) flush();
}

void FrameWriter::flush() {
  if (buffer_.empty()) return;
  writeAt(fd_, buffer_.data(), buffer_.size(), offset_, path_);
  offset_ += buffer_.size();
  bytesWritten_ += buffer_.size();
  buffer_.clear();
}

void FrameWriter::sync() {
  flush();
  syncFile(fd_, path_);
}

// ---- FrameReader ----

FrameReader::FrameReader(int fd, std::string path, uint64_t begin, uint64_t end)
    : fd_(fd), path_(std::move(path)), position_(begin), end_(end), bufferStart_(begin) {}

bool FrameReader::fill(size_t bytes) {
  if (position_ + bytes > end_) return false;
  uint64_t bufferEnd = bufferStart_ + buffer_.size();
  if (bufferEnd >= position_ + bytes) return true;
  buffer_.erase(0, static_cast<size_t>(position_ - bufferStart_));
  bufferStart_ = position_;
  size_t want =
      static_cast<size_t>(std::min<uint64_t>(std::max(bytes, kReadChunk), end_ - bufferStart_));
  size_t have = buffer_.size();
  buffer_.resize(want);
  size_t got = readAt(fd_, buffer_.data() + have, want - have, bufferStart_ + have, path_);
  buffer_.resize(have + got);
  return buffer_.size() >= bytes;
}

bool FrameReader::next(Frame& frame) {
  if (damaged_ || position_ >= end_) return false;
  if (!fill(kFrameHeaderSize)) {
    damaged_ = true;
    return false;
  }
  const char* h = buffer_.data() + (position_ - bufferStart_);
  uint32_t length = load32(h);
  uint32_t crc = load32(h + 4);
  if (length == 0 || length > kMaxFramePayload || !fill(kFrameHeaderSize + length)) {
    damaged_ = true;
    return false;
  }
  h = buffer_.data() + (position_ - bufferStart_);
  const char* payload = h + kFrameHeaderSize;
  auto type = static_cast<uint8_t>(payload[0]);
  if (crc32c(payload, length, crc32c(h, 4)) != crc || type < 1 || type > kLastFrameType) {
    damaged_ = true;
    return false;
  }
  frame.type = static_cast<FrameType>(type);
  frame.body = std::string_view(payload + 1, length - 1);
  frame.offset = position_;
  position_ += kFrameHeaderSize + length;
  frame.end = position_;
  return true;
}

}  // namespace ocisim::storage

namespace ocisim::storage {

uint64_t FrameReader::findCommit(uint64_t from, uint64_t after, uint64_t& number) {
  // A Commit frame: length 9, checksum, type 6, u64 statement number.
  constexpr size_t kCommitFrame = kFrameHeaderSize + 9;
  constexpr size_t kChunk = 4u << 20;
  std::string chunk;
  for (uint64_t start = from; start + kCommitFrame <= end_;) {
    size_t want = static_cast<size_t>(std::min<uint64_t>(kChunk, end_ - start));
    chunk.resize(want);
    size_t got = readAt(fd_, chunk.data(), want, start, path_);
    if (got < kCommitFrame) break;
    for (size_t i = 0; i + kCommitFrame <= got; ++i) {
      const char* p = chunk.data() + i;
      if (p[0] != 9 || p[1] != 0 || p[2] != 0 || p[3] != 0) continue;
      if (p[8] != static_cast<char>(FrameType::Commit)) continue;
      if (crc32c(p + kFrameHeaderSize, 9, crc32c(p, 4)) != load32(p + 4)) continue;
      uint64_t n;
      std::memcpy(&n, p + kFrameHeaderSize + 1, 8);
      if (n > after) {
        number = n;
        return start + i;
      }
    }
    // Chunks overlap by a frame's length so that none is missed at a boundary.
    start += got - kCommitFrame + 1;
  }
  return end_;
}

}  // namespace ocisim::storage
