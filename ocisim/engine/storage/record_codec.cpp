#include "engine/storage/record_codec.h"

#include <algorithm>
#include <set>
#include <stdexcept>

#include "engine/storage/catalog_codec.h"
#include "engine/storage/catalog_sync.h"
#include "engine/storage/value_codec.h"

namespace ocisim::storage {
namespace {

// Row operations inside RowChanges frames.
enum RowOp : uint8_t {
  kOpTable = 1,   // table id, column count: the table the following operations touch
  kOpInsert = 2,  // row id, values
  kOpUpdate = 3,  // row id, values (the row as committed)
  kOpDelete = 4,  // row id
};

// Frames are closed near this size so that reading and writing need little memory.
constexpr size_t kFrameTarget = 1u << 20;

// Writes row operations, starting a new RowChanges frame when one gets large; each frame
// names its table again so it can be read on its own.
class RowOpWriter {
 public:
  RowOpWriter(FrameWriter& out, JournalStats* stats) : out_(out), stats_(stats) {}
  ~RowOpWriter() = default;

  void table(const Table& t) {
    if (open_ && current_ == &t) return;
    current_ = &t;
    if (!open_) begin();
    writeTableOp();
  }
  void row(RowOp op, RowId id, const Value* values) {
    if (!open_) {
      begin();
      writeTableOp();
    }
    ByteWriter& p = out_.payload();
    p.u8(op);
    p.varint(id);
    if (op != kOpDelete) {
      size_t width = current_->data->columnCount();
      for (size_t i = 0; i < width; ++i) {
        if (values) {
          writeValue(p, values[i]);
        } else {
          writeValue(p, Value());
        }
      }
    }
    if (stats_) ++stats_->rowRecords;
    if (out_.payloadSize() >= kFrameTarget) close();
  }
  void close() {
    if (!open_) return;
    out_.endFrame();
    open_ = false;
  }

 private:
  void begin() {
    out_.beginFrame(FrameType::RowChanges);
    open_ = true;
  }
  void writeTableOp() {
    ByteWriter& p = out_.payload();
    p.u8(kOpTable);
    p.svarint(current_->header.objectId);
    p.varint(current_->data->columnCount());
  }

