// Execute and fetch through the entry points: array fetch, row counts, describe, conversions,
// indicators and truncation.
#include <cstring>

#include "oci_test_support.h"

namespace ocisim::oci::testing {
namespace {

class FetchTest : public OciTest {
 protected:
  void SetUp() override {
    OciTest::SetUp();
    createDatabase("orcl");
    ASSERT_EQ(c.logon("orcl", "system", "manager"), OCI_SUCCESS) << c.error().message;
  }
  OciConnection c;
};

std::string numbers(int n) {
  return "select level n from dual connect by level <= " + std::to_string(n);
}

// The product's loop: 20 rows per fetch, the first batch fetched by the execute.
struct Batches {
  std::vector<sword> statuses;  // execute, then each fetch
  std::vector<ub4> rowCounts;   // OCI_ATTR_ROW_COUNT after each call
  std::vector<std::string> values;
};

Batches readInBatches(OciStatement& s, const std::string& sql) {
  Batches out;
  char buffer[20][11];
  sb2 indicators[20];
  ub2 lengths[20], codes[20];
  EXPECT_EQ(s.prepare(sql), OCI_SUCCESS);
  OCIDefine* define = nullptr;
  EXPECT_EQ(OCIDefineByPos(s.stmt, &define, s.c.err, 1, buffer, 11, SQLT_STR, indicators, lengths,
                           codes, OCI_DEFAULT),
            OCI_SUCCESS);
  sword status = s.execute(20);
  ub4 before = 0;
  for (;;) {
    out.statuses.push_back(status);
    ub4 total = s.rowCount();
    out.rowCounts.push_back(total);
    if (status != OCI_SUCCESS && status != OCI_NO_DATA) break;
    for (ub4 i = 0; i < total - before; ++i) out.values.emplace_back(buffer[i]);
    before = total;
    if (status == OCI_NO_DATA) break;
    status = s.fetch(20);
  }
  return out;
}

TEST_F(FetchTest, ArrayFetchOfExactlyTwentyRowsEndsWithAnEmptyNoData) {
  OciStatement s(c);
  Batches b = readInBatches(s, numbers(20));
  EXPECT_EQ(b.statuses, (std::vector<sword>{OCI_SUCCESS, OCI_NO_DATA}));
  EXPECT_EQ(b.rowCounts, (std::vector<ub4>{20, 20}));
  ASSERT_EQ(b.values.size(), 20u);
  EXPECT_EQ(b.values.front(), "1");
  EXPECT_EQ(b.values.back(), "20");
  EXPECT_EQ(c.error().code, 1403);
  // The cursor is at its end: another fetch is out of sequence.
  EXPECT_EQ(s.fetch(20), OCI_ERROR);
  EXPECT_EQ(c.error().message, "ORA-01002: fetch out of sequence\n");
}

TEST_F(FetchTest, ArrayFetchOfTwentyFiveRowsGivesTwentyThenFiveWithNoData) {
  OciStatement s(c);
  Batches b = readInBatches(s, numbers(25));
  EXPECT_EQ(b.statuses, (std::vector<sword>{OCI_SUCCESS, OCI_NO_DATA}));
  EXPECT_EQ(b.rowCounts, (std::vector<ub4>{20, 25}));
  ASSERT_EQ(b.values.size(), 25u);
  EXPECT_EQ(b.values[20], "21");
  ub4 fetched = 0;
  OCIAttrGet(s.stmt, OCI_HTYPE_STMT, &fetched, nullptr, OCI_ATTR_ROWS_FETCHED, c.err);
  EXPECT_EQ(fetched, 5u);
}

TEST_F(FetchTest, ExecuteOfFewerRowsThanIterationsIsNoDataWithTheRowsInPlace) {
  OciStatement s(c);
  Batches b = readInBatches(s, numbers(3));
  EXPECT_EQ(b.statuses, (std::vector<sword>{OCI_NO_DATA}));
  EXPECT_EQ(b.values, (std::vector<std::string>{"1", "2", "3"}));
  Batches none = readInBatches(s, "select 1 from dual where 1 = 0");
  EXPECT_EQ(none.statuses, (std::vector<sword>{OCI_NO_DATA}));
  EXPECT_EQ(none.rowCounts, (std::vector<ub4>{0}));
}

TEST_F(FetchTest, ExecuteWithoutIterationsDescribesTheSelectList) {
  OciStatement s(c);
  ASSERT_EQ(s.prepare("select 1.5 amount, 'abc' code, sysdate, global_name from global_name"),
            OCI_SUCCESS);
  ub2 type = 0;
  OCIAttrGet(s.stmt, OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, c.err);
  EXPECT_EQ(type, OCI_STMT_SELECT);  // known right after prepare
  ASSERT_EQ(s.execute(0), OCI_SUCCESS) << c.error().message;
  EXPECT_EQ(s.rowCount(), 0u);
  ub4 count = 0;
  OCIAttrGet(s.stmt, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_PARAM_COUNT, c.err);
  ASSERT_EQ(count, 4u);
  ub2 functionCode = 0;
  OCIAttrGet(s.stmt, OCI_HTYPE_STMT, &functionCode, nullptr, OCI_ATTR_SQLFNCODE, c.err);
  EXPECT_EQ(functionCode, 4);

  struct Expected {
    const char* name;
    ub2 type;
    ub2 size;
  } expected[] = {{"AMOUNT", 2, 22}, {"CODE", 96, 3}, {"SYSDATE", 12, 7}};
  for (ub4 pos = 1; pos <= 3; ++pos) {
    void* param = nullptr;
    ASSERT_EQ(OCIParamGet(s.stmt, OCI_HTYPE_STMT, c.err, &param, pos), OCI_SUCCESS);
    OraText* name = nullptr;
    ub4 nameLength = 0;
    ub2 dataType = 0, dataSize = 0;
    OCIAttrGet(param, OCI_DTYPE_PARAM, &name, &nameLength, OCI_ATTR_NAME, c.err);
    OCIAttrGet(param, OCI_DTYPE_PARAM, &dataType, nullptr, OCI_ATTR_DATA_TYPE, c.err);
    OCIAttrGet(param, OCI_DTYPE_PARAM, &dataSize, nullptr, OCI_ATTR_DATA_SIZE, c.err);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(name), nameLength), expected[pos - 1].name);
    EXPECT_EQ(dataType, expected[pos - 1].type) << pos;
    EXPECT_EQ(dataSize, expected[pos - 1].size) << pos;
  }
  // Precision and scale of a NUMBER (attribute 5 is OCI_ATTR_PRECISION here, not the
  // environment as on a handle).
  void* param = nullptr;
  ASSERT_EQ(OCIParamGet(s.stmt, OCI_HTYPE_STMT, c.err, &param, 1), OCI_SUCCESS);
  struct {
    sb2 precision = 99;
    sb1 scale = 99;
    char guard[8] = "guard";
  } describe;
  OCIAttrGet(param, OCI_DTYPE_PARAM, &describe.precision, nullptr, OCI_ATTR_PRECISION, c.err);
  OCIAttrGet(param, OCI_DTYPE_PARAM, &describe.scale, nullptr, OCI_ATTR_SCALE, c.err);
  EXPECT_EQ(describe.precision, 0);
  EXPECT_EQ(describe.scale, -127);
  EXPECT_STREQ(describe.guard, "guard");
  EXPECT_EQ(OCIParamGet(s.stmt, OCI_HTYPE_STMT, c.err, &param, 5), OCI_ERROR);
  EXPECT_EQ(c.error().code, 24334);
  EXPECT_EQ(OCIParamGet(s.stmt, OCI_HTYPE_STMT, c.err, &param, 1), OCI_SUCCESS);
  EXPECT_EQ(OCIDescriptorFree(param, OCI_DTYPE_PARAM), OCI_SUCCESS);
  EXPECT_EQ(OCIDescriptorFree(param, OCI_DTYPE_PARAM), OCI_INVALID_HANDLE);
}

