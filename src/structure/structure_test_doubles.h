// Test doubles of the table phases: FakeDictionary, a DictionaryReader over an in-memory schema
// that answers the column query the way the server evaluates its three templates (plain or
// formatted type, the null word, the type owner; a version 7 server refuses data_type_owner);
// FakeScripts, a ScriptSource of fixed texts that records its calls; StructureHarness, a
// StructureRun over both with a recording writer and host. Header-only, for the tests.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/recording_host.h"
#include "base/run_control.h"
#include "oracle/oracle_text.h"
#include "structure/dictionary_reader.h"
#include "structure/script_source.h"
#include "structure/structure_run.h"

namespace velmora {

struct FakeColumn {
  std::string name;
  std::string dataType;
  int length = 0;
  std::string precision;  // "" for NULL
  std::string scale;      // "" for NULL
  bool nullable = true;
  std::string defaultText;  // as data_default holds it
  std::string typeOwner;    // "" for a built-in type
};

struct FakeIndex {
  std::string name;
  bool unique = false;
  std::vector<std::string> columns;
};

struct FakeConstraint {
  std::string name;
  std::string type;  // P, U, R, C
  std::vector<std::string> columns;
  std::string deleteRule;  // "NO ACTION", "CASCADE" for R
  std::string condition;
  std::string referencedKey;  // R: the key it references
};

struct FakeTable {
  std::vector<FakeColumn> columns;
  std::vector<FakeIndex> indexes;
  std::vector<FakeConstraint> constraints;
};

class FakeDictionary : public DictionaryReader {
 public:
  std::string owner = "SCOTT";
  std::string version = "8";
  std::map<std::string, FakeTable> tables;
  std::vector<std::string> tableNames;              // the table list, in dictionary order
  std::map<std::string, std::string> columnErrors;  // table -> message of its column query
  std::map<std::string, std::string> indexErrors;   // table -> message of its index query
  std::map<std::string, std::string> constraintErrors;
  std::vector<std::string> columnQueries;  // every column query text asked for
  std::vector<std::string> log;            // "columns T", "indexes T", ... per query

  FakeTable& table(const std::string& name) {
    if (tables.find(name) == tables.end()) tableNames.push_back(name);
    return tables[name];
  }

  std::string serverVersion() override { return version; }

  QueryRows<ColumnRow> columns(const std::string& queryText, const std::string& ownerName,
                               const std::string& tableName) override {
    columnQueries.push_back(queryText);
    log.push_back("columns " + tableName);
    QueryRows<ColumnRow> result;
    auto error = columnErrors.find(tableName);
    if (error != columnErrors.end()) {
      result.error = error->second;
      return result;
    }
    const bool withOwner = queryText.find("data_type_owner") != std::string::npos;
    if (withOwner && version == "7") {
      result.error = "ORA-00904: \"DATA_TYPE_OWNER\": invalid identifier";
      return result;
    }
    const FakeTable* found = find(ownerName, tableName);
    if (found == nullptr) return result;
    const bool plain = queryText.find("select column_name, data_type,") != std::string::npos;
    const bool reportNull = queryText.find("'    NULL '") != std::string::npos;
    for (const FakeColumn& c : found->columns) {
      ColumnRow row;
      row.name = c.name;
      row.type = plain ? c.dataType : formattedType(c, withOwner);
      row.length = std::to_string(c.length);
      row.precision = c.precision.empty() ? "0" : c.precision;
      row.scale = c.scale.empty() ? "-1" : c.scale;
      row.nullability = !c.nullable ? "NOT NULL " : reportNull ? "    NULL " : "NULL ";
      row.defaultText = trimTrailingSpace(c.defaultText);
      row.typeOwner = withOwner && !c.typeOwner.empty() ? c.typeOwner : " ";
      result.rows.push_back(row);
    }
    return result;
  }

  QueryRows<IndexRow> indexes(const std::string& ownerName, const std::string& tableName) override {
    log.push_back("indexes " + tableName);
    QueryRows<IndexRow> result;
    auto error = indexErrors.find(tableName);
    if (error != indexErrors.end()) {
      result.error = error->second;
      return result;
    }
    const FakeTable* found = find(ownerName, tableName);
    if (found == nullptr) return result;
    std::map<std::string, const FakeIndex*> byName;
    for (const FakeIndex& index : found->indexes) {
      bool backsKey = false;
      for (const FakeConstraint& c : found->constraints)
        backsKey = backsKey || ((c.type == "P" || c.type == "U") && c.name == index.name);
      if (!backsKey) byName[index.name] = &index;
    }
    for (const auto& [name, index] : byName) {
      for (const std::string& column : index->columns)
        result.rows.push_back(
            {ownerName, index->unique ? "    UNIQUE " : "NOT UNIQUE ", name, column});
    }
    return result;
  }

