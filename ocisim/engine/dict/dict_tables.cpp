// ALL_TAB_COLUMNS, ALL_TABLES and USER_SEGMENTS: columns of tables and views, and the storage
// attributes of tables.
#include <algorithm>
#include <memory>

#include "engine/dict/dict_view.h"
#include "engine/dict/views.h"

namespace ocisim::dict {
namespace {

constexpr int64_t kBlockSize = 8192;

// A table or index segment of the user (USER_SEGMENTS). Every table and index has one, created
// with the table: its size is what MINEXTENTS allocates (INITIAL, then NEXT growing by
// PCTINCREASE per extent); rows never grow it here.
struct Segment {
  std::string name;
  const char* type;  // TABLE / INDEX
  const StorageAttributes* storage;
  int64_t bytes = 0;
  int64_t extents = 0;
};

int64_t allocatedBytes(const StorageAttributes& st) {
  int64_t extents = std::max<int64_t>(1, std::min<int64_t>(st.minExtents, 1000));
  int64_t bytes = st.initialExtent;
  int64_t next = st.nextExtent;
  for (int64_t i = 1; i < extents; ++i) {
    bytes += next;
    next += next * st.pctIncrease / 100;
  }
  // Extents are whole blocks.
  return (bytes + kBlockSize - 1) / kBlockSize * kBlockSize;
}

std::vector<Segment> segmentsOf(const Catalog& cat, const std::string& user) {
  std::vector<Segment> out;
  auto add = [&](const std::string& name, const char* type, const StorageAttributes& st) {
    out.push_back({name, type, &st, allocatedBytes(st), std::max<int64_t>(1, st.minExtents)});
  };
  for (auto it = cat.tables().lower_bound(NameKey(user, ""));
       it != cat.tables().end() && it->first.first == user; ++it) {
    // A temporary table and its indexes have no segment until a session uses them.
    if (!it->second->temporary) add(it->second->header.name, "TABLE", it->second->storage);
  }
  for (auto it = cat.indexes().lower_bound(NameKey(user, ""));
       it != cat.indexes().end() && it->first.first == user; ++it) {
    const Table* t = cat.findTable(it->second->tableOwner, it->second->tableName);
    if (t && t->temporary) continue;
    add(it->second->header.name, "INDEX", it->second->storage);
  }
  return out;
}

bool isCharacterColumn(const DataType& t) {
  return t.code == TypeCode::Varchar2 || t.code == TypeCode::Char;
}

// One column of a table or view, in ALL_TAB_COLUMNS form.
void emitColumn(const std::string& owner, const std::string& table, int64_t columnId,
                const std::string& name, const DataType& type, bool nullable,
                const std::string& defaultText, size_t width, const RowEmitter& emit) {
  RowBuilder r(width);
  r.text(owner).text(table).text(name).text(type.dictDataType());
  r.null();  // DATA_TYPE_MOD: only REF and pointer columns have one
  r.text(type.code == TypeCode::Object ? type.owner : "");
  r.number(int64_t{type.dictDataLength()});
  auto precision = type.dictDataPrecision();
  auto scale = type.dictDataScale();
  r.number(precision ? std::optional<int64_t>(*precision) : std::nullopt);
  r.number(scale ? std::optional<int64_t>(*scale) : std::nullopt);
  r.yn(nullable).number(columnId);
  r.number(defaultText.empty() ? std::nullopt
                               : std::optional<int64_t>(static_cast<int64_t>(defaultText.size())));
  r.text(defaultText);
  // Statistics: never analyzed.
  r.null().null().null().null().null().null().null().null();
  bool character = isCharacterColumn(type);
  bool hasCharset = character || type.code == TypeCode::Clob || type.code == TypeCode::Long;
  r.text(hasCharset ? (type.national ? "NCHAR_CS" : "CHAR_CS") : "");
  // CHAR_COL_DECL_LENGTH is the declared length in bytes (DATA_LENGTH); CHAR_LENGTH the
  // declared length in its own unit, which CHAR_USED names.
  r.number(character ? std::optional<int64_t>(type.dictDataLength()) : std::nullopt);
  r.yesNo(false).yesNo(false).null();  // GLOBAL_STATS, USER_STATS, AVG_COL_LEN
  r.number(int64_t{type.charLength()});
  r.text(character ? (type.charSemantics ? "C" : "B") : "");
  r.yesNo(false).yesNo(true).text("NONE");  // V80_FMT_IMAGE, DATA_UPGRADED, HISTOGRAM
  r.yesNo(false).yesNo(false);              // DEFAULT_ON_NULL, IDENTITY_COLUMN
  emit(r.take());
}

void emitTableColumns(const Catalog& cat, const Table& t, size_t width, const RowEmitter& emit) {
  int64_t id = 1;
  for (const Column& c : t.columns) {
    bool nullable = cat.isNullable(t.header.owner, t.header.name, c.name);
    emitColumn(t.header.owner, t.header.name, id++, c.name, c.type, nullable, c.defaultText,
               width, emit);
  }
}

void emitViewColumns(const View& v, size_t width, const RowEmitter& emit) {
  int64_t id = 1;
  for (const ViewColumn& c : v.columns) {
    emitColumn(v.header.owner, v.header.name, id++, c.name, c.type, c.nullable, "", width, emit);
  }
}

std::shared_ptr<DictView> allTabColumns() {
  std::vector<DictColumn> columns = {
      ident("OWNER"),
      ident("TABLE_NAME"),
      ident("COLUMN_NAME"),
      text("DATA_TYPE", 106),
      text("DATA_TYPE_MOD", 3, 800),
      ident("DATA_TYPE_OWNER", 800),
      number("DATA_LENGTH"),
      number("DATA_PRECISION"),
      number("DATA_SCALE"),
      text("NULLABLE", 1),
      number("COLUMN_ID"),
      number("DEFAULT_LENGTH"),
      longCol("DATA_DEFAULT"),
      number("NUM_DISTINCT"),
      raw("LOW_VALUE", 32),
      raw("HIGH_VALUE", 32),
      number("DENSITY"),
      number("NUM_NULLS"),
      number("NUM_BUCKETS"),
      date("LAST_ANALYZED"),
      number("SAMPLE_SIZE"),
      text("CHARACTER_SET_NAME", 44, 800),
      number("CHAR_COL_DECL_LENGTH", 800),
      text("GLOBAL_STATS", 3, 801),
      text("USER_STATS", 3, 801),
      number("AVG_COL_LEN", 801),
      number("CHAR_LENGTH", 900),
      text("CHAR_USED", 1, 900),
      text("V80_FMT_IMAGE", 3, 900),
      text("DATA_UPGRADED", 3, 900),
      text("HISTOGRAM", 15, 1000),
      text("DEFAULT_ON_NULL", 3, 1201),
      text("IDENTITY_COLUMN", 3, 1201),
  };
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        const Catalog& cat = s.catalog();
        auto owner = s.pinned("OWNER");
        auto table = s.pinned("TABLE_NAME");
        if (owner && table) {  // the product's per-table query: no scan
          if (!s.visibility().tableOrView(*owner, *table)) return;
          if (const Table* t = cat.findTable(*owner, *table)) emitTableColumns(cat, *t, width, emit);
          if (const View* v = cat.findView(*owner, *table)) emitViewColumns(*v, width, emit);
          return;
        }
        auto wanted = [&](const ObjectHeader& h) {
          return (!owner || *owner == h.owner) && (!table || *table == h.name) &&
                 s.visibility().tableOrView(h.owner, h.name);
        };
        // Tables and views interleaved by (owner, name), as one listing.
        auto t = cat.tables().begin();
        auto v = cat.views().begin();
        while (t != cat.tables().end() || v != cat.views().end()) {
          bool takeTable = v == cat.views().end() ||
                           (t != cat.tables().end() && t->first < v->first);
          if (takeTable) {
            if (wanted(t->second->header)) emitTableColumns(cat, *t->second, width, emit);
            ++t;
          } else {
            if (wanted(v->second->header)) emitViewColumns(*v->second, width, emit);
            ++v;
          }
        }
      });
}

