#include "data/data_cursor.h"

#include <algorithm>
#include <cctype>

#include "oracle/oci.h"
#include "oracle/oracle_session.h"

namespace velmora {

namespace {

// prepare() reads "%%" as "%": a "%" of the select itself must reach the server unchanged.
std::string doubledPercents(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    out += c;
    if (c == '%') out += '%';
  }
  return out;
}

std::string lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string quotedName(const std::string& name) {
  return "\"" + name + "\"";
}

// The item as the cursor selects it: dates and timestamps in their fixed forms, large objects as
// the placeholder, each under the column's name.
std::string wrappedItem(const std::string& item, const CursorColumn& column) {
  switch (column.kind) {
    case FieldKind::Date:
      return std::string("to_char(") + item + ",'" + kDateSelectFormat + "') " +
             quotedName(column.name);
    case FieldKind::Timestamp:
      return std::string("to_char(") + item + ",'" + kTimestampSelectFormat + "') " +
             quotedName(column.name);
    case FieldKind::Lob:
      return std::string("'") + kLobPlaceholder + "' " + quotedName(column.name);
    default:
      return item;
  }
}

int fetchWidth(const CursorColumn& column) {
  switch (column.kind) {
    case FieldKind::Long:
    case FieldKind::LongRaw:
      return DataCursor::kLongWidth;
    case FieldKind::Raw:
      return std::max(2 * column.width, 64);  // hexadecimal
    case FieldKind::Timestamp:
      return 64;
    case FieldKind::Number:
      return 192;  // a number may come as all its digits rather than with an exponent
    default:
      return std::max(column.width, 64);
  }
}

}  // namespace

bool findSelectList(const std::string& statement, size_t* listStart, size_t* listEnd) {
  const std::string lower = lowered(statement);
  size_t select = std::string::npos;
  for (const char* form : {"select ", "select\t", "select\r\n", "select\n"}) {
    select = std::min(select, lower.find(form));
  }
  if (select == std::string::npos) return false;
  size_t from = std::string::npos;
  for (const char* form :
       {" from ", "\nfrom ", " from\n", " from\r", "\nfrom\n", "\nfrom\r", "\nfrom\t", "\tfrom ",
        " from\t", "\tfrom\t", "\tfrom\r", "\tfrom\n", "\rfrom "}) {
    size_t at = lower.find(form, select + 6);
    from = std::min(from, at);
  }
  if (from == std::string::npos) return false;
  *listStart = select + 6;
  *listEnd = from;
  return true;
}

void preferBinarySort(OracleSession& session) {
  OracleStatement statement(session);
  statement.prepare("alter session set nls_sort = binary");
  (void)statement.execute();
}

DataCursor::DataCursor(OracleSession& session) : session_(session) {}
DataCursor::~DataCursor() = default;

std::string DataCursor::describe(const std::string& text, int* count) {
  OracleStatement statement(session_);
  statement.prepare(doubledPercents(text));
  ExecuteDetails details;
  if (!statement.execute(&details)) {
    int code = 0;
    std::string message = session_.lastError(&code);
    if (code == 1403 || code == 24344) return "";
    return message.empty() ? "the select could not be described" : message;
  }
  *count = static_cast<int>(details.count);
  OciLibrary& library = session_.library();
  columns_.clear();
  for (int position = 1; position <= *count; ++position) {
    void* param = nullptr;
    if (library.paramGet(statement.handle(), OCI_HTYPE_STMT, session_.errorHandle(), &param,
                         static_cast<ub4>(position)) != OCI_SUCCESS) {
      return session_.lastError();
    }
    CursorColumn column;
    ub2 type = 0, size = 0;
    OraText* name = nullptr;
    ub4 nameLength = 0;
    library.attrGet(param, OCI_DTYPE_PARAM, &type, nullptr, OCI_ATTR_DATA_TYPE,
                    session_.errorHandle());
    library.attrGet(param, OCI_DTYPE_PARAM, &size, nullptr, OCI_ATTR_DATA_SIZE,
                    session_.errorHandle());
    library.attrGet(param, OCI_DTYPE_PARAM, &name, &nameLength, OCI_ATTR_NAME,
                    session_.errorHandle());
    if (name != nullptr) column.name.assign(reinterpret_cast<const char*>(name), nameLength);
    if (column.name.size() > 64) column.name.resize(64);
    column.typeCode = type;
    column.width = std::max<int>(size, 64);
    column.kind = fieldKindForTypeCode(type);
    columns_.push_back(std::move(column));
  }
  return "";
}

