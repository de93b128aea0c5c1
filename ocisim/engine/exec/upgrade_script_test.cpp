// Statements as the product writes them into upgrade scripts (CR LF line ends, tabs, comment
// lines inside statements), run the way the ocisim tool runs a script.
#include "engine/exec/demo_fixture.h"

namespace ocisim::testing {
namespace {

class UpgradeScriptTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    exec(*sys, "create user scott identified by tiger");
    exec(*sys, "grant connect, resource to scott");
    exec(*sys, "create user target identified by t");
    // The script puts an index in INDX, as generated from a database that has one.
    exec(*sys, "create tablespace indx datafile 'indx01.dbf' size 10m");
    scott = db->logon("SCOTT", "tiger");
  }
  std::unique_ptr<Session> scott;
};

const char* const kTables =
    "/************************************************************************************"
    "************************************\r\n*\r\n*  The following statements will create "
    "tables that DO NOT exist in TARGET@DB2\r\n*\r\n***************************************"
    "*********************************************************************************/\r\n"
    "\r\n/*  DEPT  */\r\n"
    "CREATE TABLE DEPT (\r\n\t \"DEPTNO\"\tNUMBER(2)\tNOT NULL\r\n\t,\"DNAME\"\tVARCHAR2(14)\t"
    "    NULL\r\n)\r\nPCTFREE  10\r\nPCTUSED  40\r\nINITRANS 1\r\nMAXTRANS 255\r\n;\r\n"
    "ALTER TABLE DEPT ADD (\r\n\tCONSTRAINT PK_DEPT\r\n\tPRIMARY KEY\r\n\t            (\r\n\t"
    "            DEPTNO\r\n\t            )\r\n\tUSING INDEX\r\n\tPCTFREE    10\r\n\tINITRANS   2"
    "\r\n\tMAXTRANS   255\r\n\tTABLESPACE USERS\r\n)\r\n;\r\n"
    "\r\n/*  EMP  */\r\n"
    "CREATE TABLE EMP (\r\n\t \"EMPNO\"\tNUMBER(4)\tNOT NULL\r\n\t,\"ENAME\"\tVARCHAR2(10)\t    "
    "NULL\r\n\t,\"DEPTNO\"\tNUMBER(2)\t    NULL\r\n\t,\"HIREDATE\"\tDATE DEFAULT sysdate\t    "
    "NULL\r\n)\r\nPCTFREE  10\r\nPCTUSED  40\r\nINITRANS 1\r\nMAXTRANS 255\r\nTABLESPACE USERS\r\n"
    "    STORAGE (\r\n\tINITIAL 64K\r\n\tNEXT 64K\r\n\tMINEXTENTS 1\r\n\tMAXEXTENTS 2147483645\r\n"
    "\tPCTINCREASE 0\r\n\tFREELISTS 1 FREELIST GROUPS 1\r\n        )\r\n;\r\n"
    "ALTER TABLE EMP ADD (\r\n\tCONSTRAINT PK_EMP\r\n\tPRIMARY KEY\r\n\t            (\r\n\t      "
    "      EMPNO\r\n\t            )\r\n\tUSING INDEX\r\n\tPCTFREE    10\r\n\tINITRANS   2\r\n\t"
    "MAXTRANS   255\r\n\tTABLESPACE INDX\r\n)\r\n;\r\n"
    "ALTER TABLE EMP ADD (\r\n\tCONSTRAINT FK_EMP_DEPT\r\n\tFOREIGN KEY\r\n\t            (\r\n\t "
    "           DEPTNO\r\n\t            )\r\n\tREFERENCES DEPT\r\n\t            (\r\n\t        "
    "    DEPTNO\r\n\t            )\r\nON DELETE CASCADE\r\n)\r\n;\r\n"
    "ALTER TABLE EMP ADD (\r\n\tCONSTRAINT CK_EMPNO\r\n\tCHECK\r\n\t(\r\n\tEMPNO >\r\n\t0\r\n\t)"
    "\r\n)\r\n;\r\n"
    "ALTER TABLE EMP ADD (\r\n\tCHECK\r\n-- original system constraint name was SYS_C004711\r\n"
    "\t(\r\n\tEMPNO < 10000\r\n\t)\r\n)\r\n;\r\n"
    "CREATE INDEX IX_EMP_NAME ON EMP\r\n\t(\r\n\t ENAME\r\n\t ,HIREDATE\r\n\t)\r\n\tPCTFREE    10"
    "\r\n\tINITRANS   2\r\n\tMAXTRANS   255\r\n\tTABLESPACE USERS\r\n\tCOMPRESS 1\r\n;\r\n";

