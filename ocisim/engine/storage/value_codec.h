// Compact binary form of the engine's values for the storage files: Value (NULL, numbers,
// text, CHAR text, DATE, TIMESTAMP, bytes), Decimal, DateTime and DataType. The byte layouts
// are part of the on-disk format (README.md in this folder); changing one needs a new format
// version. Decoders throw CorruptData on malformed input.
#pragma once

#include "engine/storage/byte_codec.h"
#include "engine/value/data_type.h"
#include "engine/value/datetime.h"
#include "engine/value/decimal.h"
#include "engine/value/value.h"

namespace ocisim::storage {

void writeDecimal(ByteWriter& out, const Decimal& d);
Decimal readDecimal(ByteReader& in);

void writeDateTime(ByteWriter& out, const DateTime& d);
DateTime readDateTime(ByteReader& in);

void writeValue(ByteWriter& out, const Value& v);
Value readValue(ByteReader& in);

void writeDataType(ByteWriter& out, const DataType& t);
DataType readDataType(ByteReader& in);

}  // namespace ocisim::storage
