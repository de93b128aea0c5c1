// `velmora-cli options`: every key that --set takes (and a configuration file holds), with what it
// does and its default, from the options' own table so that no key can be missing.
#include <string>
#include <string_view>

#include "base/option_keys.h"
#include "cli/cli_args.h"

namespace velmora::cli {

namespace {

struct KeyMeaning {
  const char* key;
  const char* meaning;
};

constexpr KeyMeaning kMeanings[] = {
    {"i_AutoSpecialName",
     "object names in generated SQL: 0 detect special names, 1 all special (quoted), 2 all "
     "regular"},
    {"b_AutoSave", "save the report incrementally to s_AutoSaveFile (--autosave)"},
    {"i_AutoSaveLines", "lines between incremental saves, 1 to 999999 (--autosave-lines)"},
    {"s_AutoSaveFile", "the report file of b_AutoSave and b_OnlyToFile"},
    {"b_OnlyToFile", "write the complete report only to s_AutoSaveFile (--output)"},
    {"b_IgnoreSeqLastNum", "ignore the last value when comparing sequences"},
    {"i_TrigBodyLimit", "stored only: a limit on trigger source, 100 to 64000 characters"},
    {"b_CompColLen", "ignore differences in the length of column types"},
    {"b_CompDatCase", "data: ignore letter case when comparing rows"},
    {"b_CompDatTrail", "data: ignore trailing spaces of each column"},
    {"b_CompDatFrac", "data: ignore fractional seconds of dates"},
    {"b_CompDatValue", "data: compare numbers by value, not by representation"},
    {"b_CompDatSecs", "data: ignore the seconds of dates"},
    {"b_CompDatLead", "data: ignore leading spaces of each column"},
    {"b_DoCommon", "list the tables common to both databases"},
    {"b_DoViewCommon", "list the common views"},
    {"b_DoPkgBodyCommon", "list the common package bodies"},
    {"b_DoPkgCommon", "list the common packages"},
    {"b_DoTypeCommon", "list the common types"},
    {"b_DoTypeBodyCommon", "list the common type bodies"},
    {"b_DoTriggerCommon", "list the common triggers"},
    {"b_DoViewSourceCommon", "list the common views of the view source comparison"},
    {"i_DoingUpgradeScript",
     "output: 0 comparison report, 1 upgrade script, 2 script of "
     "database 1 (--mode)"},
    {"b_DoFuncCommon", "list the common functions"},
    {"b_DoStpCommon", "list the common stored procedures"},
    {"b_DoSkipped", "list the tables not processed (deselected)"},
    {"b_DoViewSkipped", "list the views not processed"},
    {"b_DoFuncSkipped", "list the functions not processed"},
    {"b_DoPkgSkipped", "list the packages not processed"},
    {"b_DoTypeSkipped", "list the types not processed"},
    {"b_DoTypeBodySkipped", "list the type bodies not processed"},
    {"b_DoTriggerSkipped", "list the triggers not processed"},
    {"b_DoViewSourceSkipped", "list the views not processed by the view source comparison"},
    {"b_DoPkgBodySkipped", "list the package bodies not processed"},
    {"b_DoStpSkipped", "list the stored procedures not processed"},
    {"b_DoSysPrivs", "compare system privileges"},
    {"b_DoRolePrivs", "compare role privileges"},
    {"b_DoConsCols", "compare the columns of constraints"},
    {"i_DoConsName",
     "constraints: 0 ignore names, 1 ignore system generated (SYS_C%), 2 ignore "
     "none"},
    {"b_DoTrigBody", "stored only: compare the trigger body"},
    {"b_DoObjPrivs", "compare object privileges"},
    {"b_DoViewStruct", "check for view structural differences"},
    {"b_DoViewData", "check for view data differences (comparison report only)"},
    {"b_DoStruct", "check for table structural differences"},
    {"b_DoPriv", "check for privilege differences"},
    {"b_DoSeq", "check for sequence differences"},
    {"b_DoConst", "check for constraint differences"},
    {"b_DoTrigger", "check for trigger differences"},
    {"b_DoStpCode", "check for stored procedure differences"},
    {"b_DoType", "check for type differences"},
    {"b_DoTypeBody", "check for type body differences"},
    {"b_DoViewSource", "check for view source differences"},
    {"b_DoFunc", "check for function differences"},
    {"b_DoPack", "check for package differences"},
    {"b_DoPackBody", "check for package body differences"},
    {"b_DoIndex", "check for index differences"},
    {"b_DoData", "check for data differences"},
    {"b_NoDiffData", "include tables with no data differences"},
    {"b_NoDiffView", "include views with no differences"},
    {"b_NoDiffCol", "include tables with no structural differences"},
    {"b_NoDiffTrig", "include triggers with no differences"},
    {"b_NoDiffFunc", "include functions with no differences"},
    {"b_NoDiffPkg", "include packages with no differences"},
    {"b_NoDiffPkgBody", "include package bodies with no differences"},
    {"b_NoDiffType", "include types with no differences"},
    {"b_NoDiffTypeBody", "include type bodies with no differences"},
    {"b_NoDiffViewSource", "include views with no source differences"},
    {"b_NoDiffStp", "include stored procedures with no differences"},
    {"b_DataType", "column types: 1 ODBC standard names, 0 DBMS specific names"},
    {"b_IgnoreSourceSpaces", "ignore leading and trailing spaces and tabs when comparing source"},
    {"b_UpdDeletes", "data upgrade: include DELETE statements"},
    {"b_UpdInserts", "data upgrade: include INSERT statements"},
    {"b_UpdUpdates", "data upgrade: include UPDATE statements"},
    {"s_GlobalPassSql1", "SQL Compare: the statement run on Database 1"},
    {"s_GlobalPassSql2", "SQL Compare: the statement run on Database 2"},
    {"b_IgnoreColNameCase", "ignore letter case of column names (not saved in files)"},
    {"b_OwnObjectsOnly", "process only the objects owned by the user (not saved in files)"},
};

std::string meaningOf(std::string_view key) {
  for (const KeyMeaning& entry : kMeanings) {
    if (key == entry.key) return entry.meaning;
  }
  return "";
}

std::string padded(std::string text, size_t width) {
  if (text.size() < width) text.resize(width, ' ');
  return text + " ";
}

}  // namespace

std::string optionsText() {
  std::string text =
      "Keys of --set KEY=VALUE (and of a configuration file's [Velmora for Oracle] section).\n"
      "b_ keys are switches (0 or 1), i_ keys integers, s_ keys texts.\n\n";
  text += padded("KEY", 22) + padded("DEFAULT", 7) + "MEANING\n";
  for (const OptionKey& entry : optionKeys()) {
    const std::string value = optionDefaultText(entry);
    text += padded(entry.key, 22) + padded(value.empty() ? "\"\"" : value, 7) +
            meaningOf(entry.key) + "\n";
  }
  text +=
      "\nLists (comma-separated names, upper-cased): IgnoreColumns (column names, one % each) "
      "and\nIgnoreTables (tables not processed), e.g. --set IgnoreTables=AUDIT_LOG,TMP_ORDERS.\n";
  return text;
}

}  // namespace velmora::cli
