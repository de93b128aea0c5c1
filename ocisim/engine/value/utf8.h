// Text as characters. Text is UTF-8 (the database character set is AL32UTF8, or UTF8 before
// release 9); the character functions count characters, LENGTHB/SUBSTRB/INSTRB bytes. A byte
// that does not start a well-formed sequence counts as one character, so any bytes can be
// measured and cut without running past the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ocisim::utf8 {

// The bytes of the character that starts at `pos` (1 to 4; 0 at the end).
std::size_t charSize(std::string_view s, std::size_t pos);
// The characters of `s`.
std::size_t length(std::string_view s);
// The byte offset of the character numbered `index` (0-based); s.size() when s has fewer.
std::size_t offsetOf(std::string_view s, std::size_t index);
// The character number (0-based) of the byte offset `offset` (a character boundary).
std::size_t indexOf(std::string_view s, std::size_t offset);
// The code point at `pos` (advancing it); a malformed byte gives its own value.
uint32_t decode(std::string_view s, std::size_t& pos);
void append(std::string& out, uint32_t codePoint);
// The bytes `s` takes in AL16UTF16, the national character set.
std::size_t utf16Bytes(std::string_view s);
// Letters of the Latin, Greek and Cyrillic alphabets with their case pairs (ASCII, Latin-1,
// Latin Extended-A, Greek, Cyrillic); other code points map to themselves.
uint32_t toUpper(uint32_t c);
uint32_t toLower(uint32_t c);
// A letter or digit of those alphabets (INITCAP's words are runs of them).
bool isAlnum(uint32_t c);

}  // namespace ocisim::utf8
