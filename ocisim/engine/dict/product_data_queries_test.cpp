// The sequence and privilege line queries (with their padding), the data selects of the data
// comparison and the statements of data upgrade scripts, run unchanged.
#include "engine/dict/dict_test_support.h"
#include "engine/dict/product_query_texts.h"

namespace ocisim::dict::testing {
namespace {

// What substr(value||blanks, 0, width) gives: the value padded or cut to width.
std::string pad(const std::string& value, size_t width) {
  std::string s = value.substr(0, width);
  s.resize(width, ' ');
  return s;
}

std::string sequenceColumns(const std::vector<std::string>& v, bool withLastNumber) {
  // name, last_number, min, max, increment, cycle, order, cache
  std::string line = pad(v[0], 31) + " ";
  if (withLastNumber) line += pad(v[1], 30) + " ";
  return line + pad(v[2], 30) + " " + pad(v[3], 30) + " " + pad(v[4], 13) + " " + pad(v[5], 11) +
         " " + pad(v[6], 11) + " " + pad(v[7], 11);
}

const std::vector<std::string> kEmpSeq = {"EMP_SEQ", "100", "1", "1000000", "10", "Y", "Y", "5"};
const std::vector<std::string> kPlainSeq = {"PLAIN_SEQ", "1", "1", "999999999999999999999999999",
                                            "1", "N", "N", "20"};

// The sequence phase decodes Oracle's NOMAXVALUE of the releases before 12c.
class SequenceQueriesTest : public DictTest {
 protected:
  void SetUp() override { prepare("9.2.0"); }
};

TEST_F(SequenceQueriesTest, ReportLinesWithAndWithoutLastNumber) {
  for (bool withLast : {true, false}) {
    EXPECT_EQ(column(*scott, sequenceQuery(withLast, "", "SCOTT")),
              (std::vector<std::string>{sequenceColumns(kEmpSeq, withLast),
                                        sequenceColumns(kPlainSeq, withLast)}))
        << withLast;
  }
}

TEST_F(SequenceQueriesTest, CreateAndDropTails) {
  EXPECT_EQ(column(*scott, sequenceQuery(true, kSeqCreateTail, "SCOTT")),
            (std::vector<std::string>{
                sequenceColumns(kEmpSeq, true) +
                    "|CREATE SEQUENCE EMP_SEQ INCREMENT BY 10 START WITH 110 MAXVALUE 1000000 "
                    "MINVALUE 1 CYCLE CACHE 5 ORDER;",
                sequenceColumns(kPlainSeq, true) +
                    "|CREATE SEQUENCE PLAIN_SEQ INCREMENT BY 1 START WITH 2 NOMAXVALUE MINVALUE "
                    "1 NOCYCLE CACHE 20 NOORDER;"}));
  EXPECT_EQ(column(*scott, sequenceQuery(false, createTailFromMinValue(), "SCOTT")),
            (std::vector<std::string>{
                sequenceColumns(kEmpSeq, false) +
                    "|CREATE SEQUENCE EMP_SEQ INCREMENT BY 10 START WITH 1 MAXVALUE 1000000 "
                    "MINVALUE 1 CYCLE CACHE 5 ORDER;",
                sequenceColumns(kPlainSeq, false) +
                    "|CREATE SEQUENCE PLAIN_SEQ INCREMENT BY 1 START WITH 1 NOMAXVALUE MINVALUE 1 "
                    "NOCYCLE CACHE 20 NOORDER;"}));
  for (bool withLast : {true, false}) {
    EXPECT_EQ(column(*scott, sequenceQuery(withLast, kSeqDropTail, "SCOTT")),
              (std::vector<std::string>{sequenceColumns(kEmpSeq, withLast) + "|DROP SEQUENCE EMP_SEQ;",
                                        sequenceColumns(kPlainSeq, withLast) +
                                            "|DROP SEQUENCE PLAIN_SEQ;"}));
  }
}

TEST_F(SequenceQueriesTest, NocacheSequenceScriptsNocache) {
  runAll(*scott, {"create sequence zz_seq start with 5 maxvalue 99 nocache"});
  std::vector<std::string> lines = column(*scott, sequenceQuery(true, kSeqCreateTail, "SCOTT"));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[2].substr(lines[2].find('|')),
            "|CREATE SEQUENCE ZZ_SEQ INCREMENT BY 1 START WITH 6 MAXVALUE 99 MINVALUE 1 NOCYCLE "
            "NOCACHE NOORDER;");
}

TEST_F(SequenceQueriesTest, GeneratedCreateStatementsRun) {
  for (const char* version : {"9.2.0", "19.3.0"}) {
    prepare(version);
    std::vector<std::string> lines = column(*scott, sequenceQuery(true, kSeqCreateTail, "SCOTT"));
    ASSERT_EQ(lines.size(), 2u);
    runAll(*scott, {"drop sequence plain_seq"});
    std::string create = lines[1].substr(lines[1].find('|') + 1);
    create.pop_back();  // the script's ';'
    runAll(*scott, {create});
    // From 12c NOMAXVALUE is 28 nines, which the 27-nine decode does not recognise: the
    // statement names the value, with the same effect.
    bool recognised = create.find("NOMAXVALUE") != std::string::npos;
    EXPECT_EQ(recognised, std::string(version) == "9.2.0") << create;
    EXPECT_EQ(column(*scott,
                     "select max_value || ' ' || last_number from all_sequences where "
                     "sequence_name = 'PLAIN_SEQ'"),
              (std::vector<std::string>{
                  std::string(std::string(version) == "9.2.0" ? 27 : 28, '9') + " 2"}));
  }
}

TEST_F(SequenceQueriesTest, OwnerWithoutSequences) {
  EXPECT_TRUE(column(*other, sequenceQuery(true, "", "OTHER")).empty());
}

using PrivilegeQueriesTest = DictTest;

TEST_F(PrivilegeQueriesTest, SystemPrivilegeLines) {
  EXPECT_EQ(column(*scott, kSysPrivs),
            (std::vector<std::string>{pad("CREATE VIEW", 41) + " " + pad("NO", 13)}));
  runAll(*sys, {"grant create table to other with admin option"});
  std::vector<std::string> lines = column(*other, kSysPrivs);
  EXPECT_EQ(lines, (std::vector<std::string>{pad("CREATE TABLE", 41) + " " + pad("YES", 13)}));
  EXPECT_EQ(lines[0][42], 'Y');  // the admin flag where the upgrade merge reads it
}

TEST_F(PrivilegeQueriesTest, RolePrivilegeLines) {
  std::vector<std::string> lines = column(*scott, kRolePrivs);
  EXPECT_EQ(lines,
            (std::vector<std::string>{
                pad("CONNECT", 41) + " " + pad("NO", 13) + " " + pad("YES", 13) + " NO",
                pad("RESOURCE", 41) + " " + pad("NO", 13) + " " + pad("YES", 13) + " NO"}));
  EXPECT_EQ(lines[0][42], 'N');
  EXPECT_EQ(lines[0][56], 'Y');
}

TEST_F(PrivilegeQueriesTest, ObjectPrivilegeLinesOfTheOwner) {
  auto line = [](const char* privilege, const char* table, const char* grantable) {
    return pad(privilege, 41) + " " + pad(table, 31) + " " + pad("SCOTT", 31) + " " +
           pad("OTHER", 31) + " " + pad("SCOTT", 31) + " " + grantable;
  };
  std::vector<std::string> lines =
      column(*other, std::string(kObjPrivs) + "OTHER" + kObjPrivsTail);
  EXPECT_EQ(lines, (std::vector<std::string>{line("SELECT", "DEPT", "YES"),
                                             line("SELECT", "EMP", "NO"),
                                             line("UPDATE", "DEPT", "YES")}));
  // The fields where the statement builder reads them.
  EXPECT_EQ(lines[0].substr(42, 4), "DEPT");
  EXPECT_EQ(lines[0].substr(74, 5), "SCOTT");
  EXPECT_EQ(lines[0].substr(106, 5), "OTHER");
  EXPECT_EQ(lines[0].substr(138, 5), "SCOTT");
  EXPECT_EQ(lines[0][170], 'Y');
  // The owner's own line list holds no grants to it.
  EXPECT_TRUE(column(*scott, std::string(kObjPrivs) + "SCOTT" + kObjPrivsTail).empty());
}

// ---- data selects and data upgrade statements ----

class DataQueriesTest : public DictTest {
 protected:
  void SetUp() override {
    DictTest::SetUp();
    runAll(*scott,
           {"insert into dept values (10, 'ACCOUNTING', 'NEW YORK')",
            "insert into dept values (20, 'RESEARCH', NULL)",
            "insert into dept (deptno, dname) values (30, 'O''BRIEN')",
            "insert into emp (empno, ename, sal, notes, resume, deptno) values (7369, 'SMITH', "
            "800, 'a long note', 'resume text', 20)",
            "insert into emp (empno, ename, sal, deptno) values (7499, 'ALLEN', 1600, 30)"});
  }
};

TEST_F(DataQueriesTest, ReportAndUpgradeSelects) {
  EXPECT_EQ(query(*scott,
                  "select \"DEPTNO\", \"DNAME\", \"LOC\" from SCOTT.DEPT order by \"DEPTNO\", "
                  "\"DNAME\", \"LOC\""),
            (Rows{{"10", "ACCOUNTING", "NEW YORK"},
                  {"20", "RESEARCH", "NULL"},
                  {"30", "O'BRIEN", "NEW YORK"}}));
  auto stmt = scott->prepare(
      "select \"DEPTNO\", '#^@@$#', \"DNAME\", \"LOC\" from SCOTT.DEPT where DEPTNO > 10 order "
      "by \"DEPTNO\"");
  ASSERT_EQ(stmt->describe().size(), 4u);
  EXPECT_EQ(stmt->describe()[1].name, "'#^@@$#'");
  EXPECT_EQ(query(*scott,
                  "select \"DEPTNO\", '#^@@$#', \"DNAME\", \"LOC\" from SCOTT.DEPT where DEPTNO "
                  "> 10 order by \"DEPTNO\""),
            (Rows{{"20", "#^@@$#", "RESEARCH", "NULL"}, {"30", "#^@@$#", "O'BRIEN", "NEW YORK"}}));
}

TEST_F(DataQueriesTest, LobColumnsAreReplacedAndLongsAreRead) {
  // The rewritten select list of a table with a CLOB and a BLOB.
  Rows rows = query(*scott,
                    "select \"EMPNO\", '#^@@$#', \"ENAME\", \"NOTES\", '-lob not shown-' , "
                    "'-lob not shown-'  from SCOTT.EMP order by \"EMPNO\"");
  EXPECT_EQ(rows, (Rows{{"7369", "#^@@$#", "SMITH", "a long note", "-lob not shown-",
                         "-lob not shown-"},
                        {"7499", "#^@@$#", "ALLEN", "NULL", "-lob not shown-",
                         "-lob not shown-"}}));
  // Release 7: bare column names.
  prepare("7.3.4");
  runAll(*scott, {"insert into dept values (10, 'ACCOUNTING', 'NEW YORK')"});
  EXPECT_EQ(query(*scott, "select DEPTNO, DNAME, LOC from SCOTT.DEPT order by DEPTNO, DNAME, LOC"),
            (Rows{{"10", "ACCOUNTING", "NEW YORK"}}));
}

TEST_F(DataQueriesTest, UpgradeStatementsTouchOneRow) {
  EXPECT_EQ(exec(*scott,
                 "INSERT INTO DEPT (\"DEPTNO\", \"DNAME\", \"LOC\")\r\nVALUES (40, 'OPERATIONS', "
                 "'BOSTON')"),
            1u);
  EXPECT_EQ(exec(*scott,
                 "UPDATE DEPT SET \"LOC\" = 'DALLAS'\r\nWHERE \"DEPTNO\" = 20 and ROWNUM = 1"),
            1u);
  EXPECT_EQ(exec(*scott,
                 "UPDATE EMP SET \"SAL\" = 900, \"ENAME\" = 'O''NEIL'\r\nWHERE \"EMPNO\" = 7369 "
                 "and \"JOB\" IS NULL and ROWNUM = 1"),
            1u);
  EXPECT_EQ(exec(*scott, "DELETE FROM DEPT\r\nWHERE \"DEPTNO\" = 40 and ROWNUM = 1"), 1u);
  EXPECT_EQ(query(*scott, "select deptno, loc from dept order by deptno"),
            (Rows{{"10", "NEW YORK"}, {"20", "DALLAS"}, {"30", "NEW YORK"}}));
  EXPECT_EQ(query(*scott, "select ename, sal from emp where empno = 7369"),
            (Rows{{"O'NEIL", "900"}}));
  // Dates travel as to_date literals in the DateFormat setting.
  EXPECT_EQ(exec(*scott,
                 "UPDATE EMP SET \"HIREDATE\" = to_date('01/05/2024 10:11','MM/DD/YYYY "
                 "HH24:MI')\r\nWHERE \"EMPNO\" = 7499 and ROWNUM = 1"),
            1u);
  EXPECT_EQ(column(*scott, "select to_char(hiredate, 'YYYY-MM-DD HH24:MI') from emp where empno = "
                           "7499"),
            (std::vector<std::string>{"2024-01-05 10:11"}));
}

}  // namespace
}  // namespace ocisim::dict::testing
