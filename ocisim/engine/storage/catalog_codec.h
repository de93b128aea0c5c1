// The catalog image: every record of a Catalog (counters, users, roles, grants, tables with
// their columns and storage attributes, views, indexes, sequences, constraints, triggers,
// stored code, object types, comments) in the storage's binary form, and its decoded counterpart
// that catalog_sync.h applies to a live database. Table rows are not part of the image.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/exec/catalog.h"
#include "engine/storage/byte_codec.h"

namespace ocisim::storage {

// Decoded catalog records, keyed as the Catalog keys them. Tables come without data; column
// defaults and check conditions come as text only (catalog_sync.h parses them).
struct CatalogImage {
  Catalog::Counters counters;
  std::map<std::string, std::unique_ptr<User>> users;
  std::map<std::string, std::unique_ptr<Role>> roles;
  std::vector<SystemPrivilegeGrant> systemGrants;
  std::vector<RoleGrant> roleGrants;
  std::vector<ObjectPrivilegeGrant> objectGrants;
  std::map<NameKey, std::unique_ptr<Table>> tables;
  std::map<NameKey, std::unique_ptr<View>> views;
  std::map<NameKey, std::unique_ptr<Index>> indexes;
  std::map<NameKey, std::unique_ptr<Sequence>> sequences;
  std::map<NameKey, std::unique_ptr<Constraint>> constraints;
  std::map<NameKey, std::unique_ptr<Trigger>> triggers;
  std::map<Catalog::CodeKey, std::unique_ptr<StoredCode>> code;
  std::map<NameKey, std::unique_ptr<ObjectType>> types;
  std::map<Catalog::CommentKey, std::string> comments;
};

void writeCatalog(ByteWriter& out, const Catalog& catalog);
CatalogImage readCatalog(ByteReader& in);

// The state of a sequence that NEXTVAL changes (a sequence frame of the journal).
void writeSequenceState(ByteWriter& out, const Sequence& s);
struct SequenceState {
  ObjectId objectId = 0;
  Decimal lastNumber;
  Decimal nextValue;
  bool exhausted = false;
};
SequenceState readSequenceState(ByteReader& in);

}  // namespace ocisim::storage
