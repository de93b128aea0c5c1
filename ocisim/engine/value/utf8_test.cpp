#include "engine/value/utf8.h"

#include <gtest/gtest.h>

namespace ocisim::utf8 {
namespace {

TEST(Utf8Test, CountsAndCutsCharacters) {
  EXPECT_EQ(length(""), 0u);
  EXPECT_EQ(length("abc"), 3u);
  EXPECT_EQ(length("äb€𝄞"), 4u);  // 2, 1, 3 and 4 bytes
  std::string s = "äb€𝄞";
  EXPECT_EQ(offsetOf(s, 0), 0u);
  EXPECT_EQ(offsetOf(s, 1), 2u);
  EXPECT_EQ(offsetOf(s, 3), 6u);
  EXPECT_EQ(offsetOf(s, 9), s.size());
  EXPECT_EQ(indexOf(s, 6), 3u);
  EXPECT_EQ(utf16Bytes(s), 2u + 2 + 2 + 4);
}

TEST(Utf8Test, MalformedBytesCountOneEachAndNeverRunPastTheEnd) {
  // A lone continuation byte, a lead byte cut short at the end, an overlong lead byte.
  std::string bad =
      "\x80"
      "a"
      "\xC0\xAF"
      "\xE2\x82";
  EXPECT_EQ(length(bad), 6u);
  EXPECT_EQ(charSize(bad, bad.size() - 2), 1u);
  EXPECT_EQ(charSize(bad, bad.size()), 0u);
  std::size_t pos = 0;
  EXPECT_EQ(decode(bad, pos), 0x80u);
  EXPECT_EQ(pos, 1u);
}

TEST(Utf8Test, DecodeAndAppendAreInverse) {
  for (uint32_t c : {0x41u, 0xE4u, 0x20ACu, 0x1D11Eu}) {
    std::string s;
    append(s, c);
    std::size_t pos = 0;
    EXPECT_EQ(decode(s, pos), c);
    EXPECT_EQ(pos, s.size());
  }
}

TEST(Utf8Test, CaseMappingOfLatinGreekAndCyrillic) {
  EXPECT_EQ(toUpper(0xE4), 0xC4u);  // ä Ä
  EXPECT_EQ(toLower(0xC4), 0xE4u);
  EXPECT_EQ(toUpper(0xDF), 0xDFu);    // ß stays
  EXPECT_EQ(toUpper(0xF7), 0xF7u);    // ÷ is no letter
  EXPECT_EQ(toUpper(0xFF), 0x178u);   // ÿ Ÿ
  EXPECT_EQ(toUpper(0x101), 0x100u);  // ā Ā
  EXPECT_EQ(toUpper(0x13A), 0x139u);  // ĺ Ĺ (odd upper)
  EXPECT_EQ(toLower(0x179), 0x17Au);  // Ź ź
  EXPECT_EQ(toUpper(0x3C9), 0x3A9u);  // ω Ω
  EXPECT_EQ(toUpper(0x3C2), 0x3C2u);  // final sigma stays
  EXPECT_EQ(toUpper(0x436), 0x416u);  // ж Ж
  EXPECT_EQ(toLower(0x401), 0x451u);  // Ё ё
  EXPECT_EQ(toUpper(0x4E00), 0x4E00u);
  EXPECT_TRUE(isAlnum(0xE9));
  EXPECT_FALSE(isAlnum('-'));
  EXPECT_FALSE(isAlnum(0xD7));
}

}  // namespace
}  // namespace ocisim::utf8
