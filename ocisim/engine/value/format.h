// Format models of TO_CHAR / TO_DATE / TO_NUMBER. Date elements: YYYY SYYYY YYY YY Y RR RRRR
// YEAR SYEAR BC AD B.C. A.D. CC SCC Q MM MON MONTH RM WW IW W DDD DD D DY DAY J HH HH12 HH24 MI
// SS SSSSS AM PM A.M. P.M. FF FF1..FF9 X TH SP (suffixes), punctuation, "quoted text", FM, FX.
// Number elements: 9 0 . , D G $ S MI PR EEEE X (hex) V B FM TM TM9 TME. Stateless functions.
#pragma once

#include <string>
#include <string_view>

#include "engine/value/datetime.h"
#include "engine/value/decimal.h"

namespace ocisim {

class Value;

// TO_CHAR(date, fmt). An unknown element throws ORA-01821; FF on a DATE throws ORA-01821 too.
std::string formatDate(const DateTime& dt, std::string_view format, bool isTimestamp = false);
// The same as a text Value, without an intermediate string for the common numeric formats.
Value dateText(const DateTime& dt, std::string_view format, bool isTimestamp);

// TO_DATE(text, fmt). Fields not in the format default from `reference` (year and month of
// the current date; day 1; time 00:00:00), as Oracle does. Errors: ORA-01858 (letters where
// digits were expected), ORA-01861 (literal mismatch), ORA-01843 (month), ORA-01847 (day of
// month), ORA-01830 (format ends before input), ORA-01841 (year), ORA-01850/01851/01852
// (time fields), ORA-01821 (unknown element), ORA-01810 (element twice). Without FX the
// matching is lenient like Oracle's: punctuation matches any punctuation, missing leading
// zeros are fine, and the input may end early.
DateTime parseDate(std::string_view text, std::string_view format, const DateTime& reference,
                   bool allowFraction = false);

// TO_CHAR(number, fmt). ORA-01481 for an invalid model; a value that does not fit gives '#'
// characters (format width + 1), as Oracle does.
std::string formatNumber(const Decimal& n, std::string_view format);

// TO_NUMBER(text, fmt). ORA-01722 when the text does not match the model; ORA-01481 for an
// invalid model.
Decimal parseNumber(std::string_view text, std::string_view format);

}  // namespace ocisim
