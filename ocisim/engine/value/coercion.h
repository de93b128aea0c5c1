// Column coercion: turning a value into what a column of a given DataType stores (INSERT,
// UPDATE, defaults, ALTER TABLE MODIFY checks). Stateless; failures throw OraError.
#pragma once

#include <string_view>

#include "engine/value/data_type.h"
#include "engine/value/nls.h"
#include "engine/value/value.h"

namespace ocisim {

// The value stored for v in a column of `type`; NULL stays NULL (NOT NULL is the caller's
// check). NUMBER(p,s): converted to a number (ORA-01722), rounded to s, ORA-01438 beyond p.
// VARCHAR2(n)/CHAR(n): converted to text; longer than n (bytes, or characters for n CHAR and
// the national types) gives ORA-12899 naming `columnName` (the caller passes it quoted:
// "SCOTT"."T"."C"), as does a value of n characters over the type's bytes; CHAR is
// blank-padded to n.
// DATE/TIMESTAMP: text converted with NLS_DATE_FORMAT; a TIMESTAMP stored in a DATE loses its
// fraction. RAW(n)/BLOB/LONG RAW: bytes, text taken as hex (ORA-01465); RAW longer than n
// ORA-12899. LONG/CLOB: any text. Object columns: the value is kept as is.
Value coerceForColumn(const Value& v, const DataType& type, const NlsSettings& nls,
                      std::string_view columnName);

// True when v fits `type` without change of meaning (used when narrowing a column: ALTER TABLE
// MODIFY with rows present, ORA-01441 / ORA-01440 decided by the caller). NULL always fits.
bool fitsColumn(const Value& v, const DataType& type, const NlsSettings& nls);

}  // namespace ocisim
