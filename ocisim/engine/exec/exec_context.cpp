#include "engine/exec/exec_context.h"

#include <algorithm>
#include <ctime>

#include "engine/ora_error.h"

namespace ocisim {
namespace {

// The local time with its microseconds, as SYSTIMESTAMP shows it.
DateTime nowWithMicroseconds() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  std::tm tm{};
  localtime_r(&ts.tv_sec, &tm);
  uint32_t micros = static_cast<uint32_t>(ts.tv_nsec / 1000);
  return DateTime::make(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                        tm.tm_sec < 60 ? tm.tm_sec : 59, micros * 1000);
}

}  // namespace

// ---- UndoLog ----

void UndoLog::recordInsert(const Table& table, std::shared_ptr<TableData> data, RowId id) {
  entries_.push_back({std::move(data), table.header.objectId, id, RowChange::Kind::Insert, {},
                      table.temporary});
}

void UndoLog::recordUpdate(const Table& table, std::shared_ptr<TableData> data, RowId id,
                           Row old) {
  entries_.push_back({std::move(data), table.header.objectId, id, RowChange::Kind::Update,
                      std::move(old), table.temporary});
}

void UndoLog::recordDelete(const Table& table, std::shared_ptr<TableData> data, RowId id,
                           Row old) {
  entries_.push_back({std::move(data), table.header.objectId, id, RowChange::Kind::Delete,
                      std::move(old), table.temporary});
}

void UndoLog::rollback() {
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    switch (it->kind) {
      case RowChange::Kind::Insert:
        it->data->erase(it->id);
        break;
      case RowChange::Kind::Update:
        it->data->update(it->id, std::move(it->old));
        break;
      case RowChange::Kind::Delete:
        it->data->insertAt(it->id, std::move(it->old));
        break;
    }
  }
  entries_.clear();
}

std::vector<RowChange> UndoLog::rowChanges() const {
  std::vector<RowChange> out;
  out.reserve(entries_.size());
  for (const Entry& e : entries_) {
    if (!e.temporary) out.push_back({e.kind, e.tableId, e.id});
  }
  return out;
}

// ---- ExecContext ----

ExecContext::ExecContext(Session& s, const BindSet* b)
    : session(s), db(s.database()), catalog(s.database().catalog()), binds(b) {
  systimestamp = nowWithMicroseconds();
  sysdate = systimestamp;
  sysdate.nanos = 0;
  functions.nls = &s.nls();
  functions.sysdate = sysdate;
  functions.user = s.user();
  functions.currentSchema = s.currentSchema();
  functions.dbName = s.database().globalName();
  functions.sessionId = s.sessionId();
  if (s.database().majorVersion() < 9) functions.charset = "UTF8";
  if (const User* u = catalog.findUser(s.user())) functions.userId = u->userId;
}

const Value& ExecContext::bind(const std::string& name) const {
  if (outBinds) {
    if (const Value* v = outBinds->find(name)) return *v;
  }
  if (binds) {
    if (const Value* v = binds->find(name)) return *v;
  }
  throw OraError(1008);
}

Value ExecContext::nextval(Sequence& seq) {
  auto cached = nextvalOfRow_.find(seq.header.objectId);
  if (cached != nextvalOfRow_.end() && cached->second.first == rowSerial_) {
    return cached->second.second;
  }
  if (seq.exhausted) {
    throw OraError(8004, {seq.header.name, seq.incrementBy.isNegative() ? "goes below MINVALUE"
                                                                     : "exceeds MAXVALUE"});
  }
  Decimal value = seq.nextValue;
  Decimal following = value + seq.incrementBy;
  bool ascending = !seq.incrementBy.isNegative();
  bool past = ascending ? seq.maxValue < following : following < seq.minValue;
  if (past) {
    if (seq.cycle) {
      following = ascending ? seq.minValue : seq.maxValue;
    } else {
      seq.exhausted = true;
    }
  }
  if (seq.cacheSize == 0) {
    seq.lastNumber = following;
  } else if (ascending ? !(value < seq.lastNumber) : !(seq.lastNumber < value)) {
    seq.lastNumber = value + seq.incrementBy * Decimal::fromInt64(seq.cacheSize);
  }
  seq.nextValue = following;
  session.setCurrval(seq.header.objectId, value);
  if (std::find(sequencesTouched.begin(), sequencesTouched.end(), seq.header.objectId) ==
      sequencesTouched.end()) {
    sequencesTouched.push_back(seq.header.objectId);
  }
  Value v = Value::number(value);
  nextvalOfRow_[seq.header.objectId] = {rowSerial_, v};
  return v;
}

Value ExecContext::currval(const Sequence& seq) {
  auto cached = nextvalOfRow_.find(seq.header.objectId);
  if (cached != nextvalOfRow_.end() && cached->second.first == rowSerial_) {
    return cached->second.second;
  }
  auto value = session.currval(seq.header.objectId);
  if (!value) throw OraError(8002, {seq.header.name});
  return Value::number(*value);
}

CommitRecord ExecContext::commitRecord() const {
  CommitRecord record;
  record.rows = undo.rowChanges();
  record.catalogChanged = catalogChanged || !tableCatalogChanges.empty();
  if (!catalogChanged) record.catalogTables = tableCatalogChanges;
  record.rewrittenTables = rewrittenTables;
  record.sequences = sequencesTouched;
  return record;
}

}  // namespace ocisim
