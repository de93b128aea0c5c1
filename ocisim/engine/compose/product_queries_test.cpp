// Every dictionary query the product sends, unchanged, against the demo schema, with the
// answers Oracle gives.
#include "engine/compose/demo_fixture.h"

namespace ocisim::testing {
namespace {

using Strings = std::vector<std::string>;

class ProductQueryTest : public DemoTest {};

TEST_F(ProductQueryTest, SessionAndCatalogLists) {
  EXPECT_EQ(column(*oe, "select global_name from global_name"), Strings{"TESTDB"});
  EXPECT_EQ(
      column(*oe,
             "SELECT table_name from all_catalog where owner = 'OE' and table_type = "
             "'VIEW'"),
      (Strings{"BIG_OPEN_ORDERS_V", "CUSTOMER_ORDERS_V", "OPEN_ORDERS_V", "PRODUCT_STOCK_V"}));
  EXPECT_EQ(column(*oe,
                   "SELECT table_name from all_catalog where owner = 'OE' and table_type = "
                   "'TABLE'")
                .size(),
            13u);
  EXPECT_EQ(column(*oe,
                   "select object_name from all_objects where owner = 'OE' and "
                   "object_type = 'PACKAGE BODY' order by object_name"),
            (Strings{"LOYALTY", "ORDER_API"}));
  EXPECT_EQ(column(*oe, "SELECT username FROM all_users").size(), 4u);
  EXPECT_EQ(errorCode(*oe, "alter session set nls_date_format = 'MM/DD/YYYY HH24:MI'"), 0);
  EXPECT_EQ(column(*oe, "select date_of_birth from customers where customer_id = 101"),
            Strings{"02/16/1972 00:00"});
}

TEST_F(ProductQueryTest, ViewTriggerAndSourceTexts) {
  EXPECT_EQ(column(*oe,
                   "select column_name from all_tab_columns where owner = :owner and "
                   "table_name = :name order by column_id asc",
                   binds({{":owner", "OE"}, {":name", "PRODUCT_STOCK_V"}})),
            (Strings{"PRODUCT_ID", "PRODUCT_NAME", "ON_HAND"}));
  auto text = column(*oe, "SELECT text FROM all_views WHERE owner = :bind1 and view_name= :bind2",
                     binds({{":bind1", "OE"}, {":bind2", "PRODUCT_STOCK_V"}}));
  ASSERT_EQ(text.size(), 1u);
  EXPECT_EQ(text[0].rfind("SELECT p.product_id, p.product_name", 0), 0u);
  std::string header =
      "select '\"' || trigger_name || '\" ' || decode( substr( trigger_type, 1, 1 ),'A', "
      "'AFTER', 'B', 'BEFORE', 'I', 'INSTEAD OF' ) ||chr(10) ||triggering_event || chr(10) ||' "
      "ON \"' ||table_name || '\"' || decode(referencing_names,null,'','REFERENCING NEW AS NEW "
      "OLD AS OLD','',chr(10)||referencing_names) || chr(10) ||decode( instr( trigger_type, "
      "'EACH ROW' ), 0, null,'FOR EACH ROW' ) || chr(10) || decode(when_clause,null,'',' WHEN "
      "('||when_clause ) from all_triggers where owner = :owner and trigger_name = :objname";
  EXPECT_EQ(column(*oe, header, binds({{":owner", "OE"}, {":objname", "ORDERS_BI"}})),
            Strings{"\"ORDERS_BI\" BEFORE\nINSERT\n ON \"ORDERS\"\nFOR EACH ROW\n WHEN "
                    "(new.order_id IS NULL"});
  EXPECT_EQ(column(*oe,
                   "SELECT trigger_body FROM all_triggers WHERE owner=:bind1 and "
                   "trigger_name=:bind2",
                   binds({{":bind1", "OE"}, {":bind2", "ORDERS_BI"}})),
            Strings{"BEGIN\n  SELECT orders_seq.NEXTVAL INTO :new.order_id FROM dual;\nEND;"});
  EXPECT_EQ(column(*oe,
                   "select '(' || line || ') ' || text from all_source where owner = "
                   ":owner and name = :name and type = :type order by line asc",
                   binds({{":owner", "OE"}, {":name", "LOYALTY"}, {":type", "PACKAGE"}})),
            (Strings{"(1) PACKAGE loyalty AS\n",
                     "(2)   FUNCTION tier_for (p_total IN NUMBER) RETURN VARCHAR2;\n",
                     "(3)   PROCEDURE refresh_tiers;\n", "(4) END loyalty;\n"}));
  EXPECT_EQ(column(*oe,
                   "select text from all_source where owner = :owner and name = :name and "
                   "type = :type order by line asc",
                   binds({{":owner", "OE"}, {":name", "ORDER_TOTAL"}, {":type", "FUNCTION"}}))
                .size(),
            8u);
}

TEST_F(ProductQueryTest, ColumnQueryTemplates) {
  std::string formattedWithOwner =
      "select column_name, data_type || decode(data_type_owner,NULL,decode(data_type,'DATE',"
      "'','ROWID','','LONG RAW','','INTEGER','','BLOB','','CLOB','',  'LONG','', 'NUMBER',"
      "decode(data_precision,null,'', 0,'', '('||to_char(data_precision)||decode(data_scale,"
      "NULL,')',0,')',','||to_char(data_scale)||')')),decode(data_length,null,'',0,'','('||"
      "to_char(data_length)||')')),''), to_char(data_length), to_char(nvl(data_precision,0)),"
      "to_char(nvl(data_scale,-1)),decode(nvl(nullable,'Y'),'Y','    NULL ','NOT NULL '),"
      "data_default,nvl(data_type_owner,' ') from all_tab_columns where owner = :owner and "
      "table_name = :name order by column_id";
  Rows rows = query(*oe, formattedWithOwner, binds({{":owner", "OE"}, {":name", "EMPLOYEES"}}));
  ASSERT_EQ(rows.size(), 11u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"EMPLOYEE_ID", "NUMBER(6)", "22", "6", "0",
                                               "NOT NULL ", "NULL", " "}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"FIRST_NAME", "VARCHAR2(20)", "20", "0", "-1",
                                               "    NULL ", "NULL", " "}));
  EXPECT_EQ(rows[5], (std::vector<std::string>{"HIRE_DATE", "DATE", "7", "0", "-1", "NOT NULL ",
                                               "SYSDATE ", " "}));
  EXPECT_EQ(rows[7][1], "NUMBER(8,2)");
  std::string plain =
      "select column_name, data_type, to_char(data_length), to_char(nvl(data_precision,0)),"
      "to_char(nvl(data_scale,-1)),decode(nvl(nullable,'Y'),'Y','NULL ','NOT NULL '),"
      "data_default,' ' from all_tab_columns where owner = :owner and table_name = :name order "
      "by column_id";
  rows = query(*oe, plain, binds({{":owner", "OE"}, {":name", "CUSTOMERS"}}));
  ASSERT_EQ(rows.size(), 9u);
  EXPECT_EQ(rows[6], (std::vector<std::string>{"LOYALTY_TIER", "VARCHAR2", "10", "0", "-1",
                                               "NOT NULL ", "'BRONZE' ", " "}));
  std::string viewColumns =
      "select column_name, data_type, data_length, nvl(data_precision,0),nvl(data_scale,-1),"
      "decode(nvl(nullable,'Y'),'Y','    NULL ','NOT NULL '),nvl(data_type_owner,' ') from "
      "all_tab_columns where owner = :owner and table_name = :name order by column_id";
  EXPECT_EQ(query(*oe, viewColumns, binds({{":owner", "OE"}, {":name", "PRODUCT_STOCK_V"}}))[2],
            (std::vector<std::string>{"ON_HAND", "NUMBER", "22", "0", "-1", "    NULL ", " "}));
}

