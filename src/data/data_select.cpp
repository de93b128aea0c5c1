#include "data/data_select.h"

#include "base/report_layout.h"
#include "base/report_text.h"

namespace velmora {

namespace {

std::string columnName(const std::string& name, bool bare, const ComparisonOptions& options) {
  if (!bare) return "\"" + name + "\"";
  // Release 7 reads names bare, but ASC and DESC would be read as keywords.
  std::string upper = name;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if ((upper == "ASC" || upper == "DESC") && options.i_AutoSpecialName != 2)
    return "\"" + name + "\"";
  return selectName(name, options);
}

// The type text up to its first blank: "NUMBER(10,2) NOT NULL" gives "NUMBER(10,2)".
std::string shortType(const std::string& type) {
  size_t blank = type.find(' ');
  return blank == std::string::npos || blank == 0 ? type : type.substr(0, blank);
}

}  // namespace

std::string DataSelect::text() const {
  std::string out = head;
  for (size_t i = 0; i < items.size(); ++i) out += (i ? ", " : "") + items[i];
  return out + tail;
}

bool orderableTypeText(const std::string& typeText) {
  return typeText.rfind("LONG", 0) != 0 && typeText.find("LOB") == std::string::npos &&
         typeText.find("BFILE") == std::string::npos;
}

std::string selectName(const std::string& name, const ComparisonOptions& options) {
  bool special = options.i_AutoSpecialName == 1;
  if (options.i_AutoSpecialName == 0) special = name.find_first_of(" -#", 1) != std::string::npos;
  return special ? "\"" + name + "\"" : name;
}

bool findDataCondition(const ComparisonOptions& options, const std::string& name,
                       std::string* condition) {
  std::string found;
  if (!options.whereStatements.find(name, &found)) return false;
  // A condition of blanks would leave "where" with nothing after it.
  if (found.find_first_not_of(" \t\r\n") == std::string::npos) return false;
  *condition = found;
  return true;
}

DataSelect buildDataSelect(const CommonTable& table, const std::string& name,
                           const std::string& owner, const ComparisonOptions& options,
                           const DataSelectSettings& settings, ReportWriter& out) {
  DataSelect select;
  std::vector<std::string> orderBy;
  bool warned = false;
  const auto add = [&](const ColumnEntry& column) {
    std::string quoted = columnName(column.name, settings.bareNames, options);
    bool missing = settings.database == 2 && !column.found;
    select.items.push_back(missing ? "NULL " + quoted : quoted);
    select.columns.push_back(&column);
    if (!missing && orderableTypeText(column.sourceType)) orderBy.push_back(quoted);
  };
  const auto readable = [](const ColumnEntry& column) {
    return column.sourceType != kNotFound && column.selectable;
  };
  if (settings.keyed) {
    for (const ColumnEntry& column : table.columns) {
      if (column.key && readable(column)) add(column);
    }
    select.keyCount = static_cast<int>(select.items.size());
  }
  for (const ColumnEntry& column : table.columns) {
    if (column.sourceType == kNotFound) continue;
    if (settings.keyed && column.key && column.selectable) continue;
    if (!column.selectable) {
      if (!settings.warn) continue;
      if (!warned && select.items.empty()) out.write("\r\n", kGreen, false, kCounted);
      warned = true;
      out.write(
          "\r\n" + options.s_DashComment + "WARNING:  COLUMN " + reportText(options, column.name) +
              " of type " + reportText(options, shortType(column.sourceType)) + " in table " +
              reportText(options, name) + " will not be selected and therefore not compared.\r\n",
          kGreen, false, kCounted);
      continue;
    }
    add(column);
  }
  select.head = "select ";
  select.tail = " from " + selectName(owner, options) + "." + selectName(name, options);
  std::string condition;
  if (findDataCondition(options, table.firstName, &condition)) select.tail += " where " + condition;
  if (!orderBy.empty()) {
    select.tail += " order by ";
    for (size_t i = 0; i < orderBy.size(); ++i) select.tail += (i ? ", " : "") + orderBy[i];
  }
  return select;
}

}  // namespace velmora
