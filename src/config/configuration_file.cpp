#include "config/configuration_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <map>
#include <optional>
#include <unordered_map>
#include <vector>

#include "base/option_keys.h"
#include "config/atomic_file.h"
#include "config/configuration_fields.h"
#include "config/ini_file.h"

namespace velmora {
namespace {

constexpr const char* kMainSection = "Velmora for Oracle";
constexpr const char* kVersionKey = "Version";
constexpr const char* kVersion = "3.0";
constexpr const char* kDatabaseSections[2] = {"Database 1", "Database 2"};
constexpr const char* kWhereSection = "Where Statements";
// tab0=TABLE, keys0=COL1,COL2 ...: the key columns of the data upgrade chosen per table.
constexpr const char* kKeySection = "PrimaryKeys";
constexpr const char* kLineBreakMark = " {nl} ";

constexpr ConfigurationList kLists[] = {
    {"Ignore Columns", "col", &ComparisonOptions::IgnoreColumns},
    {"Ignore Tables", "tab", &ComparisonOptions::IgnoreTables},
    {"Ignore Views", "view", &ComparisonOptions::IgnoreViews},
    {"Ignore Procs", "proc", &ComparisonOptions::IgnoreProcs},
    {"Ignore Funcs", "func", &ComparisonOptions::IgnoreFuncs},
    {"Ignore Packs", "pack", &ComparisonOptions::IgnorePacks},
    {"Ignore Pack Bodies", "packb", &ComparisonOptions::IgnorePackBodies},
    {"Ignore Types", "type", &ComparisonOptions::IgnoreTypes},
    {"Ignore Type Bodies", "typeb", &ComparisonOptions::IgnoreTypeBodies},
    {"Ignore Trigs", "trig", &ComparisonOptions::IgnoreTrigs},
    {"Ignore View Source", "view", &ComparisonOptions::IgnoreViewSource},
};

Status damaged(const std::string& reason) {
  return Status::failure(0, std::string(kCouldNotOpenConfig) + "\n" + reason);
}

std::string replaceAll(std::string text, std::string_view from, std::string_view to) {
  size_t at = 0;
  while ((at = text.find(from, at)) != std::string::npos) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
  return text;
}

// " {nl} " for every "\r\n", then for every remaining "\n": the profile format keeps one line.
std::string encodeLineBreaks(const std::string& text) {
  return replaceAll(replaceAll(text, "\r\n", kLineBreakMark), "\n", kLineBreakMark);
}

std::string decodeLineBreaks(const std::string& text) {
  return replaceAll(text, kLineBreakMark, "\r\n");
}

// The leading digits of a value, as the profile functions read an integer: "12abc" is 12 and
// text that is not a number is 0. Far too many digits saturate instead of overflowing.
long long leadingInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = std::min<long long>(value * 10 + (text[i] - '0'), 1LL << 40);
  }
  return negative ? -value : value;
}

std::string lowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The values of one section by lower-cased key (the profile functions ignore letter case).
using SectionValues = std::unordered_map<std::string, std::string>;

// The sections a configuration reads, each looked up once: a file of a million lines is read in
// time proportional to its size.
class ConfigurationSections {
 public:
  explicit ConfigurationSections(const IniFile& file) : file_(file) {}

  // A value that is missing or empty is absent.
  std::optional<std::string> get(const std::string& section, const std::string& key) {
    const SectionValues& values = valuesOf(section);
    const auto found = values.find(lowerCase(key));
    if (found == values.end() || found->second.empty()) return std::nullopt;
    return found->second;
  }

  // The first key given twice in a section, or "".
  std::string repeatedKey(const std::string& section) {
    valuesOf(section);
    return repeated_[section];
  }

 private:
  const SectionValues& valuesOf(const std::string& section) {
    auto known = sections_.find(section);
    if (known != sections_.end()) return known->second;
    SectionValues values;
    std::string repeated;
    for (auto& [key, value] : file_.entries(section)) {
      if (!values.emplace(lowerCase(key), std::move(value)).second && repeated.empty())
        repeated = key;
    }
    repeated_[section] = repeated;
    return sections_.emplace(section, std::move(values)).first->second;
  }

  const IniFile& file_;
  std::map<std::string, SectionValues> sections_;
  std::map<std::string, std::string> repeated_;
};

std::vector<std::string> readSectionNames() {
  std::vector<std::string> names = {kMainSection, kDatabaseSections[0], kDatabaseSections[1],
                                    kWhereSection, kKeySection};
  for (const ConfigurationList& list : kLists) names.push_back(list.section);
  return names;
}

