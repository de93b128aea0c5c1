// ScriptOrder: the order in which a script creates stored code, so that it applies. The plain
// order (the kinds in the order of the run, each kind in name order) creates a view before the
// view or function it reads, and an INSTEAD OF trigger before its view. A view, a trigger, a type
// and a body therefore wait until every object they depend on is settled: written by the script,
// or of a kind whose phase has ended (or does not run) in this run. Dependencies come from
// ALL_DEPENDENCIES of Database 1 where the server has it, plus what is known without it (a
// trigger's table or view, a body's specification); PL/SQL creates its objects even when they do
// not compile, so functions, procedures and packages never wait. One per run; worker thread.
//
// Example: views A (reads B) and B, both new. A is reached first: it waits for VIEW B, and the
// script says so where A would stand; B is written, and A follows it at once.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/report_colour.h"
#include "source/code_reader.h"

namespace velmora {

class ScriptOrder {
 public:
  // One write of a deferred statement.
  struct Piece {
    std::string text;
    ReportColour colour;
  };
  struct Deferred {
    std::string key;    // "VIEW A"
    std::string waits;  // what it waited for, for the note: "VIEW B"
    std::vector<Piece> pieces;
  };

  static std::string key(const std::string& oracleType, const std::string& name) {
    return oracleType + " " + name;
  }

  // A new run: the Oracle types of its stored-code phases, in order. Forgets everything else.
  void begin(std::vector<std::string> plannedTypes);

  // ALL_DEPENDENCIES of Database 1, read once per run (Unavailable: the order of the kinds).
  bool dependenciesRead() const { return dependenciesRead_; }
  void setDependencies(const std::vector<Dependency>& rows, DependencyRead read);
  DependencyRead dependencyRead() const { return read_; }
  // A dependency known without ALL_DEPENDENCIES (a trigger's view, a body's specification).
  void addDependency(const std::string& from, const std::string& to);

  // What `key` still waits for before it can be created (empty: write it now), for an object of
  // an Oracle type whose order matters.
  std::vector<std::string> waitsFor(const std::string& key) const;

  void defer(Deferred deferred) { deferred_.push_back(std::move(deferred)); }
  // The statement of `key` has been written.
  void written(const std::string& key) { written_.insert(key); }
  // The phase of an Oracle type begins: of its objects, it will write these (by name); the others
  // are settled for the objects that depend on them.
  void phaseBegins(const std::string& oracleType, std::set<std::string> willWrite) {
    current_ = oracleType;
    willWrite_ = std::move(willWrite);
  }
  // The phase of an Oracle type has ended.
  void phaseEnded(const std::string& oracleType) {
    ended_.insert(oracleType);
    current_.clear();
    willWrite_.clear();
  }
  // Is this the last planned type of the run?
  bool isLastPlanned(const std::string& oracleType) const {
    return !planned_.empty() && planned_.back() == oracleType;
  }

  // The deferred statements whose waits are all settled now, in the order deferred; each is
  // taken as written (so that what waited for it can follow).
  std::vector<Deferred> takeReady();
  // Every deferred statement left (a wait that can never be met), in the order deferred.
  std::vector<Deferred> takeAll();
  bool hasDeferred() const { return !deferred_.empty(); }

  // Whether the order of a type matters at all (views, triggers, types, bodies).
  static bool orderMatters(const std::string& oracleType);

 private:
  bool settled(const std::string& key) const;

  std::vector<std::string> planned_;
  std::set<std::string> ended_;
  std::string current_;              // the type whose phase runs now ("" between phases)
  std::set<std::string> willWrite_;  // the names that phase will write
  std::set<std::string> written_;
  std::map<std::string, std::set<std::string>> dependsOn_;  // key -> keys it references
  std::vector<Deferred> deferred_;
  bool dependenciesRead_ = false;
  DependencyRead read_ = DependencyRead::Unavailable;
};

}  // namespace velmora
