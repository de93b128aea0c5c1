// CREATE / ALTER SEQUENCE, CREATE [OR REPLACE] [FORCE] VIEW, stored code and triggers (kept as
// source, never run), ALTER TRIGGER, COMMENT ON, ALTER SESSION.
#include <algorithm>
#include <set>

#include "engine/exec/compiler.h"
#include "engine/exec/ddl_util.h"
#include "engine/exec/executor.h"
#include "engine/ora_error.h"
#include "engine/value/format.h"

namespace ocisim {
namespace {

Decimal decimalOf(const std::optional<std::string>& text, const Decimal& fallback) {
  if (!text) return fallback;
  auto d = Decimal::parse(*text);
  if (!d || !d->isInteger()) throw OraError(1722);
  return *d;
}

// A name a column can have without quotes being needed in the select list (an expression
// such as 1+1 needs an alias first: ORA-00998).
bool isIdentifierName(const std::string& name) {
  if (name.empty()) return false;
  for (char ch : name) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (!std::isalnum(c) && c != '_' && c != '$' && c != '#' && c < 0x80) return false;
  }
  return true;
}

Decimal nines(int count) {
  return *Decimal::parse(std::string(static_cast<size_t>(count), '9'));
}

// Applies options over a sequence (defaults for CREATE, the current values for ALTER).
void applySequenceOptions(ExecContext& ctx, Sequence& s, const sql::SequenceOptions& o,
                          bool create) {
  bool modern = ctx.db.majorVersion() >= 12;
  const Decimal previousIncrement = s.incrementBy;
  s.incrementBy = decimalOf(o.incrementBy, create ? Decimal::fromInt64(1) : s.incrementBy);
  if (s.incrementBy.isZero()) throw OraError(4002);
  bool ascending = !s.incrementBy.isNegative();
  Decimal noMax = ascending ? nines(modern ? 28 : 27) : Decimal::fromInt64(-1);
  Decimal noMin = ascending ? Decimal::fromInt64(1) : -nines(modern ? 27 : 26);
  if (o.maxValue) {
    s.maxValue = decimalOf(o.maxValue, noMax);
  } else if (create || o.noMaxValue) {
    s.maxValue = noMax;
  }
  if (o.minValue) {
    s.minValue = decimalOf(o.minValue, noMin);
  } else if (create || o.noMinValue) {
    s.minValue = noMin;
  }
  if (o.cycle) s.cycle = *o.cycle;
  if (o.order) s.order = *o.order;
  if (o.noCache) {
    s.cacheSize = 0;
  } else if (o.cache) {
    auto n = decimalOf(o.cache, Decimal()).toInt64();
    if (!n || *n < 2) throw OraError(4010);
    s.cacheSize = *n;
  } else if (create) {
    s.cacheSize = 20;
  }
  if (!(s.minValue < s.maxValue)) throw OraError(4004);
  if (create) {
    s.nextValue = decimalOf(o.startWith, ascending ? s.minValue : s.maxValue);
    if (s.nextValue < s.minValue) throw OraError(4006);
    if (s.maxValue < s.nextValue) throw OraError(4008);
    s.lastNumber = s.nextValue;
  } else {
    if (o.startWith) throw OraError(2283);
    // The next NEXTVAL is the current value plus the new increment (the well-known way of
    // moving a sequence by a given amount relies on it).
    if (o.incrementBy) s.nextValue = s.nextValue - previousIncrement + s.incrementBy;
    // Oracle keeps the current value inside the new bounds: ORA-04009 for a MAXVALUE below it,
    // ORA-04007 for a MINVALUE above it, whichever way the sequence counts.
    if (s.maxValue < s.nextValue) throw OraError(4009);
    if (s.nextValue < s.minValue) throw OraError(4007);
    s.lastNumber = s.nextValue;  // ALTER flushes the cache
    s.exhausted = false;
  }
  if (s.cycle && s.cacheSize > 0) {
    Decimal span = (s.maxValue - s.minValue) / s.incrementBy.abs();
    if (span.ceil() < Decimal::fromInt64(s.cacheSize)) throw OraError(4013);
  }
}

std::vector<std::string> sourceLines(const std::string& source) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < source.size()) {
    size_t nl = source.find('\n', start);
    if (nl == std::string::npos) {
      lines.push_back(source.substr(start) + "\n");
      break;
    }
    lines.push_back(source.substr(start, nl - start + 1));
    start = nl + 1;
  }
  return lines;
}

