#include "oracle/password_cipher.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

namespace velmora {
namespace {

// Pi in fixed point, base 2^32: limb 0 is the integer part, the rest the fraction. Used to check
// that the built-in tables are exactly the digits of pi.
using Big = std::vector<uint32_t>;
inline void divideSmall(Big& x, uint32_t d) {
  uint64_t rem = 0;
  for (auto& limb : x) {
    uint64_t cur = (rem << 32) | limb;
    limb = static_cast<uint32_t>(cur / d);
    rem = cur % d;
  }
}
inline void multiplySmall(Big& x, uint32_t m) {
  uint64_t carry = 0;
  for (size_t i = x.size(); i-- > 0;) {
    uint64_t cur = static_cast<uint64_t>(x[i]) * m + carry;
    x[i] = static_cast<uint32_t>(cur);
    carry = cur >> 32;
  }
}
inline void add(Big& x, const Big& y) {
  uint64_t carry = 0;
  for (size_t i = x.size(); i-- > 0;) {
    uint64_t cur = static_cast<uint64_t>(x[i]) + y[i] + carry;
    x[i] = static_cast<uint32_t>(cur);
    carry = cur >> 32;
  }
}
inline void subtract(Big& x, const Big& y) {
  int64_t borrow = 0;
  for (size_t i = x.size(); i-- > 0;) {
    int64_t cur = static_cast<int64_t>(x[i]) - y[i] - borrow;
    borrow = cur < 0 ? 1 : 0;
    x[i] = static_cast<uint32_t>(cur + (borrow << 32));
  }
}
inline bool isZero(const Big& x) {
  for (uint32_t limb : x)
    if (limb) return false;
  return true;
}
// arctan(1/m) by its Taylor series.
inline Big arctanInverse(uint32_t m, size_t limbs) {
  Big power(limbs, 0);
  power[0] = 1;
  divideSmall(power, m);  // 1/m^(2k+1)
  Big sum = power;
  for (uint32_t k = 1;; ++k) {
    divideSmall(power, m * m);
    if (isZero(power)) break;
    Big term = power;
    divideSmall(term, 2 * k + 1);
    if (k % 2)
      subtract(sum, term);
    else
      add(sum, term);
  }
  return sum;
}
// The first `count` 32-bit words of the fractional part of pi (Machin's formula).
inline std::vector<uint32_t> piFractionWords(size_t count) {
  size_t limbs = count + 4;  // guard limbs absorb the rounding of each series term
  Big a = arctanInverse(5, limbs);
  multiplySmall(a, 16);
  Big b = arctanInverse(239, limbs);
  multiplySmall(b, 4);
  subtract(a, b);
  return std::vector<uint32_t>(a.begin() + 1, a.begin() + 1 + static_cast<long>(count));
}

std::vector<uint8_t> fromHex(const std::string& hex) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

std::string toHex(const std::vector<uint8_t>& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (uint8_t b : bytes) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 15];
  }
  return hex;
}

TEST(PasswordCipherTest, TablesAreTheDigitsOfPi) {
  std::vector<uint32_t> pi = piFractionWords(18 + 4 * 256);
  ASSERT_EQ(pi[0], 0x243F6A88u);
  ASSERT_EQ(pi[1], 0x85A308D3u);
  for (size_t i = 0; i < 18; ++i) EXPECT_EQ(kBlowfishInitialP[i], pi[i]) << "P " << i;
  for (size_t box = 0; box < 4; ++box) {
    for (size_t i = 0; i < 256; ++i) {
      EXPECT_EQ(kBlowfishInitialS[box][i], pi[18 + box * 256 + i]) << "S" << box << " " << i;
    }
  }
}

