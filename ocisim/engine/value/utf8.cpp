#include "engine/value/utf8.h"

namespace ocisim::utf8 {
namespace {

bool isContinuation(unsigned char b) {
  return (b & 0xC0) == 0x80;
}

// The length a lead byte announces (0: not a lead byte).
std::size_t announced(unsigned char b) {
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) return 2;
  if (b >= 0xE0 && b <= 0xEF) return 3;
  if (b >= 0xF0 && b <= 0xF4) return 4;
  return 0;
}

// Case pairs of Latin Extended-A: most pairs are (even upper, odd lower); 0x139-0x148 and
// 0x179-0x17E are (odd upper, even lower). 0x130, 0x131, 0x138, 0x149 and 0x17F stand alone.
bool latinExtendedPair(uint32_t c) {
  return (c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
}
bool latinExtendedOddPair(uint32_t c) {
  return (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
}

}  // namespace

std::size_t charSize(std::string_view s, std::size_t pos) {
  if (pos >= s.size()) return 0;
  std::size_t n = announced(static_cast<unsigned char>(s[pos]));
  if (n <= 1 || pos + n > s.size()) return 1;
  for (std::size_t i = 1; i < n; ++i) {
    if (!isContinuation(static_cast<unsigned char>(s[pos + i]))) return 1;
  }
  return n;
}

std::size_t length(std::string_view s) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < s.size(); pos += charSize(s, pos)) ++count;
  return count;
}

std::size_t offsetOf(std::string_view s, std::size_t index) {
  std::size_t pos = 0;
  for (; index > 0 && pos < s.size(); --index) pos += charSize(s, pos);
  return pos;
}

std::size_t indexOf(std::string_view s, std::size_t offset) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < offset && pos < s.size(); pos += charSize(s, pos)) ++count;
  return count;
}

uint32_t decode(std::string_view s, std::size_t& pos) {
  std::size_t n = charSize(s, pos);
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[pos + i]); };
  uint32_t c = byte(0);
  if (n == 2) c = ((c & 0x1F) << 6) | (byte(1) & 0x3F);
  if (n == 3) c = ((c & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
  if (n == 4) {
    c = ((c & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) | (byte(3) & 0x3F);
  }
  pos += n;
  return c;
}

void append(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::size_t utf16Bytes(std::string_view s) {
  std::size_t bytes = 0;
  for (std::size_t pos = 0, n; pos < s.size(); pos += n) {
    n = charSize(s, pos);
    bytes += n == 4 ? 4 : 2;  // a supplementary character is a surrogate pair
  }
  return bytes;
}

uint32_t toUpper(uint32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c < 0x80) return c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  if (c == 0xFF) return 0x178;
  if (latinExtendedPair(c)) return c & ~1u;
  if (latinExtendedOddPair(c)) return (c & 1u) ? c : c - 1;
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 32;  // Greek (final sigma stays)
  if (c >= 0x430 && c <= 0x44F) return c - 32;                // Cyrillic
  if (c >= 0x450 && c <= 0x45F) return c - 80;
  return c;
}

uint32_t toLower(uint32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c < 0x80) return c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  if (c == 0x178) return 0xFF;
  if (latinExtendedPair(c)) return c | 1u;
  if (latinExtendedOddPair(c)) return (c & 1u) ? c + 1 : c;
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  return c;
}

bool isAlnum(uint32_t c) {
  if (c < 0x80) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  }
  if (c >= 0xC0 && c <= 0x24F) return c != 0xD7 && c != 0xF7;  // Latin letters
  if (c >= 0x386 && c <= 0x3FF) return true;                   // Greek
  return c >= 0x400 && c <= 0x4FF;                             // Cyrillic
}

}  // namespace ocisim::utf8
