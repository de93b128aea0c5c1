// The USER_ views that are their ALL_ view restricted to the session user's own objects:
// USER_CATALOG, USER_OBJECTS, USER_SYNONYMS, USER_TABLES, USER_TAB_COLUMNS, USER_VIEWS,
// USER_SOURCE, USER_TRIGGERS, USER_INDEXES, USER_IND_COLUMNS, USER_IND_EXPRESSIONS, USER_CONSTRAINTS,
// USER_CONS_COLUMNS, USER_SEQUENCES, USER_DEPENDENCIES, USER_TAB_COMMENTS and
// USER_COL_COMMENTS. Like Oracle's, most of them lack the owner column of
// their ALL_ view.
#include <algorithm>
#include <memory>

#include "engine/dict/views.h"
#include "engine/exec/database.h"

namespace ocisim::dict {
namespace {

class OwnedView : public VirtualTable {
 public:
  // Rows of `all` whose `ownerColumn` is the session user, without the `dropped` columns.
  OwnedView(const VirtualTable& all, std::string ownerColumn, std::vector<std::string> dropped)
      : all_(all), ownerColumn_(std::move(ownerColumn)), dropped_(std::move(dropped)) {}

  std::vector<VirtualColumn> columns(const Database& db) const override {
    std::vector<VirtualColumn> out;
    for (VirtualColumn& c : all_.columns(db)) {
      if (!isDropped(c.name)) out.push_back(std::move(c));
    }
    return out;
  }

  void scan(const VirtualScanContext& ctx, const RowEmitter& emit) const override {
    std::vector<VirtualColumn> allColumns = all_.columns(ctx.database);
    size_t owner = allColumns.size();
    std::vector<bool> keep;
    for (size_t i = 0; i < allColumns.size(); ++i) {
      if (allColumns[i].name == ownerColumn_) owner = i;
      keep.push_back(!isDropped(allColumns[i].name));
    }
    // The owner is pinned for the ALL_ view, which then skips other schemas early.
    VirtualScanContext pinned = ctx;
    pinned.equalities[ownerColumn_] = Value::text(ctx.user);
    all_.scan(pinned, [&](Row&& row) {
      if (owner >= row.size() || !row[owner].isText() || row[owner].asText() != ctx.user) return;
      Row out;
      for (size_t i = 0; i < row.size() && i < keep.size(); ++i) {
        if (keep[i]) out.push_back(std::move(row[i]));
      }
      emit(std::move(out));
    });
  }

 private:
  bool isDropped(const std::string& name) const {
    return std::find(dropped_.begin(), dropped_.end(), name) != dropped_.end();
  }

  const VirtualTable& all_;  // owned by the same registry, which outlives every scan
  std::string ownerColumn_;
  std::vector<std::string> dropped_;
};

}  // namespace

void addUserViews(VirtualTableRegistry& registry) {
  struct Definition {
    const char* name;
    const char* all;
    const char* ownerColumn;
    std::vector<std::string> dropped;
  };
  const Definition definitions[] = {
      {"USER_CATALOG", "ALL_CATALOG", "OWNER", {"OWNER"}},
      {"USER_OBJECTS", "ALL_OBJECTS", "OWNER", {"OWNER"}},
      {"USER_SYNONYMS", "ALL_SYNONYMS", "OWNER", {"OWNER"}},
      {"USER_TABLES", "ALL_TABLES", "OWNER", {"OWNER"}},
      {"USER_TAB_COLUMNS", "ALL_TAB_COLUMNS", "OWNER", {"OWNER"}},
      {"USER_VIEWS", "ALL_VIEWS", "OWNER", {"OWNER"}},
      {"USER_SOURCE", "ALL_SOURCE", "OWNER", {"OWNER"}},
      {"USER_TRIGGERS", "ALL_TRIGGERS", "OWNER", {"OWNER"}},
      {"USER_INDEXES", "ALL_INDEXES", "OWNER", {"OWNER"}},
      {"USER_IND_COLUMNS", "ALL_IND_COLUMNS", "INDEX_OWNER", {"INDEX_OWNER", "TABLE_OWNER"}},
      {"USER_IND_EXPRESSIONS",
       "ALL_IND_EXPRESSIONS",
       "INDEX_OWNER",
       {"INDEX_OWNER", "TABLE_OWNER"}},
      {"USER_CONSTRAINTS", "ALL_CONSTRAINTS", "OWNER", {}},
      {"USER_CONS_COLUMNS", "ALL_CONS_COLUMNS", "OWNER", {}},
      {"USER_SEQUENCES", "ALL_SEQUENCES", "SEQUENCE_OWNER", {"SEQUENCE_OWNER"}},
      {"USER_DEPENDENCIES", "ALL_DEPENDENCIES", "OWNER", {"OWNER"}},
      {"USER_TAB_COMMENTS", "ALL_TAB_COMMENTS", "OWNER", {"OWNER"}},
      {"USER_COL_COMMENTS", "ALL_COL_COMMENTS", "OWNER", {"OWNER"}},
  };
  for (const Definition& d : definitions) {
    if (const VirtualTable* all = registry.find(d.all)) {
      registry.add(d.name, std::make_shared<OwnedView>(*all, d.ownerColumn, d.dropped));
    }
  }
}

}  // namespace ocisim::dict
