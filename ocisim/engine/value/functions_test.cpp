#include "engine/value/functions.h"

#include <gtest/gtest.h>

#include "engine/ora_error.h"

namespace ocisim {
namespace {

Value n(const char* s) { return Value::number(Decimal::parse(s).value()); }
Value t(const char* s) { return Value::text(s); }
Value c(const char* s) { return Value::charText(s); }
Value d(int y, int m, int day, int h = 0, int mi = 0, int s = 0) {
  return Value::date(DateTime::make(y, m, day, h, mi, s));
}
const Value kNull;

FunctionContext context() {
  FunctionContext ctx;
  ctx.sysdate = DateTime::make(2024, 6, 15, 10, 20, 30);
  ctx.user = "SCOTT";
  return ctx;
}

// The result's debug text, or "ORA-nnnnn" when the call fails.
std::string call(const char* name, std::vector<Value> args) {
  try {
    return callScalarFunction(name, args, context()).debugString();
  } catch (const OraError& e) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "ORA-%05d", e.code());
    return buf;
  }
}

struct Case {
  const char* name;
  std::vector<Value> args;
  const char* expected;
};

void runCases(const std::vector<Case>& cases) {
  for (const Case& k : cases) {
    std::string args;
    for (const Value& v : k.args) args += (args.empty() ? "" : ", ") + v.debugString();
    EXPECT_EQ(call(k.name, k.args), k.expected) << k.name << "(" << args << ")";
  }
}

TEST(FunctionsTest, Substr) {
  runCases({
      {"SUBSTR", {t("ABCDEF"), n("2"), n("3")}, "'BCD'"},
      {"SUBSTR", {t("ABCDEF"), n("0"), n("2")}, "'AB'"},
      {"SUBSTR", {t("ABCDEF"), n("-2")}, "'EF'"},
      {"SUBSTR", {t("ABCDEF"), n("-3"), n("2")}, "'DE'"},
      {"SUBSTR", {t("ABCDEF"), n("-7")}, "NULL"},
      {"SUBSTR", {t("ABCDEF"), n("7")}, "NULL"},
      {"SUBSTR", {t("ABCDEF"), n("2"), n("0")}, "NULL"},
      {"SUBSTR", {t("ABCDEF"), n("2"), n("-1")}, "NULL"},
      {"SUBSTR", {t("ABCDEF"), n("2"), n("100")}, "'BCDEF'"},
      {"SUBSTR", {t("ABCDEF"), n("2.9"), n("1.9")}, "'B'"},
      {"SUBSTR", {kNull, n("1")}, "NULL"},
      {"SUBSTR", {t("ABC"), kNull}, "NULL"},
      {"SUBSTR", {n("12345"), n("2"), n("2")}, "'23'"},
      {"SUBSTR", {t("SEQ_A   "), n("0"), n("31")}, "'SEQ_A   '"},
      {"SUBSTR", {t("ABC")}, "ORA-00909"},
      {"SUBSTR", {t("ABC"), t("x")}, "ORA-01722"},
  });
}

TEST(FunctionsTest, Instr) {
  runCases({
      {"INSTR", {t("CORPORATE FLOOR"), t("OR")}, "2"},
      {"INSTR", {t("CORPORATE FLOOR"), t("OR"), n("3"), n("2")}, "14"},
      {"INSTR", {t("CORPORATE FLOOR"), t("OR"), n("-3"), n("2")}, "2"},
      {"INSTR", {t("CORPORATE FLOOR"), t("OR"), n("-1")}, "14"},
      {"INSTR", {t("CORPORATE FLOOR"), t("XY")}, "0"},
      {"INSTR", {t("AFTER EACH ROW"), t("EACH ROW")}, "7"},
      {"INSTR", {t("ABC"), t("A"), n("0")}, "0"},
      {"INSTR", {t("ABC"), t("A"), n("5")}, "0"},
      {"INSTR", {t("AAA"), t("AA"), n("1"), n("2")}, "2"},
      {"INSTR", {t("ABC"), kNull}, "NULL"},
      {"INSTR", {t("ABC"), t("A"), n("1"), n("0")}, "ORA-01428"},
  });
}

