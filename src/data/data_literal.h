// Values of the data comparison as the report shows them and as the upgrade script writes them.
// The script's literals are exact: numbers as the server's decimal text, text with its padding
// and Unicode unchanged (control characters joined in as CHR(n)), DATE with its time and
// TIMESTAMP with its fraction whatever the session's date format, RAW as HEXTORAW. Pure.
#pragma once

#include <string>

#include "base/comparison_options.h"
#include "data/data_row.h"

namespace velmora {

// The field as an SQL literal for an upgrade script: NULL, 12.5, 'O''Brien',
// TO_DATE('2024-01-05 10:11:12','YYYY-MM-DD HH24:MI:SS'),
// TO_TIMESTAMP('2024-01-05 10:11:12.123456000','YYYY-MM-DD HH24:MI:SS.FF9'), HEXTORAW('0AFF').
// A large object has no literal (its contents are never read): "" for Lob fields.
std::string scriptLiteral(const DataField& field);

// The field as a report row shows it: NULL, the number, text with "'" doubled, dates and
// timestamps in their fixed forms; control characters escaped.
std::string reportValue(const DataField& field);

}  // namespace velmora