const char* const kChanges =
    "\r\nALTER TABLE EMP ADD ( BONUS NUMBER DEFAULT 0 NOT NULL  );\r\n"
    "\r\nALTER TABLE EMP MODIFY ( ENAME VARCHAR2(20) NOT NULL  );\r\n"
    "\r\nALTER TABLE EMP MODIFY ( ENAME VARCHAR2(20) NULL  );\r\n"
    "\r\nALTER TABLE EMP DROP COLUMN BONUS;\r\n"
    "\r\n/*  EMP  */\r\nDROP INDEX IX_EMP_NAME;\r\n"
    "ALTER TABLE EMP DROP CONSTRAINT CK_EMPNO;\r\n"
    "DROP SEQUENCE EMP_SEQ;\r\n"
    "CREATE SEQUENCE EMP_SEQ INCREMENT BY 1 START WITH 21 MAXVALUE 9999999999999999999999999999 "
    "MINVALUE 1 NOCYCLE CACHE 20 NOORDER;\r\n"
    "CREATE SEQUENCE DEPT_SEQ INCREMENT BY 10 START WITH 50 NOMAXVALUE MINVALUE 10 NOCYCLE "
    "NOCACHE NOORDER;\r\n"
    "GRANT SELECT ON SCOTT.EMP TO TARGET WITH GRANT OPTION;\r\n"
    "REVOKE SELECT ON SCOTT.DEPT FROM TARGET;\r\n";

const char* const kData =
    "\r\nINSERT INTO DEPT (\"DEPTNO\", \"DNAME\")\r\nVALUES (10, 'Sales');\r\n"
    "\r\nINSERT INTO EMP (\"EMPNO\", \"ENAME\", \"DEPTNO\", \"HIREDATE\")\r\nVALUES (7, "
    "'O''Brien', 10, to_date('02/16/1972 00:00','MM/DD/YYYY HH24:MI'));\r\n"
    "\r\nINSERT INTO EMP (\"EMPNO\", \"ENAME\", \"DEPTNO\", \"HIREDATE\")\r\nVALUES (8, NULL, "
    "NULL, NULL);\r\n"
    "\r\nUPDATE EMP SET \"ENAME\" = 'King'\r\nWHERE \"EMPNO\" = 8 and ROWNUM = 1;\r\n"
    "-- ROWNUM=1 added to prevent updating more than a single row, if multiple records need be "
    "updated, multiple statements will be generated.\r\n"
    "\r\nDELETE FROM EMP\r\nWHERE \"EMPNO\" = 7 and \"DEPTNO\" IS NULL and ROWNUM = 1;\r\n"
    "-- ROWNUM=1 added to prevent deleting more than a single row, if multiple records need be "
    "deleted, multiple statements will be generated.\r\n";

