// SYS_CONTEXT, USERENV, DUMP, VSIZE, BITAND, SYS_GUID, EXTRACT and the release table.
#include <gtest/gtest.h>

#include "engine/ora_error.h"
#include "engine/value/functions.h"

namespace ocisim {
namespace {

Value n(const char* s) { return Value::number(Decimal::parse(s).value()); }
Value t(const char* s) { return Value::text(s); }

FunctionContext context() {
  FunctionContext ctx;
  ctx.user = "SYSTEM";
  ctx.currentSchema = "SCOTT";
  ctx.dbName = "ORCL";
  ctx.sessionId = 42;
  ctx.userId = 5;
  return ctx;
}

std::string call(const char* name, std::vector<Value> args) {
  try {
    Value v = callScalarFunction(name, args, context());
    return v.isNull() ? "NULL" : v.isNumber() ? v.asNumber().toString() : std::string(v.asText());
  } catch (const OraError& e) {
    return "ORA-" + std::to_string(e.code());
  }
}

TEST(DumpFunction, ShowsOraclesInternalForms) {
  // NUMBER: an exponent byte and base-100 digits, negative numbers complemented and ended by 102.
  EXPECT_EQ(call("DUMP", {n("0")}), "Typ=2 Len=1: 128");
  EXPECT_EQ(call("DUMP", {n("1")}), "Typ=2 Len=2: 193,2");
  EXPECT_EQ(call("DUMP", {n("100")}), "Typ=2 Len=2: 194,2");
  EXPECT_EQ(call("DUMP", {n("123")}), "Typ=2 Len=3: 194,2,24");
  EXPECT_EQ(call("DUMP", {n("0.5")}), "Typ=2 Len=2: 192,51");
  EXPECT_EQ(call("DUMP", {n("-1")}), "Typ=2 Len=3: 62,100,102");
  EXPECT_EQ(call("DUMP", {n("-123.4")}), "Typ=2 Len=5: 61,100,78,61,102");
  EXPECT_EQ(call("DUMP", {Value::date(DateTime::make(1999, 12, 31, 23, 59, 58))}),
            "Typ=12 Len=7: 119,199,12,31,24,60,59");
  EXPECT_EQ(call("DUMP", {t("AB")}), "Typ=1 Len=2: 65,66");
  EXPECT_EQ(call("DUMP", {Value::charText("A")}), "Typ=96 Len=1: 65");
  EXPECT_EQ(call("DUMP", {Value::binary(std::string("\x0a\xff", 2))}), "Typ=23 Len=2: 10,255");
  EXPECT_EQ(call("DUMP", {Value()}), "NULL");
  // Formats, and the part shown.
  EXPECT_EQ(call("DUMP", {t("AB"), n("16")}), "Typ=1 Len=2: 41,42");
  EXPECT_EQ(call("DUMP", {t("AB"), n("8")}), "Typ=1 Len=2: 101,102");
  EXPECT_EQ(call("DUMP", {t("ABCD"), n("1016"), n("2"), n("2")}),
            "Typ=1 Len=4 CharacterSet=AL32UTF8: 42,43");
  EXPECT_EQ(call("DUMP", {t("ABCD"), n("10"), n("-1")}), "Typ=1 Len=4: 68");
}

TEST(VsizeAndBitand, LengthsAndBits) {
  EXPECT_EQ(call("VSIZE", {n("123")}), "3");
  EXPECT_EQ(call("VSIZE", {t("äb")}), "3");
  EXPECT_EQ(call("VSIZE", {Value::date(DateTime::make(2000, 1, 1))}), "7");
  EXPECT_EQ(call("VSIZE", {Value()}), "NULL");
  EXPECT_EQ(call("BITAND", {n("12"), n("10")}), "8");
  EXPECT_EQ(call("BITAND", {n("7.9"), n("3")}), "3");
  EXPECT_EQ(call("BITAND", {Value(), n("3")}), "NULL");
  std::string a = call("SYS_GUID", {});
  EXPECT_EQ(a.size(), 16u);
  EXPECT_NE(a, call("SYS_GUID", {}));
}

TEST(SessionContext, UserenvParameters) {
  EXPECT_EQ(call("SYS_CONTEXT", {t("USERENV"), t("SESSION_USER")}), "SYSTEM");
  EXPECT_EQ(call("SYS_CONTEXT", {t("userenv"), t("current_schema")}), "SCOTT");
  EXPECT_EQ(call("SYS_CONTEXT", {t("USERENV"), t("DB_NAME")}), "ORCL");
  EXPECT_EQ(call("SYS_CONTEXT", {t("USERENV"), t("SESSIONID")}), "42");
  EXPECT_EQ(call("SYS_CONTEXT", {t("USERENV"), t("SESSION_USERID")}), "5");
  EXPECT_EQ(call("SYS_CONTEXT", {t("USERENV"), t("IP_ADDRESS")}), "NULL");
  EXPECT_EQ(call("SYS_CONTEXT", {t("USERENV"), t("NO_SUCH")}), "ORA-2003");
  EXPECT_EQ(call("SYS_CONTEXT", {t("MY_CTX"), t("ANYTHING")}), "NULL");
  EXPECT_EQ(call("USERENV", {t("sessionid")}), "42");
  EXPECT_EQ(call("USERENV", {t("LANGUAGE")}), "AMERICAN_AMERICA.AL32UTF8");
  EXPECT_EQ(call("USERENV", {t("CURRENT_SCHEMA")}), "ORA-2003");
  EXPECT_EQ(call("USERENV", {Value()}), "ORA-2003");
}

TEST(ExtractFunction, FieldsOfDatesAndTimestamps) {
  Value date = Value::date(DateTime::make(2001, 2, 3, 4, 5, 6));
  DateTime ts = DateTime::make(2001, 2, 3, 4, 5, 6);
  ts.nanos = 250000000;
  Value stamp = Value::timestamp(ts);
  EXPECT_EQ(call("EXTRACT", {t("YEAR"), date}), "2001");
  EXPECT_EQ(call("EXTRACT", {t("MONTH"), date}), "2");
  EXPECT_EQ(call("EXTRACT", {t("DAY"), date}), "3");
  EXPECT_EQ(call("EXTRACT", {t("HOUR"), date}), "ORA-30076");
  EXPECT_EQ(call("EXTRACT", {t("HOUR"), stamp}), "4");
  EXPECT_EQ(call("EXTRACT", {t("MINUTE"), stamp}), "5");
  EXPECT_EQ(call("EXTRACT", {t("SECOND"), stamp}), "6.25");
  EXPECT_EQ(call("EXTRACT", {t("TIMEZONE_HOUR"), stamp}), "ORA-30076");
  EXPECT_EQ(call("EXTRACT", {t("YEAR"), Value()}), "NULL");
}

TEST(FunctionReleases, NewerFunctionsNameTheirRelease) {
  EXPECT_EQ(scalarFunctionSince("NVL"), 0);
  EXPECT_EQ(scalarFunctionSince("NVL2"), 801);
  EXPECT_EQ(scalarFunctionSince("TRIM"), 801);
  EXPECT_EQ(scalarFunctionSince("COALESCE"), 900);
  EXPECT_EQ(scalarFunctionSince("NULLIF"), 900);
  EXPECT_EQ(scalarFunctionSince("ORA_HASH"), 1000);
}

}  // namespace
}  // namespace ocisim