TEST_F(FetchTest, ValuesComeBackAsOracleConvertsThemToText) {
  OciStatement s(c);
  EXPECT_EQ(
      s.rows("select .5, -0.5, 100, 1/4, to_date('2024-01-05 10:11:12', "
             "'YYYY-MM-DD HH24:MI:SS'), null from dual"),
      (std::vector<std::vector<std::string>>{{".5", "-.5", "100", ".25", "05-JAN-24", "NULL"}}));
}

TEST_F(FetchTest, TruncationIsSuccessWithInfoAndTheIndicatorHoldsTheLength) {
  OciStatement s(c);
  ASSERT_EQ(s.prepare("select 'abcdefghij', 'xy' from dual"), OCI_SUCCESS);
  char first[5], second[5];
  sb2 indicators[2] = {};
  ub2 lengths[2] = {}, codes[2] = {};
  OCIDefine* d1 = nullptr;
  OCIDefine* d2 = nullptr;
  OCIDefineByPos(s.stmt, &d1, c.err, 1, first, sizeof first, SQLT_STR, &indicators[0], &lengths[0],
                 &codes[0], OCI_DEFAULT);
  OCIDefineByPos(s.stmt, &d2, c.err, 2, second, sizeof second, SQLT_STR, &indicators[1],
                 &lengths[1], &codes[1], OCI_DEFAULT);
  EXPECT_EQ(s.execute(1), OCI_SUCCESS_WITH_INFO);
  EXPECT_EQ(c.error().message, "ORA-24345: A Truncation or null fetch error occurred\n");
  EXPECT_STREQ(first, "abcd");
  EXPECT_EQ(indicators[0], 10);
  EXPECT_EQ(lengths[0], 4);
  EXPECT_EQ(codes[0], 1406);
  EXPECT_STREQ(second, "xy");
  EXPECT_EQ(indicators[1], 0);
  EXPECT_EQ(lengths[1], 2);
  EXPECT_EQ(codes[1], 0);

  // Without indicators or codes the record is ORA-01406.
  OciStatement plain(c);
  ASSERT_EQ(plain.prepare("select 'abcdefghij' from dual"), OCI_SUCCESS);
  OCIDefine* d = nullptr;
  OCIDefineByPos(plain.stmt, &d, c.err, 1, first, sizeof first, SQLT_STR, nullptr, nullptr, nullptr,
                 OCI_DEFAULT);
  EXPECT_EQ(plain.execute(1), OCI_SUCCESS_WITH_INFO);
  EXPECT_EQ(c.error().code, 1406);
}

