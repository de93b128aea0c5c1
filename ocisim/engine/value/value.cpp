#include "engine/value/value.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace ocisim {
namespace {

// A heap block of immutable text shared by Value copies: the header is followed by the bytes.
// Allocated with malloc because its size is only known at run time; released by the last copy.
struct SharedText {
  std::atomic<uint32_t> refs;
  uint32_t size;

  char* data() { return reinterpret_cast<char*>(this + 1); }

  static SharedText* create(std::string_view s) {
    void* raw = std::malloc(sizeof(SharedText) + s.size());
    if (!raw) throw std::bad_alloc();
    auto* block = ::new (raw) SharedText{{1}, static_cast<uint32_t>(s.size())};
    std::memcpy(block->data(), s.data(), s.size());
    return block;
  }
};

constexpr std::size_t kSizeOffset = 4;
constexpr std::size_t kPointerOffset = 8;

}  // namespace

Value::Value(const Value& o) noexcept {
  std::memcpy(bytes_, o.bytes_, sizeof bytes_);
  retain();
}

Value::Value(Value&& o) noexcept {
  std::memcpy(bytes_, o.bytes_, sizeof bytes_);
  o.bytes_[0] = 0;
}

Value& Value::operator=(const Value& o) noexcept {
  if (this != &o) {
    o.retain();
    release();
    std::memcpy(bytes_, o.bytes_, sizeof bytes_);
  }
  return *this;
}

Value& Value::operator=(Value&& o) noexcept {
  if (this != &o) {
    release();
    std::memcpy(bytes_, o.bytes_, sizeof bytes_);
    o.bytes_[0] = 0;
  }
  return *this;
}

Value::~Value() { release(); }

void Value::retain() const noexcept {
  if (!onHeap()) return;
  SharedText* block;
  std::memcpy(&block, bytes_ + kPointerOffset, sizeof block);
  block->refs.fetch_add(1, std::memory_order_relaxed);
}

void Value::release() noexcept {
  if (!onHeap()) return;
  SharedText* block;
  std::memcpy(&block, bytes_ + kPointerOffset, sizeof block);
  if (block->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    block->~SharedText();
    std::free(block);
  }
  bytes_[0] = 0;
}

Value Value::number(const Decimal& d) {
  Value v;
  v.bytes_[0] = static_cast<uint8_t>(ValueKind::Number);
  ::new (v.bytes_ + kDecimalOffset) Decimal(d);
  return v;
}

Value Value::makeBytes(ValueKind kind, bool charFlag, std::string_view s) {
  Value v;
  if (s.empty()) return v;
  uint8_t tag = static_cast<uint8_t>(kind) | (charFlag ? kCharFlag : 0);
  if (s.size() <= kInlineCapacity) {
    v.bytes_[0] = tag;
    v.bytes_[1] = static_cast<unsigned char>(s.size());
    std::memcpy(v.bytes_ + 2, s.data(), s.size());
    return v;
  }
  SharedText* block = SharedText::create(s);
  v.bytes_[0] = tag | kHeapFlag;
  uint32_t size = static_cast<uint32_t>(s.size());
  std::memcpy(v.bytes_ + kSizeOffset, &size, sizeof size);
  std::memcpy(v.bytes_ + kPointerOffset, &block, sizeof block);
  return v;
}

Value Value::text(std::string_view s) { return makeBytes(ValueKind::Text, false, s); }
Value Value::charText(std::string_view s) { return makeBytes(ValueKind::Text, true, s); }
Value Value::binary(std::string_view bytes) { return makeBytes(ValueKind::Binary, false, bytes); }

Value Value::date(const DateTime& d) {
  Value v;
  v.bytes_[0] = static_cast<uint8_t>(ValueKind::Date);
  DateTime copy = d;
  copy.nanos = 0;
  ::new (v.bytes_ + kDateOffset) DateTime(copy);
  return v;
}

Value Value::timestamp(const DateTime& d) {
  Value v;
  v.bytes_[0] = static_cast<uint8_t>(ValueKind::Timestamp);
  ::new (v.bytes_ + kDateOffset) DateTime(d);
  return v;
}

const Decimal& Value::asNumber() const {
  return *std::launder(reinterpret_cast<const Decimal*>(bytes_ + kDecimalOffset));
}

const DateTime& Value::asDateTime() const {
  return *std::launder(reinterpret_cast<const DateTime*>(bytes_ + kDateOffset));
}

std::string_view Value::asText() const {
  if (onHeap()) {
    SharedText* block;
    std::memcpy(&block, bytes_ + kPointerOffset, sizeof block);
    return {block->data(), block->size};
  }
  if (isText() || isBinary()) {
    return {reinterpret_cast<const char*>(bytes_ + 2), bytes_[1]};
  }
  return {};
}

bool Value::identical(const Value& o) const {
  if ((bytes_[0] & ~kHeapFlag) != (o.bytes_[0] & ~kHeapFlag)) return false;
  switch (kind()) {
    case ValueKind::Null: return true;
    case ValueKind::Number: return asNumber().compare(o.asNumber()) == 0;
    case ValueKind::Date:
    case ValueKind::Timestamp: return asDateTime().compare(o.asDateTime()) == 0;
    case ValueKind::Text:
    case ValueKind::Binary: return asText() == o.asText();
  }
  return false;
}

std::string Value::debugString() const {
  switch (kind()) {
    case ValueKind::Null: return "NULL";
    case ValueKind::Number: return asNumber().toString();
    case ValueKind::Text: {
      std::string out = isCharText() ? "CHAR '" : "'";
      for (char c : asText()) {
        out += c;
        if (c == '\'') out += c;
      }
      return out + "'";
    }
    case ValueKind::Date:
    case ValueKind::Timestamp: {
      const DateTime& d = asDateTime();
      char buf[80];
      std::snprintf(buf, sizeof buf, "%s '%d-%02d-%02d %02d:%02d:%02d", isDate() ? "DATE" : "TIMESTAMP",
                    d.year, d.month, d.day, d.hour, d.minute, d.second);
      std::string out = buf;
      if (isTimestamp()) {
        std::snprintf(buf, sizeof buf, ".%09u", static_cast<unsigned>(d.nanos));
        out += buf;
      }
      return out + "'";
    }
    case ValueKind::Binary: {
      std::string out = "HEXTORAW('";
      char buf[4];
      for (unsigned char c : asText()) {
        std::snprintf(buf, sizeof buf, "%02X", c);
        out += buf;
      }
      return out + "')";
    }
  }
  return "?";
}

}  // namespace ocisim
