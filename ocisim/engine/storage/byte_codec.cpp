#include "engine/storage/byte_codec.h"

#include <array>

namespace ocisim::storage {
namespace {

// Slicing-by-8 tables for the reflected Castagnoli polynomial: about 1 GB/s in plain C++,
// which keeps checksumming far below the cost of writing a million rows.
using CrcTables = std::array<std::array<uint32_t, 256>, 8>;

CrcTables makeTables() {
  CrcTables t{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0x82F63B78u : c >> 1;
    t[0][i] = c;
  }
  for (uint32_t i = 0; i < 256; ++i) {
    for (int s = 1; s < 8; ++s) t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
  }
  return t;
}

const CrcTables& tables() {
  static const CrcTables t = makeTables();
  return t;
}

uint32_t load32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

uint32_t crc32c(const void* data, size_t size, uint32_t crc) {
  const CrcTables& t = tables();
  const auto* p = static_cast<const unsigned char*>(data);
  crc = ~crc;
  while (size >= 8) {
    uint32_t lo = load32(p) ^ crc;
    uint32_t hi = load32(p + 4);
    crc = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
          t[3][hi & 0xFF] ^ t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
    p += 8;
    size -= 8;
  }
  while (size-- > 0) crc = (crc >> 8) ^ t[0][(crc ^ *p++) & 0xFF];
  return ~crc;
}

// ---- ByteWriter ----

void ByteWriter::u32(uint32_t v) {
  char b[4];
  for (int i = 0; i < 4; ++i) b[i] = static_cast<char>(v >> (8 * i));
  out_.append(b, 4);
}

void ByteWriter::u64(uint64_t v) {
  char b[8];
  for (int i = 0; i < 8; ++i) b[i] = static_cast<char>(v >> (8 * i));
  out_.append(b, 8);
}

void ByteWriter::varint(uint64_t v) {
  char b[10];
  int n = 0;
  while (v >= 0x80) {
    b[n++] = static_cast<char>((v & 0x7F) | 0x80);
    v >>= 7;
  }
  b[n++] = static_cast<char>(v);
  out_.append(b, static_cast<size_t>(n));
}

// ---- ByteReader ----

uint32_t ByteReader::u32() {
  need(4);
  uint32_t v = load32(reinterpret_cast<const unsigned char*>(p_));
  p_ += 4;
  return v;
}

uint64_t ByteReader::u64() {
  uint64_t lo = u32();
  uint64_t hi = u32();
  return lo | hi << 32;
}

uint64_t ByteReader::varint() {
  uint64_t v = 0;
  for (int shift = 0; shift < 64; shift += 7) {
    need(1);
    auto b = static_cast<uint8_t>(*p_++);
    v |= static_cast<uint64_t>(b & 0x7F) << shift;
    if ((b & 0x80) == 0) return v;
  }
  throw CorruptData("varint too long");
}

bool ByteReader::boolean() {
  uint8_t b = u8();
  if (b > 1) throw CorruptData("bad boolean");
  return b == 1;
}

int ByteReader::smallInt(int64_t min, int64_t max) {
  int64_t v = svarint();
  if (v < min || v > max) throw CorruptData("integer out of range");
  return static_cast<int>(v);
}

std::string_view ByteReader::bytes() {
  uint64_t n = varint();
  if (n > remaining()) throw CorruptData("string longer than its record");
  return raw(static_cast<size_t>(n));
}

size_t ByteReader::count(size_t minItemBytes) {
  uint64_t n = varint();
  if (minItemBytes > 0 && n > remaining() / minItemBytes) throw CorruptData("count too large");
  return static_cast<size_t>(n);
}

}  // namespace ocisim::storage