std::shared_ptr<DictView> allTables() {
  std::vector<DictColumn> columns = {
      ident("OWNER"),
      ident("TABLE_NAME"),
      ident("TABLESPACE_NAME"),
      ident("CLUSTER_NAME"),
      ident("IOT_NAME", 800),
      text("STATUS", 8, 1000),
      number("PCT_FREE"),
      number("PCT_USED"),
      number("INI_TRANS"),
      number("MAX_TRANS"),
      number("INITIAL_EXTENT"),
      number("NEXT_EXTENT"),
      number("MIN_EXTENTS"),
      number("MAX_EXTENTS"),
      number("PCT_INCREASE"),
      number("FREELISTS"),
      number("FREELIST_GROUPS"),
      text("LOGGING", 3, 800),
      text("BACKED_UP", 1),
      number("NUM_ROWS"),
      number("BLOCKS"),
      number("EMPTY_BLOCKS"),
      number("AVG_SPACE"),
      number("CHAIN_CNT"),
      number("AVG_ROW_LEN"),
      number("AVG_SPACE_FREELIST_BLOCKS", 801),
      number("NUM_FREELIST_BLOCKS", 801),
      text("DEGREE", 10),
      text("INSTANCES", 10),
      text("CACHE", 5),
      text("TABLE_LOCK", 8),
      number("SAMPLE_SIZE", 800),
      date("LAST_ANALYZED", 800),
      text("PARTITIONED", 3, 800),
      text("IOT_TYPE", 12, 800),
      text("TEMPORARY", 1, 800),
      text("SECONDARY", 1, 801),
      text("NESTED", 3, 800),
      text("BUFFER_POOL", 7, 800),
      text("FLASH_CACHE", 7, 1102),
      text("CELL_FLASH_CACHE", 7, 1102),
      text("ROW_MOVEMENT", 8, 801),
      text("GLOBAL_STATS", 3, 801),
      text("USER_STATS", 3, 801),
      text("DURATION", 15, 801),
      text("SKIP_CORRUPT", 8, 801),
      text("MONITORING", 3, 801),
      ident("CLUSTER_OWNER", 900),
      text("DEPENDENCIES", 8, 1000),
      text("COMPRESSION", 8, 902),
      text("COMPRESS_FOR", 30, 1101),
      text("DROPPED", 3, 1000),
      text("READ_ONLY", 3, 1101),
      text("SEGMENT_CREATED", 3, 1102),
      text("RESULT_CACHE", 7, 1102),
  };
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        for (const auto& [key, t] : s.catalog().tables()) {
          const ObjectHeader& h = t->header;
          if (!s.admits("OWNER", h.owner) || !s.admits("TABLE_NAME", h.name) ||
              !s.visibility().tableOrView(h.owner, h.name)) {
            continue;
          }
          const StorageAttributes& st = t->storage;
          RowBuilder r(width);
          if (t->organizationIndex) {
            // An index-organized table has no segment of its own: its storage is its
            // primary key index's (ALL_INDEXES, INDEX_TYPE IOT - TOP).
            r.text(h.owner).text(h.name).null().null().null().text("VALID");
            r.number(0).null().number(0).number(0);
            r.null().null().null().null().null().null().null().yesNo(true).yn(false);
          } else if (t->temporary) {
            // A temporary table's rows go to the temporary tablespace of each session's user:
            // no tablespace, no extents, no logging.
            r.text(h.owner).text(h.name).null().null().null().text("VALID");
            r.number(st.pctFree).number(st.pctUsed).number(st.iniTrans).number(st.maxTrans);
            r.null().null().null().null().null().null().null().yesNo(false).yn(false);
          } else {
            r.text(h.owner).text(h.name).text(st.tablespace).null().null().text("VALID");
            r.number(st.pctFree).number(st.pctUsed).number(st.iniTrans).number(st.maxTrans);
            r.number(st.initialExtent).number(st.nextExtent).number(st.minExtents);
            r.number(st.maxExtents).number(st.pctIncrease).number(st.freelists);
            r.number(st.freelistGroups).yesNo(true).yn(false);
          }
          r.null().null().null().null().null().null().null().null();  // statistics
          r.text("         1").text("         1").text("    N").text("ENABLED");
          r.null().null().yesNo(false);
          if (t->organizationIndex) {
            r.text("IOT");
          } else {
            r.null();
          }
          r.yn(t->temporary).yn(false).yesNo(false);
          r.text("DEFAULT").text("DEFAULT").text("DEFAULT").text("DISABLED");
          r.yesNo(false).yesNo(false);
          if (t->temporary) {
            r.text(t->onCommitPreserve ? "SYS$SESSION" : "SYS$TRANSACTION");
          } else {
            r.null();
          }
          r.text("DISABLED").yesNo(s.release >= 1000);
          r.null().text("DISABLED").text("DISABLED").null().yesNo(false).yesNo(false);
          r.yesNo(true).text("DEFAULT");
          emit(r.take());
        }
      });
}

