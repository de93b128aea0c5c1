// A compact, self-delimiting binary form of Values for the journal and snapshot files of the
// storage module. Stable across runs and platforms (little-endian, no padding); decoding checks
// every field, so a torn or corrupt record is reported instead of producing a wrong value.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/value/value.h"

namespace ocisim {

// Appends the encoding of v to out: a tag byte, then NUMBER: length, exponent and base-100
// digits; text and bytes: a varint length and the bytes; DATE: 7 bytes; TIMESTAMP: 11 bytes.
void encodeValue(const Value& v, std::string& out);

// Decodes one value starting at in[pos]; on success stores it in out, advances pos past it and
// returns true. Returns false (pos and out unchanged) when the input is truncated or invalid.
bool decodeValue(std::string_view in, std::size_t& pos, Value& out);

}  // namespace ocisim