  FrameWriter& out_;
  JournalStats* stats_;
  const Table* current_ = nullptr;
  bool open_ = false;
};

void writeCatalogFrame(FrameWriter& out, const Database& db, JournalStats* stats) {
  out.beginFrame(FrameType::Catalog);
  writeCatalog(out.payload(), db.catalog());
  if (stats) stats->catalogBytes += out.payloadSize();
  out.endFrame();
}

// A TableReset frame and every live row of the table.
void writeWholeTable(FrameWriter& out, const Table& t, JournalStats* stats) {
  const TableData& data = *t.data;
  out.beginFrame(FrameType::TableReset);
  out.payload().svarint(t.header.objectId);
  out.payload().varint(data.columnCount());
  out.endFrame();
  RowOpWriter rows(out, stats);
  rows.table(t);
  for (RowId id = 0; id < data.slotLimit(); ++id) {
    if (const Value* r = data.row(id)) rows.row(kOpInsert, id, r);
  }
  rows.close();
}

// Puts a journal row in its slot. The writer took the slot with TableData::insert (the newest
// free slot, or a new one at the end); replaying the same history hands out the same slot, so
// insert is tried first: insertAt looks for the slot among all free ones, which over many
// freed slots would make replaying a large insert statement quadratic.
void insertInto(TableData& data, RowId id, Row values) {
  RowId got = data.insert(std::move(values));
  if (got == id) return;
  Row back = data.erase(got);
  data.insertAt(id, std::move(back));
}

}  // namespace

void writeStatement(FrameWriter& out, const Database& db, const CommitRecord& record,
                    const CatalogDelta* catalog, uint64_t statementNumber, JournalStats& stats) {
  if (catalog) {
    out.beginFrame(FrameType::CatalogDelta);
    writeCatalogDelta(out.payload(), *catalog);
    stats.catalogBytes += out.payloadSize();
    out.endFrame();
  } else if (record.catalogChanged) {
    writeCatalogFrame(out, db, &stats);
  }
  std::set<ObjectId> rewritten;
  for (ObjectId id : record.rewrittenTables) {
    const Table* t = db.findTableById(id);
    if (t && rewritten.insert(id).second) writeWholeTable(out, *t, &stats);
  }
  RowOpWriter rows(out, &stats);
  ObjectId lastId = -1;
  const Table* table = nullptr;
  for (const RowChange& change : record.rows) {
    if (change.tableId != lastId) {
      lastId = change.tableId;
      table = rewritten.count(lastId) ? nullptr : db.findTableById(lastId);
    }
    if (!table) continue;  // rewritten as a whole above, or dropped by the statement
    rows.table(*table);
    const Value* values = table->data->row(change.rowId);
    switch (change.kind) {
      case RowChange::Kind::Insert:
        // A row the statement inserted and deleted again: NULLs, the delete follows.
        rows.row(kOpInsert, change.rowId, values);
        break;
      case RowChange::Kind::Update:
        if (values) rows.row(kOpUpdate, change.rowId, values);  // else a delete follows
        break;
      case RowChange::Kind::Delete:
        rows.row(kOpDelete, change.rowId, nullptr);
        break;
    }
  }
  rows.close();
  if (!record.sequences.empty()) {
    out.beginFrame(FrameType::Sequences);
    std::vector<const Sequence*> sequences;
    for (ObjectId id : record.sequences) {
      if (const Sequence* s = db.findSequenceById(id)) sequences.push_back(s);
    }
    out.payload().varint(sequences.size());
    for (const Sequence* s : sequences) writeSequenceState(out.payload(), *s);
    out.endFrame();
  }
  out.beginFrame(FrameType::Commit);
  out.payload().u64(statementNumber);
  out.endFrame();
  ++stats.statements;
}

void writeSnapshot(FrameWriter& out, const Database& db) {
  out.beginFrame(FrameType::Identity);
  out.payload().bytes(db.globalName());
  out.payload().bytes(db.version());
  out.endFrame();
  writeCatalogFrame(out, db, nullptr);
  uint64_t rows = 0;
  for (const auto& [key, t] : db.catalog().tables()) {
    writeWholeTable(out, *t, nullptr);
    rows += t->data->rowCount();
  }
  out.beginFrame(FrameType::SnapshotEnd);
  out.payload().varint(db.catalog().tables().size());
  out.payload().varint(rows);
  out.endFrame();
}

// ---- FrameApplier ----

// Fills a freshly reset table: rows arrive in increasing slot order, so they are appended
// (free slots in between get placeholder rows removed at the end), without index upkeep; the
// indexes are built once when the table is complete.
struct FrameApplier::Loader {
  Table* table = nullptr;
  std::shared_ptr<TableData> data;
  RowId next = 0;
  std::vector<RowId> gaps;