ObjectKind kindOf(sql::CodeKind k) {
  switch (k) {
    case sql::CodeKind::Procedure:
      return ObjectKind::Procedure;
    case sql::CodeKind::Function:
      return ObjectKind::Function;
    case sql::CodeKind::Package:
      return ObjectKind::Package;
    case sql::CodeKind::PackageBody:
      return ObjectKind::PackageBody;
    case sql::CodeKind::Type:
      return ObjectKind::Type;
    case sql::CodeKind::TypeBody:
      return ObjectKind::TypeBody;
    case sql::CodeKind::Trigger:
      break;
  }
  return ObjectKind::Trigger;
}

// Tables or types whose columns or attributes use owner.name as their type.
bool typeHasDependents(const Catalog& cat, const std::string& owner, const std::string& name) {
  for (const auto& [key, table] : cat.tables()) {
    for (const Column& c : table->columns) {
      if (c.type.code == TypeCode::Object && c.type.owner == owner && c.type.name == name) {
        return true;
      }
    }
  }
  for (const auto& [key, type] : cat.objectTypes()) {
    for (const auto& a : type->attributes) {
      if (a.type.code == TypeCode::Object && a.type.owner == owner && a.type.name == name) {
        return true;
      }
    }
  }
  return false;
}

void createTrigger(ExecContext& ctx, const sql::CreateCodeStmt& stmt, const std::string& owner) {
  Catalog& cat = ctx.catalog;
  const sql::TriggerHeader& h = stmt.trigger;
  std::string tableOwner = h.table.schema.empty() ? owner : h.table.schema;
  bool onTable = cat.findTable(tableOwner, h.table.name) != nullptr;
  bool onView = cat.findView(tableOwner, h.table.name) != nullptr;
  if (!onTable && !onView) throw OraError(942);
  if (tableOwner != ctx.user() || owner != ctx.user()) {
    if (!cat.hasSystemPrivilege(ctx.user(), "CREATE ANY TRIGGER")) throw OraError(1031);
  } else {
    requireCreate(ctx, owner, "TRIGGER");
  }
  Trigger* existing = cat.findTrigger(owner, stmt.name.name);
  if (existing && !stmt.orReplace) throw OraError(4081, {stmt.name.name});
  auto t = std::make_unique<Trigger>();
  t->header = replacementHeader(ctx, owner, stmt.name.name, existing ? &existing->header : nullptr);
  if (h.timing == sql::TriggerTiming::InsteadOf) {
    t->triggerType = "INSTEAD OF";
  } else {
    t->triggerType = std::string(h.timing == sql::TriggerTiming::Before ? "BEFORE" : "AFTER") +
                     (h.forEachRow ? " EACH ROW" : " STATEMENT");
  }
  for (size_t i = 0; i < h.events.size(); ++i) {
    t->triggeringEvent += (i ? " OR " : "") + h.events[i];
  }
  // UPDATE OF c1, c2: ALL_TRIGGER_COLS lists the columns (TRIGGERING_EVENT says only UPDATE).
  for (size_t i = 0; i < h.updateColumns.size(); ++i) {
    t->columnName += (i ? ", " : "") + h.updateColumns[i];
  }
  t->tableOwner = tableOwner;
  t->tableName = h.table.name;
  t->baseObjectType = onView ? "VIEW" : "TABLE";
  t->referencingNames = "REFERENCING NEW AS " +
                        (h.referencingNew.empty() ? "NEW" : h.referencingNew) + " OLD AS " +
                        (h.referencingOld.empty() ? "OLD" : h.referencingOld);
  t->whenClause = h.whenText;
  t->enabled = !h.disabled;
  t->description = h.descriptionText;
  t->body = h.bodyText;
  std::string first = h.bodyText.substr(0, 4);
  for (char& c : first) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  t->actionType = first == "CALL" ? "CALL" : "PL/SQL";
  t->lines = sourceLines(stmt.source);
  cat.addTrigger(std::move(t));
}

}  // namespace

