// ALL_INDEXES, ALL_IND_COLUMNS and ALL_IND_EXPRESSIONS.
#include <memory>

#include "engine/dict/dict_view.h"
#include "engine/dict/views.h"

namespace ocisim::dict {
namespace {

// The indexes the session user may see, filtered by the pinned columns.
std::vector<const Index*> visibleIndexes(const DictScan& s, const char* ownerColumn) {
  std::vector<const Index*> out;
  auto consider = [&](const Index& i) {
    if (s.admits(ownerColumn, i.header.owner) && s.admits("INDEX_NAME", i.header.name) &&
        s.admits("TABLE_OWNER", i.tableOwner) && s.admits("TABLE_NAME", i.tableName) &&
        s.visibility().index(i)) {
      out.push_back(&i);
    }
  };
  const auto owner = s.pinned(ownerColumn);
  const auto name = s.pinned("INDEX_NAME");
  if (owner && name) {  // one index: a lookup
    if (const Index* i = s.catalog().findIndex(*owner, *name)) consider(*i);
    return out;
  }
  const auto tableOwner = s.pinned("TABLE_OWNER");
  const auto table = s.pinned("TABLE_NAME");
  if (tableOwner && table) {  // the indexes of one table
    for (const Index* i : s.catalog().tableIndexes(*tableOwner, *table)) consider(*i);
    return out;
  }
  for (const auto& [key, i] : s.catalog().indexes()) consider(*i);
  return out;
}

bool isFunctionBased(const Index& i) {
  for (const IndexColumn& c : i.columns) {
    if (c.descending) return true;
  }
  return false;
}

// ALL_INDEXES.INDEX_TYPE: a DESC column makes an index function-based.
const char* indexType(const Index& i) {
  if (i.iotTop) return "IOT - TOP";
  if (isFunctionBased(i)) return i.bitmap ? "FUNCTION-BASED BITMAP" : "FUNCTION-BASED NORMAL";
  return i.bitmap ? "BITMAP" : "NORMAL";
}

// The hidden column a DESC column is indexed through: SYS_NC00009$. An index read from an
// older database has no number: it takes one after the table's columns, by its position
// among the table's DESC columns.
std::string hiddenColumnName(const DictScan& s, const Index& index, size_t position) {
  int number = index.columns[position].hiddenColumn;
  if (number == 0) {
    const Table* table = s.catalog().findTable(index.tableOwner, index.tableName);
    number = table ? static_cast<int>(table->columns.size()) : 0;
    for (const Index* other : s.catalog().tableIndexes(index.tableOwner, index.tableName)) {
      for (size_t k = 0; k < other->columns.size(); ++k) {
        if (!other->columns[k].descending) continue;
        ++number;
        if (other == &index && k == position) break;
      }
      if (other == &index) break;
    }
  }
  std::string digits = std::to_string(number);
  return "SYS_NC" + std::string(digits.size() < 5 ? 5 - digits.size() : 0, '0') + digits + "$";
}

std::shared_ptr<DictView> allIndexes() {
  std::vector<DictColumn> columns = {
      ident("OWNER"),
      ident("INDEX_NAME"),
      text("INDEX_TYPE", 27, 800),
      ident("TABLE_OWNER"),
      ident("TABLE_NAME"),
      charCol("TABLE_TYPE", 5),
      text("UNIQUENESS", 9),
      text("COMPRESSION", 8, 801),
      number("PREFIX_LENGTH", 801),
      ident("TABLESPACE_NAME"),
      number("INI_TRANS"),
      number("MAX_TRANS"),
      number("INITIAL_EXTENT"),
      number("NEXT_EXTENT"),
      number("MIN_EXTENTS"),
      number("MAX_EXTENTS"),
      number("PCT_INCREASE"),
      number("PCT_THRESHOLD", 800),
      number("INCLUDE_COLUMN", 800),
      number("FREELISTS"),
      number("FREELIST_GROUPS"),
      number("PCT_FREE"),
      text("LOGGING", 3, 800),
      number("BLEVEL"),
      number("LEAF_BLOCKS"),
      number("DISTINCT_KEYS"),
      number("AVG_LEAF_BLOCKS_PER_KEY"),
      number("AVG_DATA_BLOCKS_PER_KEY"),
      number("CLUSTERING_FACTOR"),
      text("STATUS", 8),
      number("NUM_ROWS", 800),
      number("SAMPLE_SIZE", 800),
      date("LAST_ANALYZED", 800),
      text("DEGREE", 40, 800),
      text("INSTANCES", 40, 800),
      text("PARTITIONED", 3, 800),
      text("TEMPORARY", 1, 800),
      text("GENERATED", 1, 800),
      text("SECONDARY", 1, 801),
      text("BUFFER_POOL", 7, 800),
      text("FLASH_CACHE", 7, 1102),
      text("CELL_FLASH_CACHE", 7, 1102),
      text("USER_STATS", 3, 801),
      text("DURATION", 15, 801),
      number("PCT_DIRECT_ACCESS", 801),
      ident("ITYP_OWNER", 801),
      ident("ITYP_NAME", 801),
      text("PARAMETERS", 1000, 801),
      text("GLOBAL_STATS", 3, 801),
      text("DOMIDX_STATUS", 12, 801),
      text("DOMIDX_OPSTATUS", 6, 801),
      text("FUNCIDX_STATUS", 8, 801),
      text("JOIN_INDEX", 3, 900),
      text("IOT_REDUNDANT_PKEY_ELIM", 3, 1000),
      text("DROPPED", 3, 1000),
      text("VISIBILITY", 9, 1101),
      text("DOMIDX_MANAGEMENT", 14, 1102),
      text("SEGMENT_CREATED", 3, 1102),
  };
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        for (const Index* i : visibleIndexes(s, "OWNER")) {
          const char* uniqueness = i->unique ? "UNIQUE" : "NONUNIQUE";
          if (!s.admits("UNIQUENESS", uniqueness)) continue;
          const StorageAttributes& st = i->storage;
          bool compressed = i->compressPrefix > 0;
          // An index of a temporary table has no segment (no tablespace) and its duration.
          const Table* table = s.catalog().findTable(i->tableOwner, i->tableName);
          bool temporary = table && table->temporary;
          RowBuilder r(width);
          r.text(i->header.owner).text(i->header.name).text(indexType(*i)).text(i->tableOwner);
          r.text(i->tableName).charText("TABLE").text(uniqueness);
          r.text(compressed ? "ENABLED" : "DISABLED");
          r.number(compressed ? std::optional<int64_t>(i->compressPrefix) : std::nullopt);
          if (temporary) {
            r.null();
          } else {
            r.text(st.tablespace);
          }
          r.number(st.iniTrans).number(st.maxTrans);
          r.number(st.initialExtent).number(st.nextExtent).number(st.minExtents);
          r.number(st.maxExtents).number(st.pctIncrease);
          // PCT_THRESHOLD: an index-organized table's top index keeps rows up to 50% of a block.
          r.number(i->iotTop ? std::optional<int64_t>(50) : std::nullopt).null();
          r.number(st.freelists);
          r.number(st.freelistGroups).number(st.pctFree).yesNo(true);
          r.null().null().null().null().null().null();  // statistics: never analyzed
          r.text(i->unusable ? "UNUSABLE" : "VALID").null().null().null().text("1").text("1");
          r.yesNo(false);
          r.yn(temporary).yn(i->generatedName).yn(false);
          r.text("DEFAULT").text("DEFAULT").text("DEFAULT").yesNo(false);
          if (temporary) {  // DURATION
            r.text(table->onCommitPreserve ? "SYS$SESSION" : "SYS$TRANSACTION");
          } else {
            r.null();
          }
          r.null().null().null().null().yesNo(false);  // PCT_DIRECT_ACCESS .. GLOBAL_STATS
          r.null().null();                                    // DOMIDX_STATUS, DOMIDX_OPSTATUS
          r.text(isFunctionBased(*i) ? "ENABLED" : "");       // FUNCIDX_STATUS
          r.yesNo(false).yesNo(false).yesNo(false);
          r.text("VISIBLE").null().yesNo(true);
          emit(r.take());
        }
      });
}