// What makes a text file unusable as a configuration: control bytes (binary data), lines the
// format never writes, sections or keys it reads given twice (which of them is meant is
// unknowable).
Status checkText(std::string_view text, const IniFile& file, ConfigurationSections& sections) {
  size_t line = 1;
  size_t lineStart = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '\n') {
      if (i - lineStart > kMaxConfigurationLine) {
        return damaged("line " + std::to_string(line) + " is longer than " +
                       std::to_string(kMaxConfigurationLine) + " characters");
      }
      ++line;
      lineStart = i + 1;
      continue;
    }
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte < 0x20 && byte != '\t' && byte != '\r') || byte == 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "0x%02X", byte);
      return damaged("line " + std::to_string(line) + " holds binary data (the byte " + hex + ")");
    }
  }
  std::vector<std::pair<std::string, std::string>> names;  // lower-cased, as written
  for (const std::string& name : file.sectionNames()) names.emplace_back(lowerCase(name), name);
  std::sort(names.begin(), names.end());
  for (size_t i = 1; i < names.size(); ++i) {
    if (names[i].first == names[i - 1].first)
      return damaged("the section [" + names[i - 1].second + "] is given twice");
  }
  for (const std::string& section : readSectionNames()) {
    const std::string key = sections.repeatedKey(section);
    if (!key.empty()) {
      return damaged("the key \"" + lowerCase(key) + "\" is given twice in section [" + section +
                     "]");
    }
  }
  return Status();
}

std::string connectionOf(ConfigurationSections& file, const char* section) {
  const std::string connect = file.get(section, "s_ConnectString").value_or("");
  const std::optional<std::string> user = file.get(section, "s_DatabaseUser");
  return user ? *user + ":" + connect : connect;
}

void readOptions(ConfigurationSections& file, ComparisonOptions& options) {
  for (const OptionKey& entry : optionKeys()) {
    if (!entry.inConfigFile) continue;
    const std::optional<std::string> value = file.get(kMainSection, entry.key);
    if (!value) continue;  // the default, already in place
    if (entry.type == OptionType::String) {
      const std::string key = entry.key;
      const bool statement = key == "s_GlobalPassSql1" || key == "s_GlobalPassSql2";
      options.*entry.stringField = statement ? decodeLineBreaks(*value) : *value;
    } else {
      storeFileInteger(options, entry, leadingInteger(*value));
    }
  }
}

void readLists(ConfigurationSections& file, ComparisonOptions& options) {
  for (const ConfigurationList& list : kLists) {
    NameList& names = options.*list.list;
    names.clear();
    for (int i = 0;; ++i) {
      std::optional<std::string> name = file.get(list.section, list.prefix + std::to_string(i));
      if (!name) break;
      names.add(*name);
    }
  }
  options.whereStatements.clear();
  for (int i = 0;; ++i) {
    const std::string index = std::to_string(i);
    std::optional<std::string> name = file.get(kWhereSection, "obj" + index);
    if (!name) break;
    options.whereStatements.set(
        *name, decodeLineBreaks(file.get(kWhereSection, "where" + index).value_or("")));
  }
  options.keyOverrides.clear();
  for (int i = 0;; ++i) {
    const std::string index = std::to_string(i);
    std::optional<std::string> table = file.get(kKeySection, "tab" + index);
    if (!table) break;
    std::vector<std::string> columns;
    std::string rest = file.get(kKeySection, "keys" + index).value_or("");
    while (!rest.empty()) {
      const size_t comma = rest.find(',');
      if (comma != 0) columns.push_back(rest.substr(0, comma));
      rest = comma == std::string::npos ? "" : rest.substr(comma + 1);
    }
    options.keyOverrides.set(*table, std::move(columns));
  }
}

}  // namespace

std::span<const ConfigurationList> configurationLists() {
  return kLists;
}

void storeFileInteger(ComparisonOptions& options, const OptionKey& entry, long long value) {
  if (entry.type == OptionType::String) return;
  if (entry.type == OptionType::Switch) {
    options.*entry.intField =
        value == 0 ? 0 : static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
    return;
  }
  const bool inRange = value >= entry.minValue && value <= entry.maxValue;
  options.*entry.intField = inRange ? static_cast<int>(value) : entry.defaultInt;
}

void finishLoadedOptions(ComparisonOptions& options) {
  options.b_OwnObjectsOnly = 1;
  options.b_IgnoreColNameCase = 0;
  options.setDerivedValues();
}

Status parseCurrentConfiguration(std::string_view text, const ComparisonOptions& current,
                                 Configuration* out) {
  if (text.size() > kMaxConfigurationFileBytes) {
    return damaged("the file is larger than " + std::to_string(kMaxConfigurationFileBytes) +
                   " bytes");
  }
  const IniFile file = IniFile::parse(text);
  ConfigurationSections sections(file);
  if (Status check = checkText(text, file, sections); !check) return check;
  Configuration result;
  result.options = current;
  resetOptionsToDefaults(result.options);
  readOptions(sections, result.options);
  readLists(sections, result.options);
  finishLoadedOptions(result.options);
  result.connection1 = connectionOf(sections, kDatabaseSections[0]);
  result.connection2 = connectionOf(sections, kDatabaseSections[1]);
  *out = std::move(result);
  return Status();
}

