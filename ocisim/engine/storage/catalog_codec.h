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
  // Written after the comments (files before tablespaces end there).
  std::map<std::string, std::string> tablespaces;  // name -> CONTENTS
  std::map<std::string, Catalog::UserTablespaces> userTablespaces;
  // Written after the users' tablespaces (format 6 on; older files end before them).
  std::map<NameKey, std::unique_ptr<Synonym>> synonyms;
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

// Single records in the same form as inside the image (the entries of a catalog delta,
// catalog_delta.h). The grant lists are one record each.
void writeRecord(ByteWriter& out, const User& r);
void writeRecord(ByteWriter& out, const Role& r);
void writeRecord(ByteWriter& out, const Table& r);
void writeRecord(ByteWriter& out, const View& r);
void writeRecord(ByteWriter& out, const Index& r);
void writeRecord(ByteWriter& out, const Sequence& r);
void writeRecord(ByteWriter& out, const Constraint& r);
void writeRecord(ByteWriter& out, const Trigger& r);
void writeRecord(ByteWriter& out, const StoredCode& r);
void writeRecord(ByteWriter& out, const ObjectType& r);
void writeRecord(ByteWriter& out, const Synonym& r);
void writeRecord(ByteWriter& out, const std::vector<SystemPrivilegeGrant>& r);
void writeRecord(ByteWriter& out, const std::vector<RoleGrant>& r);
void writeRecord(ByteWriter& out, const std::vector<ObjectPrivilegeGrant>& r);
void readRecord(ByteReader& in, std::unique_ptr<User>& out);
void readRecord(ByteReader& in, std::unique_ptr<Role>& out);
void readRecord(ByteReader& in, std::unique_ptr<Table>& out);
void readRecord(ByteReader& in, std::unique_ptr<View>& out);
void readRecord(ByteReader& in, std::unique_ptr<Index>& out);
void readRecord(ByteReader& in, std::unique_ptr<Sequence>& out);
void readRecord(ByteReader& in, std::unique_ptr<Constraint>& out);
void readRecord(ByteReader& in, std::unique_ptr<Trigger>& out);
void readRecord(ByteReader& in, std::unique_ptr<StoredCode>& out);
void readRecord(ByteReader& in, std::unique_ptr<ObjectType>& out);
void readRecord(ByteReader& in, std::unique_ptr<Synonym>& out);
std::vector<SystemPrivilegeGrant> readSystemGrantList(ByteReader& in);
std::vector<RoleGrant> readRoleGrantList(ByteReader& in);
std::vector<ObjectPrivilegeGrant> readObjectGrantList(ByteReader& in);

}  // namespace ocisim::storage