TEST_F(ProductQueryTest, IndexAndConstraintQueries) {
  std::string indexes =
      "select all_indexes.table_owner,decode(nvl(all_indexes.uniqueness,'NOT'),'UNIQUE','    "
      "UNIQUE ','NOT UNIQUE '),all_indexes.index_name,nvl(all_ind_columns.column_name,' ') from "
      "all_indexes ,all_ind_columns  where all_indexes.owner = :owner1 and "
      "all_indexes.table_owner = :owner2 and all_indexes.table_name = :name and "
      "all_ind_columns.index_owner = all_indexes.owner and all_indexes.index_name = "
      "all_ind_columns.index_name AND all_indexes.index_name NOT IN (SELECT c.constraint_name "
      "from all_constraints c WHERE c.constraint_type IN ('P','U') AND c.table_name = "
      "all_indexes.table_name) order by all_indexes.index_name, column_position";
  EXPECT_EQ(
      query(*oe, indexes, binds({{":owner1", "OE"}, {":owner2", "OE"}, {":name", "CUSTOMERS"}})),
      (Rows{{"OE", "    UNIQUE ", "CUSTOMERS_EMAIL_IX", "CUST_EMAIL"},
            {"OE", "NOT UNIQUE ", "CUSTOMERS_NAME_IX", "CUST_LAST_NAME"},
            {"OE", "NOT UNIQUE ", "CUSTOMERS_NAME_IX", "CUST_FIRST_NAME"}}));
  // The product writes the percent sign doubled; its prepare turns "%%" into "%".
  EXPECT_EQ(query(*oe,
                  "select constraint_name,constraint_type,delete_rule,search_condition "
                  "from all_constraints where owner = :owner and table_name = :name and "
                  "constraint_name not like 'SYS_C%' order by constraint_name",
                  binds({{":owner", "OE"}, {":name", "CUSTOMERS"}})),
            (Rows{{"CUSTOMERS_ACCOUNT_MGR_FK", "R", "NO ACTION", "NULL"},
                  {"CUSTOMERS_CREDIT_LIMIT_MAX", "C", "NULL", "credit_limit <= 50000"},
                  {"CUSTOMERS_PK", "P", "NULL", "NULL"}}));
  Rows all = query(*oe,
                   "select constraint_name,constraint_type,delete_rule,search_condition "
                   "from all_constraints where owner = :owner and table_name = :name order "
                   "by constraint_name",
                   binds({{":owner", "OE"}, {":name", "INVENTORIES"}}));
  ASSERT_EQ(all.size(), 6u);
  EXPECT_EQ(all[2], (std::vector<std::string>{"INVENTORIES_WAREHOUSE_FK", "R", "CASCADE", "NULL"}));
  EXPECT_EQ(all[3][3], "\"PRODUCT_ID\" IS NOT NULL");
  EXPECT_EQ(column(*oe,
                   "select column_name from all_cons_columns where owner = :owner and "
                   "constraint_name = :name",
                   binds({{":owner", "OE"}, {":name", "INVENTORIES_PK"}})),
            (Strings{"PRODUCT_ID", "WAREHOUSE_ID"}));
  EXPECT_EQ(column(*oe,
                   "select co.column_name from all_constraints c, all_cons_columns co where "
                   "c.owner = :owner and c.table_name = :name and constraint_type = 'P' and "
                   "c.owner = co.owner and  c.constraint_name = co.constraint_name",
                   binds({{":owner", "OE"}, {":name", "ORDER_ITEMS"}})),
            (Strings{"ORDER_ID", "LINE_ITEM_ID"}));
  EXPECT_EQ(column(*oe,
                   "select index_name from all_indexes where table_owner = :owner and "
                   "table_name = :objname and uniqueness = 'UNIQUE' and rownum = 1",
                   binds({{":owner", "OE"}, {":objname", "CUSTOMERS"}})),
            Strings{"CUSTOMERS_EMAIL_IX"});
  EXPECT_EQ(column(*oe,
                   "select c.column_name from all_ind_columns c where c.table_owner = "
                   ":owner and c.index_name = :name",
                   binds({{":owner", "OE"}, {":name", "CUSTOMERS_EMAIL_IX"}})),
            Strings{"CUST_EMAIL"});
}

