#include "config/memory_settings_store.h"

#include <cctype>

namespace velmora {
namespace {

std::string lowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

MemorySettingsStore::Key MemorySettingsStore::keyOf(const std::string& section,
                                                    const std::string& name) {
  return {lowerCase(section), lowerCase(name)};
}

std::string MemorySettingsStore::getString(const std::string& section, const std::string& name,
                                           const std::string& defaultValue) {
  return find(section, name).value_or(defaultValue);
}

void MemorySettingsStore::setString(const std::string& section, const std::string& name,
                                    const std::string& value) {
  std::lock_guard<std::mutex> lock(mutex_);
  values_[keyOf(section, name)] = value;
  ++writes_;
}

std::optional<std::string> MemorySettingsStore::find(const std::string& section,
                                                     const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = values_.find(keyOf(section, name));
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

void MemorySettingsStore::erase(const std::string& section, const std::string& name) {
  std::lock_guard<std::mutex> lock(mutex_);
  values_.erase(keyOf(section, name));
}

void MemorySettingsStore::clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  values_.clear();
}

size_t MemorySettingsStore::size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return values_.size();
}

int MemorySettingsStore::writeCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return writes_;
}

}  // namespace velmora
