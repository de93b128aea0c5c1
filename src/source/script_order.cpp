#include "source/script_order.h"

#include <algorithm>

namespace velmora {

namespace {

std::string typeOfKey(const std::string& key) {
  // Keys are "TYPE NAME"; the two-word types come first.
  for (const char* type : {"PACKAGE BODY", "TYPE BODY"}) {
    const std::string prefix = std::string(type) + " ";
    if (key.compare(0, prefix.size(), prefix) == 0) return type;
  }
  const size_t blank = key.find(' ');
  return blank == std::string::npos ? key : key.substr(0, blank);
}

}  // namespace

void ScriptOrder::begin(std::vector<std::string> plannedTypes) {
  *this = ScriptOrder();
  planned_ = std::move(plannedTypes);
}

bool ScriptOrder::orderMatters(const std::string& oracleType) {
  return oracleType == "VIEW" || oracleType == "TRIGGER" || oracleType == "TYPE" ||
         oracleType == "PACKAGE BODY" || oracleType == "TYPE BODY";
}

void ScriptOrder::setDependencies(const std::vector<Dependency>& rows, DependencyRead read) {
  dependenciesRead_ = true;
  read_ = read;
  for (const Dependency& row : rows) {
    // A view waits for whatever it reads; a type for the types it is made of. The rest is PL/SQL.
    if (row.type != "VIEW" && row.type != "TYPE") continue;
    if (row.type == "TYPE" && row.referencedType != "TYPE") continue;
    if (row.name == row.referencedName && row.type == row.referencedType) continue;
    addDependency(key(row.type, row.name), key(row.referencedType, row.referencedName));
  }
}

void ScriptOrder::addDependency(const std::string& from, const std::string& to) {
  if (from != to) dependsOn_[from].insert(to);
}

bool ScriptOrder::settled(const std::string& key) const {
  if (written_.count(key) != 0) return true;
  const std::string type = typeOfKey(key);
  if (std::find(planned_.begin(), planned_.end(), type) == planned_.end()) return true;
  if (ended_.count(type) != 0) return true;
  return type == current_ && willWrite_.count(key.substr(type.size() + 1)) == 0;
}

std::vector<std::string> ScriptOrder::waitsFor(const std::string& key) const {
  std::vector<std::string> waits;
  auto it = dependsOn_.find(key);
  if (it == dependsOn_.end()) return waits;
  for (const std::string& other : it->second) {
    if (!settled(other)) waits.push_back(other);
  }
  return waits;
}

std::vector<ScriptOrder::Deferred> ScriptOrder::takeReady() {
  std::vector<Deferred> ready;
  for (bool found = true; found;) {
    found = false;
    for (auto it = deferred_.begin(); it != deferred_.end(); ++it) {
      if (!waitsFor(it->key).empty()) continue;
      written_.insert(it->key);
      ready.push_back(std::move(*it));
      deferred_.erase(it);
      found = true;
      break;
    }
  }
  return ready;
}

std::vector<ScriptOrder::Deferred> ScriptOrder::takeAll() {
  std::vector<Deferred> all = std::move(deferred_);
  deferred_.clear();
  for (const Deferred& d : all) written_.insert(d.key);
  return all;
}

}  // namespace velmora
