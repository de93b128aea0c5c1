#include "alias.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>

namespace ocisim::oci {
namespace {

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

bool isDirectory(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

}  // namespace

std::optional<std::string> resolveAlias(std::string_view connectString) {
  std::string_view alias = connectString;
  while (!alias.empty() && std::isspace(static_cast<unsigned char>(alias.front())))
    alias.remove_prefix(1);
  while (!alias.empty() && std::isspace(static_cast<unsigned char>(alias.back())))
    alias.remove_suffix(1);
  if (alias.empty()) return std::nullopt;
  if (alias.find('/') != std::string_view::npos) {
    if (!isDirectory(std::string(alias))) return std::nullopt;
    return std::string(alias);
  }
  const char* home = std::getenv("OCISIM_HOME");
  if (home == nullptr || *home == '\0' || alias == "." || alias == "..") return std::nullopt;
  std::filesystem::path exact = std::filesystem::path(home) / std::string(alias);
  if (isDirectory(exact)) return exact.string();
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(home, ec)) {
    if (sameIgnoringCase(entry.path().filename().string(), alias) && isDirectory(entry.path()))
      return entry.path().string();
  }
  return std::nullopt;
}

}  // namespace ocisim::oci