TEST(FunctionsTest, LengthCaseAndCharacterCodes) {
  runCases({
      {"LENGTH", {t("abc")}, "3"},
      {"LENGTH", {c("ab  ")}, "4"},
      {"LENGTH", {kNull}, "NULL"},
      {"LENGTH", {n("-1.5")}, "4"},
      {"UPPER", {t("MiXed 1")}, "'MIXED 1'"},
      {"LOWER", {t("MiXed 1")}, "'mixed 1'"},
      {"INITCAP", {t("the sOUTH-west wind2go")}, "'The South-West Wind2go'"},
      {"UPPER", {kNull}, "NULL"},
      {"CHR", {n("65")}, "'A'"},
      {"CHR", {n("10")}, "'\n'"},
      {"ASCII", {t("ABC")}, "65"},
      {"ASCII", {kNull}, "NULL"},
      {"CONCAT", {t("a"), kNull}, "'a'"},
      {"CONCAT", {kNull, kNull}, "NULL"},
  });
}

// Positions and lengths count characters; the B forms count bytes. "ä" is 2 bytes, "€" 3.
TEST(FunctionsTest, MultibyteCharacters) {
  runCases({
      {"LENGTH", {t("äb€")}, "3"},
      {"LENGTHB", {t("äb€")}, "6"},
      {"SUBSTR", {t("äb€x"), n("2"), n("2")}, "'b€'"},
      {"SUBSTR", {t("äb€x"), n("-2")}, "'€x'"},
      {"SUBSTRB", {t("äb€x"), n("3"), n("4")}, "'b€'"},
      {"SUBSTRB", {t("äb€x"), n("2"), n("3")}, "' b '"},  // the cut ä and € become blanks
      {"SUBSTRB", {t("€x"), n("1"), n("2")}, "'  '"},
      {"INSTR", {t("ä€ä€"), t("€"), n("1"), n("2")}, "4"},
      {"INSTR", {t("ä€ä€"), t("ä"), n("-1")}, "3"},
      {"INSTR", {t("ä€ä€"), t("€"), n("3")}, "4"},
      {"INSTRB", {t("ä€ä€"), t("€")}, "3"},
      {"UPPER", {t("äöü éß")}, "'ÄÖÜ Éß'"},
      {"LOWER", {t("ÄÖÜ Ω")}, "'äöü ω'"},
      {"INITCAP", {t("über élan")}, "'Über Élan'"},
      {"LPAD", {t("ä"), n("3"), t("€")}, "'€€ä'"},
      {"RPAD", {t("äöü"), n("2")}, "'äö'"},
      {"LTRIM", {t("ääb"), t("ä")}, "'b'"},
      {"RTRIM", {t("b€€"), t("€")}, "'b'"},
      {"TRANSLATE", {t("äbä"), t("ä"), t("€")}, "'€b€'"},
      {"ASCII", {t("ä")}, "50084"},
      {"CHR", {n("50084")}, "'ä'"},
  });
  EXPECT_EQ(call("TRIM", {t("BOTH"), t("ä"), t("äbä")}), "'b'");
  EXPECT_EQ(call("TRIM", {t("BOTH"), t("äb"), t("äbä")}), "ORA-30001");
}

TEST(FunctionsTest, TrimForms) {
  runCases({
      {"TRIM", {t("  a b  ")}, "'a b'"},
      {"TRIM", {t("   ")}, "NULL"},
      {"TRIM", {t("LEADING"), t("x"), t("xxaxx")}, "'axx'"},
      {"TRIM", {t("TRAILING"), t("x"), t("xxaxx")}, "'xxa'"},
      {"TRIM", {t("BOTH"), t("x"), t("xxaxx")}, "'a'"},
      {"TRIM", {t("BOTH"), t(" "), t("  a  ")}, "'a'"},
      {"TRIM", {t("BOTH"), t("xy"), t("xya")}, "ORA-30001"},
      {"TRIM", {t("BOTH"), kNull, t("a")}, "NULL"},
      {"TRIM", {t("a"), t("b")}, "ORA-00909"},
      {"LTRIM", {t("  a  ")}, "'a  '"},
      {"LTRIM", {t("xyxay"), t("xy")}, "'ay'"},
      {"RTRIM", {t("  a  ")}, "'  a'"},
      {"RTRIM", {t("ayxyx"), t("xy")}, "'a'"},
      {"RTRIM", {t("xxx"), t("x")}, "NULL"},
      {"RTRIM", {t("abc"), kNull}, "NULL"},
  });
}