// ALTER TRIGGER: ENABLE and DISABLE set STATUS; COMPILE recompiles the kept source (it is
// valid once it parsed). Each counts as DDL on the trigger.
void runAlterTrigger(ExecContext& ctx, const sql::AlterTriggerStmt& stmt) {
  Catalog& cat = ctx.catalog;
  std::string owner = stmt.trigger.schema.empty() ? ctx.user() : stmt.trigger.schema;
  Trigger* t = cat.findTrigger(owner, stmt.trigger.name);
  if (!t) throw OraError(4080, {stmt.trigger.name});
  requireOwnerOr(ctx, owner, "ALTER ANY TRIGGER");
  switch (stmt.action) {
    case sql::AlterTriggerStmt::Action::Enable:
      t->enabled = true;
      break;
    case sql::AlterTriggerStmt::Action::Disable:
      t->enabled = false;
      break;
    case sql::AlterTriggerStmt::Action::Compile:
      t->header.valid = true;
      break;
  }
  t->header.lastDdlTime = ctx.sysdate;
  cat.bumpVersion();
  ctx.catalogChanged = true;
}

void runSequence(ExecContext& ctx, const sql::SequenceStmt& stmt) {
  Catalog& cat = ctx.catalog;
  std::string owner = ddlOwner(ctx, stmt.sequence.schema);
  if (stmt.kind == sql::StatementKind::CreateSequence) {
    requireCreate(ctx, owner, "SEQUENCE");
    requireFreeName(cat, owner, stmt.sequence.name);
    auto s = std::make_unique<Sequence>();
    s->header = newHeader(ctx, owner, stmt.sequence.name);
    applySequenceOptions(ctx, *s, stmt.options, true);
    cat.addSequence(std::move(s));
  } else {
    Sequence* s = cat.findSequence(owner, stmt.sequence.name);
    if (!s) throw OraError(2289);
    if (owner != ctx.user() && !cat.hasSystemPrivilege(ctx.user(), "ALTER ANY SEQUENCE") &&
        !cat.hasObjectPrivilege(ctx.user(), owner, s->header.name, "ALTER")) {
      throw OraError(1031);
    }
    Sequence copy = *s;
    applySequenceOptions(ctx, copy, stmt.options, false);
    copy.header.lastDdlTime = ctx.sysdate;
    *s = copy;
    cat.bumpVersion();
  }
  ctx.catalogChanged = true;
}