std::shared_ptr<DictView> userSegments() {
  std::vector<DictColumn> columns = {
      text("SEGMENT_NAME", 81),      ident("PARTITION_NAME", 800), text("SEGMENT_TYPE", 18),
      ident("TABLESPACE_NAME"),      number("BYTES"),              number("BLOCKS"),
      number("EXTENTS"),             number("INITIAL_EXTENT"),     number("NEXT_EXTENT"),
      number("MIN_EXTENTS"),         number("MAX_EXTENTS"),        number("PCT_INCREASE"),
      number("FREELISTS"),           number("FREELIST_GROUPS"),    text("BUFFER_POOL", 7, 800),
  };
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        for (const Segment& seg : segmentsOf(s.catalog(), s.user())) {
          if (!s.admits("SEGMENT_NAME", seg.name) || !s.admits("SEGMENT_TYPE", seg.type)) {
            continue;
          }
          const StorageAttributes& st = *seg.storage;
          RowBuilder r(width);
          r.text(seg.name).null().text(seg.type).text(st.tablespace).number(seg.bytes);
          r.number(seg.bytes / kBlockSize).number(seg.extents).number(st.initialExtent);
          r.number(st.nextExtent).number(st.minExtents).number(st.maxExtents);
          r.number(st.pctIncrease).number(st.freelists).number(st.freelistGroups);
          r.text("DEFAULT");
          emit(r.take());
        }
      });
}

}  // namespace

void addTableViews(VirtualTableRegistry& registry) {
  registry.add("ALL_TAB_COLUMNS", allTabColumns());
  registry.add("ALL_TABLES", allTables());
  registry.add("USER_SEGMENTS", userSegments());
}

}  // namespace ocisim::dict
