// PasswordCipher: enciphers the passwords of the recent logins for the settings store. Blowfish
// (16 rounds, the standard pi-derived tables and key schedule) in electronic-codebook mode, words
// big-endian; the text form is upper-case hexadecimal. A keyed cipher is immutable: its const
// operations may run on several threads at once (as long as the message handler allows it).
//
// Errors: a key of length 0 and a block length that is not a positive multiple of 8 throw
// CipherError with the texts "Incorrect key length" and "Incorrect buffer length". A text too long
// to encipher or decipher is not an exception: the message "Cannot encrypt: " / "Cannot decrypt: "
// + the text goes to the MessageHandler (the login dialog passes one that calls RunHost::ask with
// Buttons::Ok; without a handler the message is dropped) and the result is the text "false".
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velmora {

class CipherError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Blowfish's initial P-array and S-boxes: the fractional hexadecimal digits of pi, in order.
extern const std::array<uint32_t, 18> kBlowfishInitialP;
extern const std::array<std::array<uint32_t, 256>, 4> kBlowfishInitialS;

// The pass phrase the login dialog keys its cipher with. Changing it makes every stored password
// unreadable.
inline constexpr std::string_view kBuiltInPassPhrase = "velmorakeepsrecentloginsundercipherquiet";

class PasswordCipher {
 public:
  using MessageHandler = std::function<void(const std::string& text)>;

  static constexpr size_t kMaxKeyLength = 56;      // longer keys are cut
  static constexpr size_t kMaxPlainLength = 1000;  // padded bytes encipherText accepts
  // Hex digits decipherText accepts: everything encipherText can produce (2 per byte), so every
  // stored password can be read back.
  static constexpr size_t kMaxHexLength = 2 * kMaxPlainLength;

  // Throws CipherError("Incorrect key length") when length is 0.
  PasswordCipher(const uint8_t* key, size_t length, MessageHandler handler = {});
  explicit PasswordCipher(std::string_view key, MessageHandler handler = {});

  // The cipher of the login dialog, keyed with kBuiltInPassPhrase.
  static PasswordCipher withBuiltInKey(MessageHandler handler = {});

  void setMessageHandler(MessageHandler handler) { showMessage_ = std::move(handler); }

  // ECB over `length` bytes; `in` and `out` may be the same buffer. Throws
  // CipherError("Incorrect buffer length") unless length is a positive multiple of 8.
  void encipherBlocks(const uint8_t* in, uint8_t* out, size_t length) const;
  void decipherBlocks(const uint8_t* in, uint8_t* out, size_t length) const;

  // "" -> ""; otherwise the text padded with blanks to a multiple of 8 bytes, enciphered, as
  // upper-case hex (twice the padded length: 8 characters give 16 digits, 9 give 32). Padded
  // length above 1000: the "Cannot encrypt: " message and "false".
  std::string encipherText(const std::string& text) const;

  // "" -> ""; more than kMaxHexLength characters: the "Cannot decrypt: " message and "false".
  // A length that is not a multiple of 16 (odd lengths included) throws
  // CipherError("Incorrect buffer length"). Each pair of characters gives one byte, read from
  // the digits "0"-"9" and "A"-"F" until the first other character ("1G" -> 0x01, "G1" -> 0x00,
  // lower-case digits count as other characters), so damaged text deciphers to garbage but never
  // reads out of bounds. The result ends before the first zero byte and loses its trailing white
  // space (the padding, and with it any trailing blanks of the password).
  std::string decipherText(const std::string& hex) const;

 private:
  void encipherWords(uint32_t& left, uint32_t& right) const;
  void decipherWords(uint32_t& left, uint32_t& right) const;
  uint32_t feistel(uint32_t x) const;
  void message(const std::string& text) const;

  std::array<uint32_t, 18> p_;
  std::array<std::array<uint32_t, 256>, 4> s_;
  MessageHandler showMessage_;
};

}  // namespace velmora
