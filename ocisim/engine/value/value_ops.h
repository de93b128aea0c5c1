// Operators on Values with Oracle semantics: comparison (with implicit conversion), a total order
// and hash for ORDER BY / DISTINCT / GROUP BY keys, arithmetic (numbers, date +- days, date -
// date), concatenation, LIKE, and the result types of these operators for describe.
// Stateless functions; errors are thrown as OraError.
#pragma once

#include <cstddef>
#include <string_view>

#include "engine/value/data_type.h"
#include "engine/value/nls.h"
#include "engine/value/value.h"

namespace ocisim {

// Oracle comparison of two non-NULL values (the caller handles NULL: any comparison with NULL
// is unknown). Number vs text: the text is converted to a number (ORA-01722). Date vs text:
// the text is converted with NLS_DATE_FORMAT. Text vs text: binary; blank-padded when both are
// CHAR. Bytes vs bytes: binary. Other mixes throw ORA-00932. Returns <0, 0, >0.
int compareValues(const Value& a, const Value& b, const NlsSettings& nls);

// Total order for sort and grouping keys (no conversion, never throws): NULL after everything,
// then by kind (number < text < date/timestamp < bytes), then by value. Text compares binary
// with trailing blanks ignored when both are CHAR. ORDER BY ... DESC and NULLS FIRST are the
// caller's business.
int sortCompare(const Value& a, const Value& b);
// Hash consistent with sortCompare() == 0 (trailing blanks of text are not hashed).
std::size_t sortHash(const Value& v);

enum class ArithOp : uint8_t { Add, Subtract, Multiply, Divide };

// a op b. NULL in, NULL out. Numbers (text operands converted, ORA-01722); DATE + n, n + DATE,
// DATE - n (fractional days); DATE - DATE gives days as a number; TIMESTAMP +- n gives a DATE.
// Division by zero ORA-01476; other mixes ORA-00932.
Value arithmetic(ArithOp op, const Value& a, const Value& b, const NlsSettings& nls);
// Unary minus (NULL stays NULL; text converted to number).
Value negate(const Value& a);
// a || b: NULL counts as empty; NULL || NULL is NULL. Non-text operands converted with toText.
// The result is CHAR text when both operands are CHAR, VARCHAR2 otherwise.
Value concat(const Value& a, const Value& b, const NlsSettings& nls);

// LIKE: '%' any string, '_' one character, escape (0 = none) makes the next character literal.
// ORA-01424 when the escape character ends the pattern or precedes another character.
bool likeMatch(std::string_view text, std::string_view pattern, char escape = 0);

// Result types for describe.
DataType arithmeticType(ArithOp op, const DataType& a, const DataType& b);
DataType concatType(const DataType& a, const DataType& b);

}  // namespace ocisim
