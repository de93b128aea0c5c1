// ComparisonOptions: every switch of a comparison run. Each field carries the name of its
// configuration-file key (b_ a switch, i_ an integer, s_ a string). One record lives with the
// report view; the settings store fills it at start, a configuration file may replace it, and
// every comparer reads it during a run. Not thread-safe: it does not change while a run is active,
// except for the output destination switches that ReportOutput clears on a file failure.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace velmora {

// A list of object names the user did not select. Membership ignores letter case.
class NameList {
 public:
  NameList() = default;
  NameList(std::initializer_list<std::string> names) : names_(names) {}

  bool contains(const std::string& name) const;  // whole name, any letter case
  void add(const std::string& name) { names_.push_back(name); }
  void clear() { names_.clear(); }
  bool empty() const { return names_.empty(); }
  size_t size() const { return names_.size(); }
  const std::vector<std::string>& names() const { return names_; }
  std::vector<std::string>& names() { return names_; }

  bool operator==(const NameList&) const = default;

 private:
  std::vector<std::string> names_;
};

// Table or view name -> condition appended after "where" to the select of that object.
class WhereStatements {
 public:
  void set(const std::string& name, const std::string& condition) { map_[name] = condition; }
  void clear() { map_.clear(); }
  bool empty() const { return map_.empty(); }
  const std::map<std::string, std::string>& entries() const { return map_; }

  // The usable condition of an object (exact name): false when there is none or it is empty.
  // Leading blanks are dropped and a leading "WHERE " / "WHERE\t" (any case) is dropped too:
  // "  where ID > 5" gives "ID > 5".
  bool find(const std::string& name, std::string* condition) const;

  bool operator==(const WhereStatements&) const = default;

 private:
  std::map<std::string, std::string> map_;
};

// Table name (as Database 1 lists it) -> the columns the data upgrade uses as the row key of that
// table in place of its primary key (the Primary Keys override); section "PrimaryKeys".
class KeyOverrides {
 public:
  void set(const std::string& table, std::vector<std::string> columns) {
    map_[table] = std::move(columns);
  }
  void clear() { map_.clear(); }
  bool empty() const { return map_.empty(); }
  const std::map<std::string, std::vector<std::string>>& entries() const { return map_; }
  // The override of a table (exact name), or null.
  const std::vector<std::string>* find(const std::string& table) const {
    auto it = map_.find(table);
    return it == map_.end() ? nullptr : &it->second;
  }

  bool operator==(const KeyOverrides&) const = default;

 private:
  std::map<std::string, std::vector<std::string>> map_;
};

struct ComparisonOptions {
  // 1. Output mode: 0 comparison report, 1 upgrade script, 2 script of database 1.
  int i_DoingUpgradeScript = 0;

  // 2. Object kinds (phases of the run).
  int b_DoPriv = 1;
  int b_DoSeq = 1;
  int b_DoStruct = 1;
  int b_DoIndex = 1;
  int b_DoConst = 1;
  int b_DoData = 1;
  int b_DoViewStruct = 1;  // 0 after a start from the settings store
  int b_DoViewData = 1;
  int b_DoTrigger = 1;
  int b_DoViewSource = 1;
  int b_DoFunc = 1;
  int b_DoPack = 1;
  int b_DoPackBody = 1;
  int b_DoStpCode = 1;
  int b_DoType = 1;
  int b_DoTypeBody = 1;

  // 3. Lists in the report: common, not processed, objects without differences.
  int b_DoCommon = 1;
  int b_DoSkipped = 1;
  int b_NoDiffCol = 1;
  int b_NoDiffData = 1;
  int b_DoViewCommon = 1;
  int b_DoViewSkipped = 1;
  int b_NoDiffView = 1;
  int b_DoFuncCommon = 1;
  int b_DoFuncSkipped = 1;
  int b_NoDiffFunc = 1;
  int b_DoPkgCommon = 1;
  int b_DoPkgSkipped = 1;
  int b_NoDiffPkg = 1;
  int b_DoPkgBodyCommon = 1;
  int b_DoPkgBodySkipped = 1;
  int b_NoDiffPkgBody = 1;
  int b_DoStpCommon = 1;
  int b_DoStpSkipped = 1;
  int b_NoDiffStp = 1;
  int b_DoTypeCommon = 1;
  int b_DoTypeSkipped = 1;
  int b_NoDiffType = 1;
  int b_DoTypeBodyCommon = 1;
  int b_DoTypeBodySkipped = 1;
  int b_NoDiffTypeBody = 1;
  int b_DoTriggerCommon = 1;
  int b_DoTriggerSkipped = 1;
  int b_NoDiffTrig = 1;
  int b_DoViewSourceCommon = 1;
  int b_DoViewSourceSkipped = 1;
  int b_NoDiffViewSource = 1;

