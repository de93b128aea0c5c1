// Piecewise fetch of LONG values through OCI_DYNAMIC_FETCH defines.
#include "oci_test_support.h"

namespace ocisim::oci::testing {
namespace {

class PiecewiseTest : public OciTest {
 protected:
  void SetUp() override {
    OciTest::SetUp();
    createDatabase("orcl");
    ASSERT_EQ(c.logon("orcl", "system", "manager"), OCI_SUCCESS) << c.error().message;
  }

  // Reads one row's dynamic column as the product does, recording every piece's size.
  struct Pieces {
    std::vector<ub4> sizes;
    std::vector<ub1> kinds;
    std::string text;
    sword first = 0;  // status of the first fetch
    sword last = 0;   // status of the fetch that ended the row
    sb2 indicator = 99;
  };
  Pieces readLong(OciStatement& s, ub4 pieceSize = 10240) {
    Pieces p;
    OCIDefine* define = nullptr;
    EXPECT_EQ(OCIDefineByPos(s.stmt, &define, c.err, 1, nullptr, 2147483647, SQLT_LNG, &p.indicator,
                             nullptr, nullptr, OCI_DYNAMIC_FETCH),
              OCI_SUCCESS);
    std::vector<char> buffer(pieceSize);
    sword status = p.first = s.fetch(1);
    while (status == OCI_NEED_DATA) {
      void* handle = nullptr;
      ub4 type = 0, iteration = 9, index = 9;
      ub1 inOut = 0, piece = 0;
      EXPECT_EQ(
          OCIStmtGetPieceInfo(s.stmt, c.err, &handle, &type, &inOut, &iteration, &index, &piece),
          OCI_SUCCESS);
      EXPECT_EQ(handle, define);
      EXPECT_EQ(type, static_cast<ub4>(OCI_HTYPE_DEFINE));
      EXPECT_EQ(inOut, OCI_PARAM_OUT);
      EXPECT_EQ(iteration, 0u);
      p.kinds.push_back(piece);
      ub4 length = pieceSize;
      EXPECT_EQ(OCIStmtSetPieceInfo(define, OCI_HTYPE_DEFINE, c.err, buffer.data(), &length, piece,
                                    &p.indicator, nullptr),
                OCI_SUCCESS);
      status = s.fetch(1);
      if (status == OCI_SUCCESS || status == OCI_NEED_DATA) {
        p.sizes.push_back(length);
        p.text.append(buffer.data(), length);
      }
    }
    p.last = status;
    return p;
  }

  OciConnection c;
};

TEST_F(PiecewiseTest, A25000ByteValueComesInPiecesOf10240_10240_4520) {
  OciStatement s(c);
  ASSERT_EQ(s.prepare("select rpad('a', 24999, 'b') || 'z' from dual"), OCI_SUCCESS);
  ASSERT_EQ(s.execute(0), OCI_SUCCESS) << c.error().message;
  Pieces p = readLong(s);
  EXPECT_EQ(p.first, OCI_NEED_DATA);
  EXPECT_EQ(p.last, OCI_SUCCESS);
  EXPECT_EQ(p.sizes, (std::vector<ub4>{10240, 10240, 4520}));
  EXPECT_EQ(p.kinds, (std::vector<ub1>{OCI_FIRST_PIECE, OCI_NEXT_PIECE, OCI_NEXT_PIECE}));
  ASSERT_EQ(p.text.size(), 25000u);
  EXPECT_EQ(p.text.front(), 'a');
  EXPECT_EQ(p.text[24998], 'b');
  EXPECT_EQ(p.text.back(), 'z');
  EXPECT_EQ(p.indicator, 0);
  EXPECT_EQ(s.rowCount(), 1u);
  EXPECT_EQ(s.fetch(1), OCI_NO_DATA);
}

TEST_F(PiecewiseTest, ShortAndNullValuesAndSeveralRows) {
  OciStatement s(c);
  ASSERT_EQ(s.prepare("select decode(level, 2, null, rpad('x', level * 7000, 'y')) from dual "
                      "connect by level <= 3"),
            OCI_SUCCESS);
  ASSERT_EQ(s.execute(0), OCI_SUCCESS) << c.error().message;
  Pieces first = readLong(s);
  EXPECT_EQ(first.sizes, (std::vector<ub4>{7000}));
  // A NULL value needs no piece: the fetch succeeds at once with the indicator set.
  OCIDefine* define = nullptr;
  sb2 indicator = 0;
  OCIDefineByPos(s.stmt, &define, c.err, 1, nullptr, 2147483647, SQLT_LNG, &indicator, nullptr,
                 nullptr, OCI_DYNAMIC_FETCH);
  EXPECT_EQ(s.fetch(1), OCI_SUCCESS);
  EXPECT_EQ(indicator, -1);
  Pieces third = readLong(s, 8000);
  EXPECT_EQ(third.sizes, (std::vector<ub4>{8000, 8000, 5000}));
  EXPECT_EQ(s.fetch(1), OCI_NO_DATA);
  EXPECT_EQ(s.rowCount(), 3u);
}

TEST_F(PiecewiseTest, PieceCallsOutOfTurnAreErrors) {
  OciStatement s(c);
  ASSERT_EQ(s.prepare("select rpad('a', 100, 'b') from dual"), OCI_SUCCESS);
  ASSERT_EQ(s.execute(0), OCI_SUCCESS);
  void* handle = nullptr;
  ub4 type = 0, iteration = 0, index = 0;
  ub1 inOut = 0, piece = 0;
  EXPECT_EQ(OCIStmtGetPieceInfo(s.stmt, c.err, &handle, &type, &inOut, &iteration, &index, &piece),
            OCI_ERROR);  // nothing asked for yet
  OCIDefine* define = nullptr;
  OCIDefineByPos(s.stmt, &define, c.err, 1, nullptr, 2147483647, SQLT_LNG, nullptr, nullptr,
                 nullptr, OCI_DYNAMIC_FETCH);
  ASSERT_EQ(s.fetch(1), OCI_NEED_DATA);
  EXPECT_EQ(s.fetch(1), OCI_ERROR);  // no buffer was given for the piece
  EXPECT_EQ(c.error().code, 24350);
  EXPECT_EQ(
      OCIStmtSetPieceInfo(s.stmt, OCI_HTYPE_DEFINE, c.err, nullptr, nullptr, 0, nullptr, nullptr),
      OCI_INVALID_HANDLE);  // a statement is not a define handle
}

}  // namespace
}  // namespace ocisim::oci::testing
