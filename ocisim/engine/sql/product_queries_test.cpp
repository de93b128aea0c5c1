// Every statement text the comparison tool sends to a database must parse unchanged: the
// session set-up, the catalog and dictionary queries of each comparer, the server-output
// reader, the data selects and the statements of generated upgrade scripts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/sql/parser.h"
#include "engine/sql/test_support.h"

namespace ocisim::sql {
namespace {

void expectParses(const std::vector<std::string>& texts, StatementKind kind) {
  for (const std::string& text : texts) {
    try {
      auto stmt = parseStatement(text);
      EXPECT_EQ(stmt->kind, kind) << text;
    } catch (const OraError& e) {
      ADD_FAILURE() << text << "\n  failed: " << e.what();
    }
  }
}

TEST(ProductQueries, SessionSetUpAndServerOutput) {
  expectParses({"select global_name from global_name"}, StatementKind::Select);
  expectParses({"alter session set nls_date_format = 'MM/DD/YYYY HH24:MI'"},
               StatementKind::AlterSession);
  expectParses({"declare line varchar2(4000); begin dbms_output.get_line( line, :more); :line "
                ":= nvl(line,' '); end;",
                "begin dbms_output.enable(100000); end;", "begin dbms_output.disable; end;"},
               StatementKind::PlsqlBlock);
}

TEST(ProductQueries, ServerOutputReaderShape) {
  auto stmt = parseAs<PlsqlBlockStmt>(
      "declare line varchar2(4000); begin dbms_output.get_line( line, :more); :line := "
      "nvl(line,' '); end;");
  EXPECT_EQ(stmt->ociStatementType(), 9);
  EXPECT_EQ(stmt->bindNames, (std::vector<std::string>{"MORE", "LINE"}));
  const PlsqlBlock& b = stmt->block;
  ASSERT_EQ(b.declarations.size(), 1u);
  EXPECT_EQ(b.declarations[0].type.name, "VARCHAR2");
  EXPECT_EQ(b.declarations[0].type.length, 4000);
  ASSERT_EQ(b.body.size(), 2u);
  EXPECT_EQ(b.body[0]->kind, PlsqlStmtKind::Call);
  EXPECT_EQ(b.body[0]->value->names, (std::vector<std::string>{"DBMS_OUTPUT", "GET_LINE"}));
  EXPECT_EQ(b.body[0]->value->args[1]->kind, ExprKind::Bind);
  EXPECT_EQ(b.body[1]->kind, PlsqlStmtKind::Assign);
  EXPECT_EQ(b.body[1]->target->text, "LINE");
}

TEST(ProductQueries, CatalogLists) {
  expectParses(
      {"SELECT table_name from all_catalog where owner = 'SCOTT' and table_type = 'TABLE'",
       "SELECT table_name from all_catalog where owner = 'SCOTT' and table_type = 'VIEW'",
       "select object_name from all_objects where owner = 'SCOTT' and object_type = 'PACKAGE "
       "BODY' order by object_name",
       "SELECT username FROM all_users",
       "select column_name from all_tab_columns where owner = :owner and table_name = :name "
       "order by column_id asc",
       "SELECT text FROM all_views WHERE owner = :bind1 and view_name= :bind2",
       "SELECT trigger_body FROM all_triggers WHERE owner=:bind1 and trigger_name=:bind2",
       "select text from all_source where owner = :owner and name = :name and type = :type "
       "order by line asc",
       "select '(' || line || ') ' || text from all_source where owner = :owner and name = "
       ":name and type = :type order by line asc"},
      StatementKind::Select);
}

TEST(ProductQueries, TriggerHeader) {
  const std::string text =
      "select '\"' || trigger_name || '\" ' || decode( substr( trigger_type, 1, 1 ),'A', "
      "'AFTER', 'B', 'BEFORE', 'I', 'INSTEAD OF' ) ||chr(10) ||triggering_event || chr(10) "
      "||' ON \"' ||table_name || '\"' || decode(referencing_names,null,'','REFERENCING NEW AS "
      "NEW OLD AS OLD','',chr(10)||referencing_names) || chr(10) ||decode( instr( "
      "trigger_type, 'EACH ROW' ), 0, null,'FOR EACH ROW' ) || chr(10) || "
      "decode(when_clause,null,'',' WHEN ('||when_clause ) from all_triggers where owner = "
      ":owner and trigger_name = :objname";
  auto stmt = parseAs<SelectStmt>(text);
  EXPECT_EQ(stmt->query->block->items.size(), 1u);
  EXPECT_EQ(stmt->bindNames, (std::vector<std::string>{"OWNER", "OBJNAME"}));
}

// The column query: one template with three pieces chosen by output mode and server version.
TEST(ProductQueries, ColumnQueryVariants) {
  const std::string plain = "data_type";
  const std::string decodeType =
      "decode(data_type,'DATE','','ROWID','','LONG RAW','','INTEGER','','BLOB','','CLOB','',  "
      "'LONG','', 'NUMBER',decode(data_precision,null,'', 0,'', "
      "'('||to_char(data_precision)||decode(data_scale,NULL,')',0,')',','||to_char(data_scale)"
      "||')')),decode(data_length,null,'',0,'','('||to_char(data_length)||')'))";
  const std::string formatted = "data_type || " + decodeType;
  const std::string withOwner =
      "data_type || decode(data_type_owner,NULL," + decodeType + ",'')";
  std::vector<std::string> texts;
  for (const std::string& type : {plain, formatted, withOwner}) {
    for (const std::string nullWord : {"    NULL ", "NULL "}) {
      for (const std::string owner : {"' '", "nvl(data_type_owner,' ')"}) {
        texts.push_back("select column_name, " + type +
                        ", to_char(data_length), to_char(nvl(data_precision,0)),to_char(nvl("
                        "data_scale,-1)),decode(nvl(nullable,'Y'),'Y','" +
                        nullWord + "','NOT NULL '),data_default," + owner +
                        " from all_tab_columns where owner = :owner and table_name = :name "
                        "order by column_id");
      }
    }
  }
  expectParses(texts, StatementKind::Select);
  auto stmt = parseAs<SelectStmt>(texts.back());
  EXPECT_EQ(stmt->query->block->items.size(), 8u);
}

TEST(ProductQueries, IndexesAndConstraints) {
  expectParses(
      {"select all_indexes.table_owner,decode(nvl(all_indexes.uniqueness,'NOT'),'UNIQUE','    "
       "UNIQUE ','NOT UNIQUE '),all_indexes.index_name,nvl(all_ind_columns.column_name,' ') "
       "from all_indexes ,all_ind_columns  where all_indexes.owner = :owner1 and "
       "all_indexes.table_owner = :owner2 and all_indexes.table_name = :name and "
       "all_ind_columns.index_owner = all_indexes.owner and all_indexes.index_name = "
       "all_ind_columns.index_name AND all_indexes.index_name NOT IN (SELECT c.constraint_name "
       "from all_constraints c WHERE c.constraint_type IN ('P','U') AND c.table_name = "
       "all_indexes.table_name) order by all_indexes.index_name, column_position",
       "select constraint_name,constraint_type,delete_rule,search_condition from "
       "all_constraints where owner = :owner and table_name = :name and constraint_name not "
       "like 'SYS_C%' order by constraint_name",
       "select constraint_name,constraint_type,delete_rule,search_condition from "
       "all_constraints where owner = :owner and table_name = :name order by constraint_name",
       "select column_name from all_cons_columns where owner = :owner and constraint_name = "
       ":name",
       "select co.column_name from all_constraints c, all_cons_columns co where c.owner = "
       ":owner and c.table_name = :name and constraint_type = 'P' and c.owner = co.owner and  "
       "c.constraint_name = co.constraint_name",
       "select index_name from all_indexes where table_owner = :owner and table_name = "
       ":objname and uniqueness = 'UNIQUE' and rownum = 1",
       "select c.column_name from all_ind_columns c where c.table_owner = :owner and "
       "c.index_name = :name"},
      StatementKind::Select);
}

TEST(ProductQueries, ViewColumns) {
  expectParses(
      {"select column_name, data_type, data_length, nvl(data_precision,0),nvl(data_scale,-1),"
       "decode(nvl(nullable,'Y'),'Y','    NULL ','NOT NULL '),' ' from all_tab_columns where "
       "owner = :owner and table_name = :name order by column_id",
       "select column_name, data_type, data_length, nvl(data_precision,0),nvl(data_scale,-1),"
       "decode(nvl(nullable,'Y'),'Y','    NULL ','NOT NULL '),nvl(data_type_owner,' ') from "
       "all_tab_columns where owner = :owner and table_name = :name order by column_id"},
      StatementKind::Select);
}

TEST(ProductQueries, SequenceLines) {
  auto pad = [](const std::string& column, int spaces, int width) {
    return "substr(" + column + "||'" + std::string(spaces, ' ') + "',0," +
           std::to_string(width) + ")";
  };
  const std::string tail = "from all_sequences where sequence_owner = 'SCOTT' order by "
                           "sequence_name";
  std::string common = pad("min_value", 30, 30) + " || ' ' || " + pad("max_value", 30, 30) +
                       " || ' ' || " + pad("increment_by", 15, 13) + " || ' ' || " +
                       pad("cycle_flag", 13, 11) + " || ' ' || " + pad("order_flag", 13, 11) +
                       " || ' ' || " + pad("cache_size", 13, 11);
  std::string withLast = "select " + pad("sequence_name", 40, 31) + " || ' ' || " +
                         pad("last_number", 40, 30) + " || ' ' || " + common;
  std::string withoutLast = "select " + pad("sequence_name", 40, 31) + " || ' ' || " + common;
  std::string createTail =
      "||'|CREATE SEQUENCE '||sequence_name||' INCREMENT BY '||increment_by||' START WITH "
      "'||(last_number+increment_by)||decode(max_value,999999999999999999999999999,' "
      "NOMAXVALUE', ' MAXVALUE ' || max_value) || ' MINVALUE ' || "
      "min_value||decode(cycle_flag,'N',' NOCYCLE',' CYCLE')||decode(cache_size,0,' NOCACHE','"
      " CACHE '||cache_size)||decode(order_flag,'N',' NOORDER;',' ORDER;') ";
  std::string createFromMin = createTail;
  createFromMin.replace(createFromMin.find("(last_number+increment_by)"), 26, "min_value");
  const std::string dropTail = "||'|DROP SEQUENCE '||sequence_name||';' ";
  expectParses({withLast + " " + tail, withoutLast + " " + tail, withLast + dropTail + tail,
                withoutLast + dropTail + tail, withLast + createTail + tail,
                withoutLast + createFromMin + tail},
               StatementKind::Select);
}

TEST(ProductQueries, Privileges) {
  expectParses(
      {"select substr(privilege||'                                        ',0,41) || ' ' || "
       "substr(admin_option||'            ',0,13) from user_sys_privs order by privilege",
       "select substr(granted_role||'                                        ',0,41) || ' ' || "
       "substr(admin_option||'            ',0,13)  || ' ' || substr(default_role||'           "
       " ',0,13) || ' ' || os_granted from user_role_privs order by granted_role",
       "select substr(privilege||'                                          ',0,41) || ' ' || "
       "substr(table_name||'                                   ',0,31) || ' ' || "
       "substr(table_schema||'                                   ',0,31) || ' ' || "
       "substr(grantee||'                                   ',0,31) || ' ' || "
       "substr(grantor||'                                   ',0,31) || ' ' || grantable from "
       "all_tab_privs where grantee = 'SCOTT' order by privilege,table_name"},
      StatementKind::Select);
}

TEST(ProductQueries, DataSelects) {
  expectParses(
      {"select \"ID\", \"NAME\", '#^@@$#', \"NOTE\" from SCOTT.EMP where ID > 5 order by "
       "\"ID\"",
       "select ID, NAME, NOTE from SCOTT.EMP order by ID, NAME",
       "select \"ID\", '-lob not shown-' , \"NAME\" from SCOTT.DOCS order by \"ID\"",
       "select\n\"A\", \"B\"\nfrom \"SCOTT\".\"MY TABLE\" where\t\"A\" like 'x%' order by "
       "\"A\", \"B\"",
       "select * from SCOTT.EMP_VIEW"},
      StatementKind::Select);
  auto stmt = parseAs<SelectStmt>("select \"ID\", '#^@@$#' from SCOTT.EMP");
  EXPECT_EQ(stmt->query->block->items[1].name, "'#^@@$#'");
}

TEST(ProductQueries, UpgradeScriptData) {
  expectParses({"INSERT INTO EMP (\"ID\", \"NAME\", \"HIRED\")\r\nVALUES (1, 'O''Brien', "
                "to_date('01/31/2020 10:00','MM/DD/YYYY HH24:MI'))",
                "INSERT INTO EMP (ID, NAME)\r\nVALUES (2, NULL)"},
               StatementKind::Insert);
  expectParses({"UPDATE EMP SET \"NOTE\" = 'x', \"HIRED\" = to_date('01/31/2020 "
                "10:00','MM/DD/YYYY HH24:MI')\r\nWHERE \"ID\" = 1 and ROWNUM = 1"},
               StatementKind::Update);
  expectParses({"DELETE FROM EMP\r\nWHERE \"ID\" = 1 and \"CODE\" IS NULL and ROWNUM = 1"},
               StatementKind::Delete);
}

TEST(ProductQueries, UpgradeScriptStructure) {
  expectParses({"DROP TABLE T", "DROP INDEX I_T_A", "DROP SEQUENCE S"}, StatementKind::Drop);
  expectParses({"ALTER TABLE T DROP COLUMN C", "ALTER TABLE T ADD ( C NUMBER DEFAULT 0 NOT NULL  )",
                "ALTER TABLE T MODIFY ( C VARCHAR2(10) NULL  )",
                "ALTER TABLE T MODIFY ( C VARCHAR2(30) DEFAULT 'X' NOT NULL  )",
                "ALTER TABLE T DROP CONSTRAINT FK_T_U"},
               StatementKind::AlterTable);
  expectParses({"CREATE SEQUENCE S INCREMENT BY 1 START WITH 21 NOMAXVALUE MINVALUE 1 NOCYCLE "
                "NOCACHE NOORDER",
                "CREATE SEQUENCE S2 INCREMENT BY -1 START WITH 100 MAXVALUE 1000 MINVALUE -5 "
                "CYCLE CACHE 20 ORDER"},
               StatementKind::CreateSequence);
  expectParses({"GRANT CREATE TABLE TO SCOTT", "GRANT DBA TO SCOTT WITH ADMIN OPTION",
                "GRANT SELECT ON SCOTT.EMP TO BLAKE WITH GRANT OPTION"},
               StatementKind::Grant);
  expectParses({"REVOKE CONNECT FROM SCOTT", "REVOKE SELECT ON SCOTT.EMP FROM BLAKE"},
               StatementKind::Revoke);
}

TEST(ProductQueries, GeneratedCreateTable) {
  auto stmt = parseAs<CreateTableStmt>(
      "CREATE TABLE EMP (\n"
      "\t \"ID\"\tNUMBER(10)\tNOT NULL\n"
      "\t,\"NAME\"\tVARCHAR2(30) DEFAULT 'x'\n"
      "\t    NULL\n"
      "\t,\"Mixed Case\"\tDATE DEFAULT sysdate\t    NULL\n"
      "\t,\"AMOUNT\"\tNUMBER(12,2)\t    NULL\n"
      "\t,\"RATE\"\tFLOAT(126)\t    NULL\n"
      "\t,\"MEMO\"\tLONG\t    NULL\n"
      ")\n"
      "PCTFREE  10\nPCTUSED  40\nINITRANS 1\nMAXTRANS 255\nTABLESPACE USERS\n"
      "    STORAGE (\n\tINITIAL 64K\n\tNEXT 1M\n\tMINEXTENTS 1\n\tMAXEXTENTS 2147483645\n"
      "\tPCTINCREASE 0\n\tFREELISTS 1 FREELIST GROUPS 1\n        )\n");
  ASSERT_EQ(stmt->columns.size(), 6u);
  EXPECT_EQ(stmt->columns[2].name, "Mixed Case");
  EXPECT_EQ(stmt->columns[1].defaultText, "'x'\n\t    ");
  EXPECT_EQ(stmt->columns[2].defaultText, "sysdate\t    ");
  EXPECT_EQ(stmt->storage.initial, 65536);
  EXPECT_EQ(stmt->storage.next, 1048576);
  EXPECT_EQ(stmt->storage.freelistGroups, 1);
  EXPECT_EQ(stmt->storage.tablespace, "USERS");
}

TEST(ProductQueries, GeneratedConstraintsAndIndexes) {
  auto pk = parseAs<AlterTableStmt>(
      "ALTER TABLE T ADD (\n\tCONSTRAINT PK_T\n\tPRIMARY KEY\n\t            (\n\t            A\n"
      "\t            ,B\n\t            )\n\tUSING INDEX\n\tPCTFREE    10\n\tINITRANS   2\n"
      "\tMAXTRANS   255\n\tTABLESPACE USERS\n)\n");
  ASSERT_EQ(pk->actions.size(), 1u);
  ASSERT_EQ(pk->actions[0].constraints.size(), 1u);
  const ConstraintDef& c = pk->actions[0].constraints[0];
  EXPECT_EQ(c.kind, ConstraintKind::PrimaryKey);
  EXPECT_EQ(c.columns, (std::vector<std::string>{"A", "B"}));
  EXPECT_TRUE(c.hasUsingIndex);
  EXPECT_EQ(c.usingIndex.iniTrans, 2);
  auto check = parseAs<AlterTableStmt>(
      "ALTER TABLE T ADD (\n\tCHECK\n-- original system constraint name was SYS_C0012\n\t(\n"
      "\tamount > 0 and\n\tamount < 100\n\t)\n)\n");
  EXPECT_EQ(check->actions[0].constraints[0].checkText, "amount > 0 and\n\tamount < 100");
  auto fk = parseAs<AlterTableStmt>(
      "ALTER TABLE T ADD (\n\tCONSTRAINT FK_T\n\tFOREIGN KEY\n\t            (\n\t            "
      "U_ID\n\t            )\n\tREFERENCES U\n\t            (\n\t            ID\n\t           "
      " )\n\tON DELETE CASCADE\n)");
  EXPECT_EQ(fk->actions[0].constraints[0].onDelete, DeleteRule::Cascade);
  auto index = parseAs<CreateIndexStmt>(
      "CREATE UNIQUE INDEX I_T ON T\n\t(\n\t A\n\t ,B\n\t)\n\tPCTFREE    10\n\tINITRANS   2\n"
      "\tMAXTRANS   255\n\tTABLESPACE USERS\n\tCOMPRESS 1\n");
  EXPECT_TRUE(index->unique);
  EXPECT_EQ(index->columns.size(), 2u);
  EXPECT_EQ(index->storage.compress, 1);
}

}  // namespace
}  // namespace ocisim::sql