namespace {

// The table or view a star's qualifier names among the FROM items (joins included).
const sql::TableRef* qualifiedSource(const std::vector<std::unique_ptr<sql::TableRef>>& from,
                                     const std::string& qualifier) {
  std::vector<const sql::TableRef*> pending;
  for (const auto& f : from) pending.push_back(f.get());
  while (!pending.empty()) {
    const sql::TableRef* r = pending.back();
    pending.pop_back();
    if (r->kind == sql::TableRefKind::Join) {
      pending.push_back(r->left.get());
      pending.push_back(r->right.get());
    } else if (r->kind == sql::TableRefKind::Table &&
               (r->alias.empty() ? r->name : r->alias) == qualifier) {
      return r;
    }
  }
  return nullptr;
}

// The query text with each * and t.* of its select list replaced by the columns it stands for,
// as Oracle keeps a view's text: "A","B" and T."A",T."B". The text stays as written when the
// query is a set operation or a star's width cannot be told (several stars, one of them over a
// subquery).
std::string expandStars(const Catalog& cat, const std::string& owner,
                        const sql::CreateViewStmt& stmt, const std::vector<ColumnInfo>& columns) {
  const sql::QueryBlock* block = stmt.query->block.get();
  if (!block) return stmt.queryText;
  std::vector<size_t> stars;
  for (size_t i = 0; i < block->items.size(); ++i) {
    if (block->items[i].expr->kind == sql::ExprKind::Star) stars.push_back(i);
  }
  if (stars.empty()) return stmt.queryText;
  size_t others = block->items.size() - stars.size();
  if (columns.size() < others) return stmt.queryText;
  std::vector<size_t> widths;
  if (stars.size() == 1) {
    widths.push_back(columns.size() - others);
  } else {
    for (size_t i : stars) {
      const sql::Expr& star = *block->items[i].expr;
      if (star.names.empty()) return stmt.queryText;
      const sql::TableRef* source = qualifiedSource(block->from, star.names.back());
      if (!source) return stmt.queryText;
      std::string tableOwner = source->schema.empty() ? owner : source->schema;
      if (const Table* t = cat.findTable(tableOwner, source->name)) {
        widths.push_back(t->columns.size());
      } else if (const View* v = cat.findView(tableOwner, source->name)) {
        widths.push_back(v->columns.size());
      } else {
        return stmt.queryText;
      }
    }
    size_t total = others;
    for (size_t w : widths) total += w;
    if (total != columns.size()) return stmt.queryText;
  }
  std::string out;
  size_t copied = 0, column = 0, starNo = 0;
  for (size_t i = 0; i < block->items.size(); ++i) {
    const sql::Expr& e = *block->items[i].expr;
    if (e.kind != sql::ExprKind::Star) {
      ++column;
      continue;
    }
    size_t begin = e.begin - stmt.queryBegin, end = e.end - stmt.queryBegin;
    if (begin < copied || end > stmt.queryText.size()) return stmt.queryText;
    std::string qualifier;
    if (!e.names.empty()) {
      std::string written = stmt.queryText.substr(begin, end - begin);
      size_t dot = written.rfind('.');
      qualifier = written.substr(0, dot);
      while (!qualifier.empty() && qualifier.back() == ' ') qualifier.pop_back();
      qualifier += '.';
    }
    out.append(stmt.queryText, copied, begin - copied);
    for (size_t k = 0; k < widths[starNo]; ++k, ++column) {
      if (k > 0) out += ',';
      out += qualifier + "\"" + columns[column].name + "\"";
    }
    ++starNo;
    copied = end;
  }
  out.append(stmt.queryText, copied, std::string::npos);
  return out;
}

}  // namespace

void runCreateView(ExecContext& ctx, const sql::CreateViewStmt& stmt) {
  Catalog& cat = ctx.catalog;
  std::string owner = ddlOwner(ctx, stmt.view.schema);
  requireCreate(ctx, owner, "VIEW");
  View* existing = cat.findView(owner, stmt.view.name);
  auto kind = cat.findInMainNamespace(owner, stmt.view.name);
  if (kind && (kind != ObjectKind::View || !stmt.orReplace)) throw OraError(955);
  auto v = std::make_unique<View>();
  v->header = replacementHeader(ctx, owner, stmt.view.name, existing ? &existing->header : nullptr);
  v->text = stmt.queryText;
  v->readOnly = stmt.readOnly;
  v->checkOption = stmt.checkOption;
  // WITH READ ONLY / WITH CHECK OPTION make a constraint of type O / V on the view, named as
  // written or SYS_Cnnnnnn. A name may be reused only from the view being replaced.
  std::unique_ptr<Constraint> viewConstraint;
  if (stmt.readOnly || stmt.checkOption) {
    viewConstraint = std::make_unique<Constraint>();
    viewConstraint->owner = owner;
    viewConstraint->tableName = stmt.view.name;
    viewConstraint->type =
        stmt.readOnly ? ConstraintType::ViewReadOnly : ConstraintType::ViewCheckOption;
    viewConstraint->validated = false;
    viewConstraint->lastChange = ctx.sysdate;
    if (!stmt.checkConstraintName.empty()) {
      const Constraint* taken = cat.findConstraint(owner, stmt.checkConstraintName);
      if (taken && !(existing && taken->tableName == stmt.view.name)) throw OraError(2264);
      viewConstraint->name = stmt.checkConstraintName;
    }
  }
  try {
    Compiler compiler(ctx);
    compiler.setSchema(owner);
    CompiledQuery q = compiler.compileQuery(*stmt.query, nullptr);
    if (!stmt.columns.empty() && stmt.columns.size() != q.columns.size()) throw OraError(1730);
    std::set<std::string> names;
    for (size_t i = 0; i < q.columns.size(); ++i) {
      ViewColumn c;
      c.name = stmt.columns.empty() ? q.columns[i].name : stmt.columns[i];
      if (stmt.columns.empty() && !isIdentifierName(c.name)) throw OraError(998);
      if (!names.insert(c.name).second) throw OraError(957);
      c.type = q.columns[i].type;
      c.nullable = q.columns[i].nullable;
      v->columns.push_back(std::move(c));
    }
    v->text = expandStars(cat, owner, stmt, q.columns);
  } catch (const OraError&) {
    if (!stmt.force) throw;
    v->header.valid = false;
    v->columns.clear();
    ctx.warning = 24344;
  }
  if (existing) {
    // Views over the replaced view are compiled again when next used.
    invalidateDependents(ctx, owner, stmt.view.name);
    cat.removeView(owner, stmt.view.name);
  }
  cat.addView(std::move(v));
  if (viewConstraint) {
    if (viewConstraint->name.empty()) {
      viewConstraint->name = cat.allocateSystemName();
      viewConstraint->generatedName = true;
    }
    cat.addConstraint(std::move(viewConstraint));
  }
  ctx.catalogChanged = true;
}