  void add(RowId id, Row values) {
    if (id < next) throw CorruptData("rows of a table out of order");
    if (id - next > (uint64_t{1} << 32)) throw CorruptData("row slot out of range");
    while (next < id) {
      data->insert(Row(data->columnCount()));
      gaps.push_back(next++);
    }
    if (data->insert(std::move(values)) != id) throw CorruptData("row slot mismatch");
    next = id + 1;
  }
};

FrameApplier::FrameApplier(Database& db, JournalStats* stats, CatalogShadow* shadow)
    : db_(db), stats_(stats), shadow_(shadow) {}
FrameApplier::~FrameApplier() = default;

Table& FrameApplier::tableById(ObjectId id) {
  auto it = tables_.find(id);
  if (it != tables_.end()) return *it->second;
  tables_.clear();
  for (const auto& [key, t] : db_.catalog().tables()) tables_[t->header.objectId] = t.get();
  it = tables_.find(id);
  if (it == tables_.end()) throw CorruptData("rows of an unknown table");
  return *it->second;
}

void FrameApplier::finishLoad() {
  if (!loader_) return;
  for (RowId id : loader_->gaps) loader_->data->erase(id);
  db_.rebuildIndexes(*loader_->table);
  db_.catalog().bumpVersion();
  loader_.reset();
}

void FrameApplier::resetTable(ByteReader& in) {
  finishLoad();
  Table& t = tableById(in.svarint());
  uint64_t width = in.varint();
  if (width != t.columns.size()) throw CorruptData("row width does not match the table");
  loader_ = std::make_unique<Loader>();
  loader_->table = &t;
  loader_->data = std::make_shared<TableData>(t.columns.size());
  t.data = loader_->data;
}

void FrameApplier::applyRowChanges(ByteReader& in) {
  Table* table = nullptr;
  TableData* data = nullptr;
  Loader* loader = nullptr;
  while (!in.atEnd()) {
    uint8_t op = in.u8();
    if (op == kOpTable) {
      table = &tableById(in.svarint());
      data = table->data.get();
      if (in.varint() != data->columnCount()) throw CorruptData("row width does not match");
      loader = loader_ && loader_->table == table ? loader_.get() : nullptr;
      continue;
    }
    if (!data) throw CorruptData("row operation without a table");
    RowId id = in.varint();
    if (op == kOpDelete) {
      if (!data->row(id)) throw CorruptData("delete of a free row slot");
      data->erase(id);
    } else if (op == kOpInsert || op == kOpUpdate) {
      Row values(data->columnCount());
      for (Value& v : values) v = readValue(in);
      if (loader && op == kOpInsert) {
        loader->add(id, std::move(values));
      } else if (op == kOpInsert) {
        if (data->row(id)) throw CorruptData("insert into a used row slot");
        insertInto(*data, id, std::move(values));
      } else {
        if (!data->row(id)) throw CorruptData("update of a free row slot");
        data->update(id, std::move(values));
      }
    } else {
      throw CorruptData("unknown row operation");
    }
    if (stats_) ++stats_->rowRecords;
  }
}

void FrameApplier::applySequences(ByteReader& in) {
  for (size_t n = in.count(); n > 0; --n) {
    SequenceState state = readSequenceState(in);
    Sequence* s = db_.findSequenceById(state.objectId);
    if (!s) throw CorruptData("state of an unknown sequence");
    s->lastNumber = state.lastNumber;
    s->nextValue = state.nextValue;
    s->exhausted = state.exhausted;
  }
}

void FrameApplier::apply(const FrameReader::Frame& frame) {
  ByteReader in(frame.body);
  switch (frame.type) {
    case FrameType::Identity: {
      std::string name = in.string();
      std::string version = in.string();
      db_.setIdentity(name, version);
      break;
    }
    case FrameType::Catalog:
      finishLoad();
      applyCatalogImage(db_, readCatalog(in));
      tables_.clear();
      if (shadow_) shadow_->clear();
      if (stats_) stats_->catalogBytes += frame.body.size() + 1;
      break;
    case FrameType::CatalogDelta: {
      finishLoad();
      CatalogDelta delta = readCatalogDelta(in);
      if (!in.atEnd()) throw CorruptData("catalog delta longer than its entries");
      DeltaEffect effect = applyCatalogDelta(db_, delta);
      if (effect.tablesRemoved) {
        tables_.clear();
      } else if (!tables_.empty()) {
        for (Table* t : effect.tablesAdded) tables_[t->header.objectId] = t;
      }
      if (shadow_ && shadow_->valid()) shadow_->apply(delta);
      if (stats_) stats_->catalogBytes += frame.body.size() + 1;
      break;
    }
    case FrameType::TableReset:
      resetTable(in);
      break;
    case FrameType::RowChanges:
      applyRowChanges(in);
      break;
    case FrameType::Sequences:
      applySequences(in);
      break;
    case FrameType::Commit:
      finishLoad();
      if (stats_) ++stats_->statements;
      break;
    case FrameType::SnapshotEnd: {
      finishLoad();
      uint64_t tables = in.varint();
      uint64_t rows = in.varint();
      uint64_t haveRows = 0;
      for (const auto& [key, t] : db_.catalog().tables()) haveRows += t->data->rowCount();
      if (tables != db_.catalog().tables().size() || rows != haveRows) {
        throw CorruptData("snapshot counts do not match its contents");
      }
      sawSnapshotEnd_ = true;
      break;
    }
  }
}

}  // namespace ocisim::storage