  QueryRows<ConstraintRow> constraints(const std::string& ownerName, const std::string& tableName,
                                       bool withoutSystemNamed) override {
    log.push_back(std::string(withoutSystemNamed ? "constraints-nosys " : "constraints ") +
                  tableName);
    QueryRows<ConstraintRow> result;
    auto error = constraintErrors.find(tableName);
    if (error != constraintErrors.end()) {
      result.error = error->second;
      return result;
    }
    const FakeTable* found = find(ownerName, tableName);
    if (found == nullptr) return result;
    std::map<std::string, const FakeConstraint*> byName;
    for (const FakeConstraint& c : found->constraints) {
      if (withoutSystemNamed && c.name.rfind("SYS_C", 0) == 0) continue;
      byName[c.name] = &c;
    }
    for (const auto& [name, c] : byName)
      result.rows.push_back({name, c->type, c->deleteRule, c->condition});
    return result;
  }

  QueryRows<std::string> constraintColumns(const std::string& ownerName,
                                           const std::string& constraint) override {
    log.push_back("constraint-columns " + constraint);
    QueryRows<std::string> result;
    if (ownerName != owner) return result;
    if (const FakeConstraint* c = findConstraint(constraint)) result.rows = c->columns;
    return result;
  }

  QueryRows<std::string> primaryKeyColumns(const std::string& ownerName,
                                           const std::string& tableName) override {
    QueryRows<std::string> result;
    if (const FakeTable* found = find(ownerName, tableName)) {
      for (const FakeConstraint& c : found->constraints)
        if (c.type == "P") result.rows = c.columns;
    }
    return result;
  }

  // Tables (and "TABLE.COLUMN" for rows whose column is NULL) that hold rows; none by default.
  std::set<std::string> rowsIn;
  bool mayHoldRows(const std::string&, const std::string& tableName,
                   const std::string& nullColumn) override {
    return rowsIn.count(nullColumn.empty() ? tableName : tableName + "." + nullColumn) != 0;
  }

  std::string uniqueIndexName(const std::string& ownerName, const std::string& tableName) override {
    if (const FakeTable* found = find(ownerName, tableName)) {
      for (const FakeIndex& index : found->indexes)
        if (index.unique) return index.name;
    }
    return "";
  }

  QueryRows<std::string> indexColumns(const std::string& ownerName,
                                      const std::string& index) override {
    QueryRows<std::string> result;
    if (ownerName != owner) return result;
    for (const auto& [name, t] : tables)
      for (const FakeIndex& i : t.indexes)
        if (i.name == index) result.rows = i.columns;
    return result;
  }

  QueryRows<TableConstraint> foreignKeysReferencingTable(const std::string& ownerName,
                                                         const std::string& tableName) override {
    QueryRows<TableConstraint> result;
    const FakeTable* found = find(ownerName, tableName);
    if (found == nullptr) return result;
    for (const FakeConstraint& key : found->constraints) {
      if (key.type != "P" && key.type != "U") continue;
      for (TableConstraint& fk : foreignKeysReferencingKey(ownerName, key.name).rows)
        result.rows.push_back(fk);
    }
    return result;
  }

  QueryRows<TableConstraint> foreignKeysReferencingKey(const std::string& ownerName,
                                                       const std::string& key) override {
    QueryRows<TableConstraint> result;
    if (ownerName != owner) return result;
    for (const auto& [name, t] : tables)
      for (const FakeConstraint& c : t.constraints)
        if (c.type == "R" && c.referencedKey == key)
          result.rows.push_back({owner, name, c.name, "R"});
    return result;
  }

  QueryRows<TableConstraint> constraintsOnColumn(const std::string& ownerName,
                                                 const std::string& tableName,
                                                 const std::string& column) override {
    QueryRows<TableConstraint> result;
    if (const FakeTable* found = find(ownerName, tableName)) {
      for (const FakeConstraint& c : found->constraints)
        for (const std::string& col : c.columns)
          if (col == column) result.rows.push_back({owner, tableName, c.name, c.type});
    }
    return result;
  }

  QueryRows<std::string> indexesOnColumn(const std::string& ownerName, const std::string& tableName,
                                         const std::string& column) override {
    QueryRows<std::string> result;
    if (const FakeTable* found = find(ownerName, tableName)) {
      for (const FakeIndex& index : found->indexes)
        for (const std::string& col : index.columns)
          if (col == column) result.rows.push_back(index.name);
    }
    return result;
  }

