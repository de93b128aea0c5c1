// The test catalog (test_catalog.h): every kind of object, and the dumps that compare
// databases field by field. Compiled into the test binary of this folder only.
#include "engine/compose/test_catalog.h"

#include <map>

namespace ocisim::storage::testing {
namespace {

std::string show(const DateTime& d) {
  char b[64];
  std::snprintf(b, sizeof b, "%d-%02d-%02d %02d:%02d:%02d.%09u", d.year, d.month, d.day, d.hour,
                d.minute, d.second, d.nanos);
  return b;
}

std::string show(const DataType& t) {
  return t.sqlText() + "{" + std::to_string(static_cast<int>(t.code)) + "," +
         std::to_string(t.length) + "," + std::to_string(t.precision) + "," +
         std::to_string(t.scale) + "," + t.owner + "," + t.name + "," +
         std::to_string(t.charSemantics) + std::to_string(t.national) +
         std::to_string(static_cast<int>(t.zone)) + "}";
}

std::string show(const ObjectHeader& h) {
  return std::to_string(h.objectId) + " " + h.owner + "." + h.name + " " + show(h.created) + " " +
         show(h.lastDdlTime) + (h.valid ? " VALID" : " INVALID");
}

std::string show(const StorageAttributes& s) {
  std::ostringstream o;
  o << s.pctFree << ' ' << s.pctUsed << ' ' << s.iniTrans << ' ' << s.maxTrans << ' '
    << s.tablespace << ' ' << s.initialExtent << ' ' << s.nextExtent << ' ' << s.minExtents << ' '
    << s.maxExtents << ' ' << s.pctIncrease << ' ' << s.freelists << ' ' << s.freelistGroups;
  return o.str();
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += "[" + l + "]";
  return out;
}

void dumpSecurity(const Catalog& c, std::ostringstream& o) {
  const auto& k = c.counters();
  o << "counters " << k.nextObjectId << ' ' << k.nextUserId << ' ' << k.nextConstraintNumber
    << '\n';
  for (const auto& [n, u] : c.users()) {
    o << "user " << u->userId << ' ' << u->name << ' ' << u->password << ' ' << show(u->created)
      << '\n';
  }
  for (const auto& [n, r] : c.roles()) o << "role " << r->name << ' ' << r->password << '\n';
  for (const auto& g : c.systemGrants()) {
    o << "sysgrant " << g.grantee << ' ' << g.privilege << ' ' << g.adminOption << '\n';
  }
  for (const auto& g : c.roleGrants()) {
    o << "rolegrant " << g.grantee << ' ' << g.role << ' ' << g.adminOption << ' ' << g.defaultRole
      << '\n';
  }
  for (const auto& g : c.objectGrants()) {
    o << "objgrant " << g.grantee << ' ' << g.owner << '.' << g.objectName << ' ' << g.privilege
      << ' ' << g.grantor << ' ' << g.grantable << " column [" << g.column << "]\n";
  }
}

void dumpSchema(const Catalog& c, std::ostringstream& o) {
  for (const auto& [k, t] : c.tables()) {
    o << "table " << show(t->header) << " storage " << show(t->storage) << '\n';
    for (const Column& col : t->columns) {
      o << "  column " << col.name << ' ' << show(col.type) << " default [" << col.defaultText
        << "] parsed " << (col.defaultExpr != nullptr) << '\n';
    }
  }
  for (const auto& [k, v] : c.views()) {
    o << "view " << show(v->header) << " [" << v->text << "] " << v->readOnly << v->checkOption
      << '\n';
    for (const ViewColumn& col : v->columns) {
      o << "  column " << col.name << ' ' << show(col.type) << ' ' << col.nullable << '\n';
    }
  }
  for (const auto& [k, i] : c.indexes()) {
    o << "index " << show(i->header) << " on " << i->tableOwner << '.' << i->tableName << ' '
      << i->unique << i->bitmap << ' ' << i->compressPrefix << ' ' << i->generatedName
      << " storage " << show(i->storage) << " cols";
    for (const IndexColumn& col : i->columns) {
      o << ' ' << col.name << (col.descending ? "-" : "+") << col.hiddenColumn;
    }
    o << '\n';
  }
  for (const auto& [k, s] : c.sequences()) {
    o << "sequence " << show(s->header) << ' ' << s->minValue.toString() << ' '
      << s->maxValue.toString() << ' ' << s->incrementBy.toString() << ' ' << s->cycle << s->order
      << ' ' << s->cacheSize << ' ' << s->lastNumber.toString() << ' ' << s->nextValue.toString()
      << ' ' << s->exhausted << '\n';
  }
  for (const auto& [k, x] : c.constraints()) {
    o << "constraint " << x->owner << '.' << x->name << ' ' << static_cast<char>(x->type) << ' '
      << x->tableName << " (" << joinLines(x->columns) << ") [" << x->searchCondition << "] parsed "
      << (x->condition != nullptr) << ' ' << x->notNullColumn << ' ' << x->rOwner << '.'
      << x->rConstraintName << ' ' << deleteRuleName(x->deleteRule) << ' ' << x->generatedName
      << x->enabled << x->validated << x->deferrable << x->deferred << x->ownsIndex << ' '
      << x->indexOwner << '.' << x->indexName << ' ' << show(x->lastChange) << '\n';
  }
  for (const auto& [k, t] : c.triggers()) {
    o << "trigger " << show(t->header) << " | " << t->triggerType << " | " << t->triggeringEvent
      << " | " << t->tableOwner << '.' << t->tableName << " | " << t->baseObjectType << " | "
      << t->columnName << " | " << t->referencingNames << " | " << t->whenClause << " | "
      << t->enabled << " | " << t->description << " | " << t->actionType << " | " << t->body
      << " | " << joinLines(t->lines) << '\n';
  }
  for (const auto& [k, s] : c.storedCode()) {
    o << "code " << objectTypeName(s->kind) << ' ' << show(s->header) << ' ' << joinLines(s->lines)
      << '\n';
  }
  for (const auto& [k, text] : c.comments()) {
    o << "comment " << std::get<0>(k) << '.' << std::get<1>(k) << '.' << std::get<2>(k) << " ["
      << text << "]\n";
  }
  for (const auto& [k, t] : c.objectTypes()) {
    o << "type " << t->codeObjectId << ' ' << t->owner << '.' << t->name;
    for (const auto& a : t->attributes) o << ' ' << a.name << ':' << show(a.type);
    o << '\n';
  }
}

void addSecurity(Catalog& c) {
  auto scott = std::make_unique<User>();
  scott->userId = c.allocateUserId();
  scott->name = "SCOTT";
  scott->password = "Tiger#1";
  scott->created = someDate(3);
  c.addUser(std::move(scott));
  auto role = std::make_unique<Role>();
  role->name = "APP_ROLE";
  role->password = "secret";
  c.addRole(std::move(role));
  c.grantSystemPrivilege({"SCOTT", "CREATE SESSION", false});
  c.grantSystemPrivilege({"APP_ROLE", "SELECT ANY TABLE", true});
  c.grantRole({"SCOTT", "APP_ROLE", true, false});
  c.grantRole({"SCOTT", "RESOURCE", false, true});
  c.grantObjectPrivilege({"PUBLIC", "SCOTT", "EMP", "SELECT", "SCOTT", false});
  c.grantObjectPrivilege({"SYSTEM", "SCOTT", "EMP", "UPDATE", "SCOTT", true});
  c.grantObjectPrivilege({"SYSTEM", "SCOTT", "EMP", "INSERT", "SCOTT", false, "ENAME"});
}

void addTableObjects(Catalog& c, Table& emp, Table& dept) {
  auto pk = std::make_unique<Constraint>();
  pk->owner = "SCOTT";
  pk->name = "DEPT_PK";
  pk->type = ConstraintType::PrimaryKey;
  pk->tableName = "DEPT";
  pk->columns = {"C0"};
  pk->indexOwner = "SCOTT";
  pk->indexName = "DEPT_PK";
  pk->ownsIndex = true;
  pk->deferrable = true;
  pk->lastChange = someDate(8);
  c.addConstraint(std::move(pk));
  auto pkIndex = std::make_unique<Index>();
  pkIndex->header = makeHeader(c, "SCOTT", "DEPT_PK");
  pkIndex->tableOwner = "SCOTT";
  pkIndex->tableName = "DEPT";
  pkIndex->unique = true;
  pkIndex->columns = {{"C0", false}};
  c.addIndex(std::move(pkIndex));
  auto fk = std::make_unique<Constraint>();
  fk->owner = "SCOTT";
  fk->name = c.allocateSystemName();
  fk->generatedName = true;
  fk->type = ConstraintType::ForeignKey;
  fk->tableName = emp.header.name;
  fk->columns = {"C3"};
  fk->rOwner = "SCOTT";
  fk->rConstraintName = "DEPT_PK";
  fk->deleteRule = DeleteRule::Cascade;
  fk->enabled = false;
  fk->validated = true;  // DISABLE VALIDATE
  c.addConstraint(std::move(fk));
  auto check = std::make_unique<Constraint>();
  check->owner = "SCOTT";
  check->name = "EMP_CK";
  check->type = ConstraintType::Check;
  check->tableName = emp.header.name;
  check->columns = {"C0"};
  check->searchCondition = "C0 BETWEEN 0 AND 1000000 AND C1 <> 'x'";
  check->condition = parsedCondition(check->searchCondition);
  check->validated = false;  // ENABLE NOVALIDATE
  check->deferrable = true;
  check->deferred = true;
  c.addConstraint(std::move(check));
  auto notNull = std::make_unique<Constraint>();
  notNull->owner = "SCOTT";
  notNull->name = c.allocateSystemName();
  notNull->type = ConstraintType::Check;
  notNull->tableName = emp.header.name;
  notNull->columns = {"C1"};
  notNull->searchCondition = "\"C1\" IS NOT NULL";
  notNull->notNullColumn = "C1";
  notNull->condition = parsedCondition(notNull->searchCondition);
  c.addConstraint(std::move(notNull));
  auto index = std::make_unique<Index>();
  index->header = makeHeader(c, "SCOTT", "EMP_IX");
  index->tableOwner = "SCOTT";
  index->tableName = emp.header.name;
  index->columns = {{"C1", true, 9}, {"C0", false}};
  index->bitmap = true;
  index->compressPrefix = 1;
  index->storage.pctFree = 20;
  c.addIndex(std::move(index));
  (void)dept;
}

void addCodeObjects(Catalog& c) {
  auto seq = std::make_unique<Sequence>();
  seq->header = makeHeader(c, "SCOTT", "EMP_SEQ");
  seq->minValue = Decimal::fromInt64(-5);
  seq->maxValue = *Decimal::parse("999999999999999999999999999");
  seq->incrementBy = Decimal::fromInt64(3);
  seq->cycle = true;
  seq->order = true;
  seq->cacheSize = 0;
  seq->lastNumber = Decimal::fromInt64(40);
  seq->nextValue = Decimal::fromInt64(37);
  c.addSequence(std::move(seq));
  auto view = std::make_unique<View>();
  view->header = makeHeader(c, "SCOTT", "EMP_V");
  view->header.valid = false;
  view->text = "select c0, c1\n  from emp -- all of them";
  DataType inChars = DataType::varchar2(100);
  inChars.charSemantics = true;
  DataType national = DataType::charType(5);
  national.national = true;
  view->columns = {{"C0", DataType::number(10, 0), false},
                   {"C1", inChars, true},
                   {"C2", national, true},
                   {"C3", DataType::timestamp(3, TimeZoneKind::WithLocalTimeZone), true}};
  view->checkOption = true;
  c.addView(std::move(view));
  const std::pair<ObjectKind, const char*> kinds[] = {
      {ObjectKind::Procedure, "P1"},   {ObjectKind::Function, "F1"},
      {ObjectKind::Package, "PKG"},    {ObjectKind::PackageBody, "PKG"},
      {ObjectKind::Type, "ADDRESS_T"}, {ObjectKind::TypeBody, "ADDRESS_T"}};
  for (const auto& [kind, name] : kinds) {
    auto code = std::make_unique<StoredCode>();
    code->header = makeHeader(c, "SCOTT", name);
    code->kind = kind;
    code->lines = {std::string(objectTypeName(kind)) + " " + name + " IS\n", "BEGIN NULL;\n",
                   "END;"};
    c.addCode(std::move(code));
  }
  auto type = std::make_unique<ObjectType>();
  type->codeObjectId = c.findCode("SCOTT", "ADDRESS_T", ObjectKind::Type)->header.objectId;
  type->owner = "SCOTT";
  type->name = "ADDRESS_T";
  type->attributes = {{"STREET", DataType::varchar2(40)}, {"ZIP", DataType::number(5, 0)}};
  c.addObjectType(std::move(type));
  auto trigger = std::make_unique<Trigger>();
  trigger->header = makeHeader(c, "SCOTT", "EMP_TRG");
  trigger->triggerType = "BEFORE EACH ROW";
  trigger->triggeringEvent = "INSERT OR UPDATE";
  trigger->tableOwner = "SCOTT";
  trigger->tableName = "EMP";
  trigger->columnName = "C1, C2";
  trigger->referencingNames = "REFERENCING NEW AS N OLD AS O";
  trigger->whenClause = "n.c0 > 0";
  trigger->enabled = false;
  trigger->description = "emp_trg before insert or update of c1, c2 on emp";
  trigger->body = "BEGIN\n  :n.c1 := upper(:n.c1);\nEND;";
  trigger->lines = {"TRIGGER emp_trg\n", "BEGIN NULL; END;"};
  c.addTrigger(std::move(trigger));
}

}  // namespace

void addEveryKindOfObject(Database& db, CommitRecord& record) {
  Catalog& c = db.catalog();
  addSecurity(c);
  Table& emp = c.addTable(makeTable(c, "SCOTT", "EMP", 8));
  Table& dept = c.addTable(makeTable(c, "SCOTT", "DEPT", 4));
  addTableObjects(c, emp, dept);
  addCodeObjects(c);
  c.setComment("SCOTT", "EMP", "", "Employees, one row each");
  c.setComment("SCOTT", "EMP", "C1", "the name");
  db.rebuildIndexes(emp);
  db.rebuildIndexes(dept);
  for (int i = 1; i <= 30; ++i) insertRow(emp, i, record);
  for (int i = 1; i <= 5; ++i) insertRow(dept, i, record);
  record.catalogChanged = true;
}

std::string dumpCatalog(const Database& db) {
  std::ostringstream o;
  dumpSecurity(db.catalog(), o);
  dumpSchema(db.catalog(), o);
  return o.str();
}

std::string dumpRows(const Database& db) {
  std::ostringstream o;
  for (const auto& [key, t] : db.catalog().tables()) {
    const TableData& data = *t->data;
    o << "rows " << key.first << '.' << key.second << ' ' << data.rowCount() << " width "
      << data.columnCount() << '\n';
    for (RowId id = 0; id < data.slotLimit(); ++id) {
      const Value* r = data.row(id);
      if (!r) continue;
      o << "  " << id << ':';
      for (size_t i = 0; i < data.columnCount(); ++i) o << ' ' << r[i].debugString();
      o << '\n';
    }
    std::map<std::string, const TableIndex*> indexes;
    for (const auto& index : data.indexes()) indexes[index->name()] = index.get();
    for (const auto& [name, index] : indexes) {
      o << "  index " << name << " cols";
      for (int c : index->keyColumns()) o << ' ' << c;
      o << " order";
      for (RowId id : *index) o << ' ' << id;
      o << '\n';
    }
  }
  return o.str();
}

}  // namespace ocisim::storage::testing
