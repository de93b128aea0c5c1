// ALL_SOURCE, ALL_TRIGGERS, ALL_TRIGGER_COLS and ALL_VIEWS: the texts of stored code, triggers
// and views.
#include <memory>

#include "engine/dict/dict_view.h"
#include "engine/dict/views.h"

namespace ocisim::dict {
namespace {

// Trigger source is in ALL_SOURCE from release 9 on; before, only ALL_TRIGGERS has it.
constexpr int kTriggerSourceRelease = 900;

constexpr ObjectKind kCodeKinds[] = {ObjectKind::Procedure, ObjectKind::Function,
                                     ObjectKind::Package,   ObjectKind::PackageBody,
                                     ObjectKind::Type,      ObjectKind::TypeBody};

void emitLines(const std::string& owner, const std::string& name, const char* type,
               const std::vector<std::string>& lines, const RowEmitter& emit) {
  int64_t line = 1;
  for (const std::string& text : lines) {
    // TEXT keeps its line end; a line holding only its "\n" is still a row (not NULL).
    emit(RowBuilder(5).text(owner).text(name).text(type).number(line++).text(text).take());
  }
}

std::shared_ptr<DictView> allSource() {
  std::vector<DictColumn> columns = {ident("OWNER"), ident("NAME"), text("TYPE", 12),
                                     number("LINE"), text("TEXT", 4000)};
  return std::make_shared<DictView>(std::move(columns), [](const DictScan& s,
                                                           const RowEmitter& emit) {
    const Catalog& cat = s.catalog();
    auto owner = s.pinned("OWNER");
    auto name = s.pinned("NAME");
    auto type = s.pinned("TYPE");
    for (ObjectKind kind : kCodeKinds) {
      if (!owner || !name || !type || *type != objectTypeName(kind)) continue;
      // The source reader's query: one object.
      const StoredCode* code = cat.findCode(*owner, *name, kind);
      if (code && s.visibility().code(*owner, *name, kind)) {
        emitLines(*owner, *name, objectTypeName(kind), code->lines, emit);
      }
      return;
    }
    for (const auto& [key, code] : cat.storedCode()) {
      const ObjectHeader& h = code->header;
      if ((owner && *owner != h.owner) || (name && *name != h.name) ||
          !s.admits("TYPE", objectTypeName(code->kind)) ||
          !s.visibility().code(h.owner, h.name, code->kind)) {
        continue;
      }
      emitLines(h.owner, h.name, objectTypeName(code->kind), code->lines, emit);
    }
    if (s.release < kTriggerSourceRelease || !s.admits("TYPE", "TRIGGER")) return;
    for (const auto& [key, t] : cat.triggers()) {
      const ObjectHeader& h = t->header;
      if ((owner && *owner != h.owner) || (name && *name != h.name) ||
          !s.visibility().trigger(*t)) {
        continue;
      }
      emitLines(h.owner, h.name, "TRIGGER", t->lines, emit);
    }
  });
}

std::shared_ptr<DictView> allTriggers() {
  std::vector<DictColumn> columns = {
      ident("OWNER"),
      ident("TRIGGER_NAME"),
      text("TRIGGER_TYPE", 16),
      text("TRIGGERING_EVENT", 227),
      ident("TABLE_OWNER"),
      text("BASE_OBJECT_TYPE", 16, 801),
      ident("TABLE_NAME"),
      text("COLUMN_NAME", 4000, 801),
      text("REFERENCING_NAMES", 128),
      text("WHEN_CLAUSE", 4000),
      text("STATUS", 8),
      text("DESCRIPTION", 4000),
      text("ACTION_TYPE", 11, 801),
      longCol("TRIGGER_BODY"),
  };
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        for (const auto& [key, t] : s.catalog().triggers()) {
          if (!s.admits("OWNER", t->header.owner) ||
              !s.admits("TRIGGER_NAME", t->header.name) ||
              !s.admits("TABLE_OWNER", t->tableOwner) || !s.admits("TABLE_NAME", t->tableName) ||
              !s.visibility().trigger(*t)) {
            continue;
          }
          RowBuilder r(width);
          r.text(t->header.owner).text(t->header.name).text(t->triggerType);
          r.text(t->triggeringEvent).text(t->tableOwner).text(t->baseObjectType);
          // COLUMN_NAME names the nested-table column of a nested-table trigger; the columns
          // of UPDATE OF are only in the description.
          r.text(t->tableName).null();
          r.text(t->referencingNames).text(t->whenClause);
          r.text(t->enabled ? "ENABLED" : "DISABLED").text(t->description);
          r.text(t->actionType).text(t->body);
          emit(r.take());
        }
      });
}

