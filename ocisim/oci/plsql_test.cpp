// PL/SQL through the entry points: OUT binds written back, DBMS_OUTPUT read with GET_LINE,
// session settings changed by ALTER SESSION, and the statuses PL/SQL ends with.
#include "oci_test_support.h"

namespace ocisim::oci::testing {
namespace {

class PlsqlTest : public OciTest {
 protected:
  void SetUp() override {
    OciTest::SetUp();
    createDatabase("orcl");
    ASSERT_EQ(c.logon("orcl", "system", "manager"), OCI_SUCCESS) << c.error().message;
  }
  OciConnection c;
};

TEST_F(PlsqlTest, PlsqlOutBindsAreWrittenBack) {
  OciStatement s(c);
  ASSERT_EQ(s.prepare("begin :text := 'out ' || :text; :n := :n * 2; end;"), OCI_SUCCESS);
  char text[16] = "in";
  int32_t n = 21;
  ASSERT_EQ(s.bindText(":text", text, sizeof text), OCI_SUCCESS);
  ASSERT_EQ(s.bindInt(":n", &n), OCI_SUCCESS);
  ASSERT_EQ(s.execute(1), OCI_SUCCESS) << c.error().message;
  EXPECT_STREQ(text, "out in");
  EXPECT_EQ(n, 42);
  // An OUT value larger than its buffer is PL/SQL's numeric or value error.
  char small[4] = "abc";
  ASSERT_EQ(s.bindText(":text", small, sizeof small), OCI_SUCCESS);
  EXPECT_EQ(s.execute(1), OCI_ERROR);
  EXPECT_EQ(c.error().code, 6502);
}

TEST_F(PlsqlTest, ServerOutputIsReadLineByLineWithGetLine) {
  OciStatement s(c);
  ASSERT_EQ(s.prepare("begin dbms_output.enable(20000); dbms_output.put_line('first'); "
                      "dbms_output.put_line('second'); end;"),
            OCI_SUCCESS);
  ASSERT_EQ(s.execute(1), OCI_SUCCESS) << c.error().message;
  OciStatement get(c);
  ASSERT_EQ(get.prepare("declare line varchar2(4000); begin dbms_output.get_line( line, :more); "
                        ":line := nvl(line,' '); end;"),
            OCI_SUCCESS);
  std::vector<char> line(4001);
  int32_t more = 1;
  ASSERT_EQ(get.bindText(":line", line.data(), 4001), OCI_SUCCESS);
  ASSERT_EQ(get.bindInt(":more", &more), OCI_SUCCESS);
  std::vector<std::string> lines;
  for (int i = 0; i < 5; ++i) {
    ASSERT_EQ(get.execute(1), OCI_SUCCESS) << c.error().message;
    if (more == 1) break;
    lines.emplace_back(line.data());
  }
  EXPECT_EQ(lines, (std::vector<std::string>{"first", "second"}));
}

TEST_F(PlsqlTest, AlterSessionChangesHowDatesComeBack) {
  OciStatement s(c);
  ASSERT_EQ(s.prepare("alter session set nls_date_format = 'MM/DD/YYYY HH24:MI'"), OCI_SUCCESS);
  ASSERT_EQ(s.execute(1), OCI_SUCCESS) << c.error().message;
  EXPECT_EQ(s.rows("select to_date('2024-01-05 10:11', 'YYYY-MM-DD HH24:MI') from dual"),
            (std::vector<std::vector<std::string>>{{"01/05/2024 10:11"}}));
}

TEST_F(PlsqlTest, SelectIntoWithoutRowsEndsWithNoData) {
  OciStatement s(c);
  ASSERT_EQ(s.prepare("declare x varchar2(10); begin select dummy into x from dual where 1 = 0; "
                      "end;"),
            OCI_SUCCESS);
  EXPECT_EQ(s.execute(1), OCI_NO_DATA);
  EXPECT_EQ(c.error().code, 1403);
  ASSERT_EQ(s.prepare("begin raise_application_error(-20001, 'stop here'); end;"), OCI_SUCCESS);
  EXPECT_EQ(s.execute(1), OCI_ERROR);
  EXPECT_EQ(c.error().code, 20001);
  EXPECT_EQ(c.error().message.rfind("ORA-20001: stop here\n", 0), 0u) << c.error().message;
}

}  // namespace
}  // namespace ocisim::oci::testing