TEST_F(ProductQueryTest, SequenceAndPrivilegeLines) {
  std::string createTail =
      "select substr(sequence_name||'                                        ',0,31) || ' ' || "
      "substr(last_number||'                                        ',0,30) || ' ' || "
      "substr(min_value||'                              ',0,30) || ' ' || "
      "substr(max_value||'                              ',0,30) || ' ' || "
      "substr(increment_by||'               ',0,13) || ' ' || substr(cycle_flag||'             "
      "',0,11) || ' ' || substr(order_flag||'             ',0,11) || ' ' || "
      "substr(cache_size||'             ',0,11)||'|CREATE SEQUENCE '||sequence_name||' "
      "INCREMENT BY '||increment_by||' START WITH '||(last_number+increment_by)||"
      "decode(max_value,999999999999999999999999999,' NOMAXVALUE', ' MAXVALUE ' || max_value) "
      "|| ' MINVALUE ' || min_value||decode(cycle_flag,'N',' NOCYCLE',' CYCLE')||"
      "decode(cache_size,0,' NOCACHE',' CACHE '||cache_size)||decode(order_flag,'N',' "
      "NOORDER;',' ORDER;') from all_sequences where sequence_owner = 'OE' order by "
      "sequence_name";
  Strings lines = column(*oe, createTail);
  ASSERT_EQ(lines.size(), 3u);
  std::string orders = lines[1];
  EXPECT_EQ(orders.substr(0, 32), "ORDERS_SEQ                      ");
  EXPECT_EQ(orders.substr(orders.find('|')),
            "|CREATE SEQUENCE ORDERS_SEQ INCREMENT BY 1 START WITH 2459 MAXVALUE "
            "9999999999999999999999999999 MINVALUE 1 NOCYCLE NOCACHE NOORDER;");
  EXPECT_EQ(column(*oe,
                   "select substr(privilege||'                                        ',0,"
                   "41) || ' ' || substr(admin_option||'            ',0,13) from "
                   "user_sys_privs order by privilege")[0],
            "CREATE PROCEDURE                          NO           ");
  auto rpt = db->logon("RPT", "rpt");
  EXPECT_TRUE(column(*rpt,
                     "select substr(granted_role||'                                   "
                     "     ',0,41) || ' ' || substr(admin_option||'            ',0,13)  "
                     "|| ' ' || substr(default_role||'            ',0,13) || ' ' || "
                     "os_granted from user_role_privs order by granted_role")
                  .empty());
  Strings objectPrivs =
      column(*oe,
             "select substr(privilege||'                                          ',0,41) || ' ' "
             "|| substr(table_name||'                                   ',0,31) || ' ' || "
             "substr(table_schema||'                                   ',0,31) || ' ' || "
             "substr(grantee||'                                   ',0,31) || ' ' || "
             "substr(grantor||'                                   ',0,31) || ' ' || grantable "
             "from all_tab_privs where grantee = 'RPT' order by privilege,table_name");
  ASSERT_EQ(objectPrivs.size(), 3u);
  EXPECT_EQ(objectPrivs[1].substr(0, 42), "SELECT                                    ");
  EXPECT_EQ(objectPrivs[1].substr(42, 17), "CUSTOMER_ORDERS_V");
  EXPECT_EQ(objectPrivs[1].substr(170), "YES");
}