TEST_F(UpgradeScriptTest, GeneratedDdlRuns) {
  ASSERT_EQ(runScript(*scott, kTables), std::vector<std::string>{});
  const Catalog& cat = db->catalog();
  EXPECT_EQ(cat.findTable("SCOTT", "EMP")->storage.nextExtent, 65536);
  EXPECT_EQ(cat.findIndex("SCOTT", "PK_EMP")->storage.tablespace, "INDX");
  EXPECT_EQ(cat.findConstraint("SCOTT", "FK_EMP_DEPT")->deleteRule, DeleteRule::Cascade);
  EXPECT_EQ(cat.findIndex("SCOTT", "IX_EMP_NAME")->compressPrefix, 1);
  int systemChecks = 0;
  for (Constraint* c : cat.constraintsOf("SCOTT", "EMP")) {
    if (c->generatedName && c->notNullColumn.empty()) {
      ++systemChecks;
      EXPECT_EQ(c->searchCondition, "EMPNO < 10000");
    }
  }
  EXPECT_EQ(systemChecks, 1);
  EXPECT_EQ(cat.findTable("SCOTT", "EMP")->columns[3].defaultText, "sysdate\t    ")
      << "DATA_DEFAULT keeps the text up to the next token, as Oracle does";

  exec(*scott, "create sequence emp_seq");
  exec(*scott, "grant select on dept to target");
  EXPECT_EQ(runScript(*scott, kChanges), std::vector<std::string>{});
  EXPECT_EQ(cat.findTable("SCOTT", "EMP")->columns.size(), 4u);
  EXPECT_TRUE(cat.isNullable("SCOTT", "EMP", "ENAME"));
  EXPECT_EQ(cat.findSequence("SCOTT", "EMP_SEQ")->nextValue.toString(), "21");
  EXPECT_EQ(cat.findSequence("SCOTT", "DEPT_SEQ")->cacheSize, 0);
  EXPECT_TRUE(cat.hasObjectPrivilege("TARGET", "SCOTT", "EMP", "SELECT"));
  EXPECT_FALSE(cat.hasObjectPrivilege("TARGET", "SCOTT", "DEPT", "SELECT"));

  EXPECT_EQ(runScript(*scott, kData), std::vector<std::string>{});
  EXPECT_EQ(query(*scott,
                  "select empno, ename, to_char(hiredate, 'YYYY-MM-DD') from emp order "
                  "by empno"),
            (Rows{{"7", "O'Brien", "1972-02-16"}, {"8", "King", "NULL"}}))
      << "the DELETE matched no row: DEPTNO of employee 7 is 10";
}

TEST_F(UpgradeScriptTest, ScriptFailuresAreReportedNotHidden) {
  ASSERT_EQ(runScript(*scott, kTables), std::vector<std::string>{});
  std::vector<std::string> failures =
      runScript(*scott,
                "INSERT INTO EMP (\"EMPNO\", \"DEPTNO\")\r\nVALUES (1, 99);\r\n"
                "ALTER TABLE EMP MODIFY ( ENAME VARCHAR2(10) NULL  );\r\n"
                "DROP TABLE DEPT;\r\n");
  ASSERT_EQ(failures.size(), 3u);
  EXPECT_NE(failures[0].find("ORA-02291"), std::string::npos);
  EXPECT_NE(failures[1].find("ORA-01451"), std::string::npos);
  EXPECT_NE(failures[2].find("ORA-02449"), std::string::npos);
}

}  // namespace
}  // namespace ocisim::testing

namespace ocisim::testing {
namespace {

// Stored code, views and triggers re-created from the texts the dictionary gave back.
class RecreateFromDictionaryTest : public DemoTest {};

TEST_F(RecreateFromDictionaryTest, TriggerViewAndCodeTextsRunAgain) {
  std::string script =
      "CREATE OR REPLACE TRIGGER \"ORDERS_BI\" BEFORE\nINSERT\n ON \"ORDERS\"\nFOR EACH ROW\n "
      "WHEN (new.order_id IS NULL)\nBEGIN\n  SELECT orders_seq.NEXTVAL INTO :new.order_id FROM "
      "dual;\nEND;\n/\n"
      "CREATE OR REPLACE VIEW PRODUCT_STOCK_V (PRODUCT_ID, PRODUCT_NAME, ON_HAND ) AS\n"
      "SELECT p.product_id, p.product_name, SUM(i.quantity_on_hand) AS on_hand\n"
      "    FROM products p, inventories i\n   WHERE i.product_id = p.product_id\n"
      "   GROUP BY p.product_id, p.product_name;\n"
      "CREATE OR REPLACE PACKAGE loyalty AS\n  FUNCTION tier_for (p_total IN NUMBER) RETURN "
      "VARCHAR2;\nEND loyalty;\n/\n";
  ASSERT_EQ(runScript(*oe, script), std::vector<std::string>{});
  const Catalog& cat = db->catalog();
  EXPECT_EQ(cat.findTrigger("OE", "ORDERS_BI")->whenClause, "new.order_id IS NULL");
  EXPECT_EQ(cat.findView("OE", "PRODUCT_STOCK_V")->columns.size(), 3u);
  EXPECT_EQ(cat.findCode("OE", "LOYALTY", ObjectKind::Package)->lines.size(), 3u);
  EXPECT_NE(cat.findCode("OE", "LOYALTY", ObjectKind::PackageBody), nullptr)
      << "replacing a package spec keeps its body";
}

}  // namespace
}  // namespace ocisim::testing
