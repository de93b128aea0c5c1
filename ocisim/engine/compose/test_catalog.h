// Test data for the storage tests: catalog records with every field set to something other
// than its default, rows of every kind of value, and a text dump of a whole database (every
// catalog field, every row with its slot, every index in its order) that tells two databases
// apart wherever storage could lose or garble something.
#pragma once

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "engine/compose/storage_test_support.h"
#include "engine/exec/database.h"
#include "engine/sql/parser.h"

namespace ocisim::storage::testing {

inline DateTime someDate(int i) {
  return DateTime::make(1990 + i % 30, 1 + i % 12, 1 + i % 28, i % 24, i % 60, (i * 7) % 60);
}

inline ObjectHeader makeHeader(Catalog& c, const std::string& owner, const std::string& name) {
  ObjectHeader h;
  h.objectId = c.allocateObjectId();
  h.owner = owner;
  h.name = name;
  h.created = someDate(static_cast<int>(h.objectId % 97));
  h.lastDdlTime = someDate(static_cast<int>(h.objectId % 89) + 1);
  return h;
}

// Parsed forms as the DDL executor keeps them next to the text.
inline std::shared_ptr<const sql::Expr> parsedDefault(const std::string& text) {
  auto stmt = sql::parseStatement("SELECT " + text + " FROM DUAL");
  return std::shared_ptr<const sql::Expr>(
      std::move(stmt->as<sql::SelectStmt>().query->block->items.at(0).expr));
}

inline std::shared_ptr<const sql::Expr> parsedCondition(const std::string& text) {
  auto stmt = sql::parseStatement("SELECT 1 FROM DUAL WHERE " + text);
  return std::shared_ptr<const sql::Expr>(
      std::move(stmt->as<sql::SelectStmt>().query->block->where));
}

// Column i of a test table: the types cycle so every kind of value is stored.
inline DataType columnType(int i) {
  switch (i % 8) {
    case 0:
      return DataType::number(10, 0);
    case 1:
      return DataType::varchar2(100);
    case 2:
      return DataType::date();
    case 3:
      return DataType::number(12, 4);
    case 4:
      return DataType::charType(6);
    case 5:
      return DataType::timestamp(6);
    case 6:
      return DataType::raw(32);
    default:
      return DataType::clob();
  }
}

inline std::unique_ptr<Table> makeTable(Catalog& c, const std::string& owner,
                                        const std::string& name, int columns) {
  auto t = std::make_unique<Table>();
  t->header = makeHeader(c, owner, name);
  for (int i = 0; i < columns; ++i) {
    Column col;
    col.name = "C" + std::to_string(i);
    col.type = columnType(i);
    if (i % 8 == 1) col.defaultText = "'none'";
    if (i % 8 == 2) col.defaultText = "SYSDATE";
    if (!col.defaultText.empty()) col.defaultExpr = parsedDefault(col.defaultText);
    t->columns.push_back(std::move(col));
  }
  t->storage.pctFree = 5;
  t->storage.tablespace = "DATA01";
  t->storage.initialExtent = 131072;
  t->data = std::make_shared<TableData>(t->columns.size());
  return t;
}

// Values derived from n for every column of the table (some NULL, some long, some fractional).
inline Row makeRow(const Table& t, int64_t n) {
  Row row;
  for (size_t i = 0; i < t.columns.size(); ++i) {
    if ((n + static_cast<int64_t>(i)) % 11 == 0 && i > 0) {
      row.push_back(Value());
      continue;
    }
    std::string text = "row-" + std::to_string(n);
    if (n % 7 == 0) text += " with a text longer than the inline capacity";
    switch (i % 8) {
      case 0:
        row.push_back(Value::integer(n));
        break;
      case 1:
        row.push_back(Value::text(text));
        break;
      case 2:
        row.push_back(Value::date(someDate(static_cast<int>(n % 1000))));
        break;
      case 3:
        row.push_back(Value::number(*Decimal::parse(std::to_string(n) + ".0625")));
        break;
      case 4:
        row.push_back(Value::charText("c" + std::to_string(n % 100) + "   "));
        break;
      case 5: {
        DateTime d = someDate(static_cast<int>(n % 500));
        d.nanos = static_cast<uint32_t>(n * 1000 % 1000000000);
        row.push_back(Value::timestamp(d));
        break;
      }
      case 6:
        row.push_back(Value::binary(std::string("\x00\xff", 2) + text));
        break;
      default:
        row.push_back(Value::text(std::string(200 + n % 50, 'x')));
        break;
    }
  }
  return row;
}

inline RowId insertRow(Table& t, int64_t n, CommitRecord& record) {
  RowId id = t.data->insert(makeRow(t, n));
  record.rows.push_back({RowChange::Kind::Insert, t.header.objectId, id});
  return id;
}

inline void updateRow(Table& t, RowId id, int64_t n, CommitRecord& record) {
  t.data->update(id, makeRow(t, n));
  record.rows.push_back({RowChange::Kind::Update, t.header.objectId, id});
}

inline void deleteRow(Table& t, RowId id, CommitRecord& record) {
  t.data->erase(id);
  record.rows.push_back({RowChange::Kind::Delete, t.header.objectId, id});
}

// A table T (8 columns, a unique index on C0 and a descending one on C1) changed by
// statements of inserts, updates and deletes chosen by a fixed pseudo-random sequence.
class Workload {
 public:
  explicit Workload(Database& db) : db_(&db) {}

