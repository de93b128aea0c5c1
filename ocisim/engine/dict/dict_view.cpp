#include "engine/dict/dict_view.h"

#include <cstdio>
#include <stdexcept>

#include "engine/exec/database.h"

namespace ocisim::dict {

int releaseOf(const Database& db) {
  return db.majorVersion() * 100 + db.minorVersion();
}

DataType DictColumn::typeFor(int release) const {
  switch (kind) {
    case ColumnKind::Identifier:
      return DataType::varchar2(release >= 1202 ? 128 : 30);
    case ColumnKind::Text:
      return DataType::varchar2(length);
    case ColumnKind::Char:
      return DataType::charType(length);
    case ColumnKind::Number:
      return DataType::number();
    case ColumnKind::Date:
      return DataType::date();
    case ColumnKind::Long:
      return DataType::longType();
    case ColumnKind::Raw:
      return DataType::raw(length);
  }
  return DataType::varchar2(length);
}

DictColumn ident(std::string name, int since) {
  return {std::move(name), ColumnKind::Identifier, 0, since};
}
DictColumn text(std::string name, int length, int since) {
  return {std::move(name), ColumnKind::Text, length, since};
}
DictColumn charCol(std::string name, int length, int since) {
  return {std::move(name), ColumnKind::Char, length, since};
}
DictColumn number(std::string name, int since) {
  return {std::move(name), ColumnKind::Number, 0, since};
}
DictColumn date(std::string name, int since) {
  return {std::move(name), ColumnKind::Date, 0, since};
}
DictColumn longCol(std::string name, int since) {
  return {std::move(name), ColumnKind::Long, 0, since};
}
DictColumn raw(std::string name, int length, int since) {
  return {std::move(name), ColumnKind::Raw, length, since};
}

// ---- RowBuilder ----

RowBuilder& RowBuilder::text(std::string_view s) {
  row_.push_back(Value::text(s));
  return *this;
}
RowBuilder& RowBuilder::charText(std::string_view s) {
  row_.push_back(Value::charText(s));
  return *this;
}
RowBuilder& RowBuilder::number(int64_t v) {
  row_.push_back(Value::integer(v));
  return *this;
}
RowBuilder& RowBuilder::number(const Decimal& v) {
  row_.push_back(Value::number(v));
  return *this;
}
RowBuilder& RowBuilder::number(std::optional<int64_t> v) {
  row_.push_back(v ? Value::integer(*v) : Value::null());
  return *this;
}
RowBuilder& RowBuilder::date(const DateTime& d) {
  row_.push_back(Value::date(d));
  return *this;
}
RowBuilder& RowBuilder::yesNo(bool yes) { return text(yes ? "YES" : "NO"); }
RowBuilder& RowBuilder::yn(bool yes) { return text(yes ? "Y" : "N"); }
RowBuilder& RowBuilder::null() {
  row_.emplace_back();
  return *this;
}

// ---- DictScan ----

const Visibility& DictScan::visibility() const {
  if (!visibility_) visibility_.emplace(ctx.catalog, ctx.user, ctx.dba);
  return *visibility_;
}

std::optional<std::string> DictScan::pinned(const std::string& column) const {
  const Value* v = ctx.equalityFor(column);
  if (!v || !v->isText()) return std::nullopt;
  return std::string(v->asText());
}

bool DictScan::admits(const std::string& column, const std::string& value) const {
  const Value* v = ctx.equalityFor(column);
  return !v || !v->isText() || v->asText() == value;
}

// ---- DictView ----

std::vector<VirtualColumn> DictView::columns(const Database& db) const {
  int release = releaseOf(db);
  std::vector<VirtualColumn> out;
  for (const DictColumn& c : columns_) {
    if (c.since <= release) out.push_back({c.name, c.typeFor(release)});
  }
  return out;
}

void DictView::scan(const VirtualScanContext& ctx, const RowEmitter& emit) const {
  int release = releaseOf(ctx.database);
  std::vector<bool> keep;
  bool keepAll = true;
  for (const DictColumn& c : columns_) {
    keep.push_back(c.since <= release);
    keepAll = keepAll && keep.back();
  }
  DictScan scan(ctx, release);
  producer_(scan, [&](Row&& full) {
    // A producer that emits a row of the wrong width is a bug of this module.
    if (full.size() != columns_.size()) throw std::logic_error("dictionary row width");
    if (keepAll) {
      emit(std::move(full));
      return;
    }
    Row row;
    for (size_t i = 0; i < full.size() && i < keep.size(); ++i) {
      if (keep[i]) row.push_back(std::move(full[i]));
    }
    emit(std::move(row));
  });
}

// ---- text helpers ----

std::string yesNoText(bool yes) { return yes ? "YES" : "NO"; }

std::string timestampText(const DateTime& d) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d:%02d:%02d:%02d", d.year, d.month, d.day,
                d.hour, d.minute, d.second);
  return buffer;
}

}  // namespace ocisim::dict