TEST(FunctionsTest, PaddingReplaceTranslate) {
  runCases({
      {"LPAD", {t("abc"), n("6")}, "'   abc'"},
      {"LPAD", {t("abc"), n("7"), t("xy")}, "'xyxyabc'"},
      {"LPAD", {t("abcdef"), n("3")}, "'abc'"},
      {"RPAD", {t("abcdef"), n("3"), t("*")}, "'abc'"},
      {"RPAD", {t("abc"), n("5"), t("*")}, "'abc**'"},
      {"RPAD", {t("abc"), n("0")}, "NULL"},
      {"RPAD", {t("abc"), n("5"), kNull}, "NULL"},
      {"LPAD", {n("7"), n("3"), t("0")}, "'007'"},
      {"REPLACE", {t("JACK and JUE"), t("J"), t("BL")}, "'BLACK and BLUE'"},
      {"REPLACE", {t("abcabc"), t("b")}, "'acac'"},
      {"REPLACE", {t("abc"), kNull, t("x")}, "'abc'"},
      {"REPLACE", {t("abc"), t("abc")}, "NULL"},
      {"REPLACE", {kNull, t("a")}, "NULL"},
      {"TRANSLATE", {t("2KRW229"), t("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"),
                     t("9999999999XXXXXXXXXXXXXXXXXXXXXXXXXX")}, "'9XXX999'"},
      {"TRANSLATE", {t("abcabc"), t("ab"), t("x")}, "'xcxc'"},
      {"TRANSLATE", {t("aaa"), t("aa"), t("xy")}, "'xxx'"},
      {"TRANSLATE", {t("abc"), t("b"), kNull}, "NULL"},
  });
}

TEST(FunctionsTest, Numbers) {
  runCases({
      {"ABS", {n("-1.5")}, "1.5"},
      {"SIGN", {n("-3")}, "-1"},
      {"SIGN", {n("0")}, "0"},
      {"FLOOR", {n("-1.5")}, "-2"},
      {"CEIL", {n("1.2")}, "2"},
      {"MOD", {n("11"), n("4")}, "3"},
      {"MOD", {n("-11"), n("4")}, "-3"},
      {"MOD", {n("11"), n("0")}, "11"},
      {"MOD", {n("11"), kNull}, "NULL"},
      {"ROUND", {n("15.193"), n("1")}, "15.2"},
      {"ROUND", {n("15.193"), n("-1")}, "20"},
      {"ROUND", {n("-2.5")}, "-3"},
      {"ROUND", {t("2.5")}, "3"},
      {"TRUNC", {n("15.79"), n("1")}, "15.7"},
      {"TRUNC", {n("-15.79")}, "-15"},
      {"POWER", {n("2"), n("10")}, "1024"},
      {"POWER", {n("2"), n("-2")}, ".25"},
      {"POWER", {n("1.5"), n("2")}, "2.25"},
      {"POWER", {n("4"), n("0.5")}, "2"},
      {"POWER", {n("-8"), n("0.5")}, "ORA-01428"},
      {"POWER", {n("10"), n("200")}, "ORA-01426"},
      {"SQRT", {n("16")}, "4"},
      {"SQRT", {n("2")}, "1.41421356237309504880168872420969807857"},
      {"SQRT", {n("-1")}, "ORA-01428"},
      {"ABS", {t("x")}, "ORA-01722"},
  });
}