// Eric Young's Blowfish ECB vectors: key, plain text, cipher text.
struct Vector {
  const char* key;
  const char* plain;
  const char* cipher;
};
const Vector kVectors[] = {
    {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
    {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
    {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
    {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
    {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
    {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
    {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
    {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
    {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
    {"07A1133E4A0B2686", "0248D43806F67172", "1730E5778BEA1DA4"},
    {"3849674C2602319E", "51454B582DDF440A", "A25E7856CF2651EB"},
    {"04B915BA43FEB5B6", "42FD443059577FA2", "353882B109CE8F1A"},
    {"0113B970FD34F2CE", "059B5E0851CF143A", "48F4D0884C379918"},
    {"0170F175468FB5E6", "0756D8E0774761D2", "432193B78951FC98"},
    {"43297FAD38E373FE", "762514B829BF486A", "13F04154D69D1AE5"},
    {"0123456789ABCDEF", "0000000000000000", "245946885754369A"},
    {"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "6B5C5A9C5D9E0A5A"},
    {"1F1F1F1F0E0E0E0E", "0123456789ABCDEF", "A790795108EA3CAE"},
    {"E0FEE0FEF1FEF1FE", "0123456789ABCDEF", "C39E072D9FAC631D"},
    {"0000000000000000", "FFFFFFFFFFFFFFFF", "014933E0CDAFF6E4"},
    {"FFFFFFFFFFFFFFFF", "0000000000000000", "F21E9A77B71C49BC"},
    // Keys of other lengths: the key bytes are used cyclically.
    {"F0", "FEDCBA9876543210", "F9AD597C49DB005E"},
    {"F0E1D2C3", "FEDCBA9876543210", "BE1E639408640F05"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677", "FEDCBA9876543210", "05044B62FA52D080"},
};

TEST(PasswordCipherTest, PublishedEcbVectors) {
  for (const Vector& v : kVectors) {
    std::vector<uint8_t> key = fromHex(v.key);
    PasswordCipher cipher(key.data(), key.size());
    std::vector<uint8_t> block = fromHex(v.plain);
    std::vector<uint8_t> out(8);
    cipher.encipherBlocks(block.data(), out.data(), 8);
    EXPECT_EQ(toHex(out), v.cipher) << "key " << v.key;
    cipher.decipherBlocks(out.data(), out.data(), 8);  // in place
    EXPECT_EQ(toHex(out), v.plain) << "key " << v.key;
  }
  // Text keys: Schneier's "BLOWFISH" vector, and ECB enciphers each block on its own.
  PasswordCipher alphabet(std::string_view("abcdefghijklmnopqrstuvwxyz"));
  std::vector<uint8_t> text = {'B', 'L', 'O', 'W', 'F', 'I', 'S', 'H',
                               'B', 'L', 'O', 'W', 'F', 'I', 'S', 'H'};
  alphabet.encipherBlocks(text.data(), text.data(), text.size());
  EXPECT_EQ(toHex(text), "324ED0FEF413A203324ED0FEF413A203");
}

TEST(PasswordCipherTest, KeyAndBufferLengths) {
  const uint8_t zero = 0;
  EXPECT_THROW(PasswordCipher(&zero, 0), CipherError);
  try {
    PasswordCipher cipher(std::string_view(""));
    FAIL() << "an empty key was accepted";
  } catch (const CipherError& error) {
    EXPECT_STREQ(error.what(), "Incorrect key length");
  }
  // Keys beyond 56 bytes are cut to 56.
  std::string longKey(56, 'k');
  PasswordCipher cut(longKey + "ignored tail");
  PasswordCipher exact(longKey);
  EXPECT_EQ(cut.encipherText("password"), exact.encipherText("password"));

  std::vector<uint8_t> buffer(24, 7);
  for (size_t length : {0, 5, 12, 23}) {
    try {
      exact.encipherBlocks(buffer.data(), buffer.data(), length);
      FAIL() << "length " << length << " accepted";
    } catch (const CipherError& error) {
      EXPECT_STREQ(error.what(), "Incorrect buffer length");
    }
    EXPECT_THROW(exact.decipherBlocks(buffer.data(), buffer.data(), length), CipherError);
  }
  EXPECT_EQ(buffer, std::vector<uint8_t>(24, 7));  // nothing written on refusal
}

TEST(PasswordCipherTest, TextFormAndRoundTrip) {
  PasswordCipher cipher = PasswordCipher::withBuiltInKey();
  EXPECT_EQ(kBuiltInPassPhrase.size(), 40u);
  // Pinned: stored passwords must stay readable by later versions.
  EXPECT_EQ(cipher.encipherText("tiger"), "8149ABE45E17685C");
  EXPECT_EQ(cipher.encipherText("12345678").size(), 16u);
  EXPECT_EQ(cipher.encipherText("123456789").size(), 32u);
  EXPECT_EQ(cipher.encipherText(""), "");
  EXPECT_EQ(cipher.decipherText(""), "");
  const std::vector<std::string> passwords = {"tiger",
                                              "12345678",
                                              "123456789",
                                              "p@ss w0rd=;\"x\"",
                                              "\xC3\xA9t\xC3\xA9",
                                              std::string(1000, 'x')};
  for (const std::string& password : passwords) {
    std::string hex = cipher.encipherText(password);
    EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos) << hex;
    EXPECT_EQ(hex, cipher.encipherText(password));  // no salt, no chaining
    EXPECT_EQ(cipher.decipherText(hex), password);
  }
  EXPECT_EQ(cipher.decipherText(cipher.encipherText("secret  \t")), "secret");
  // ECB: equal blocks give equal cipher text.
  std::string twice = cipher.encipherText("abcdefghabcdefgh");
  EXPECT_EQ(twice.substr(0, 16), twice.substr(16));
  // Another pass phrase cannot read it.
  PasswordCipher other(std::string_view("another pass phrase"));
  EXPECT_NE(other.decipherText(cipher.encipherText("tiger")), "tiger");
}

TEST(PasswordCipherTest, OverlongTextsGoToTheMessageHandler) {
  std::vector<std::string> messages;
  PasswordCipher cipher =
      PasswordCipher::withBuiltInKey([&](const std::string& text) { messages.push_back(text); });
  std::string longText(1001, 'a');
  EXPECT_EQ(cipher.encipherText(longText), "false");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Cannot encrypt: " + longText);
  // 993 characters pad to 1000 and still pass.
  EXPECT_EQ(cipher.encipherText(std::string(993, 'a')).size(), 2000u);

  std::string longHex(2016, 'A');
  EXPECT_EQ(cipher.decipherText(longHex), "false");
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1], "Cannot decrypt: " + longHex);

  PasswordCipher silent = PasswordCipher::withBuiltInKey();
  EXPECT_EQ(silent.encipherText(longText), "false");
}

TEST(PasswordCipherTest, DamagedStoredTexts) {
  PasswordCipher cipher = PasswordCipher::withBuiltInKey();
  for (const std::string bad : {"0123456789", "0", "0123456789ABCDEF0", "0123456789ABCDEF01"}) {
    try {
      cipher.decipherText(bad);
      FAIL() << bad << " accepted";
    } catch (const CipherError& error) {
      EXPECT_STREQ(error.what(), "Incorrect buffer length");
    }
  }
  // Non-hex characters read as described (a pair stops at the first other character): the
  // result is garbage, never a crash, and equals the text with those pairs spelt out.
  std::string hex = cipher.encipherText("password");
  std::string damaged = hex;
  damaged[0] = 'G';  // "G?" reads as 0x00
  damaged[3] = 'z';  // "?z" reads as the first digit alone
  damaged[5] = 'a';  // lower case counts as another character
  std::string spelt = hex;
  spelt[0] = '0';
  spelt[1] = '0';
  spelt[2] = '0';
  spelt[3] = hex[2];
  spelt[4] = '0';
  spelt[5] = hex[4];
  EXPECT_EQ(cipher.decipherText(damaged), cipher.decipherText(spelt));
  EXPECT_NE(cipher.decipherText(damaged), "password");
  std::string zeros(32, '\0');
  EXPECT_NO_THROW(cipher.decipherText(zeros));
  EXPECT_NO_THROW(cipher.decipherText(std::string(16, '\xFF')));
}

}  // namespace
}  // namespace velmora
