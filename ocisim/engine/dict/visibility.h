// Visibility: which schema objects the ALL_ views show to a session user, computed once per
// scan. Like Oracle's views: the user's own objects, objects on which the user, PUBLIC or one of
// the user's roles holds an object privilege, and the objects an ANY system privilege opens
// (SELECT ANY TABLE, EXECUTE ANY PROCEDURE ...); a DBA holds every such privilege and so sees
// everything. A plain value built from the Catalog; it must not outlive the scan.
#pragma once

#include <set>
#include <string>

#include "engine/exec/catalog.h"

namespace ocisim::dict {

class Visibility {
 public:
  Visibility(const Catalog& catalog, const std::string& user, bool dba);

  const std::string& user() const { return user_; }
  bool dba() const { return dba_; }
  // The user, PUBLIC and every role enabled for the user (directly or through roles).
  const std::set<std::string>& grantees() const { return grantees_; }
  bool isGrantee(const std::string& name) const { return grantees_.count(name) > 0; }

  bool tableOrView(const std::string& owner, const std::string& name) const;
  bool sequence(const std::string& owner, const std::string& name) const;
  // Procedures, functions, packages, types and their bodies (a body needs more than EXECUTE).
  bool code(const std::string& owner, const std::string& name, ObjectKind kind) const;
  bool trigger(const Trigger& t) const;
  bool index(const Index& i) const;
  // The user's own synonyms, every PUBLIC one, and those of other schemas whose object (at the
  // end of a chain of synonyms) the user may see.
  bool synonym(const std::string& owner, const std::string& name) const;
  // Any of the above, by kind.
  bool object(const std::string& owner, const std::string& name, ObjectKind kind) const;

 private:
  bool privileged(const std::string& owner, const std::string& name) const;
  bool executable(const std::string& owner, const std::string& name) const;

  const Catalog& catalog_;
  std::string user_;
  bool dba_;
  std::set<std::string> grantees_;
  std::set<NameKey> granted_;     // objects with any privilege granted to one of grantees_
  std::set<NameKey> executable_;  // objects with EXECUTE granted to one of grantees_
  bool anyTable_ = false;      // SELECT / INSERT / UPDATE / DELETE / LOCK ANY TABLE
  bool anySequence_ = false;   // SELECT ANY SEQUENCE
  bool anyProcedure_ = false;  // EXECUTE ANY PROCEDURE / CREATE ANY PROCEDURE ...
  bool anyType_ = false;       // EXECUTE ANY TYPE / CREATE ANY TYPE ...
  bool anyTrigger_ = false;    // CREATE ANY TRIGGER ...
  bool anyIndex_ = false;      // CREATE ANY INDEX ...
};

}  // namespace ocisim::dict
