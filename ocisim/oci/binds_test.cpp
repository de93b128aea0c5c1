// Binds by name: IN values of text and integers, missing and unknown names.
#include "oci_test_support.h"

namespace ocisim::oci::testing {
namespace {

class BindsTest : public OciTest {
 protected:
  void SetUp() override {
    OciTest::SetUp();
    createDatabase("orcl");
    ASSERT_EQ(c.logon("orcl", "system", "manager"), OCI_SUCCESS) << c.error().message;
  }
  std::string fetchOne(OciStatement& s) {
    char out[64] = {};
    sb2 indicator = 0;
    OCIDefine* d = nullptr;
    OCIDefineByPos(s.stmt, &d, c.err, 1, out, sizeof out, SQLT_STR, &indicator, nullptr, nullptr,
                   OCI_DEFAULT);
    sword status = s.execute(1);
    if (status != OCI_SUCCESS) return "status " + std::to_string(status) + ": " + c.error().message;
    return indicator == -1 ? "NULL" : out;
  }
  OciConnection c;
};

TEST_F(BindsTest, TextAndIntegerInValues) {
  OciStatement s(c);
  ASSERT_EQ(s.prepare("select :name || '-' || (:n + 1) from dual"), OCI_SUCCESS);
  char name[] = "O'Brien";
  int32_t n = 41;
  ASSERT_EQ(s.bindText(":name", name, sizeof name), OCI_SUCCESS);
  ASSERT_EQ(s.bindInt(":N", &n), OCI_SUCCESS);
  EXPECT_EQ(fetchOne(s), "O'Brien-42");
  // Binds are read at each execute; rebinding a name replaces it.
  n = -8;
  EXPECT_EQ(fetchOne(s), "O'Brien--7");
  char other[] = "x";
  ASSERT_EQ(s.bindText(":NAME", other, sizeof other), OCI_SUCCESS);
  EXPECT_EQ(fetchOne(s), "x--7");
}

TEST_F(BindsTest, EmptyTextAndNullIndicatorBindNull) {
  OciStatement s(c);
  ASSERT_EQ(s.prepare("select nvl(:v, 'was null') from dual"), OCI_SUCCESS);
  char empty[8] = "";
  ASSERT_EQ(s.bindText(":v", empty, sizeof empty), OCI_SUCCESS);
  EXPECT_EQ(fetchOne(s), "was null");
  char value[8] = "abc";
  sb2 indicator = -1;
  ASSERT_EQ(s.bindText(":v", value, sizeof value, &indicator), OCI_SUCCESS);
  EXPECT_EQ(fetchOne(s), "was null");
  indicator = 0;
  EXPECT_EQ(fetchOne(s), "abc");
}

TEST_F(BindsTest, MissingAndUnknownNamesAreErrors) {
  OciStatement s(c);
  ASSERT_EQ(s.prepare("select :a from dual"), OCI_SUCCESS);
  EXPECT_EQ(s.execute(0), OCI_ERROR);
  EXPECT_EQ(c.error().message, "ORA-01008: not all variables bound\n");
  char a[] = "1", b[] = "2";
  s.bindText(":a", a, sizeof a);
  s.bindText(":b", b, sizeof b);
  EXPECT_EQ(s.execute(0), OCI_ERROR);
  EXPECT_EQ(c.error().message, "ORA-01036: illegal variable name/number\n");
  // A bind of an unsupported external type is refused when it is made.
  OCIBind* bind = nullptr;
  EXPECT_EQ(OCIBindByName(s.stmt, &bind, c.err, ot(":a"), 2, a, sizeof a, SQLT_BLOB, nullptr,
                          nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
            OCI_ERROR);
  EXPECT_EQ(c.error().code, 932);
}

}  // namespace
}  // namespace ocisim::oci::testing
