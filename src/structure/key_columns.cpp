#include "structure/key_columns.h"

#include "structure/ddl_text.h"

namespace velmora {

namespace {

bool isWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

}  // namespace

void primaryKeyColumns(DictionaryReader& reader, const std::string& owner, const std::string& table,
                       bool useUniqueIndex, std::vector<std::string>& columns) {
  const size_t before = columns.size();
  for (std::string& column : reader.primaryKeyColumns(owner, table).rows)
    columns.push_back(std::move(column));
  if (columns.size() != before || !useUniqueIndex) return;
  const std::string index = reader.uniqueIndexName(owner, table);
  if (index.empty()) return;
  QueryRows<std::string> keys = reader.indexColumns(owner, index);
  // A unique index with a DESC or function-based column names a hidden system column
  // (SYS_NC...$) that no statement can select or compare: such an index gives no key, and the
  // table is matched by all its columns. An index read only in part gives no key either.
  if (keys.failed()) return;
  for (const std::string& column : keys.rows) {
    if (isSystemIndexColumn(column)) return;
  }
  for (std::string& column : keys.rows) columns.push_back(std::move(column));
}

std::string joinColumns(const std::vector<std::string>& columns) {
  std::string joined;
  for (size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) joined += ", ";
    joined += columns[i];
  }
  return joined;
}

std::string normalizedConstraintText(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && isWhiteSpace(text[begin])) ++begin;
  while (end > begin && isWhiteSpace(text[end - 1])) --end;
  std::string result;
  result.reserve(end - begin);
  for (size_t i = begin; i < end; ++i) {
    if (text[i] != '"') result += text[i];
  }
  return result;
}

}  // namespace velmora