  void createTable() {
    runStatement(*db_, [&](CommitRecord& r) {
      Catalog& c = db_->catalog();
      Table& t = c.addTable(makeTable(c, "SYSTEM", "T", 8));
      for (auto [name, column, desc] : {std::tuple{"T_PK", "C0", false}, {"T_C1", "C1", true}}) {
        auto index = std::make_unique<Index>();
        index->header = makeHeader(c, "SYSTEM", name);
        index->tableOwner = "SYSTEM";
        index->tableName = "T";
        index->unique = std::string(name) == "T_PK";
        index->columns = {{column, desc}};
        c.addIndex(std::move(index));
      }
      db_->rebuildIndexes(t);
      r.catalogChanged = true;
    });
  }

  Table& table() { return *db_->catalog().findTable("SYSTEM", "T"); }

  // Inserts `inserts` rows, updates and deletes a few of the live ones.
  void statement(int inserts, int updates, int deletes) {
    runStatement(*db_, [&](CommitRecord& r) {
      Table& t = table();
      for (int i = 0; i < inserts; ++i) live_.push_back(insertRow(t, next_++, r));
      for (int i = 0; i < updates && !live_.empty(); ++i) {
        updateRow(t, live_[pick() % live_.size()], next_++ + 1000000, r);
      }
      for (int i = 0; i < deletes && !live_.empty(); ++i) {
        size_t k = pick() % live_.size();
        deleteRow(t, live_[k], r);
        live_.erase(live_.begin() + static_cast<long>(k));
      }
    });
  }

  void mixed(int statements) {
    for (int s = 0; s < statements; ++s) statement(1 + s % 5, s % 3, s % 4 == 0 ? 2 : 0);
  }

 private:
  uint64_t pick() {
    seed_ = seed_ * 6364136223846793005ull + 1442695040888963407ull;
    return seed_ >> 33;
  }
  Database* db_;
  std::vector<RowId> live_;
  int64_t next_ = 1;
  uint64_t seed_ = 42;
};

// Every kind of catalog object (owner SCOTT) with non-default values, and a few rows.
void addEveryKindOfObject(Database& db, CommitRecord& record);

std::string dumpCatalog(const Database& db);
std::string dumpRows(const Database& db);

inline std::string dumpDatabase(const Database& db) {
  return "identity " + db.globalName() + " " + db.version() + "\n" + dumpCatalog(db) + dumpRows(db);
}

}  // namespace ocisim::storage::testing