Status parseConfiguration(std::string_view bytes, const ComparisonOptions& current,
                          Configuration* out) {
  if (bytes.size() > kMaxConfigurationFileBytes) {
    return damaged("the file is larger than " + std::to_string(kMaxConfigurationFileBytes) +
                   " bytes");
  }
  // The format is told by the version key alone, as the profile functions would find it.
  const std::optional<std::string> version = IniFile::parse(bytes).get(kMainSection, kVersionKey);
  if (version && !version->empty()) return parseCurrentConfiguration(bytes, current, out);
  return parseLegacyConfiguration(bytes, current, out);
}

Status readConfigurationFile(const std::string& path, const ComparisonOptions& current,
                             Configuration* out) {
  // A folder, a FIFO or a device is no configuration (and a FIFO would block the reader).
  struct stat info {};
  if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
    return damaged("Cannot read " + path + ": not a regular file");
  std::string content;
  std::string error;
  const ReadStatus status = readWholeFile(path, &content, &error, kMaxConfigurationFileBytes);
  if (status == ReadStatus::Missing) return damaged("Cannot read " + path + ": no such file");
  if (status != ReadStatus::Ok) return damaged(error);
  return parseConfiguration(content, current, out);
}

std::string configurationText(const ComparisonOptions& options, const SavedConnection* database1,
                              const SavedConnection* database2) {
  IniFile file;
  file.set(kMainSection, kVersionKey, kVersion);
  const SavedConnection* databases[2] = {database1, database2};
  for (int i = 0; i < 2; ++i) {
    const SavedConnection* database = databases[i];
    if (database == nullptr) continue;
    // The login text without its schema prefix, the schema on its own. Only the schema's own
    // prefix is taken off: a ":" in a password ("scott/ti:ger@orcl") stays where it is.
    const std::string prefix = database->schema + ":";
    const bool prefixed = !database->schema.empty() && database->text.rfind(prefix, 0) == 0;
    const std::string connect = prefixed ? database->text.substr(prefix.size()) : database->text;
    if (!connect.empty()) file.set(kDatabaseSections[i], "s_ConnectString", connect);
    if (!database->schema.empty())
      file.set(kDatabaseSections[i], "s_DatabaseUser", database->schema);
  }
  for (const OptionKey& entry : optionKeys()) {
    if (!entry.inConfigFile) continue;
    std::string value = optionValueText(options, entry);
    if (entry.omitWhenEmpty && value.empty()) continue;
    if (entry.type == OptionType::String && std::string_view(entry.key) != "s_AutoSaveFile")
      value = encodeLineBreaks(value);
    file.set(kMainSection, entry.key, value);
  }
  for (const ConfigurationList& list : kLists) {
    const std::vector<std::string>& names = (options.*list.list).names();
    for (size_t i = 0; i < names.size(); ++i)
      file.set(list.section, list.prefix + std::to_string(i), names[i]);
  }
  int index = 0;
  for (const auto& [name, condition] : options.whereStatements.entries()) {
    const std::string number = std::to_string(index++);
    file.set(kWhereSection, "obj" + number, name);
    file.set(kWhereSection, "where" + number, encodeLineBreaks(condition));
  }
  index = 0;
  for (const auto& [table, columns] : options.keyOverrides.entries()) {
    const std::string number = std::to_string(index++);
    std::string joined;
    for (const std::string& column : columns) joined += (joined.empty() ? "" : ",") + column;
    file.set(kKeySection, "tab" + number, table);
    file.set(kKeySection, "keys" + number, joined);
  }
  return file.text();
}

Status saveConfigurationFile(const std::string& path, const ComparisonOptions& options,
                             const SavedConnection* database1, const SavedConnection* database2) {
  const std::string text = configurationText(options, database1, database2);
  // What this file could not read back is not written.
  size_t lineStart = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '\n') continue;
    if (i - lineStart > kMaxConfigurationLine) {
      const std::string line = text.substr(lineStart, std::min<size_t>(40, i - lineStart));
      return damaged("a value is longer than " + std::to_string(kMaxConfigurationLine) +
                     " characters: " + line.substr(0, line.find('=')));
    }
    lineStart = i + 1;
  }
  std::string error;
  if (!writeFileAtomically(path, text, &error)) return damaged(error);
  return Status();
}

}  // namespace velmora
