#include "engine/storage/catalog_codec.h"

#include <string>

#include "engine/storage/value_codec.h"

namespace ocisim::storage {

// A field added to one of these records must be written and read below (and the format
// version raised), or a reopened database would silently lose it.
static_assert(sizeof(Catalog::Counters) == 24, "counters changed: update catalog_codec.cpp");
static_assert(sizeof(User) == 88, "User changed: update catalog_codec.cpp");
static_assert(sizeof(Role) == 64, "Role changed: update catalog_codec.cpp");
static_assert(sizeof(SystemPrivilegeGrant) == 72, "grant changed: update catalog_codec.cpp");
static_assert(sizeof(RoleGrant) == 72, "grant changed: update catalog_codec.cpp");
static_assert(sizeof(ObjectPrivilegeGrant) == 200, "grant changed: update catalog_codec.cpp");
static_assert(sizeof(StorageAttributes) == 120, "storage changed: update catalog_codec.cpp");
static_assert(sizeof(ObjectHeader) == 104, "header changed: update catalog_codec.cpp");
static_assert(sizeof(DataType) == 80, "DataType changed: update value_codec.cpp");
static_assert(sizeof(Column) == 160, "Column changed: update catalog_codec.cpp");
static_assert(sizeof(Table) == 272, "Table changed: update catalog_codec.cpp");
static_assert(sizeof(Constraint) == 368, "Constraint changed: update catalog_codec.cpp");
static_assert(sizeof(IndexColumn) == 40, "IndexColumn changed: update catalog_codec.cpp");
static_assert(sizeof(Index) == 328, "Index changed: update catalog_codec.cpp");
static_assert(sizeof(Sequence) == 232, "Sequence changed: update catalog_codec.cpp");
static_assert(sizeof(ViewColumn) == 120, "ViewColumn changed: update catalog_codec.cpp");
static_assert(sizeof(View) == 168, "View changed: update catalog_codec.cpp");
static_assert(sizeof(StoredCode) == 136, "StoredCode changed: update catalog_codec.cpp");
static_assert(sizeof(ObjectTypeAttribute) == 112, "attribute changed: update catalog_codec.cpp");
static_assert(sizeof(ObjectType) == 96, "ObjectType changed: update catalog_codec.cpp");
static_assert(sizeof(Trigger) == 488, "Trigger changed: update catalog_codec.cpp");
static_assert(sizeof(Synonym) == 168, "Synonym changed: update catalog_codec.cpp");

namespace {

// ---- shared pieces ----

void writeStrings(ByteWriter& out, const std::vector<std::string>& v) {
  out.varint(v.size());
  for (const auto& s : v) out.bytes(s);
}

std::vector<std::string> readStrings(ByteReader& in) {
  std::vector<std::string> v(in.count());
  for (auto& s : v) s = in.string();
  return v;
}

// The header ends with a byte: 1 valid, and above it flags of the record's kind (`extra`,
// shifted left by one: tables only). Files before those flags wrote a bool, valid.
void writeHeader(ByteWriter& out, const ObjectHeader& h, uint8_t extra = 0) {
  out.svarint(h.objectId);
  out.bytes(h.owner);
  out.bytes(h.name);
  writeDateTime(out, h.created);
  writeDateTime(out, h.lastDdlTime);
  out.u8(static_cast<uint8_t>((h.valid ? 1 : 0) | (extra << 1)));
}

ObjectHeader readHeader(ByteReader& in, uint8_t* extra = nullptr, uint8_t extraLimit = 0) {
  ObjectHeader h;
  h.objectId = in.svarint();
  h.owner = in.string();
  h.name = in.string();
  h.created = readDateTime(in);
  h.lastDdlTime = readDateTime(in);
  uint8_t b = in.u8();
  if ((b >> 1) > extraLimit) throw CorruptData("bad object header flags");
  h.valid = b & 1;
  if (extra) *extra = static_cast<uint8_t>(b >> 1);
  return h;
}

// Table flags in the header byte: index-organized 1, global temporary 2, ON COMMIT PRESERVE
// ROWS 4.
constexpr uint8_t kTableIot = 1;
constexpr uint8_t kTableTemporary = 2;
constexpr uint8_t kTablePreserveRows = 4;

void writeStorage(ByteWriter& out, const StorageAttributes& s) {
  for (int64_t v : {s.pctFree, s.pctUsed, s.iniTrans, s.maxTrans, s.initialExtent, s.nextExtent,
                    s.minExtents, s.maxExtents, s.pctIncrease, s.freelists, s.freelistGroups}) {
    out.svarint(v);
  }
  out.bytes(s.tablespace);
}

StorageAttributes readStorage(ByteReader& in) {
  StorageAttributes s;
  for (int64_t* v :
       {&s.pctFree, &s.pctUsed, &s.iniTrans, &s.maxTrans, &s.initialExtent, &s.nextExtent,
        &s.minExtents, &s.maxExtents, &s.pctIncrease, &s.freelists, &s.freelistGroups}) {
    *v = in.svarint();
  }
  s.tablespace = in.string();
  return s;
}

template <class Enum>
Enum readEnum(ByteReader& in, Enum last) {
  uint8_t v = in.u8();
  if (v > static_cast<uint8_t>(last)) throw CorruptData("enumeration out of range");
  return static_cast<Enum>(v);
}

// ---- users, roles, grants ----

void writeUser(ByteWriter& out, const User& u) {
  out.svarint(u.userId);
  out.bytes(u.name);
  out.bytes(u.password);
  writeDateTime(out, u.created);
}

std::unique_ptr<User> readUser(ByteReader& in) {
  auto u = std::make_unique<User>();
  u->userId = in.svarint();
  u->name = in.string();
  u->password = in.string();
  u->created = readDateTime(in);
  return u;
}

void writeRole(ByteWriter& out, const Role& r) {
  out.bytes(r.name);
  out.bytes(r.password);
}

std::unique_ptr<Role> readRole(ByteReader& in) {
  auto r = std::make_unique<Role>();
  r->name = in.string();
  r->password = in.string();
  return r;
}

void writeSystemGrants(ByteWriter& out, const std::vector<SystemPrivilegeGrant>& grants) {
  out.varint(grants.size());
  for (const auto& g : grants) {
    out.bytes(g.grantee);
    out.bytes(g.privilege);
    out.boolean(g.adminOption);
  }
}

std::vector<SystemPrivilegeGrant> readSystemGrants(ByteReader& in) {
  std::vector<SystemPrivilegeGrant> grants;
  for (size_t n = in.count(); n > 0; --n) {
    SystemPrivilegeGrant g;
    g.grantee = in.string();
    g.privilege = in.string();
    g.adminOption = in.boolean();
    grants.push_back(std::move(g));
  }
  return grants;
}

void writeRoleGrants(ByteWriter& out, const std::vector<RoleGrant>& grants) {
  out.varint(grants.size());
  for (const auto& g : grants) {
    out.bytes(g.grantee);
    out.bytes(g.role);
    out.boolean(g.adminOption);
    out.boolean(g.defaultRole);
  }
}

std::vector<RoleGrant> readRoleGrants(ByteReader& in) {
  std::vector<RoleGrant> grants;
  for (size_t n = in.count(); n > 0; --n) {
    RoleGrant g;
    g.grantee = in.string();
    g.role = in.string();
    g.adminOption = in.boolean();
    g.defaultRole = in.boolean();
    grants.push_back(std::move(g));
  }
  return grants;
}

void writeObjectGrants(ByteWriter& out, const std::vector<ObjectPrivilegeGrant>& grants) {
  out.varint(grants.size());
  for (const auto& g : grants) {
    for (const std::string* s : {&g.grantee, &g.owner, &g.objectName, &g.privilege, &g.grantor}) {
      out.bytes(*s);
    }
    // A byte of flags: 1 grantable, 2 a column follows (versions 1 to 4 wrote the bool alone).
    out.u8(static_cast<uint8_t>((g.grantable ? 1 : 0) | (g.column.empty() ? 0 : 2)));
    if (!g.column.empty()) out.bytes(g.column);
  }
}

std::vector<ObjectPrivilegeGrant> readObjectGrants(ByteReader& in) {
  std::vector<ObjectPrivilegeGrant> grants;
  for (size_t n = in.count(); n > 0; --n) {
    ObjectPrivilegeGrant g;
    for (std::string* s : {&g.grantee, &g.owner, &g.objectName, &g.privilege, &g.grantor}) {
      *s = in.string();
    }
    uint8_t flags = in.u8();
    if (flags > 3) throw CorruptData("bad object grant flags");
    g.grantable = (flags & 1) != 0;
    if (flags & 2) g.column = in.string();
    grants.push_back(std::move(g));
  }
  return grants;
}

void writeSecurity(ByteWriter& out, const Catalog& c) {
  out.varint(c.users().size());
  for (const auto& [key, u] : c.users()) writeUser(out, *u);
  out.varint(c.roles().size());
  for (const auto& [key, r] : c.roles()) writeRole(out, *r);
  writeSystemGrants(out, c.systemGrants());
  writeRoleGrants(out, c.roleGrants());
  writeObjectGrants(out, c.objectGrants());
}

void readSecurity(ByteReader& in, CatalogImage& image) {
  for (size_t n = in.count(); n > 0; --n) {
    auto u = readUser(in);
    std::string key = u->name;
    image.users[key] = std::move(u);
  }
  for (size_t n = in.count(); n > 0; --n) {
    auto r = readRole(in);
    std::string key = r->name;
    image.roles[key] = std::move(r);
  }
  image.systemGrants = readSystemGrants(in);
  image.roleGrants = readRoleGrants(in);
  image.objectGrants = readObjectGrants(in);
}

// ---- tables, constraints, indexes ----

void writeTable(ByteWriter& out, const Table& t) {
  writeHeader(out, t.header,
              static_cast<uint8_t>((t.organizationIndex ? kTableIot : 0) |
                                   (t.temporary ? kTableTemporary : 0) |
                                   (t.onCommitPreserve ? kTablePreserveRows : 0)));
  out.varint(t.columns.size());
  for (const Column& c : t.columns) {
    out.bytes(c.name);
    writeDataType(out, c.type);
    out.bytes(c.defaultText);
  }
  writeStorage(out, t.storage);
}

std::unique_ptr<Table> readTable(ByteReader& in) {
  auto t = std::make_unique<Table>();
  uint8_t flags = 0;
  t->header = readHeader(in, &flags, kTableIot | kTableTemporary | kTablePreserveRows);
  t->organizationIndex = flags & kTableIot;
  t->temporary = flags & kTableTemporary;
  t->onCommitPreserve = flags & kTablePreserveRows;
  t->columns.resize(in.count());
  for (Column& c : t->columns) {
    c.name = in.string();
    c.type = readDataType(in);
    c.defaultText = in.string();
  }
  t->storage = readStorage(in);
  return t;
}

// The state of a constraint in one byte. Format 2 wrote a boolean here (enabled); those two
// values still read as they did: validated when enabled, the key's index its own when it bears
// the key's name.
constexpr uint8_t kStateEnabled = 1;
constexpr uint8_t kStateValidated = 2;
constexpr uint8_t kStateDeferrable = 4;
constexpr uint8_t kStateDeferred = 8;
constexpr uint8_t kStateOwnsIndex = 16;
constexpr uint8_t kStateFull = 128;  // the bits above are all written

uint8_t constraintStateByte(const Constraint& c) {
  uint8_t b = kStateFull;
  if (c.enabled) b |= kStateEnabled;
  if (c.validated) b |= kStateValidated;
  if (c.deferrable) b |= kStateDeferrable;
  if (c.deferred) b |= kStateDeferred;
  if (c.ownsIndex) b |= kStateOwnsIndex;
  return b;
}

void readConstraintState(uint8_t b, Constraint& c) {
  if (!(b & kStateFull)) {
    if (b > 1) throw CorruptData("bad constraint state");
    c.enabled = b == 1;
    c.validated = c.enabled;
    c.ownsIndex = c.isKey() && !c.indexName.empty() && c.indexName == c.name;
    return;
  }
  if (b & ~(kStateFull | kStateEnabled | kStateValidated | kStateDeferrable | kStateDeferred |
            kStateOwnsIndex)) {
    throw CorruptData("bad constraint state");
  }
  c.enabled = b & kStateEnabled;
  c.validated = b & kStateValidated;
  c.deferrable = b & kStateDeferrable;
  c.deferred = b & kStateDeferred;
  c.ownsIndex = b & kStateOwnsIndex;
}

void writeConstraint(ByteWriter& out, const Constraint& c) {
  out.bytes(c.owner);
  out.bytes(c.name);
  out.u8(static_cast<uint8_t>(c.type));
  out.bytes(c.tableName);
  writeStrings(out, c.columns);
  for (const std::string* s : {&c.searchCondition, &c.notNullColumn, &c.rOwner, &c.rConstraintName,
                               &c.indexOwner, &c.indexName}) {
    out.bytes(*s);
  }
  out.u8(static_cast<uint8_t>(c.deleteRule));
  out.boolean(c.generatedName);
  out.u8(constraintStateByte(c));
  writeDateTime(out, c.lastChange);
}

std::unique_ptr<Constraint> readConstraint(ByteReader& in) {
  auto c = std::make_unique<Constraint>();
  c->owner = in.string();
  c->name = in.string();
  char type = static_cast<char>(in.u8());
  if (std::string_view("PURCVO").find(type) == std::string_view::npos) {
    throw CorruptData("unknown constraint type");
  }
  c->type = static_cast<ConstraintType>(type);
  c->tableName = in.string();
  c->columns = readStrings(in);
  for (std::string* s : {&c->searchCondition, &c->notNullColumn, &c->rOwner, &c->rConstraintName,
                         &c->indexOwner, &c->indexName}) {
    *s = in.string();
  }
  c->deleteRule = readEnum(in, DeleteRule::SetNull);
  c->generatedName = in.boolean();
  readConstraintState(in.u8(), *c);
  c->lastChange = readDateTime(in);
  return c;
}

void writeIndex(ByteWriter& out, const Index& i) {
  writeHeader(out, i.header);
  out.bytes(i.tableOwner);
  out.bytes(i.tableName);
  // Flags: unique 1, bitmap 2, unusable 4, IOT - TOP 8 (files before bitmaps wrote unique as a
  // boolean).
  out.u8(static_cast<uint8_t>((i.unique ? 1 : 0) | (i.bitmap ? 2 : 0) | (i.unusable ? 4 : 0) |
                              (i.iotTop ? 8 : 0)));
  out.varint(i.columns.size());
  for (const IndexColumn& c : i.columns) {
    out.bytes(c.name);
    // Descending 1, a hidden column's number follows 2 (before: a boolean).
    out.u8(static_cast<uint8_t>((c.descending ? 1 : 0) | (c.hiddenColumn ? 2 : 0)));
    if (c.hiddenColumn) out.svarint(c.hiddenColumn);
  }
  writeStorage(out, i.storage);
  out.svarint(i.compressPrefix);
  out.boolean(i.generatedName);
}

std::unique_ptr<Index> readIndex(ByteReader& in) {
  auto i = std::make_unique<Index>();
  i->header = readHeader(in);
  i->tableOwner = in.string();
  i->tableName = in.string();
  uint8_t flags = in.u8();
  if (flags > 15) throw CorruptData("bad index flags");
  i->unique = flags & 1;
  i->bitmap = flags & 2;
  i->unusable = flags & 4;
  i->iotTop = flags & 8;
  i->columns.resize(in.count());
  for (IndexColumn& c : i->columns) {
    c.name = in.string();
    uint8_t b = in.u8();
    if (b > 3) throw CorruptData("bad index column");
    c.descending = b & 1;
    if (b & 2) c.hiddenColumn = in.smallInt(1, 100000);
  }
  i->storage = readStorage(in);
  i->compressPrefix = in.smallInt(0, 1000);
  i->generatedName = in.boolean();
  return i;
}

// ---- sequences, views, code, types, triggers ----

void writeSequence(ByteWriter& out, const Sequence& s) {
  writeHeader(out, s.header);
  for (const Decimal* d : {&s.minValue, &s.maxValue, &s.incrementBy, &s.lastNumber, &s.nextValue}) {
    writeDecimal(out, *d);
  }
  out.boolean(s.cycle);
  out.boolean(s.order);
  out.svarint(s.cacheSize);
  out.boolean(s.exhausted);
}

std::unique_ptr<Sequence> readSequence(ByteReader& in) {
  auto s = std::make_unique<Sequence>();
  s->header = readHeader(in);
  for (Decimal* d : {&s->minValue, &s->maxValue, &s->incrementBy, &s->lastNumber, &s->nextValue}) {
    *d = readDecimal(in);
  }
  s->cycle = in.boolean();
  s->order = in.boolean();
  s->cacheSize = in.svarint();
  s->exhausted = in.boolean();
  return s;
}

void writeView(ByteWriter& out, const View& v) {
  writeHeader(out, v.header);
  out.bytes(v.text);
  out.varint(v.columns.size());
  for (const ViewColumn& c : v.columns) {
    out.bytes(c.name);
    writeDataType(out, c.type);
    out.boolean(c.nullable);
  }
  out.boolean(v.readOnly);
  out.boolean(v.checkOption);
}

std::unique_ptr<View> readView(ByteReader& in) {
  auto v = std::make_unique<View>();
  v->header = readHeader(in);
  v->text = in.string();
  v->columns.resize(in.count());
  for (ViewColumn& c : v->columns) {
    c.name = in.string();
    c.type = readDataType(in);
    c.nullable = in.boolean();
  }
  v->readOnly = in.boolean();
  v->checkOption = in.boolean();
  return v;
}

void writeCode(ByteWriter& out, const StoredCode& c) {
  writeHeader(out, c.header);
  out.u8(static_cast<uint8_t>(c.kind));
  writeStrings(out, c.lines);
}

std::unique_ptr<StoredCode> readCode(ByteReader& in) {
  auto c = std::make_unique<StoredCode>();
  c->header = readHeader(in);
  c->kind = readEnum(in, ObjectKind::Trigger);
  c->lines = readStrings(in);
  return c;
}

void writeObjectType(ByteWriter& out, const ObjectType& t) {
  out.svarint(t.codeObjectId);
  out.bytes(t.owner);
  out.bytes(t.name);
  out.varint(t.attributes.size());
  for (const ObjectTypeAttribute& a : t.attributes) {
    out.bytes(a.name);
    writeDataType(out, a.type);
  }
}

std::unique_ptr<ObjectType> readObjectType(ByteReader& in) {
  auto t = std::make_unique<ObjectType>();
  t->codeObjectId = in.svarint();
  t->owner = in.string();
  t->name = in.string();
  t->attributes.resize(in.count());
  for (ObjectTypeAttribute& a : t->attributes) {
    a.name = in.string();
    a.type = readDataType(in);
  }
  return t;
}

void writeTrigger(ByteWriter& out, const Trigger& t) {
  writeHeader(out, t.header);
  for (const std::string* s : {&t.triggerType, &t.triggeringEvent, &t.tableOwner, &t.tableName,
                               &t.baseObjectType, &t.columnName, &t.referencingNames, &t.whenClause,
                               &t.description, &t.actionType, &t.body}) {
    out.bytes(*s);
  }
  out.boolean(t.enabled);
  writeStrings(out, t.lines);
}

std::unique_ptr<Trigger> readTrigger(ByteReader& in) {
  auto t = std::make_unique<Trigger>();
  t->header = readHeader(in);
  for (std::string* s : {&t->triggerType, &t->triggeringEvent, &t->tableOwner, &t->tableName,
                         &t->baseObjectType, &t->columnName, &t->referencingNames, &t->whenClause,
                         &t->description, &t->actionType, &t->body}) {
    *s = in.string();
  }
  t->enabled = in.boolean();
  t->lines = readStrings(in);
  return t;
}

void writeSynonym(ByteWriter& out, const Synonym& s) {
  writeHeader(out, s.header);
  out.bytes(s.tableOwner);
  out.bytes(s.tableName);
}

std::unique_ptr<Synonym> readSynonym(ByteReader& in) {
  auto s = std::make_unique<Synonym>();
  s->header = readHeader(in);
  s->tableOwner = in.string();
  s->tableName = in.string();
  return s;
}

template <class Map, class Fn>
void writeAll(ByteWriter& out, const Map& map, Fn write) {
  out.varint(map.size());
  for (const auto& [key, record] : map) write(out, *record);
}

NameKey headerKey(const ObjectHeader& h) {
  return NameKey(h.owner, h.name);
}

}  // namespace

void writeCatalog(ByteWriter& out, const Catalog& c) {
  const Catalog::Counters& k = c.counters();
  out.svarint(k.nextObjectId);
  out.svarint(k.nextUserId);
  out.svarint(k.nextConstraintNumber);
  writeSecurity(out, c);
  writeAll(out, c.tables(), writeTable);
  writeAll(out, c.views(), writeView);
  writeAll(out, c.indexes(), writeIndex);
  writeAll(out, c.sequences(), writeSequence);
  writeAll(out, c.constraints(), writeConstraint);
  writeAll(out, c.triggers(), writeTrigger);
  writeAll(out, c.storedCode(), writeCode);
  writeAll(out, c.objectTypes(), writeObjectType);
  out.varint(c.comments().size());
  for (const auto& [key, text] : c.comments()) {
    out.bytes(std::get<0>(key));
    out.bytes(std::get<1>(key));
    out.bytes(std::get<2>(key));
    out.bytes(text);
  }
  out.varint(c.tablespaces().size());
  for (const auto& [name, t] : c.tablespaces()) {
    out.bytes(name);
    out.bytes(t->contents);
  }
  out.varint(c.userTablespaceMap().size());
  for (const auto& [user, t] : c.userTablespaceMap()) {
    out.bytes(user);
    out.bytes(t.defaultTablespace);
    out.bytes(t.temporaryTablespace);
  }
  writeAll(out, c.synonyms(), writeSynonym);  // format 6 on
}

CatalogImage readCatalog(ByteReader& in) {
  CatalogImage image;
  image.counters.nextObjectId = in.svarint();
  image.counters.nextUserId = in.svarint();
  image.counters.nextConstraintNumber = in.svarint();
  readSecurity(in, image);
  for (size_t n = in.count(); n > 0; --n) {
    auto t = readTable(in);
    image.tables[headerKey(t->header)] = std::move(t);
  }
  for (size_t n = in.count(); n > 0; --n) {
    auto v = readView(in);
    image.views[headerKey(v->header)] = std::move(v);
  }
  for (size_t n = in.count(); n > 0; --n) {
    auto i = readIndex(in);
    image.indexes[headerKey(i->header)] = std::move(i);
  }
  for (size_t n = in.count(); n > 0; --n) {
    auto s = readSequence(in);
    image.sequences[headerKey(s->header)] = std::move(s);
  }
  for (size_t n = in.count(); n > 0; --n) {
    auto c = readConstraint(in);
    NameKey key(c->owner, c->name);
    image.constraints[key] = std::move(c);
  }
  for (size_t n = in.count(); n > 0; --n) {
    auto t = readTrigger(in);
    image.triggers[headerKey(t->header)] = std::move(t);
  }
  for (size_t n = in.count(); n > 0; --n) {
    auto c = readCode(in);
    Catalog::CodeKey key(c->header.owner, c->header.name, c->kind);
    image.code[key] = std::move(c);
  }
  for (size_t n = in.count(); n > 0; --n) {
    auto t = readObjectType(in);
    NameKey key(t->owner, t->name);
    image.types[key] = std::move(t);
  }
  for (size_t n = in.count(4); n > 0; --n) {
    std::string owner = in.string();
    std::string object = in.string();
    std::string column = in.string();
    image.comments[Catalog::CommentKey(owner, object, column)] = in.string();
  }
  if (in.atEnd()) return image;  // written before tablespaces
  for (size_t n = in.count(2); n > 0; --n) {
    std::string name = in.string();
    image.tablespaces[name] = in.string();
  }
  for (size_t n = in.count(3); n > 0; --n) {
    std::string user = in.string();
    Catalog::UserTablespaces t;
    t.defaultTablespace = in.string();
    t.temporaryTablespace = in.string();
    image.userTablespaces[user] = t;
  }
  if (in.atEnd()) return image;  // written before synonyms
  for (size_t n = in.count(); n > 0; --n) {
    auto s = readSynonym(in);
    image.synonyms[headerKey(s->header)] = std::move(s);
  }
  return image;
}

void writeSequenceState(ByteWriter& out, const Sequence& s) {
  out.svarint(s.header.objectId);
  writeDecimal(out, s.lastNumber);
  writeDecimal(out, s.nextValue);
  out.boolean(s.exhausted);
}

SequenceState readSequenceState(ByteReader& in) {
  SequenceState s;
  s.objectId = in.svarint();
  s.lastNumber = readDecimal(in);
  s.nextValue = readDecimal(in);
  s.exhausted = in.boolean();
  return s;
}

}  // namespace ocisim::storage