TEST(FunctionsTest, Dates) {
  runCases({
      {"ADD_MONTHS", {d(2024, 1, 31), n("1")}, "DATE '2024-02-29 00:00:00'"},
      {"ADD_MONTHS", {d(2024, 2, 29, 10), n("12")}, "DATE '2025-02-28 10:00:00'"},
      {"ADD_MONTHS", {t("31-JAN-24"), n("-2")}, "DATE '2023-11-30 00:00:00'"},
      {"ADD_MONTHS", {kNull, n("1")}, "NULL"},
      {"LAST_DAY", {d(2023, 2, 3, 4, 5, 6)}, "DATE '2023-02-28 04:05:06'"},
      {"MONTHS_BETWEEN", {d(2024, 3, 31), d(2024, 2, 29)}, "1"},
      {"MONTHS_BETWEEN", {d(2024, 3, 15), d(2024, 1, 15)}, "2"},
      {"MONTHS_BETWEEN", {d(2024, 1, 1), d(2024, 1, 17)}, "-.5161290322580645161290322580645161290323"},
      {"MONTHS_BETWEEN", {d(2024, 2, 2, 12), d(2024, 1, 1)}, "1.0483870967741935483870967741935483871"},
      {"TRUNC", {d(2024, 8, 17, 14, 37, 45)}, "DATE '2024-08-17 00:00:00'"},
      {"TRUNC", {d(2024, 8, 17, 14, 37, 45), t("MM")}, "DATE '2024-08-01 00:00:00'"},
      {"ROUND", {d(2024, 8, 17, 14, 37, 45), t("YYYY")}, "DATE '2025-01-01 00:00:00'"},
      {"ROUND", {d(2024, 8, 17, 11)}, "DATE '2024-08-17 00:00:00'"},
      {"TRUNC", {d(2024, 8, 17), t("ZZ")}, "ORA-01821"},
      {"SYSDATE", {}, "DATE '2024-06-15 10:20:30'"},
      {"USER", {}, "'SCOTT'"},
  });
}

TEST(FunctionsTest, Conversions) {
  runCases({
      {"TO_CHAR", {n("0.5")}, "'.5'"},
      {"TO_CHAR", {n("-0.5")}, "'-.5'"},
      {"TO_CHAR", {n("100")}, "'100'"},
      {"TO_CHAR", {n("1234.5"), t("9,999.99")}, "' 1,234.50'"},
      {"TO_CHAR", {t("12"), t("999")}, "'  12'"},
      {"TO_CHAR", {t("ab"), t("999")}, "ORA-01722"},
      {"TO_CHAR", {c("ab ")}, "'ab '"},
      {"TO_CHAR", {d(2024, 1, 5, 13, 4, 9)}, "'05-JAN-24'"},
      {"TO_CHAR", {d(2024, 1, 5, 13, 4, 9), t("YYYY-MM-DD HH24:MI:SS")}, "'2024-01-05 13:04:09'"},
      {"TO_CHAR", {kNull}, "NULL"},
      {"TO_CHAR", {n("1"), kNull}, "NULL"},
      {"TO_NUMBER", {t(" 12.50 ")}, "12.5"},
      {"TO_NUMBER", {t("$1,234.50"), t("$9,999.99")}, "1234.5"},
      {"TO_NUMBER", {t("1,234")}, "ORA-01722"},
      {"TO_NUMBER", {n("7")}, "7"},
      {"TO_NUMBER", {kNull}, "NULL"},
      {"TO_DATE", {t("2024-01-05"), t("YYYY-MM-DD")}, "DATE '2024-01-05 00:00:00'"},
      {"TO_DATE", {t("05-JAN-24")}, "DATE '2024-01-05 00:00:00'"},
      {"TO_DATE", {t("2024"), t("YYYY")}, "DATE '2024-06-01 00:00:00'"},
      {"TO_DATE", {n("20240105"), t("YYYYMMDD")}, "DATE '2024-01-05 00:00:00'"},
      {"TO_DATE", {d(2024, 1, 5, 13, 4, 9)}, "DATE '2024-01-05 00:00:00'"},  // via DD-MON-RR text
      {"TO_DATE", {t("2024-01-05"), t("DD-MON-YYYY")}, "ORA-01843"},
      {"TO_DATE", {t("x"), t("YYYY")}, "ORA-01858"},
      {"TO_TIMESTAMP", {t("2024-01-05 10:00:00.25"), t("YYYY-MM-DD HH24:MI:SS.FF")},
       "TIMESTAMP '2024-01-05 10:00:00.250000000'"},
      {"HEXTORAW", {t("0aff")}, "HEXTORAW('0AFF')"},
      {"RAWTOHEX", {Value::binary("\x01\x02")}, "'0102'"},
  });
}