 private:
  const FakeTable* find(const std::string& ownerName, const std::string& tableName) const {
    if (ownerName != owner) return nullptr;
    auto it = tables.find(tableName);
    return it == tables.end() ? nullptr : &it->second;
  }
  const FakeConstraint* findConstraint(const std::string& name) const {
    for (const auto& [tableName, t] : tables)
      for (const FakeConstraint& c : t.constraints)
        if (c.name == name) return &c;
    return nullptr;
  }
  // The formatted type templates as the server evaluates them.
  static std::string formattedType(const FakeColumn& c, bool withOwner) {
    if (withOwner && !c.typeOwner.empty()) return c.dataType;
    static const char* bare[] = {"DATE", "ROWID", "LONG RAW", "INTEGER", "BLOB", "CLOB", "LONG"};
    for (const char* b : bare)
      if (c.dataType == b) return c.dataType;
    if (c.dataType == "NUMBER") {
      if (c.precision.empty() || c.precision == "0") return "NUMBER";
      if (c.scale.empty() || c.scale == "0") return "NUMBER(" + c.precision + ")";
      return "NUMBER(" + c.precision + "," + c.scale + ")";
    }
    if (c.length == 0) return c.dataType;
    return c.dataType + "(" + std::to_string(c.length) + ")";
  }
};

// Fixed DDL texts, each as a generator returns it (lines + CR LF, then one more CR LF).
class FakeScripts : public ScriptSource {
 public:
  explicit FakeScripts(const ComparisonOptions& options) : options_(options) {}

  std::map<std::string, std::string> tableDdl;                      // table -> CREATE TABLE text
  std::map<std::string, std::string> constraintDdl;                 // "T.K" -> ALTER TABLE text
  std::map<std::string, std::vector<std::string>> constraintOrder;  // table -> K in script order
  std::map<std::string, std::string> indexDdl;                      // "T.X" -> CREATE INDEX text
  std::vector<std::string> calls;

  std::string scriptTable(const std::string& owner, const std::string& table) override {
    calls.push_back("scriptTable " + owner + "." + table);
    std::string text = tableDdl[table] + "\r\n";
    if (options_.i_DoingUpgradeScript == 2) return text;
    std::string constraints = trimTrailingSpace(scriptConstraints(owner, table));
    if (!constraints.empty()) text += constraints + "\r\n";
    std::string indexes = trimTrailingSpace(scriptIndexes(owner, table, nullptr));
    if (!indexes.empty()) text += indexes + "\r\n";
    return text;
  }
  std::string scriptTableAlone(const std::string& owner, const std::string& table) override {
    calls.push_back("scriptTableAlone " + owner + "." + table);
    return tableDdl[table] + "\r\n";
  }
  std::string scriptConstraints(const std::string& owner, const std::string& table) override {
    calls.push_back("scriptConstraints " + owner + "." + table);
    std::string text;
    for (const std::string& name : constraintOrder[table])
      text += constraintDdl[table + "." + name];
    return text + "\r\n";
  }
  std::string scriptConstraint(const std::string& owner, const std::string& table,
                               const std::string& constraint) override {
    calls.push_back("scriptConstraint " + owner + "." + table + "." + constraint);
    return constraintDdl[table + "." + constraint] + "\r\n";
  }
  std::string scriptIndexes(const std::string& owner, const std::string& table,
                            const std::vector<std::string>* names) override {
    std::string call = "scriptIndexes " + owner + "." + table;
    std::string text;
    if (names == nullptr) {
      call += " *";
      for (const auto& [key, ddl] : indexDdl)
        if (key.rfind(table + ".", 0) == 0) text += ddl;
    } else {
      call += " [";
      for (const std::string& name : *names) {
        call += name + ";";
        text += indexDdl[table + "." + name];
      }
      call += "]";
    }
    calls.push_back(call);
    return text + "\r\n";
  }

 private:
  const ComparisonOptions& options_;
};

// A StructureRun over two fake databases, a recording writer and host, and a running control.
struct StructureHarness {
  ComparisonOptions options;
  RecordingWriter out;
  RecordingHost host;
  RunControl control;
  std::vector<CommonTable> tables;
  ScriptDependencies dependencies;
  FakeDictionary db1, db2;
  FakeScripts scripts{options};
  StructureRun run{options, out, host, [this] { control.checkpoint(); }, tables, dependencies};

  StructureHarness() {
    control.beginRun();
    db2.owner = "HR";
    options.setDerivedValues();
    run.database1 = {1, "SCOTT", "SCOTT@ORCL", &db1, &db1.tableNames};
    run.database2 = {2, "HR", "HR@TEST", &db2, &db2.tableNames};
    run.scripts = &scripts;
  }
  void setMode(int mode) {
    options.i_DoingUpgradeScript = mode;
    options.setDerivedValues();
  }
  // A common table in the work list, paired by the same name.
  CommonTable& common(const std::string& name) {
    CommonTable table;
    table.firstName = name;
    table.secondName = name;
    tables.push_back(table);
    if (static_cast<int>(name.size()) > run.tableNameWidth)
      run.tableNameWidth = static_cast<int>(name.size());
    return tables.back();
  }
};

}  // namespace velmora
