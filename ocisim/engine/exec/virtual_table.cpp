#include "engine/exec/virtual_table.h"

namespace ocisim {

void VirtualTableRegistry::add(const std::string& name, std::shared_ptr<const VirtualTable> table) {
  tables_[name] = std::move(table);
}

const VirtualTable* VirtualTableRegistry::find(const std::string& name) const {
  auto it = tables_.find(name);
  return it == tables_.end() ? nullptr : it->second.get();
}

std::vector<std::string> VirtualTableRegistry::names() const {
  std::vector<std::string> out;
  for (const auto& [name, table] : tables_) out.push_back(name);
  return out;
}

}  // namespace ocisim