TEST(FunctionsTest, DecodeTreatsNullsAsEqual) {
  runCases({
      {"DECODE", {t("A"), t("A"), t("AFTER"), t("B"), t("BEFORE")}, "'AFTER'"},
      {"DECODE", {t("B"), t("A"), t("AFTER"), t("B"), t("BEFORE")}, "'BEFORE'"},
      {"DECODE", {t("I"), t("A"), t("AFTER"), t("B"), t("BEFORE")}, "NULL"},
      {"DECODE", {t("X"), t("A"), t("1"), t("other")}, "'other'"},
      {"DECODE", {kNull, kNull, t("was null"), t("not null")}, "'was null'"},
      {"DECODE", {t("x"), kNull, t("was null"), t("not null")}, "'not null'"},
      {"DECODE", {n("0"), kNull, t(""), n("0"), t(""), t("(5)")}, "NULL"},
      {"DECODE", {n("5"), kNull, t(""), n("0"), t(""), t("(5)")}, "'(5)'"},
      {"DECODE", {t("1.0"), n("1"), t("num")}, "'num'"},  // compared as numbers
      {"DECODE", {n("1"), t("1.0"), t("num")}, "NULL"},   // compared as text: '1' <> '1.0'
      {"DECODE", {n("1"), t("1"), t("num")}, "'num'"},
      {"DECODE", {t("1.0"), t("1"), t("txt"), t("no")}, "'no'"},  // compared as text
      {"DECODE", {c("a "), t("a"), t("padded"), t("unpadded")}, "'unpadded'"},
      {"DECODE", {n("999999999999999999999999999"), n("999999999999999999999999999"),
                  t(" NOMAXVALUE"), t(" MAXVALUE ")}, "' NOMAXVALUE'"},
      {"DECODE", {n("2"), n("1"), n("10"), t("20")}, "20"},           // results take the
      {"DECODE", {n("2"), n("1"), n("10"), t("x")}, "ORA-01722"},     // type of the first one
      {"DECODE", {n("2"), n("1"), t("ten"), n("20")}, "'20'"},
      {"DECODE", {n("2"), n("1"), kNull, n("20")}, "'20'"},
      {"DECODE", {t("N"), t("N"), t(" NOCYCLE"), t(" CYCLE")}, "' NOCYCLE'"},
      {"DECODE", {t("a"), t("b")}, "ORA-00909"},
  });
}

TEST(FunctionsTest, NullFunctions) {
  runCases({
      {"NVL", {kNull, n("0")}, "0"},
      {"NVL", {n("5"), n("0")}, "5"},
      {"NVL", {kNull, kNull}, "NULL"},
      {"NVL2", {n("1"), t("a"), t("b")}, "'a'"},
      {"NVL2", {kNull, t("a"), t("b")}, "'b'"},
      {"COALESCE", {kNull, kNull, t("c"), t("d")}, "'c'"},
      {"COALESCE", {kNull}, "NULL"},
      {"NULLIF", {n("1"), n("1")}, "NULL"},
      {"NULLIF", {n("1"), n("2")}, "1"},
      {"NULLIF", {t("a"), kNull}, "'a'"},
      {"NVL", {n("1")}, "ORA-00909"},
  });
}

