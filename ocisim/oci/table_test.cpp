// Statements over tables through the entry points: describe of column types, DML row counts,
// array DML with iterations, and rows of a table read back.
#include "oci_test_support.h"

namespace ocisim::oci::testing {
namespace {

class TableTest : public OciTest {
 protected:
  void SetUp() override {
    OciTest::SetUp();
    auto db = createDatabase("orcl");
    run(db, {"create table t (n number(5,3), m number, f float, v varchar2(30), d date, "
             "c char(4) not null)"});
    ASSERT_EQ(c.logon("orcl", "system", "manager"), OCI_SUCCESS) << c.error().message;
  }
  OciConnection c;
};

TEST_F(TableTest, NumberPrecisionAndScaleAsOciDescribesThem) {
  OciStatement s(c);
  ASSERT_EQ(s.prepare("select n, m, f from t"), OCI_SUCCESS);
  ASSERT_EQ(s.execute(0, OCI_DESCRIBE_ONLY), OCI_SUCCESS) << c.error().message;
  std::pair<int, int> expected[] = {{5, 3}, {0, -127}, {126, -127}};
  for (ub4 pos = 1; pos <= 3; ++pos) {
    void* param = nullptr;
    ASSERT_EQ(OCIParamGet(s.stmt, OCI_HTYPE_STMT, c.err, &param, pos), OCI_SUCCESS);
    sb2 precision = 0;
    sb1 scale = 0;
    OCIAttrGet(param, OCI_DTYPE_PARAM, &precision, nullptr, OCI_ATTR_PRECISION, c.err);
    OCIAttrGet(param, OCI_DTYPE_PARAM, &scale, nullptr, OCI_ATTR_SCALE, c.err);
    EXPECT_EQ(precision, expected[pos - 1].first) << pos;
    EXPECT_EQ(scale, expected[pos - 1].second) << pos;
  }
  // Describe only: nothing to fetch.
  EXPECT_EQ(s.fetch(1), OCI_ERROR);
  EXPECT_EQ(c.error().code, 24338);
}

TEST_F(TableTest, DescribeOfCharacterAndDateColumns) {
  OciStatement s(c);
  ASSERT_EQ(s.prepare("select v, d, c from t"), OCI_SUCCESS);
  ASSERT_EQ(s.execute(0), OCI_SUCCESS) << c.error().message;
  struct Expected {
    ub2 type, size;
    ub1 nullable;
  } expected[] = {{1, 30, 1}, {12, 7, 1}, {96, 4, 0}};
  for (ub4 pos = 1; pos <= 3; ++pos) {
    void* param = nullptr;
    ASSERT_EQ(OCIParamGet(s.stmt, OCI_HTYPE_STMT, c.err, &param, pos), OCI_SUCCESS);
    ub2 type = 0, size = 0;
    ub1 nullable = 9;
    OCIAttrGet(param, OCI_DTYPE_PARAM, &type, nullptr, OCI_ATTR_DATA_TYPE, c.err);
    OCIAttrGet(param, OCI_DTYPE_PARAM, &size, nullptr, OCI_ATTR_DATA_SIZE, c.err);
    OCIAttrGet(param, OCI_DTYPE_PARAM, &nullable, nullptr, OCI_ATTR_IS_NULL, c.err);
    EXPECT_EQ(type, expected[pos - 1].type) << pos;
    EXPECT_EQ(size, expected[pos - 1].size) << pos;
    EXPECT_EQ(nullable, expected[pos - 1].nullable) << pos;
  }
}

TEST_F(TableTest, DmlRowCountsAndArrayInsertWithIterations) {
  OciStatement insert(c);
  ASSERT_EQ(insert.prepare("insert into t (m, c) values (:m, :c)"), OCI_SUCCESS);
  int32_t m[3] = {1, 2, 3};
  char codes[3][5] = {"a", "bb", "ccc"};
  OCIBind* bm = nullptr;
  OCIBind* bc = nullptr;
  OCIBindByName(insert.stmt, &bm, c.err, ot(":m"), 2, m, sizeof m[0], SQLT_INT, nullptr, nullptr,
                nullptr, 0, nullptr, OCI_DEFAULT);
  OCIBindByName(insert.stmt, &bc, c.err, ot(":c"), 2, codes, sizeof codes[0], SQLT_STR, nullptr,
                nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
  ASSERT_EQ(insert.execute(3), OCI_SUCCESS) << c.error().message;
  EXPECT_EQ(insert.rowCount(), 3u);
  ub2 functionCode = 0;
  OCIAttrGet(insert.stmt, OCI_HTYPE_STMT, &functionCode, nullptr, OCI_ATTR_SQLFNCODE, c.err);
  EXPECT_EQ(functionCode, 3);
  EXPECT_EQ(insert.execute(0), OCI_ERROR);
  EXPECT_EQ(c.error().code, 24333);

  OciStatement update(c);
  ASSERT_EQ(update.prepare("update t set v = 'x' where m >= 2"), OCI_SUCCESS);
  ASSERT_EQ(update.execute(1), OCI_SUCCESS) << c.error().message;
  EXPECT_EQ(update.rowCount(), 2u);
  ASSERT_EQ(update.prepare("delete from t where m > 100"), OCI_SUCCESS);
  EXPECT_EQ(update.execute(1), OCI_SUCCESS);  // no rows is no error
  EXPECT_EQ(update.rowCount(), 0u);
  EXPECT_EQ(update.rows("select m, v, c from t order by m"),
            (std::vector<std::vector<std::string>>{
                {"1", "NULL", "a   "}, {"2", "x", "bb  "}, {"3", "x", "ccc "}}));
}

TEST_F(TableTest, AForceViewWithErrorsSucceedsWithInformation) {
  OciStatement s(c);
  std::string sql = "create force view broken_v as select x from no_such_table";
  // The length may count the terminating NUL.
  ASSERT_EQ(OCIStmtPrepare(s.stmt, c.err, ot(sql), static_cast<ub4>(sql.size() + 1), OCI_NTV_SYNTAX,
                           OCI_DEFAULT),
            OCI_SUCCESS);
  EXPECT_EQ(s.execute(1), OCI_SUCCESS_WITH_INFO);
  EXPECT_EQ(c.error().message, "ORA-24344: success with compilation error\n");
  EXPECT_EQ(s.rows("select status from all_objects where object_name = 'BROKEN_V'"),
            (std::vector<std::vector<std::string>>{{"INVALID"}}));
}

TEST_F(TableTest, AViewTextOf25000BytesIsReadFromAllViewsInThreePieces) {
  std::string head = "select 1 a /* ", tail = " */ from dual";
  std::string text = head + std::string(25000 - head.size() - tail.size(), 'x') + tail;
  run(databases.front(), {"create view big_v as " + text});
  OciStatement s(c);
  ASSERT_EQ(s.prepare("SELECT text FROM all_views WHERE owner = :bind1 and view_name= :bind2"),
            OCI_SUCCESS);
  char owner[] = "SYSTEM", name[] = "BIG_V";
  s.bindText(":bind1", owner, sizeof owner);
  s.bindText(":bind2", name, sizeof name);
  ASSERT_EQ(s.execute(0), OCI_SUCCESS) << c.error().message;
  void* param = nullptr;
  ub2 type = 0;
  ASSERT_EQ(OCIParamGet(s.stmt, OCI_HTYPE_STMT, c.err, &param, 1), OCI_SUCCESS);
  OCIAttrGet(param, OCI_DTYPE_PARAM, &type, nullptr, OCI_ATTR_DATA_TYPE, c.err);
  EXPECT_EQ(type, SQLT_LNG);
  OCIDefine* define = nullptr;
  sb2 indicator = 0;
  OCIDefineByPos(s.stmt, &define, c.err, 1, nullptr, 2147483647, SQLT_LNG, &indicator, nullptr,
                 nullptr, OCI_DYNAMIC_FETCH);
  std::vector<char> buffer(10240);
  std::vector<ub4> pieces;
  std::string read;
  sword status = s.fetch(1);
  while (status == OCI_NEED_DATA) {
    void* handle = nullptr;
    ub4 handleType = 0, iteration = 0, index = 0;
    ub1 inOut = 0, piece = 0;
    OCIStmtGetPieceInfo(s.stmt, c.err, &handle, &handleType, &inOut, &iteration, &index, &piece);
    ub4 length = 10240;
    OCIStmtSetPieceInfo(handle, OCI_HTYPE_DEFINE, c.err, buffer.data(), &length, piece, &indicator,
                        nullptr);
    status = s.fetch(1);
    pieces.push_back(length);
    read.append(buffer.data(), length);
  }
  EXPECT_EQ(status, OCI_SUCCESS) << c.error().message;
  EXPECT_EQ(pieces, (std::vector<ub4>{10240, 10240, 4520}));
  EXPECT_EQ(read, text);
}

}  // namespace
}  // namespace ocisim::oci::testing