std::shared_ptr<DictView> allIndColumns() {
  std::vector<DictColumn> columns = {
      ident("INDEX_OWNER"),    ident("INDEX_NAME"),        ident("TABLE_OWNER"),
      ident("TABLE_NAME"),     text("COLUMN_NAME", 4000),  number("COLUMN_POSITION"),
      number("COLUMN_LENGTH"), number("CHAR_LENGTH", 900), text("DESCEND", 4, 801),
  };
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        for (const Index* i : visibleIndexes(s, "INDEX_OWNER")) {
          const Table* table = s.catalog().findTable(i->tableOwner, i->tableName);
          int64_t position = 1;
          for (const IndexColumn& c : i->columns) {
            int at = table ? table->columnIndex(c.name) : -1;
            DataType type = at >= 0 ? table->columns[at].type : DataType::number();
            bool character = type.code == TypeCode::Varchar2 || type.code == TypeCode::Char;
            RowBuilder r(width);
            r.text(i->header.owner).text(i->header.name).text(i->tableOwner);
            size_t at0 = static_cast<size_t>(position - 1);
            r.text(i->tableName).text(c.descending ? hiddenColumnName(s, *i, at0) : c.name);
            r.number(position++);
            r.number(int64_t{type.dictDataLength()}).number(int64_t{character ? type.length : 0});
            r.text(c.descending ? "DESC" : "ASC");
            emit(r.take());
          }
        }
      });
}

}  // namespace

// ALL_IND_EXPRESSIONS (release 8.1 on): the expression of each function-based column; for a
// DESC column the quoted column name.
std::shared_ptr<DictView> allIndExpressions() {
  std::vector<DictColumn> columns = {
      ident("INDEX_OWNER"), ident("INDEX_NAME"),          ident("TABLE_OWNER"),
      ident("TABLE_NAME"),  longCol("COLUMN_EXPRESSION"), number("COLUMN_POSITION"),
  };
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        for (const Index* i : visibleIndexes(s, "INDEX_OWNER")) {
          for (size_t k = 0; k < i->columns.size(); ++k) {
            if (!i->columns[k].descending) continue;
            RowBuilder r(width);
            r.text(i->header.owner).text(i->header.name).text(i->tableOwner);
            r.text(i->tableName).text("\"" + i->columns[k].name + "\"");
            r.number(static_cast<int64_t>(k + 1));
            emit(r.take());
          }
        }
      });
}

void addIndexViews(VirtualTableRegistry& registry) {
  registry.add("ALL_INDEXES", allIndexes());
  registry.add("ALL_IND_COLUMNS", allIndColumns());
  registry.add("ALL_IND_EXPRESSIONS", allIndExpressions());
}

}  // namespace ocisim::dict
