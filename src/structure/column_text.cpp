#include "structure/column_text.h"

#include <cctype>
#include <cstdlib>
#include <string_view>

namespace velmora {

namespace {

constexpr const char* kPlainType = "data_type";

constexpr const char* kFormattedType =
    "data_type || decode(data_type,'DATE','','ROWID','','LONG RAW','','INTEGER','','BLOB','',"
    "'CLOB','',  'LONG','', 'NUMBER',decode(data_precision,null,'', 0,'', "
    "'('||to_char(data_precision)||decode(data_scale,NULL,')',0,')',','||to_char(data_scale)||"
    "')')),decode(data_length,null,'',0,'','('||to_char(data_length)||')'))";

constexpr const char* kFormattedTypeWithOwner =
    "data_type || decode(data_type_owner,NULL,decode(data_type,'DATE','','ROWID','','LONG RAW',"
    "'','INTEGER','','BLOB','','CLOB','',  'LONG','', 'NUMBER',decode(data_precision,null,'', "
    "0,'', '('||to_char(data_precision)||decode(data_scale,NULL,')',0,')',','||"
    "to_char(data_scale)||')')),decode(data_length,null,'',0,'','('||to_char(data_length)||"
    "')')),'')";

constexpr const char* kReportNullWord = "    NULL ";
constexpr const char* kScriptNullWord = "NULL ";
constexpr const char* kNoOwner = "' '";
constexpr const char* kOwner = "nvl(data_type_owner,' ')";

constexpr std::string_view kNotNullWord = "NOT NULL ";
constexpr std::string_view kNullWord = "NULL ";
constexpr std::string_view kDefault = " DEFAULT ";

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool endsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// The nullability word a type text ends with ("NOT NULL " or "NULL "), "" when none.
std::string_view nullabilityOf(std::string_view typeText) {
  if (endsWith(typeText, kNotNullWord)) return kNotNullWord;
  if (endsWith(typeText, kNullWord)) return kNullWord;
  return {};
}

// DEFAULT NULL is no default at all; the dictionary keeps its text once a statement wrote it
// (as the upgrade script does to remove a default), so it must not count as a difference.
bool isNullDefault(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return false;
  const size_t last = text.find_last_not_of(" \t\r\n");
  const std::string_view word = text.substr(first, last - first + 1);
  if (word.size() != 4) return false;
  for (size_t i = 0; i < 4; ++i) {
    if (std::toupper(static_cast<unsigned char>(word[i])) != "NULL"[i]) return false;
  }
  return true;
}

bool hasDefault(std::string_view typeText) {
  return typeText.find(kDefault) != std::string_view::npos;
}

}  // namespace

std::string columnQueryText(int mode, bool ignoreLengths, const std::string& serverVersion) {
  const bool version7 = serverVersion == "7";
  const bool report = mode == 0;
  std::string type;
  if (report && ignoreLengths) {
    type = kPlainType;
  } else {
    type = version7 ? kFormattedType : kFormattedTypeWithOwner;
  }
  const char* nullWord = report ? kReportNullWord : kScriptNullWord;
  const char* owner = version7 ? kNoOwner : kOwner;
  return "select column_name, " + type +
         ", to_char(data_length), to_char(nvl(data_precision,0)),to_char(nvl(data_scale,-1)),"
         "decode(nvl(nullable,'Y'),'Y','" +
         nullWord + "','NOT NULL '),data_default," + owner +
         " from all_tab_columns where owner = :owner and table_name = :name order by column_id";
}

std::string columnTypeText(const ColumnRow& row) {
  std::string text = row.type;
  // An unconstrained NUMBER of scale 0 is INTEGER (NUMBER(*,0)); shown as NUMBER it would equal
  // a NUMBER column that takes fractions, and an added column would lose its scale.
  if (text == "NUMBER" && row.precision == "0" && row.scale == "0") text = "INTEGER";
  if (text == "FLOAT(" + row.length + ")" && !row.precision.empty() && row.precision != "0")
    text = "FLOAT(" + row.precision + ")";
  if (!row.defaultText.empty() && !isNullDefault(row.defaultText))
    text += std::string(kDefault) + row.defaultText;
  return text + " " + row.nullability;
}

ColumnTraits columnTraits(const ColumnRow& row, const std::string& typeText) {
  ColumnTraits traits;
  traits.rawWidth = std::atoi(row.length.c_str());
  const bool userType = row.typeOwner != " ";
  const bool raw = row.type == "RAW" || (startsWith(row.type, "RAW(") && endsWith(row.type, ")"));
  if (startsWith(typeText, "LONG") || raw || typeText.find("LOB") != std::string::npos ||
      userType) {
    traits.orderable = false;
    if (traits.rawWidth <= 0) traits.rawWidth = 500;
  }
  if (userType) traits.selectable = false;
  return traits;
}

bool isNotNullType(const std::string& typeText) {
  return nullabilityOf(typeText) == kNotNullWord;
}

std::string withNullability(const std::string& typeText, bool notNull) {
  const std::string_view word = nullabilityOf(typeText);
  if (word.empty()) return typeText;
  return typeText.substr(0, typeText.size() - word.size()) +
         std::string(notNull ? kNotNullWord : kNullWord);
}

int columnDisplayWidth(const std::string& name, const std::string& typeText, int rawWidth) {
  int width = startsWith(typeText, "DATE") ? 24 : rawWidth;
  const int nameLength = static_cast<int>(name.size());
  if (nameLength >= width) width = nameLength + 1;
  return width;
}

std::string modifyTypeText(const std::string& sourceType, const std::string& targetType) {
  const std::string_view sourceWord = nullabilityOf(sourceType);
  const std::string_view targetWord = nullabilityOf(targetType);
  const bool sameNullability = (sourceWord == kNotNullWord) == (targetWord == kNotNullWord);
  // The word is the text's last item, so a default that happens to hold "NULL" is kept whole.
  std::string body = sourceType.substr(0, sourceType.size() - sourceWord.size());
  const std::string word = sameNullability ? "" : std::string(sourceWord);
  if (!hasDefault(sourceType) && hasDefault(targetType)) {
    // body is the type followed by one blank.
    std::string type = body.substr(0, body.empty() ? 0 : body.size() - 1);
    return type + " DEFAULT NULL " + word;
  }
  return body + word;
}

}  // namespace velmora
