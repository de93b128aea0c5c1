// ALL_TAB_COMMENTS and ALL_COL_COMMENTS: a row for every table and view (and every column of
// them) the session user may see, with the text of COMMENT ON, or NULL when there is none.
#include <memory>

#include "engine/dict/dict_view.h"
#include "engine/dict/views.h"

namespace ocisim::dict {
namespace {

std::string commentOf(const Catalog& cat, const std::string& owner, const std::string& object,
                      const std::string& column) {
  auto it = cat.comments().find(Catalog::CommentKey(owner, object, column));
  return it == cat.comments().end() ? std::string() : it->second;
}

// Calls `each(header, isView, columnNames)` for every visible table and view the WHERE clause
// admits; a pinned owner and name look the one object up.
template <class Each>
void forVisibleTablesAndViews(const DictScan& s, Each each) {
  const Catalog& cat = s.catalog();
  auto table = [&](const Table& t) {
    std::vector<std::string> names;
    for (const Column& c : t.columns) names.push_back(c.name);
    each(t.header, false, names);
  };
  auto view = [&](const View& v) {
    std::vector<std::string> names;
    for (const ViewColumn& c : v.columns) names.push_back(c.name);
    each(v.header, true, names);
  };
  auto admitted = [&](const ObjectHeader& h) {
    return s.admits("OWNER", h.owner) && s.admits("TABLE_NAME", h.name) &&
           s.visibility().tableOrView(h.owner, h.name);
  };
  auto owner = s.pinned("OWNER");
  auto name = s.pinned("TABLE_NAME");
  if (owner && name) {
    const Table* t = cat.findTable(*owner, *name);
    if (t && admitted(t->header)) table(*t);
    const View* v = cat.findView(*owner, *name);
    if (v && admitted(v->header)) view(*v);
    return;
  }
  for (const auto& [key, t] : cat.tables()) {
    if (admitted(t->header)) table(*t);
  }
  for (const auto& [key, v] : cat.views()) {
    if (admitted(v->header)) view(*v);
  }
}

std::shared_ptr<DictView> allTabComments() {
  std::vector<DictColumn> columns = {
      ident("OWNER"),         ident("TABLE_NAME"),           text("TABLE_TYPE", 11),
      text("COMMENTS", 4000), number("ORIGIN_CON_ID", 1201),
  };
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        forVisibleTablesAndViews(
            s, [&](const ObjectHeader& h, bool isView, const std::vector<std::string>&) {
              RowBuilder r(width);
              r.text(h.owner).text(h.name).text(isView ? "VIEW" : "TABLE");
              r.text(commentOf(s.catalog(), h.owner, h.name, "")).number(int64_t{0});
              emit(r.take());
            });
      });
}

std::shared_ptr<DictView> allColComments() {
  std::vector<DictColumn> columns = {
      ident("OWNER"),         ident("TABLE_NAME"),           ident("COLUMN_NAME"),
      text("COMMENTS", 4000), number("ORIGIN_CON_ID", 1201),
  };
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        forVisibleTablesAndViews(
            s, [&](const ObjectHeader& h, bool, const std::vector<std::string>& names) {
              for (const std::string& column : names) {
                if (!s.admits("COLUMN_NAME", column)) continue;
                RowBuilder r(width);
                r.text(h.owner).text(h.name).text(column);
                r.text(commentOf(s.catalog(), h.owner, h.name, column)).number(int64_t{0});
                emit(r.take());
              }
            });
      });
}

}  // namespace

void addCommentViews(VirtualTableRegistry& registry) {
  registry.add("ALL_TAB_COMMENTS", allTabComments());
  registry.add("ALL_COL_COMMENTS", allColComments());
}

}  // namespace ocisim::dict
