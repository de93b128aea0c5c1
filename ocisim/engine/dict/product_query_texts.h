// The dictionary statement texts the comparison tool sends, exactly as it composes them (test
// data for the product query tests). Pieces that the tool splices together are kept apart and
// joined by the helpers at the end, the way the tool joins them.
#pragma once

#include <string>

namespace ocisim::dict::testing {

// clang-format off
const char* const kTriggerHeader =
    "select '\"' || trigger_name || '\" ' || decode( substr( trigger_type, 1, 1 ),'A', 'AFT"
    "ER', 'B', 'BEFORE', 'I', 'INSTEAD OF' ) ||chr(10) ||triggering_event || chr(10) ||' ON"
    " \"' ||table_name || '\"' || decode(referencing_names,null,'','REFERENCING NEW AS NEW "
    "OLD AS OLD','',chr(10)||referencing_names) || chr(10) ||decode( instr( trigger_type, '"
    "EACH ROW' ), 0, null,'FOR EACH ROW' ) || chr(10) || decode(when_clause,null,'',' WHEN "
    "('||when_clause ) from all_triggers where owner = :owner and trigger_name = :objname";

const char* const kColumnTemplateHead =
    "select column_name, ";

const char* const kColumnTemplateMid =
    ", to_char(data_length), to_char(nvl(data_precision,0)),to_char(nvl(data_scale,-1)),dec"
    "ode(nvl(nullable,'Y'),'Y','";

const char* const kColumnTemplateMid2 =
    "','NOT NULL '),data_default,";

const char* const kColumnTemplateTail =
    " from all_tab_columns where owner = :owner and table_name = :name order by column_id";

const char* const kTypePlain =
    "data_type";

const char* const kTypeFormatted =
    "data_type || decode(data_type,'DATE','','ROWID','','LONG RAW','','INTEGER','','BLOB','"
    "','CLOB','',  'LONG','', 'NUMBER',decode(data_precision,null,'', 0,'', '('||to_char(da"
    "ta_precision)||decode(data_scale,NULL,')',0,')',','||to_char(data_scale)||')')),decode"
    "(data_length,null,'',0,'','('||to_char(data_length)||')'))";

const char* const kTypeFormattedOwner =
    "data_type || decode(data_type_owner,NULL,decode(data_type,'DATE','','ROWID','','LONG R"
    "AW','','INTEGER','','BLOB','','CLOB','',  'LONG','', 'NUMBER',decode(data_precision,nu"
    "ll,'', 0,'', '('||to_char(data_precision)||decode(data_scale,NULL,')',0,')',','||to_ch"
    "ar(data_scale)||')')),decode(data_length,null,'',0,'','('||to_char(data_length)||')'))"
    ",'')";

const char* const kIndexQuery =
    "select all_indexes.table_owner,decode(nvl(all_indexes.uniqueness,'NOT'),'UNIQUE','    "
    "UNIQUE ','NOT UNIQUE '),all_indexes.index_name,nvl(all_ind_columns.column_name,' ') fr"
    "om all_indexes ,all_ind_columns  where all_indexes.owner = :owner1 and all_indexes.tab"
    "le_owner = :owner2 and all_indexes.table_name = :name and all_ind_columns.index_owner "
    "= all_indexes.owner and all_indexes.index_name = all_ind_columns.index_name AND all_in"
    "dexes.index_name NOT IN (SELECT c.constraint_name from all_constraints c WHERE c.const"
    "raint_type IN ('P','U') AND c.table_name = all_indexes.table_name) order by all_indexe"
    "s.index_name, column_position";

const char* const kConstraintsNoSys =
    "select constraint_name,constraint_type,delete_rule,search_condition from all_constrain"
    "ts where owner = :owner and table_name = :name and constraint_name not like 'SYS_C%%' "
    "order by constraint_name";

const char* const kConstraintsAll =
    "select constraint_name,constraint_type,delete_rule,search_condition from all_constrain"
    "ts where owner = :owner and table_name = :name order by constraint_name";

const char* const kConsColumns =
    "select column_name from all_cons_columns where owner = :owner and constraint_name = :n"
    "ame";

const char* const kPrimaryKeyColumns =
    "select co.column_name from all_constraints c, all_cons_columns co where c.owner = :own"
    "er and c.table_name = :name and constraint_type = 'P' and c.owner = co.owner and  c.co"
    "nstraint_name = co.constraint_name";

const char* const kViewColumns7 =
    "select column_name, data_type, data_length, nvl(data_precision,0),nvl(data_scale,-1),d"
    "ecode(nvl(nullable,'Y'),'Y','    NULL ','NOT NULL '),' ' from all_tab_columns where ow"
    "ner = :owner and table_name = :name order by column_id";

const char* const kViewColumns8 =
    "select column_name, data_type, data_length, nvl(data_precision,0),nvl(data_scale,-1),d"
    "ecode(nvl(nullable,'Y'),'Y','    NULL ','NOT NULL '),nvl(data_type_owner,' ') from all"
    "_tab_columns where owner = :owner and table_name = :name order by column_id";

const char* const kSeqWithLast =
    "select substr(sequence_name||'                                        ',0,31) || ' ' |"
    "| substr(last_number||'                                        ',0,30) || ' ' || subst"
    "r(min_value||'                              ',0,30) || ' ' || substr(max_value||'     "
    "                         ',0,30) || ' ' || substr(increment_by||'               ',0,13"
    ") || ' ' || substr(cycle_flag||'             ',0,11) || ' ' || substr(order_flag||'   "
    "          ',0,11) || ' ' || substr(cache_size||'             ',0,11) from all_sequence"
    "s where sequence_owner = '";

const char* const kSeqWithoutLast =
    "select substr(sequence_name||'                                        ',0,31) || ' ' |"
    "| substr(min_value||'                              ',0,30) || ' ' || substr(max_value|"
    "|'                              ',0,30) || ' ' || substr(increment_by||'              "
    " ',0,13) || ' ' || substr(cycle_flag||'             ',0,11) || ' ' || substr(order_fla"
    "g||'             ',0,11) || ' ' || substr(cache_size||'             ',0,11) from all_s"
    "equences where sequence_owner = '";

const char* const kSeqDropTail =
    "||'|DROP SEQUENCE '||sequence_name||';' from all_sequences where sequence_owner = '";

const char* const kSeqCreateTail =
    "||'|CREATE SEQUENCE '||sequence_name||' INCREMENT BY '||increment_by||' START WITH '||"
    "(last_number+increment_by)||decode(max_value,999999999999999999999999999,' NOMAXVALUE'"
    ", ' MAXVALUE ' || max_value) || ' MINVALUE ' || min_value||decode(cycle_flag,'N',' NOC"
    "YCLE',' CYCLE')||decode(cache_size,0,' NOCACHE',' CACHE '||cache_size)||decode(order_f"
    "lag,'N',' NOORDER;',' ORDER;') from all_sequences where sequence_owner = '";

const char* const kSysPrivs =
    "select substr(privilege||'                                        ',0,41) || ' ' || su"
    "bstr(admin_option||'            ',0,13) from user_sys_privs order by privilege";

const char* const kRolePrivs =
    "select substr(granted_role||'                                        ',0,41) || ' ' ||"
    " substr(admin_option||'            ',0,13)  || ' ' || substr(default_role||'          "
    "  ',0,13) || ' ' || os_granted from user_role_privs order by granted_role";

const char* const kObjPrivs =
    "select substr(privilege||'                                          ',0,41) || ' ' || "
    "substr(table_name||'                                   ',0,31) || ' ' || substr(table_"
    "schema||'                                   ',0,31) || ' ' || substr(grantee||'       "
    "                            ',0,31) || ' ' || substr(grantor||'                       "
    "            ',0,31) || ' ' || grantable from all_tab_privs where grantee = '";

const char* const kObjPrivsTail =
    "' order by privilege,table_name";
// clang-format on

// The statement texts write a literal percent sign as "%%"; the session turns it into "%"
// before the server sees the text.
inline std::string serverText(std::string text) {
  for (size_t at = text.find("%%"); at != std::string::npos; at = text.find("%%", at + 1)) {
    text.erase(at, 1);
  }
  return text;
}

// The column query of the column comparer: TYPE, NULLWORD and OWNER as it chooses them.
inline std::string columnQuery(const std::string& type, const std::string& nullWord,
                               const std::string& owner) {
  return std::string(kColumnTemplateHead) + type + kColumnTemplateMid + nullWord +
         kColumnTemplateMid2 + owner + kColumnTemplateTail;
}

// The sequence queries: columns, optional tail, owner and ORDER BY.
inline std::string sequenceQuery(bool withLastNumber, const std::string& tail,
                                 const std::string& owner) {
  std::string columns = withLastNumber ? kSeqWithLast : kSeqWithoutLast;
  if (!tail.empty()) {
    // A tail replaces the " from all_sequences ..." end of the column part.
    columns = columns.substr(0, columns.find(" from all_sequences")) + tail;
  }
  return columns + owner + "' order by sequence_name";
}

inline std::string createTailFromMinValue() {
  std::string tail = kSeqCreateTail;
  const std::string from = "' START WITH '||(last_number+increment_by)||";
  tail.replace(tail.find(from), from.size(), "' START WITH '||min_value||");
  return tail;
}

}  // namespace ocisim::dict::testing