TEST_F(FetchTest, NullLeavesTheBufferAndNeedsAnIndicator) {
  OciStatement s(c);
  ASSERT_EQ(
      s.prepare("select decode(level, 2, null, 'v' || level) from dual connect by level <= 3"),
      OCI_SUCCESS);
  char buffer[3][8];
  std::memset(buffer, 'Z', sizeof buffer);
  sb2 indicators[3] = {7, 7, 7};
  ub2 codes[3] = {};
  OCIDefine* d = nullptr;
  OCIDefineByPos(s.stmt, &d, c.err, 1, buffer, 8, SQLT_STR, indicators, nullptr, codes,
                 OCI_DEFAULT);
  EXPECT_EQ(s.execute(3), OCI_SUCCESS);
  EXPECT_STREQ(buffer[0], "v1");
  EXPECT_EQ(indicators[1], -1);
  EXPECT_EQ(codes[1], 1405);
  EXPECT_EQ(buffer[1][0], 'Z');  // untouched
  EXPECT_STREQ(buffer[2], "v3");

  OciStatement bare(c);
  ASSERT_EQ(bare.prepare("select null from dual"), OCI_SUCCESS);
  OCIDefineByPos(bare.stmt, &d, c.err, 1, buffer, 8, SQLT_STR, nullptr, nullptr, nullptr,
                 OCI_DEFAULT);
  EXPECT_EQ(bare.execute(1), OCI_ERROR);
  EXPECT_EQ(c.error().message, "ORA-01405: fetched column value is NULL\n");
}