// The columns of UPDATE OF c1, c2 (COLUMN_LIST YES). Oracle also lists the columns the body
// uses (COLUMN_LIST NO, COLUMN_USAGE NEW IN ...); the body is never compiled here, so those are
// missing: a known difference.
std::shared_ptr<DictView> allTriggerCols() {
  std::vector<DictColumn> columns = {
      ident("TRIGGER_OWNER"),   ident("TRIGGER_NAME"),     ident("TABLE_OWNER"),
      ident("TABLE_NAME"),      text("COLUMN_NAME", 4000), text("COLUMN_LIST", 3),
      text("COLUMN_USAGE", 17),
  };
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        for (const auto& [key, t] : s.catalog().triggers()) {
          if (t->columnName.empty() || !s.admits("TRIGGER_OWNER", t->header.owner) ||
              !s.admits("TRIGGER_NAME", t->header.name) || !s.visibility().trigger(*t)) {
            continue;
          }
          size_t start = 0;
          for (;;) {
            const size_t comma = t->columnName.find(", ", start);
            RowBuilder r(width);
            r.text(t->header.owner).text(t->header.name).text(t->tableOwner).text(t->tableName);
            r.text(t->columnName.substr(start, comma == std::string::npos ? comma : comma - start));
            r.text("YES").text("NONE");
            emit(r.take());
            if (comma == std::string::npos) break;
            start = comma + 2;
          }
        }
      });
}

std::shared_ptr<DictView> allViews() {
  std::vector<DictColumn> columns = {
      ident("OWNER"),
      ident("VIEW_NAME"),
      number("TEXT_LENGTH"),
      longCol("TEXT"),
      number("TYPE_TEXT_LENGTH", 800),
      text("TYPE_TEXT", 4000, 800),
      number("OID_TEXT_LENGTH", 800),
      text("OID_TEXT", 4000, 800),
      ident("VIEW_TYPE_OWNER", 800),
      ident("VIEW_TYPE", 800),
      ident("SUPERVIEW_NAME", 900),
      text("EDITIONING_VIEW", 1, 1101),
      text("READ_ONLY", 1, 1101),
      text("CONTAINER_DATA", 1, 1201),
      text("BEQUEATH", 12, 1201),
  };
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        for (const auto& [key, v] : s.catalog().views()) {
          const ObjectHeader& h = v->header;
          if (!s.admits("OWNER", h.owner) || !s.admits("VIEW_NAME", h.name) ||
              !s.visibility().tableOrView(h.owner, h.name)) {
            continue;
          }
          RowBuilder r(width);
          r.text(h.owner).text(h.name).number(static_cast<int64_t>(v->text.size())).text(v->text);
          r.null().null().null().null().null().null().null();
          r.yn(false).yn(v->readOnly).yn(false).text("DEFINER");
          emit(r.take());
        }
      });
}

}  // namespace

void addSourceViews(VirtualTableRegistry& registry) {
  registry.add("ALL_SOURCE", allSource());
  registry.add("ALL_TRIGGERS", allTriggers());
  registry.add("ALL_TRIGGER_COLS", allTriggerCols());
  registry.add("ALL_VIEWS", allViews());
}

}  // namespace ocisim::dict
