#include "engine/storage/catalog_delta.h"

#include <cstdio>

#include "engine/storage/catalog_codec.h"

namespace ocisim::storage {
namespace {

// An encoded record on its way into a delta or the shadow.
struct Encoded {
  RecordKind kind;
  std::string key;
  NameKey group;
  std::string record;
};

std::string ownerKey(const std::string& owner, const std::string& name) {
  ByteWriter k;
  k.bytes(owner);
  k.bytes(name);
  return std::move(k.buffer());
}

std::string shadowKeyOf(RecordKind kind, const std::string& key) {
  std::string s(1, static_cast<char>(kind));
  s += key;
  return s;
}

template <class Rec>
std::string recordBytes(const Rec& r) {
  ByteWriter out;
  writeRecord(out, r);
  return std::move(out.buffer());
}

// Every record of the catalog, in a stable order.
template <class Fn>
void encodeAll(const Catalog& c, Fn fn) {
  for (const auto& [key, u] : c.users()) {
    ByteWriter k;
    k.bytes(u->name);
    fn(Encoded{RecordKind::User, std::move(k.buffer()), {}, recordBytes(*u)});
  }
  for (const auto& [key, r] : c.roles()) {
    ByteWriter k;
    k.bytes(r->name);
    fn(Encoded{RecordKind::Role, std::move(k.buffer()), {}, recordBytes(*r)});
  }
  for (const auto& [name, t] : c.tablespaces()) {
    ByteWriter k;
    k.bytes(name);
    fn(Encoded{RecordKind::Tablespace, std::move(k.buffer()), {}, t->contents});
  }
  for (const auto& [user, t] : c.userTablespaceMap()) {
    ByteWriter k;
    k.bytes(user);
    ByteWriter r;
    r.bytes(t.defaultTablespace);
    r.bytes(t.temporaryTablespace);
    fn(Encoded{RecordKind::UserTablespaces, std::move(k.buffer()), {}, std::move(r.buffer())});
  }
  fn(Encoded{RecordKind::SystemGrants, "", {}, recordBytes(c.systemGrants())});
  fn(Encoded{RecordKind::RoleGrants, "", {}, recordBytes(c.roleGrants())});
  fn(Encoded{RecordKind::ObjectGrants, "", {}, recordBytes(c.objectGrants())});
  for (const auto& [key, t] : c.tables()) {
    fn(Encoded{RecordKind::Table, ownerKey(key.first, key.second), key, recordBytes(*t)});
  }
  for (const auto& [key, v] : c.views()) {
    fn(Encoded{RecordKind::View, ownerKey(key.first, key.second), {}, recordBytes(*v)});
  }
  for (const auto& [key, i] : c.indexes()) {
    fn(Encoded{RecordKind::Index,
               ownerKey(key.first, key.second),
               {i->tableOwner, i->tableName},
               recordBytes(*i)});
  }
  for (const auto& [key, s] : c.sequences()) {
    fn(Encoded{RecordKind::Sequence, ownerKey(key.first, key.second), {}, recordBytes(*s)});
  }
  for (const auto& [key, k] : c.constraints()) {
    fn(Encoded{RecordKind::Constraint,
               ownerKey(key.first, key.second),
               {k->owner, k->tableName},
               recordBytes(*k)});
  }
  for (const auto& [key, t] : c.triggers()) {
    fn(Encoded{RecordKind::Trigger,
               ownerKey(key.first, key.second),
               {t->tableOwner, t->tableName},
               recordBytes(*t)});
  }
  for (const auto& [key, code] : c.storedCode()) {
    ByteWriter k;
    k.bytes(std::get<0>(key));
    k.bytes(std::get<1>(key));
    k.u8(static_cast<uint8_t>(std::get<2>(key)));
    fn(Encoded{RecordKind::Code, std::move(k.buffer()), {}, recordBytes(*code)});
  }
  for (const auto& [key, t] : c.objectTypes()) {
    fn(Encoded{RecordKind::ObjectType, ownerKey(key.first, key.second), {}, recordBytes(*t)});
  }
  for (const auto& [key, s] : c.synonyms()) {
    fn(Encoded{RecordKind::Synonym, ownerKey(key.first, key.second), {}, recordBytes(*s)});
  }
  for (const auto& [key, text] : c.comments()) {
    ByteWriter k;
    k.bytes(std::get<0>(key));
    k.bytes(std::get<1>(key));
    k.bytes(std::get<2>(key));
    fn(Encoded{
        RecordKind::Comment, std::move(k.buffer()), {std::get<0>(key), std::get<1>(key)}, text});
  }
}

// The records of one table: the table, its constraints, the indexes and triggers on it, the
// comments on it.
template <class Fn>
void encodeTable(const Catalog& c, const NameKey& table, Fn fn) {
  const auto& [owner, name] = table;
  if (const Table* t = c.findTable(owner, name)) {
    fn(Encoded{RecordKind::Table, ownerKey(owner, name), table, recordBytes(*t)});
  }
  for (const Constraint* k : c.constraintsOf(owner, name)) {
    fn(Encoded{RecordKind::Constraint, ownerKey(k->owner, k->name), table, recordBytes(*k)});
  }
  for (const Index* i : c.indexesOn(owner, name)) {
    fn(Encoded{RecordKind::Index, ownerKey(i->header.owner, i->header.name), table,
               recordBytes(*i)});
  }
  for (const Trigger* t : c.triggersOn(owner, name)) {
    fn(Encoded{RecordKind::Trigger, ownerKey(t->header.owner, t->header.name), table,
               recordBytes(*t)});
  }
  auto it = c.comments().lower_bound(Catalog::CommentKey(owner, name, ""));
  for (; it != c.comments().end() && std::get<0>(it->first) == owner &&
         std::get<1>(it->first) == name;
       ++it) {
    ByteWriter k;
    k.bytes(owner);
    k.bytes(name);
    k.bytes(std::get<2>(it->first));
    fn(Encoded{RecordKind::Comment, std::move(k.buffer()), table, it->second});
  }
}

size_t catalogCount(const Catalog& c, uint8_t kind) {
  switch (static_cast<RecordKind>(kind)) {
    case RecordKind::User:
      return c.users().size();
    case RecordKind::Role:
      return c.roles().size();
    case RecordKind::SystemGrants:
    case RecordKind::RoleGrants:
    case RecordKind::ObjectGrants:
      return 1;
    case RecordKind::Table:
      return c.tables().size();
    case RecordKind::View:
      return c.views().size();
    case RecordKind::Index:
      return c.indexes().size();
    case RecordKind::Sequence:
      return c.sequences().size();
    case RecordKind::Constraint:
      return c.constraints().size();
    case RecordKind::Trigger:
      return c.triggers().size();
    case RecordKind::Code:
      return c.storedCode().size();
    case RecordKind::ObjectType:
      return c.objectTypes().size();
    case RecordKind::Comment:
      return c.comments().size();
    case RecordKind::Tablespace:
      return c.tablespaces().size();
    case RecordKind::UserTablespaces:
      return c.userTablespaceMap().size();
    case RecordKind::Synonym:
      return c.synonyms().size();
  }
  return 0;
}

}  // namespace

// ---- the frame ----

void writeCatalogDelta(ByteWriter& out, const CatalogDelta& delta) {
  out.svarint(delta.counters.nextObjectId);
  out.svarint(delta.counters.nextUserId);
  out.svarint(delta.counters.nextConstraintNumber);
  out.varint(delta.entries.size());
  for (const DeltaEntry& e : delta.entries) {
    out.u8(static_cast<uint8_t>(e.kind));
    out.boolean(e.put);
    out.bytes(e.key);
    out.bytes(e.group.first);
    out.bytes(e.group.second);
    if (e.put) out.bytes(e.record);
  }
}

CatalogDelta readCatalogDelta(ByteReader& in) {
  CatalogDelta delta;
  delta.counters.nextObjectId = in.svarint();
  delta.counters.nextUserId = in.svarint();
  delta.counters.nextConstraintNumber = in.svarint();
  for (size_t n = in.count(5); n > 0; --n) {
    DeltaEntry e;
    uint8_t kind = in.u8();
    if (kind < 1 || kind > kLastRecordKind) throw CorruptData("unknown catalog record kind");
    e.kind = static_cast<RecordKind>(kind);
    e.put = in.boolean();
    e.key = in.string();
    e.group.first = in.string();
    e.group.second = in.string();
    if (e.put) e.record = in.string();
    delta.entries.push_back(std::move(e));
  }
  return delta;
}

std::string decodeNameKey(const std::string& key) {
  ByteReader in(key);
  std::string name = in.string();
  if (!in.atEnd()) throw CorruptData("malformed record key");
  return name;
}

NameKey decodeOwnerKey(const std::string& key) {
  ByteReader in(key);
  NameKey k;
  k.first = in.string();
  k.second = in.string();
  if (!in.atEnd()) throw CorruptData("malformed record key");
  return k;
}

Catalog::CodeKey decodeCodeKey(const std::string& key) {
  ByteReader in(key);
  std::string owner = in.string();
  std::string name = in.string();
  uint8_t kind = in.u8();
  if (kind > static_cast<uint8_t>(ObjectKind::Trigger) || !in.atEnd()) {
    throw CorruptData("malformed record key");
  }
  return {owner, name, static_cast<ObjectKind>(kind)};
}

Catalog::CommentKey decodeCommentKey(const std::string& key) {
  ByteReader in(key);
  std::string owner = in.string();
  std::string object = in.string();
  std::string column = in.string();
  if (!in.atEnd()) throw CorruptData("malformed record key");
  return {owner, object, column};
}

// ---- CatalogShadow ----

void CatalogShadow::clear() {
  entries_.clear();
  groups_.clear();
  counts_.fill(0);
  counters_ = {};
  valid_ = false;
}

void CatalogShadow::rebuild(const Catalog& c) {
  clear();
  encodeAll(c, [&](Encoded e) {
    put(shadowKeyOf(e.kind, e.key), std::move(e.record), e.group, static_cast<uint8_t>(e.kind));
  });
  counters_ = c.counters();
  valid_ = true;
}

void CatalogShadow::put(std::string shadowKey, std::string record, const NameKey& group,
                        uint8_t kind) {
  auto [it, added] = entries_.try_emplace(std::move(shadowKey));
  if (added) {
    ++counts_[kind];
  } else if (it->second.group != group) {
    auto g = groups_.find(it->second.group);
    if (g != groups_.end()) {
      g->second.erase(it->first);
      if (g->second.empty()) groups_.erase(g);
    }
  }
  it->second.record = std::move(record);
  it->second.group = group;
  if (!group.second.empty()) groups_[group].insert(it->first);
}

void CatalogShadow::remove(const std::string& shadowKey, uint8_t kind) {
  auto it = entries_.find(shadowKey);
  if (it == entries_.end()) return;
  auto g = groups_.find(it->second.group);
  if (g != groups_.end()) {
    g->second.erase(shadowKey);
    if (g->second.empty()) groups_.erase(g);
  }
  entries_.erase(it);
  --counts_[kind];
}

void CatalogShadow::apply(const CatalogDelta& delta) {
  counters_ = delta.counters;
  for (const DeltaEntry& e : delta.entries) {
    auto kind = static_cast<uint8_t>(e.kind);
    if (e.put) {
      put(shadowKeyOf(e.kind, e.key), e.record, e.group, kind);
    } else {
      remove(shadowKeyOf(e.kind, e.key), kind);
    }
  }
}

CatalogDelta CatalogShadow::diff(const Catalog& c) const {
  CatalogDelta delta;
  delta.counters = c.counters();
  std::set<std::string> seen;
  encodeAll(c, [&](Encoded e) {
    std::string shadowKey = shadowKeyOf(e.kind, e.key);
    auto it = entries_.find(shadowKey);
    bool same =
        it != entries_.end() && it->second.record == e.record && it->second.group == e.group;
    seen.insert(std::move(shadowKey));
    if (!same)
      delta.entries.push_back({e.kind, true, std::move(e.key), e.group, std::move(e.record)});
  });
  for (const auto& [shadowKey, entry] : entries_) {
    if (seen.count(shadowKey)) continue;
    delta.entries.push_back(
        {static_cast<RecordKind>(shadowKey[0]), false, shadowKey.substr(1), entry.group, ""});
  }
  return delta;
}

std::optional<CatalogDelta> CatalogShadow::diffTables(const Catalog& c,
                                                      const std::vector<NameKey>& tables) const {
  if (auto delta = diffGroups(c, tables, false)) return delta;
  return diffGroups(c, tables, true);
}

std::optional<CatalogDelta> CatalogShadow::diffGroups(const Catalog& c,
                                                      const std::vector<NameKey>& tables,
                                                      bool scan) const {
  CatalogDelta delta;
  delta.counters = c.counters();
  std::array<int64_t, kLastRecordKind + 1> change{};
  std::set<std::string> seen;
  auto take = [&](Encoded e) {
    std::string shadowKey = shadowKeyOf(e.kind, e.key);
    if (!seen.insert(shadowKey).second) return;  // a record reached twice
    auto it = entries_.find(shadowKey);
    if (it == entries_.end()) ++change[static_cast<uint8_t>(e.kind)];
    if (it == entries_.end() || it->second.record != e.record || it->second.group != e.group) {
      delta.entries.push_back({e.kind, true, std::move(e.key), e.group, std::move(e.record)});
    }
  };
  std::set<NameKey> done;
  for (const NameKey& table : tables) {
    if (!done.insert(table).second) continue;
    if (scan) {
      encodeTable(c, table, take);
      continue;
    }
    const auto& [owner, name] = table;
    auto ofTable = [&](const std::string& o, const std::string& t) {
      return o == owner && t == name;
    };
    auto takeConstraint = [&](const Constraint* k) {
      if (!k || !ofTable(k->owner, k->tableName)) return;
      take(Encoded{RecordKind::Constraint, ownerKey(k->owner, k->name), table, recordBytes(*k)});
      if (!k->isKey()) return;
      const Index* i = c.findIndex(k->indexOwner, k->indexName);
      if (i && ofTable(i->tableOwner, i->tableName)) {
        take(Encoded{RecordKind::Index, ownerKey(i->header.owner, i->header.name), table,
                     recordBytes(*i)});
      }
    };
    auto takeIndex = [&](const Index* i) {
      if (!i || !ofTable(i->tableOwner, i->tableName)) return;
      take(Encoded{RecordKind::Index, ownerKey(i->header.owner, i->header.name), table,
                   recordBytes(*i)});
    };
    if (const Table* t = c.findTable(owner, name)) {
      take(Encoded{RecordKind::Table, ownerKey(owner, name), table, recordBytes(*t)});
    }
    // The records the files know of.
    auto g = groups_.find(table);
    if (g != groups_.end()) {
      for (const std::string& shadowKey : g->second) {
        auto kind = static_cast<RecordKind>(shadowKey[0]);
        std::string key = shadowKey.substr(1);
        if (kind == RecordKind::Constraint) {
          NameKey k = decodeOwnerKey(key);
          takeConstraint(c.findConstraint(k.first, k.second));
        } else if (kind == RecordKind::Index) {
          NameKey k = decodeOwnerKey(key);
          takeIndex(c.findIndex(k.first, k.second));
        } else if (kind == RecordKind::Trigger) {
          NameKey k = decodeOwnerKey(key);
          const Trigger* tr = c.findTrigger(k.first, k.second);
          if (tr && ofTable(tr->tableOwner, tr->tableName)) {
            take(Encoded{kind, key, table, recordBytes(*tr)});
          }
        }
      }
    }
    // Constraints (and their indexes) the statement named by the system's numbering.
    for (int64_t n = counters_.nextConstraintNumber; n < c.counters().nextConstraintNumber; ++n) {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "SYS_C%06lld", static_cast<long long>(n));
      takeConstraint(c.findConstraint(owner, buffer));
      takeIndex(c.findIndex(owner, buffer));
    }
    auto it = c.comments().lower_bound(Catalog::CommentKey(owner, name, ""));
    for (; it != c.comments().end() && std::get<0>(it->first) == owner &&
           std::get<1>(it->first) == name;
         ++it) {
      ByteWriter k;
      k.bytes(owner);
      k.bytes(name);
      k.bytes(std::get<2>(it->first));
      take(Encoded{RecordKind::Comment, std::move(k.buffer()), table, it->second});
    }
  }
  for (const NameKey& table : done) {
    auto g = groups_.find(table);
    if (g == groups_.end()) continue;
    for (const std::string& shadowKey : g->second) {
      if (seen.count(shadowKey)) continue;
      auto kind = static_cast<uint8_t>(shadowKey[0]);
      --change[kind];
      delta.entries.push_back(
          {static_cast<RecordKind>(kind), false, shadowKey.substr(1), table, ""});
    }
  }
  // Anything added or removed elsewhere, or a record of these tables not found: the counts of
  // records do not add up.
  for (uint8_t kind = 1; kind <= kLastRecordKind; ++kind) {
    if (static_cast<int64_t>(counts_[kind]) + change[kind] !=
        static_cast<int64_t>(catalogCount(c, kind))) {
      return std::nullopt;
    }
  }
  return delta;
}

}  // namespace ocisim::storage