// ---- single records ----

namespace ocisim::storage {

void writeRecord(ByteWriter& out, const User& r) {
  writeUser(out, r);
}
void writeRecord(ByteWriter& out, const Role& r) {
  writeRole(out, r);
}
void writeRecord(ByteWriter& out, const Table& r) {
  writeTable(out, r);
}
void writeRecord(ByteWriter& out, const View& r) {
  writeView(out, r);
}
void writeRecord(ByteWriter& out, const Index& r) {
  writeIndex(out, r);
}
void writeRecord(ByteWriter& out, const Sequence& r) {
  writeSequence(out, r);
}
void writeRecord(ByteWriter& out, const Constraint& r) {
  writeConstraint(out, r);
}
void writeRecord(ByteWriter& out, const Trigger& r) {
  writeTrigger(out, r);
}
void writeRecord(ByteWriter& out, const StoredCode& r) {
  writeCode(out, r);
}
void writeRecord(ByteWriter& out, const ObjectType& r) {
  writeObjectType(out, r);
}
void writeRecord(ByteWriter& out, const Synonym& r) {
  writeSynonym(out, r);
}
void writeRecord(ByteWriter& out, const std::vector<SystemPrivilegeGrant>& r) {
  writeSystemGrants(out, r);
}
void writeRecord(ByteWriter& out, const std::vector<RoleGrant>& r) {
  writeRoleGrants(out, r);
}
void writeRecord(ByteWriter& out, const std::vector<ObjectPrivilegeGrant>& r) {
  writeObjectGrants(out, r);
}

void readRecord(ByteReader& in, std::unique_ptr<User>& out) {
  out = readUser(in);
}
void readRecord(ByteReader& in, std::unique_ptr<Role>& out) {
  out = readRole(in);
}
void readRecord(ByteReader& in, std::unique_ptr<Table>& out) {
  out = readTable(in);
}
void readRecord(ByteReader& in, std::unique_ptr<View>& out) {
  out = readView(in);
}
void readRecord(ByteReader& in, std::unique_ptr<Index>& out) {
  out = readIndex(in);
}
void readRecord(ByteReader& in, std::unique_ptr<Sequence>& out) {
  out = readSequence(in);
}
void readRecord(ByteReader& in, std::unique_ptr<Constraint>& out) {
  out = readConstraint(in);
}
void readRecord(ByteReader& in, std::unique_ptr<Trigger>& out) {
  out = readTrigger(in);
}
void readRecord(ByteReader& in, std::unique_ptr<StoredCode>& out) {
  out = readCode(in);
}
void readRecord(ByteReader& in, std::unique_ptr<ObjectType>& out) {
  out = readObjectType(in);
}
void readRecord(ByteReader& in, std::unique_ptr<Synonym>& out) {
  out = readSynonym(in);
}

std::vector<SystemPrivilegeGrant> readSystemGrantList(ByteReader& in) {
  return readSystemGrants(in);
}
std::vector<RoleGrant> readRoleGrantList(ByteReader& in) {
  return readRoleGrants(in);
}
std::vector<ObjectPrivilegeGrant> readObjectGrantList(ByteReader& in) {
  return readObjectGrants(in);
}

}  // namespace ocisim::storage
