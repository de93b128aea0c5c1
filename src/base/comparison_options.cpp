#include "base/comparison_options.h"

#include <algorithm>
#include <cctype>

namespace velmora {
namespace {

bool equalsIgnoreCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::toupper(x) == std::toupper(y);
         });
}

std::string toUpper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool endsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

bool NameList::contains(const std::string& name) const {
  return std::any_of(names_.begin(), names_.end(),
                     [&](const std::string& n) { return equalsIgnoreCase(n, name); });
}

bool WhereStatements::find(const std::string& name, std::string* condition) const {
  auto it = map_.find(name);
  if (it == map_.end() || it->second.empty()) return false;
  std::string text = it->second;
  size_t start = text.find_first_not_of(" \t\r\n");
  text = start == std::string::npos ? std::string() : text.substr(start);
  std::string head = toUpper(text.substr(0, 6));
  if (head == "WHERE " || head == "WHERE\t") text = text.substr(6);
  if (condition) *condition = text;
  return true;
}

void ComparisonOptions::setDerivedValues() {
  bool script = i_DoingUpgradeScript == 1 || i_DoingUpgradeScript == 2;
  s_StarComment = script ? "*  " : "";
  s_DashComment = script ? "-- " : "";
}

const NameList* ComparisonOptions::ignoreListForKind(const std::string& kindCode) const {
  return const_cast<ComparisonOptions*>(this)->ignoreListForKind(kindCode);
}

NameList* ComparisonOptions::ignoreListForKind(const std::string& kindCode) {
  if (kindCode == "STP") return &IgnoreProcs;
  if (kindCode == "FUNC") return &IgnoreFuncs;
  if (kindCode == "PKG") return &IgnorePacks;
  if (kindCode == "PKGBD") return &IgnorePackBodies;
  if (kindCode == "TYPE") return &IgnoreTypes;
  if (kindCode == "TYPEB") return &IgnoreTypeBodies;
  if (kindCode == "TRIG") return &IgnoreTrigs;
  if (kindCode == "VIEW") return &IgnoreViewSource;
  return nullptr;
}

bool ComparisonOptions::isIgnoredColumn(const std::string& columnName) const {
  const std::string name = toUpper(columnName);
  for (const std::string& pattern : IgnoreColumns.names()) {
    size_t percent = pattern.find('%');
    if (percent == std::string::npos) {
      if (name == pattern) return true;
    } else if (startsWith(name, pattern.substr(0, percent)) &&
               endsWith(name, pattern.substr(percent + 1))) {
      return true;
    }
  }
  return false;
}

}  // namespace velmora
