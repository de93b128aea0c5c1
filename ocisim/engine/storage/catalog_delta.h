// Catalog deltas: what one statement changed in the catalog, record by record, so that a DDL
// statement writes (and a reader replays) a few hundred bytes however large the schema is.
// CatalogShadow holds every catalog record as the files hold it (its encoded bytes); a delta is
// the records whose bytes differ from the shadow, and the keys of those the catalog no longer
// has. Applying a delta to a live database: applyCatalogDelta (catalog_sync.h).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/exec/catalog.h"
#include "engine/storage/byte_codec.h"

namespace ocisim::storage {

// The kinds of catalog records. The three grant lists are one record each (key "").
enum class RecordKind : uint8_t {
  User = 1,
  Role = 2,
  SystemGrants = 3,
  RoleGrants = 4,
  ObjectGrants = 5,
  Table = 6,
  View = 7,
  Index = 8,
  Sequence = 9,
  Constraint = 10,
  Trigger = 11,
  Code = 12,
  ObjectType = 13,
  Comment = 14,
  Tablespace = 15,       // key: name; record: CONTENTS (CREATE TABLESPACE)
  UserTablespaces = 16,  // key: user; record: default and temporary tablespace
  Synonym = 17,          // key: owner ("PUBLIC" for a public synonym), name
};
constexpr uint8_t kLastRecordKind = 17;

struct DeltaEntry {
  RecordKind kind = RecordKind::Table;
  bool put = true;     // false: the record was removed
  std::string key;     // the record's key (users, roles: name; code: owner, name, kind;
                       // comments: owner, object, column; others: owner, name)
  NameKey group;       // the table a table, constraint, index, trigger or comment belongs to
  std::string record;  // put: the record as catalog_codec.h writes it (a comment: its text)
};

struct CatalogDelta {
  Catalog::Counters counters;
  std::vector<DeltaEntry> entries;
};

void writeCatalogDelta(ByteWriter& out, const CatalogDelta& delta);
CatalogDelta readCatalogDelta(ByteReader& in);

// Decoding of entry keys (throw CorruptData).
std::string decodeNameKey(const std::string& key);  // users, roles
NameKey decodeOwnerKey(const std::string& key);     // owner, name
Catalog::CodeKey decodeCodeKey(const std::string& key);
Catalog::CommentKey decodeCommentKey(const std::string& key);

class CatalogShadow {
 public:
  // Encodes every record of the catalog (after a load).
  void rebuild(const Catalog& c);
  void clear();
  bool valid() const { return valid_; }

  // Every record that differs from the shadow, and the removed ones.
  CatalogDelta diff(const Catalog& c) const;
  // The same, looking only at the given tables with their constraints, indexes, triggers and
  // comments. nullopt when a record was added or removed elsewhere (the counts of records do
  // not add up): the caller must diff everything.
  std::optional<CatalogDelta> diffTables(const Catalog& c,
                                         const std::vector<NameKey>& tables) const;
  // Takes the delta in (after it was written, or read from the journal).
  void apply(const CatalogDelta& delta);

 private:
  struct Entry {
    std::string record;
    NameKey group;
  };
  // diffTables, finding the records of each table by the shadow's list of them and the names
  // the statement could have generated (quick), or by scanning the catalog.
  std::optional<CatalogDelta> diffGroups(const Catalog& c, const std::vector<NameKey>& tables,
                                         bool scan) const;
  void put(std::string shadowKey, std::string record, const NameKey& group, uint8_t kind);
  void remove(const std::string& shadowKey, uint8_t kind);

  std::unordered_map<std::string, Entry> entries_;   // kind byte + key -> record
  std::map<NameKey, std::set<std::string>> groups_;  // table -> shadow keys of its records
  std::array<size_t, kLastRecordKind + 1> counts_{};
  Catalog::Counters counters_;
  bool valid_ = false;
};

}  // namespace ocisim::storage