TEST(FunctionsTest, GreatestLeastFollowTheFirstArgument) {
  runCases({
      {"GREATEST", {n("1"), n("3"), n("2")}, "3"},
      {"LEAST", {n("1"), n("3"), n("-2")}, "-2"},
      {"GREATEST", {n("9"), t("10")}, "10"},      // text converted to a number
      {"GREATEST", {t("9"), n("10")}, "'9'"},     // number converted to text
      {"LEAST", {t("abc"), t("abd"), t("ab")}, "'ab'"},
      {"GREATEST", {n("1"), t("x")}, "ORA-01722"},
      {"GREATEST", {n("1"), kNull}, "NULL"},
      {"GREATEST", {d(2024, 1, 1), t("05-JAN-24")}, "DATE '2024-01-05 00:00:00'"},
      {"LEAST", {c("b "), c("a")}, "'a'"},
  });
}

TEST(FunctionsTest, OraHashIsDeterministicAndBounded) {
  FunctionContext ctx = context();
  auto hash = [&](std::vector<Value> args) {
    return callScalarFunction("ORA_HASH", args, ctx).asNumber().toInt64().value();
  };
  EXPECT_EQ(hash({t("abc")}), hash({t("abc")}));
  EXPECT_NE(hash({t("abc")}), hash({t("abd")}));
  EXPECT_EQ(hash({n("1.50")}), hash({n("1.5")}));
  EXPECT_NE(hash({t("abc"), n("4294967295"), n("1")}), hash({t("abc"), n("4294967295"), n("2")}));
  int counts[10] = {};
  for (int i = 0; i < 1000; ++i) {
    int64_t h = hash({Value::integer(i), n("9")});
    ASSERT_GE(h, 0);
    ASSERT_LE(h, 9);
    ++counts[h];
  }
  for (int count : counts) EXPECT_GT(count, 50);  // spread over every bucket
  EXPECT_EQ(call("ORA_HASH", {kNull}), "0");
  EXPECT_EQ(call("ORA_HASH", {t("a"), n("-1")}), "ORA-01428");
}

TEST(FunctionsTest, RegistryAndResultTypes) {
  EXPECT_TRUE(isScalarFunction("DECODE"));
  EXPECT_TRUE(isScalarFunction("ORA_HASH"));
  EXPECT_FALSE(isScalarFunction("COUNT"));
  EXPECT_FALSE(isScalarFunction("decode"));  // callers pass upper-case names
  EXPECT_EQ(call("NO_SUCH_FN", {}), "ORA-00904");
  auto type = [](const char* name, std::vector<DataType> args) {
    return scalarFunctionType(name, args).sqlText();
  };
  EXPECT_EQ(type("LENGTH", {DataType::varchar2(10)}), "NUMBER");
  EXPECT_EQ(type("SUBSTR", {DataType::varchar2(10), DataType::number()}), "VARCHAR2(10)");
  EXPECT_EQ(type("SUBSTR", {DataType::charType(3), DataType::number()}), "VARCHAR2(3)");
  EXPECT_EQ(type("TO_CHAR", {DataType::number()}), "VARCHAR2(64)");
  EXPECT_EQ(type("TO_DATE", {DataType::varchar2(10)}), "DATE");
  EXPECT_EQ(type("ROUND", {DataType::date()}), "DATE");
  EXPECT_EQ(type("ROUND", {DataType::number(5, 2)}), "NUMBER");
  EXPECT_EQ(type("DECODE", {DataType::charType(1), DataType::charType(1), DataType::charType(5),
                            DataType::charType(1), DataType::charType(6)}),
            "VARCHAR2(6)");
  EXPECT_EQ(type("DECODE", {DataType::number(), DataType::number(), DataType::number()}), "NUMBER");
  EXPECT_EQ(type("NVL", {DataType::number(), DataType::number()}), "NUMBER");
  EXPECT_EQ(type("NVL", {DataType::varchar2(30), DataType::charType(1)}), "VARCHAR2(30)");
  EXPECT_EQ(type("CHR", {DataType::number()}), "VARCHAR2(1)");
  EXPECT_EQ(type("NO_SUCH_FN", {}), "VARCHAR2(4000)");
}

}  // namespace
}  // namespace ocisim