  // 4. Columns and structure.
  int b_CompColLen = 0;         // ignore length differences of column types (report only)
  int b_IgnoreColNameCase = 0;  // kept with the options, not saved
  int b_DataType = 0;           // 1 "ODBC standard", 0 "DBMS specific" type names
  NameList IgnoreColumns;       // column name patterns, at most one "%" each

  // 5. Data.
  int b_CompDatCase = 0;
  int b_CompDatLead = 0;
  int b_CompDatTrail = 0;
  int b_CompDatValue = 1;
  int b_CompDatSecs = 0;
  int b_CompDatFrac = 0;
  int b_UpdInserts = 1;
  int b_UpdUpdates = 1;
  int b_UpdDeletes = 1;
  WhereStatements whereStatements;  // key "WhereStatements"
  KeyOverrides keyOverrides;        // key "PrimaryKeys"

  // 6. Sequences, privileges, triggers, constraints.
  int b_IgnoreSeqLastNum = 0;
  int b_DoSysPrivs = 1;
  int b_DoRolePrivs = 1;
  int b_DoObjPrivs = 1;
  int b_DoTrigBody = 1;        // stored and loaded only
  int i_TrigBodyLimit = 2000;  // stored and loaded only
  int b_DoConsCols = 1;
  int i_DoConsName = 1;  // 0 ignore names, 1 ignore SYS_C%, 2 ignore none

  // 7. Source and names.
  int b_IgnoreSourceSpaces = 1;
  int i_AutoSpecialName = 0;  // 0 detect, 1 all special, 2 all regular
  int b_OwnObjectsOnly = 1;   // not saved

  // 8. Output destination. Never both 1.
  int b_OnlyToFile = 0;
  int b_AutoSave = 0;
  int i_AutoSaveLines = 500;
  std::string s_AutoSaveFile;

  // 9. SQL Compare statements (CR LF line breaks).
  std::string s_GlobalPassSql1;
  std::string s_GlobalPassSql2;

  // 10. Selection lists: names the user did not select.
  NameList IgnoreTables;
  NameList IgnoreViews;
  NameList IgnoreProcs;
  NameList IgnoreFuncs;
  NameList IgnorePacks;
  NameList IgnorePackBodies;
  NameList IgnoreTypes;
  NameList IgnoreTypeBodies;
  NameList IgnoreTrigs;
  NameList IgnoreViewSource;

  // 11. Derived from i_DoingUpgradeScript by setDerivedValues().
  std::string s_StarComment;  // "*  " in the script modes, "" in the report
  std::string s_DashComment;  // "-- " in the script modes, "" in the report

  // Sets the comment prefixes from the output mode; called at every run start and after loads.
  void setDerivedValues();

  // The selection list of a stored-code kind code ("STP", "FUNC", "PKG", "PKGBD", "TYPE",
  // "TYPEB", "TRIG", "VIEW"); nullptr for an unknown code.
  const NameList* ignoreListForKind(const std::string& kindCode) const;
  NameList* ignoreListForKind(const std::string& kindCode);

  // Column exclusion: the upper-cased name matched against IgnoreColumns. A pattern without
  // "%" matches the identical name; "AB%BC" matches names that begin with "AB" and end with
  // "BC", tested independently (so it matches "ABC"). Patterns are compared as stored.
  bool isIgnoredColumn(const std::string& columnName) const;

  bool isIgnoredTable(const std::string& name) const { return IgnoreTables.contains(name); }
};

}  // namespace velmora
