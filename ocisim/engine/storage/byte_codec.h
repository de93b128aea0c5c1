// Byte-level encoding of the storage files: a growable output buffer with little-endian
// integers, varints and length-prefixed strings, a bounds-checked reader over a byte range, and
// the CRC-32C checksum that guards every frame. Owned by the storage module only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace ocisim::storage {

// Thrown by ByteReader (and the decoders above it) when bytes do not form a valid record. The
// storage turns it into an ORA- error naming the file; it never escapes the module.
class CorruptData : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// CRC-32C (Castagnoli) of data, continuing from `crc` (0 to start).
uint32_t crc32c(const void* data, size_t size, uint32_t crc = 0);

class ByteWriter {
 public:
  std::string& buffer() { return out_; }
  const std::string& buffer() const { return out_; }
  size_t size() const { return out_.size(); }
  void clear() { out_.clear(); }

  void u8(uint8_t v) { out_.push_back(static_cast<char>(v)); }
  void u32(uint32_t v);
  void u64(uint64_t v);
  void varint(uint64_t v);
  // Signed values as zigzag varints (small magnitudes of either sign stay short).
  void svarint(int64_t v) {
    varint((static_cast<uint64_t>(v) << 1) ^ static_cast<uint64_t>(v >> 63));
  }
  void boolean(bool v) { u8(v ? 1 : 0); }
  void raw(const void* data, size_t size) { out_.append(static_cast<const char*>(data), size); }
  // Length-prefixed bytes.
  void bytes(std::string_view s) {
    varint(s.size());
    out_.append(s.data(), s.size());
  }

 private:
  std::string out_;
};

class ByteReader {
 public:
  ByteReader(const char* data, size_t size) : p_(data), end_(data + size) {}
  explicit ByteReader(std::string_view s) : ByteReader(s.data(), s.size()) {}

  bool atEnd() const { return p_ == end_; }
  size_t remaining() const { return static_cast<size_t>(end_ - p_); }

  uint8_t u8() {
    need(1);
    return static_cast<uint8_t>(*p_++);
  }
  uint32_t u32();
  uint64_t u64();
  uint64_t varint();
  int64_t svarint() {
    uint64_t z = varint();
    return static_cast<int64_t>(z >> 1) ^ -static_cast<int64_t>(z & 1);
  }
  bool boolean();
  // A varint that must fit an int (counts, small enumerations).
  int smallInt(int64_t min, int64_t max);
  // Length-prefixed bytes, viewed in place (valid while the underlying buffer lives).
  std::string_view bytes();
  std::string string() { return std::string(bytes()); }
  std::string_view raw(size_t size) {
    need(size);
    std::string_view s(p_, size);
    p_ += size;
    return s;
  }
  // A count of following items, each at least minItemBytes long: guards allocations against a
  // corrupt count.
  size_t count(size_t minItemBytes = 1);

 private:
  void need(size_t n) const {
    if (static_cast<size_t>(end_ - p_) < n) throw CorruptData("record ends early");
  }
  const char* p_;
  const char* end_;
};

}  // namespace ocisim::storage