std::string DataCursor::open(const std::string& head, const std::vector<std::string>& items,
                             const std::string& tail) {
  done_ = true;
  statement_.reset();
  buffers_.clear();
  rowsFetched_ = 0;
  error_.clear();
  std::string text = head;
  for (size_t i = 0; i < items.size(); ++i) text += (i ? ", " : "") + items[i];
  text += tail;
  int count = -1;
  std::string error = describe(text, &count);
  if (!error.empty() || count < 0) return error;
  std::string rewritten = head;
  for (size_t i = 0; i < columns_.size(); ++i) {
    const std::string item = i < items.size() ? items[i] : quotedName(columns_[i].name);
    rewritten += (i ? ", " : "") + wrappedItem(item, columns_[i]);
  }
  return execute(rewritten + tail);
}

std::string DataCursor::openStatement(const std::string& statement) {
  size_t start = 0, end = 0;
  if (!findSelectList(statement, &start, &end)) return open(statement, {}, "");
  done_ = true;
  int count = -1;
  std::string error = describe(statement, &count);
  if (!error.empty() || count < 0) return error;
  std::vector<std::string> items;
  for (const CursorColumn& column : columns_) items.push_back(quotedName(column.name));
  return open(statement.substr(0, start) + " ", items, statement.substr(end));
}

std::string DataCursor::execute(const std::string& text) {
  statement_ = std::make_unique<OracleStatement>(session_);
  statement_->prepare(doubledPercents(text));
  ub4 prefetch = kPrefetchRows;
  session_.library().attrSet(statement_->handle(), OCI_HTYPE_STMT, &prefetch, 0,
                             OCI_ATTR_PREFETCH_ROWS, session_.errorHandle());
  buffers_.clear();
  const bool hasLong = std::any_of(columns_.begin(), columns_.end(), [](const CursorColumn& c) {
    return c.kind == FieldKind::Long || c.kind == FieldKind::LongRaw;
  });
  const int rows = hasLong ? 1 : OracleStatement::kMaxRowsPerFetch;
  for (size_t i = 0; i < columns_.size(); ++i) {
    buffers_.push_back(std::make_unique<StringColumn>(fetchWidth(columns_[i]), rows));
    statement_->defineArray(static_cast<int>(i) + 1, *buffers_.back());
  }
  batchRow_ = 0;
  if (!statement_->execute()) {
    if (!statement_->failed()) return "";  // no rows
    int code = 0;
    std::string message = session_.lastError(&code);
    statement_.reset();
    if (code == 1403 || code == 24344) return "";
    return message.empty() ? "the select failed" : message;
  }
  done_ = false;
  return "";
}

bool DataCursor::fetchBatch() {
  batchRow_ = 0;
  if (statement_->fetchNext()) return true;
  done_ = true;
  if (statement_->failed()) {
    int code = 0;
    std::string message = session_.lastError(&code);
    if (code != 1403 && code != 24344) error_ = message.empty() ? "a fetch failed" : message;
  }
  return false;
}

bool DataCursor::next(DataRow& row) {
  if (done_ || !statement_) return false;
  if (batchRow_ >= statement_->rowsInBatch() && !fetchBatch()) return false;
  if (statement_->rowsInBatch() <= 0) {
    done_ = true;
    return false;
  }
  const int r = batchRow_++;
  row.resize(columns_.size());
  for (size_t i = 0; i < columns_.size(); ++i) {
    StringColumn& buffer = *buffers_[i];
    DataField& field = row[i];
    field.kind = columns_[i].kind;
    field.null = buffer.isNull(r);
    if (field.null) {
      field.text.clear();
      continue;
    }
    // A value cut to the buffer (ORA-01406) is never taken for the value.
    if (buffer.indicators()[r] > 0 || buffer.codes()[r] == 1406) {
      error_ = "a value of column " + columns_[i].name + " is longer than " +
               std::to_string(buffer.width()) + " bytes and cannot be compared";
      done_ = true;
      return false;
    }
    field.text = buffer.value(r);
  }
  ++rowsFetched_;
  return true;
}

}  // namespace velmora
