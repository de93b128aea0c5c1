// Implicit conversions between Values, with Oracle's rules and errors: text to number
// (ORA-01722), text to date through NLS_DATE_FORMAT (ORA-01858, ORA-01861, ORA-01843,
// ORA-01847, ORA-01830 ...), numbers and dates to text. Inconsistent kinds (a date used as a
// number) throw ORA-00932. Stateless functions.
#pragma once

#include <string>

#include "engine/value/data_type.h"
#include "engine/value/nls.h"
#include "engine/value/value.h"

namespace ocisim {

// The text of a non-NULL value: numbers as TO_CHAR(n) gives them (".5", "100"), dates by
// NLS_DATE_FORMAT, timestamps by NLS_TIMESTAMP_FORMAT, text as is, bytes as upper-case hex.
// NULL gives "".
std::string toText(const Value& v, const NlsSettings& nls);
// As toText, as a VARCHAR2 Value (NULL stays NULL; CHAR text keeps its CHAR flag).
Value toTextValue(const Value& v, const NlsSettings& nls);

// The number of a non-NULL value: numbers as is, text parsed (blanks around allowed; anything
// else ORA-01722). Dates and bytes throw ORA-00932.
Decimal toNumber(const Value& v);
// As toNumber, as a Value (NULL stays NULL).
Value toNumberValue(const Value& v);

// The date of a non-NULL value: dates and timestamps as is, text through NLS_DATE_FORMAT
// (a TIMESTAMP column reads text through NLS_TIMESTAMP_FORMAT: see coercion.h). Numbers throw
// ORA-00932.
DateTime toDate(const Value& v, const NlsSettings& nls);
Value toDateValue(const Value& v, const NlsSettings& nls);

// RAW from text: hexadecimal digits (HEXTORAW); anything else ORA-01465.
std::string hexToRaw(std::string_view hex);
std::string rawToHex(std::string_view bytes);

// The Oracle type name of a Value's kind, for ORA-00932 messages (NUMBER, CHAR, DATE, ...).
const char* kindTypeName(const Value& v);

// The DataType describing a Value when nothing better is known (literals, binds): a number
// NUMBER, text CHAR(n) for CHAR text else VARCHAR2(n), DATE, TIMESTAMP, RAW(n); NULL gives
// VARCHAR2 of length 0, as Oracle describes a NULL literal.
DataType typeOfValue(const Value& v);

}  // namespace ocisim