TEST_F(FetchTest, IntegerDefinesAndCancellingTheCursor) {
  OciStatement s(c);
  ASSERT_EQ(s.prepare(numbers(10)), OCI_SUCCESS);
  int32_t values[4] = {};
  OCIDefine* d = nullptr;
  ASSERT_EQ(OCIDefineByPos(s.stmt, &d, c.err, 1, values, sizeof values[0], SQLT_INT, nullptr,
                           nullptr, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  EXPECT_EQ(s.execute(4), OCI_SUCCESS);
  EXPECT_EQ(values[3], 4);
  EXPECT_EQ(s.fetch(4), OCI_SUCCESS);
  EXPECT_EQ(values[0], 5);
  EXPECT_EQ(s.rowCount(), 8u);
  EXPECT_EQ(s.fetch(0), OCI_SUCCESS);  // cancels the cursor
  EXPECT_EQ(s.fetch(4), OCI_ERROR);
  EXPECT_EQ(c.error().code, 1002);
  // Executed again, it starts over.
  EXPECT_EQ(s.execute(4), OCI_SUCCESS);
  EXPECT_EQ(values[0], 1);
  EXPECT_EQ(s.rowCount(), 4u);
}

TEST_F(FetchTest, ErrorsOfTheStatementSurfaceAtExecute) {
  OciStatement s(c);
  EXPECT_EQ(s.prepare("select * from no_such_table"), OCI_SUCCESS);  // local: no round trip
  EXPECT_EQ(s.execute(0), OCI_ERROR);
  EXPECT_EQ(c.error().message, "ORA-00942: table or view does not exist\n");
  EXPECT_EQ(s.prepare("selec 1 from dual"), OCI_SUCCESS);
  ub2 type = 99;
  OCIAttrGet(s.stmt, OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, c.err);
  EXPECT_EQ(type, OCI_STMT_UNKNOWN);
  EXPECT_EQ(s.execute(1), OCI_ERROR);
  EXPECT_EQ(c.error().code, 900);
  EXPECT_EQ(s.fetch(1), OCI_ERROR);
  EXPECT_EQ(c.error().code, 24338);
  // A define beyond the select list.
  ASSERT_EQ(s.prepare("select 1 from dual"), OCI_SUCCESS);
  char buffer[8];
  OCIDefine* d = nullptr;
  OCIDefineByPos(s.stmt, &d, c.err, 2, buffer, sizeof buffer, SQLT_STR, nullptr, nullptr, nullptr,
                 OCI_DEFAULT);
  EXPECT_EQ(s.execute(1), OCI_ERROR);
  EXPECT_EQ(c.error().code, 1007);
}

TEST_F(FetchTest, StatementTypesFollowTheLeadingKeyword) {
  struct Case {
    const char* sql;
    ub2 type;
  } cases[] = {{"  (select 1 from dual)", OCI_STMT_SELECT},
               {"-- note\nupdate t set a = 1", OCI_STMT_UPDATE},
               {"/* x */ delete from t", OCI_STMT_DELETE},
               {"insert into t values (1)", OCI_STMT_INSERT},
               {"create or replace procedure p is begin null; end;", OCI_STMT_CREATE},
               {"drop table t", OCI_STMT_DROP},
               {"ALTER session set nls_date_format = 'DD'", OCI_STMT_ALTER},
               {"begin null; end;", OCI_STMT_BEGIN},
               {"declare x number; begin null; end;", OCI_STMT_DECLARE},
               {"grant select on t to u", OCI_STMT_UNKNOWN}};
  OciStatement s(c);
  for (const Case& k : cases) {
    ASSERT_EQ(s.prepare(k.sql), OCI_SUCCESS);
    ub2 type = 99;
    OCIAttrGet(s.stmt, OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, c.err);
    EXPECT_EQ(type, k.type) << k.sql;
  }
}

}  // namespace
}  // namespace ocisim::oci::testing
