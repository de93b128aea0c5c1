// DictView: the building block of the data dictionary views (ALL_*, USER_*, GLOBAL_NAME, DUAL).
// A view declares every column it has in any release, each with the first release that shows it;
// `columns(db)` keeps those of the database's release, so a query naming a later column gets
// ORA-00904 from the planner. Producers emit full rows (all declared columns, declaration order)
// and the view drops the columns the release lacks. Stateless and read-only: one instance is
// shared by every session of a database.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/dict/visibility.h"
#include "engine/exec/virtual_table.h"

namespace ocisim::dict {

// A release as one number: major * 100 + minor ("7.3.4" -> 703, "8.1.7" -> 801, "19.3.0" ->
// 1903). Column and value differences between releases are written with these numbers.
int releaseOf(const Database& db);

enum class ColumnKind {
  Identifier,  // VARCHAR2(30) up to 12.1, VARCHAR2(128) from 12.2 (owner, object names)
  Text,        // VARCHAR2(length)
  Char,        // CHAR(length)
  Number,
  Date,
  Long,
  Raw,  // RAW(length)
};

struct DictColumn {
  std::string name;
  ColumnKind kind = ColumnKind::Text;
  int length = 0;  // Text / Char / Raw
  int since = 0;   // first release with the column (releaseOf form); 0: every release

  DataType typeFor(int release) const;
};

// Column declarations, read like the dictionary reference: ident("OWNER"), text("STATUS", 7),
// number("LINE"), ... `.since(801)` on any of them marks a column added in a later release.
DictColumn ident(std::string name, int since = 0);
DictColumn text(std::string name, int length, int since = 0);
DictColumn charCol(std::string name, int length, int since = 0);
DictColumn number(std::string name, int since = 0);
DictColumn date(std::string name, int since = 0);
DictColumn longCol(std::string name, int since = 0);
DictColumn raw(std::string name, int length, int since = 0);

// Builds one full row in declaration order.
class RowBuilder {
 public:
  explicit RowBuilder(size_t width) { row_.reserve(width); }
  RowBuilder& text(std::string_view s);      // empty text is NULL, as in Oracle
  RowBuilder& charText(std::string_view s);  // a CHAR column's value
  RowBuilder& number(int64_t v);
  RowBuilder& number(const Decimal& v);
  RowBuilder& number(std::optional<int64_t> v);  // nullopt: NULL
  RowBuilder& date(const DateTime& d);
  RowBuilder& yesNo(bool yes);  // 'YES' / 'NO'
  RowBuilder& yn(bool yes);     // 'Y' / 'N'
  RowBuilder& null();
  Row take() { return std::move(row_); }

 private:
  Row row_;
};

// What a producer gets: the scan context, the session user's visibility and the release.
class DictScan {
 public:
  DictScan(const VirtualScanContext& context, int releaseNumber)
      : ctx(context), release(releaseNumber) {}
  const VirtualScanContext& ctx;
  const int release;
  // Built on first use (DUAL and GLOBAL_NAME never need it).
  const Visibility& visibility() const;
  const Catalog& catalog() const { return ctx.catalog; }
  const std::string& user() const { return ctx.user; }
  // The text the WHERE clause pins `column` to (`COLUMN = 'X'` or `= :bind`), if any. Only
  // text values are taken: a producer may then skip rows whose column differs exactly, which
  // is what Oracle's non-padded comparison of a VARCHAR2 column does.
  std::optional<std::string> pinned(const std::string& column) const;
  // False when `column` is pinned to a text other than `value`.
  bool admits(const std::string& column, const std::string& value) const;

 private:
  mutable std::optional<Visibility> visibility_;
};

class DictView : public VirtualTable {
 public:
  using Producer = std::function<void(const DictScan&, const RowEmitter&)>;
  DictView(std::vector<DictColumn> columns, Producer producer)
      : columns_(std::move(columns)), producer_(std::move(producer)) {}

  std::vector<VirtualColumn> columns(const Database& db) const override;
  void scan(const VirtualScanContext& ctx, const RowEmitter& emit) const override;
  size_t declaredWidth() const { return columns_.size(); }
  const std::vector<DictColumn>& declaredColumns() const { return columns_; }

 private:
  std::vector<DictColumn> columns_;
  Producer producer_;
};

// Text helpers shared by the views.
std::string yesNoText(bool yes);
// ALL_OBJECTS.TIMESTAMP form: 2024-01-05:10:11:12.
std::string timestampText(const DateTime& d);

}  // namespace ocisim::dict