void runCreateCode(ExecContext& ctx, const sql::CreateCodeStmt& stmt) {
  Catalog& cat = ctx.catalog;
  std::string owner = ddlOwner(ctx, stmt.name.schema);
  if (stmt.code == sql::CodeKind::Trigger) {
    createTrigger(ctx, stmt, owner);
    ctx.catalogChanged = true;
    return;
  }
  ObjectKind kind = kindOf(stmt.code);
  bool isType = kind == ObjectKind::Type || kind == ObjectKind::TypeBody;
  requireCreate(ctx, owner, isType ? "TYPE" : "PROCEDURE");
  const std::string& name = stmt.name.name;
  bool isBody = kind == ObjectKind::PackageBody || kind == ObjectKind::TypeBody;
  if (!isBody) {
    auto taken = cat.findInMainNamespace(owner, name);
    if (taken && *taken != kind) throw OraError(955);
  }
  StoredCode* existing = cat.findCode(owner, name, kind);
  if (existing && !stmt.orReplace) throw OraError(955);
  if (existing && kind == ObjectKind::Type && !stmt.force && typeHasDependents(cat, owner, name)) {
    throw OraError(2303);
  }
  auto code = std::make_unique<StoredCode>();
  code->header = replacementHeader(ctx, owner, name, existing ? &existing->header : nullptr);
  code->kind = kind;
  code->lines = sourceLines(stmt.source);
  if (kind == ObjectKind::Type) {
    auto type = std::make_unique<ObjectType>();
    type->codeObjectId = code->header.objectId;
    type->owner = owner;
    type->name = name;
    for (const sql::TypeAttribute& a : stmt.attributes) {
      type->attributes.push_back({a.name, dataTypeOf(ctx, a.type, owner)});
    }
    cat.addObjectType(std::move(type));
  }
  cat.addCode(std::move(code));
  ctx.catalogChanged = true;
}

void runComment(ExecContext& ctx, const sql::CommentStmt& stmt) {
  Catalog& cat = ctx.catalog;
  std::string owner = stmt.table.schema.empty() ? ctx.user() : stmt.table.schema;
  Table* table = cat.findTable(owner, stmt.table.name);
  View* view = table ? nullptr : cat.findView(owner, stmt.table.name);
  if (!table && !view) throw OraError(942);
  requireOwnerOr(ctx, owner, "COMMENT ANY TABLE");
  if (stmt.onColumn) {
    bool found = table ? table->columnIndex(stmt.column) >= 0
                       : std::any_of(view->columns.begin(), view->columns.end(),
                                     [&](const ViewColumn& c) { return c.name == stmt.column; });
    if (!found) throw OraError(904, {quotedName({stmt.column})});
  }
  cat.setComment(owner, stmt.table.name, stmt.onColumn ? stmt.column : "", stmt.comment);
  ctx.catalogChanged = true;
}

}  // namespace ocisim