TEST_F(ProductQueryTest, DataSelectStreamsInKeyOrder) {
  auto stmt = oe->prepare(
      "select \"CUSTOMER_ID\", '#^@@$#', \"CUST_LAST_NAME\", \"DATE_OF_BIRTH\" from "
      "OE.CUSTOMERS order by \"CUSTOMER_ID\"");
  const auto& cols = stmt->describe();
  ASSERT_EQ(cols.size(), 4u);
  EXPECT_EQ(cols[1].name, "'#^@@$#'");
  EXPECT_EQ(cols[3].type.ociTypeCode(), 12);
  BindSet none;
  auto result = stmt->execute(none);
  Row row;
  ASSERT_TRUE(result.cursor->fetch(row));
  EXPECT_EQ(toText(row[0], oe->nls()), "101");
  EXPECT_EQ(toText(row[1], oe->nls()), "#^@@$#");
  EXPECT_EQ(toText(row[3], oe->nls()), "16-FEB-72");
}

TEST_F(ProductQueryTest, ClientSideDdlReaderQueries) {
  EXPECT_EQ(query(*oe,
                  "select owner, table_name, pct_free, pct_used, ini_trans, max_trans, "
                  "tablespace_name, initial_extent, next_extent, min_extents, max_extents, "
                  "freelists, freelist_groups, pct_increase from all_tables where owner = "
                  ":owner and table_name = :name",
                  binds({{":owner", "OE"}, {":name", "LOCATIONS"}})),
            (Rows{{"OE", "LOCATIONS", "10", "40", "1", "255", "USERS", "65536", "1048576", "1",
                   "121", "1", "1", "0"}}));
  EXPECT_EQ(query(*oe,
                  "select constraint_name, constraint_type, r_owner, r_constraint_name, "
                  "delete_rule from all_constraints where owner = :owner and table_name = "
                  ":name and constraint_type = 'R' order by 1",
                  binds({{":owner", "OE"}, {":name", "ORDER_ITEMS"}})),
            (Rows{{"ORDER_ITEMS_ORDER_FK", "R", "OE", "ORDERS_PK", "CASCADE"},
                  {"ORDER_ITEMS_PRODUCT_FK", "R", "OE", "PRODUCTS_PK", "NO ACTION"}}));
  EXPECT_EQ(query(*oe,
                  "select index_name, uniqueness, pct_free, ini_trans, max_trans, "
                  "tablespace_name, compression, prefix_length from all_indexes where owner "
                  "= :owner1 and table_owner = :owner2 and table_name = :name order by "
                  "index_name",
                  binds({{":owner1", "OE"}, {":owner2", "OE"}, {":name", "CUSTOMERS"}})),
            (Rows{{"CUSTOMERS_EMAIL_IX", "UNIQUE", "10", "2", "255", "USERS", "DISABLED", "NULL"},
                  {"CUSTOMERS_NAME_IX", "NONUNIQUE", "10", "2", "255", "USERS", "ENABLED", "1"},
                  {"CUSTOMERS_PK", "UNIQUE", "10", "2", "255", "USERS", "DISABLED", "NULL"}}));
  EXPECT_EQ(column(*oe,
                   "select data_default from all_tab_columns where owner = :bind1 and "
                   "table_name = :bind2 and column_id = 7",
                   binds({{":bind1", "OE"}, {":bind2", "CUSTOMERS"}})),
            Strings{"'BRONZE' "});
}

}  // namespace
}  // namespace ocisim::testing
