// Date format models (TO_CHAR of dates, TO_DATE). First version: fixed layouts only.
#include <cstdio>

#include "engine/ora_error.h"
#include "engine/value/format.h"

namespace ocisim {

std::string formatDate(const DateTime& dt, std::string_view format, bool isTimestamp) {
  (void)format;
  (void)isTimestamp;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", dt.year, dt.month, dt.day,
                dt.hour, dt.minute, dt.second);
  return buf;
}

DateTime parseDate(std::string_view text, std::string_view format, const DateTime& reference,
                   bool allowFraction) {
  (void)text;
  (void)format;
  (void)reference;
  (void)allowFraction;
  throw OraError(1821);
}

std::string formatNumber(const Decimal& n, std::string_view format) {
  (void)format;
  return n.toSqlText();
}

Decimal parseNumber(std::string_view text, std::string_view format) {
  (void)format;
  auto d = Decimal::parse(text);
  if (!d) throw OraError(1722);
  return *d;
}

}  // namespace ocisim
