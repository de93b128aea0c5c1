#include "data/data_cursor.h"

#include <algorithm>
#include <cctype>
#include <cstring>

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

bool longKind(FieldKind kind) {
  return kind == FieldKind::Long || kind == FieldKind::LongRaw;
}

int fetchWidth(const CursorColumn& column) {
  switch (column.kind) {
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
  OciLibrary& library = session_.library();
  // Describe only: the server parses the select without running it (no sort of the rows).
  const sword status = session_.guardedCall([&] {
    return library.stmtExecute(session_.serviceContext(), statement.handle(),
                               session_.errorHandle(), 0, 0, OCI_DESCRIBE_ONLY);
  });
  if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO) {
    int code = 0;
    std::string message = session_.lastError(&code);
    if (code == 1403 || code == 24344) return "";
    return message.empty() ? "the select could not be described" : message;
  }
  ub4 items = 0;
  library.attrGet(statement.handle(), OCI_HTYPE_STMT, &items, nullptr, OCI_ATTR_PARAM_COUNT,
                  session_.errorHandle());
  *count = static_cast<int>(items);
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
  ub4 prefetch = prefetchRows_;
  session_.library().attrSet(statement_->handle(), OCI_HTYPE_STMT, &prefetch, 0,
                             OCI_ATTR_PREFETCH_ROWS, session_.errorHandle());
  buffers_.clear();
  piecewise_ = std::any_of(columns_.begin(), columns_.end(),
                           [](const CursorColumn& c) { return longKind(c.kind); });
  if (piecewise_) return executePiecewise(text);
  // As many rows per fetch call as fit in kArrayBytes of buffers: fewer calls, bounded memory.
  size_t rowBytes = 0;
  for (const CursorColumn& column : columns_)
    rowBytes += static_cast<size_t>(fetchWidth(column)) + 1;
  const int rows = static_cast<int>(
      std::clamp<size_t>(kArrayBytes / std::max<size_t>(rowBytes, 1), 1, arrayRows_));
  for (size_t i = 0; i < columns_.size(); ++i) {
    buffers_.push_back(std::make_unique<StringColumn>(fetchWidth(columns_[i]), rows));
    statement_->defineArray(static_cast<int>(i) + 1, *buffers_.back(), true);
  }
  setSlots();
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

// A row at a time: the other columns into one-row buffers, the LONG columns defined for dynamic
// fetch and read piece by piece in nextPiecewise.
std::string DataCursor::executePiecewise(const std::string&) {
  OciLibrary& library = session_.library();
  OCIError* err = session_.errorHandle();
  const size_t count = columns_.size();
  defines_.assign(count, nullptr);
  longValues_.assign(count, std::string());
  longIndicators_.assign(count, 0);
  piece_.resize(kLongPiece);
  for (size_t i = 0; i < count; ++i) {
    OCIDefine* define = nullptr;
    if (longKind(columns_[i].kind)) {
      buffers_.push_back(nullptr);
      // One byte more than the limit: a value that fills it is known to be longer.
      library.defineByPos(statement_->handle(), &define, err, static_cast<ub4>(i + 1), nullptr,
                          kLongLimit + 1, SQLT_LNG, &longIndicators_[i], nullptr, nullptr,
                          OCI_DYNAMIC_FETCH);
    } else {
      buffers_.push_back(std::make_unique<StringColumn>(fetchWidth(columns_[i]), 1));
      StringColumn& buffer = *buffers_.back();
      library.defineByPos(statement_->handle(), &define, err, static_cast<ub4>(i + 1),
                          buffer.data(), buffer.width() + 1, SQLT_CHR, buffer.indicators(),
                          buffer.lengths(), buffer.codes(), OCI_DEFAULT);
    }
    defines_[i] = define;
  }
  setSlots();
  const sword status = session_.guardedCall([&] {
    return library.stmtExecute(session_.serviceContext(), statement_->handle(), err, 0, 0,
                               OCI_DEFAULT);
  });
  if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO) {
    int code = 0;
    std::string message = session_.lastError(&code);
    statement_.reset();
    if (code == 1403 || code == 24344) return "";
    return message.empty() ? "the select failed" : message;
  }
  done_ = false;
  return "";
}

bool DataCursor::failFetch(const char* what) {
  done_ = true;
  int code = 0;
  std::string message = session_.lastError(&code);
  if (code != 1403 && code != 24344) error_ = message.empty() ? what : message;
  return false;
}

void DataCursor::setSlots() {
  slots_.assign(columns_.size(), FieldSlot());
  for (size_t i = 0; i < columns_.size() && i < buffers_.size(); ++i) {
    FieldSlot& slot = slots_[i];
    slot.kind = columns_[i].kind;
    if (!buffers_[i]) continue;
    slot.data = buffers_[i]->data();
    slot.indicators = buffers_[i]->indicators();
    slot.lengths = buffers_[i]->lengths();
    slot.codes = buffers_[i]->codes();
    slot.width = static_cast<size_t>(buffers_[i]->width());
  }
}

// Values shorter than this are copied as one block of this size (most numbers, codes and flags):
// every string holds at least 15 characters without allocating.
constexpr size_t kShortValue = 16;

// Row r of column i's buffer into the field, into the field's own storage (no new string per
// value). The columns are defined counted: the length is the one the fetch gave, NUL bytes
// included. A value longer than the column's width, or cut to the buffer (ORA-01406), is never
// taken for the value. Every fetched value comes through here.
inline bool DataCursor::takeField(size_t i, size_t r, DataField& field) {
  const FieldSlot& slot = slots_[i];
  field.kind = slot.kind;
  const int16_t indicator = slot.indicators[r];
  field.null = indicator == -1;
  if (field.null) {
    field.text.clear();
    return true;
  }
  const size_t length = slot.lengths[r];
  if (length > slot.width || indicator > 0 || slot.codes[r] == 1406) return valueTooLong(i);
  // Into the storage the field has (a value is mostly as long as the one before it).
  field.text.resize(length);
  const char* value = slot.data + r * (slot.width + 1);
  char* out = field.text.data();
  if (length < kShortValue && field.text.capacity() >= kShortValue - 1 &&
      slot.width >= kShortValue) {
    // A short value as one fixed-size copy: the buffer's row and the string's storage both hold
    // at least kShortValue bytes; the bytes past the value are not part of it.
    std::memcpy(out, value, kShortValue);
    out[length] = '\0';
  } else {
    std::memcpy(out, value, length);
  }
  return true;
}

size_t DataCursor::rowBytesAtMost() const {
  size_t bytes = 0;
  for (const CursorColumn& column : columns_)
    bytes += longKind(column.kind) ? static_cast<size_t>(kLongLimit) : fetchWidth(column);
  return bytes;
}

bool DataCursor::valueTooLong(size_t i) {
  error_ = "a value of column " + columns_[i].name + " is longer than " +
           std::to_string(buffers_[i]->width()) + " bytes and cannot be compared";
  done_ = true;
  return false;
}

bool DataCursor::nextPiecewise(DataRow& row) {
  OciLibrary& library = session_.library();
  OCIError* err = session_.errorHandle();
  const auto fetch = [&] {
    return session_.guardedCall([&] {
      return library.stmtFetch(statement_->handle(), err, 1, OCI_FETCH_NEXT, OCI_DEFAULT);
    });
  };
  for (size_t i = 0; i < columns_.size(); ++i) {
    longValues_[i].clear();
    longIndicators_[i] = 0;
  }
  sword status = fetch();
  while (status == OCI_NEED_DATA) {
    dvoid* handle = nullptr;
    ub4 handleType = 0, iteration = 0, index = 0;
    ub1 inOut = 0, pieceKind = OCI_ONE_PIECE;
    if (library.stmtGetPieceInfo(statement_->handle(), err, &handle, &handleType, &inOut,
                                 &iteration, &index, &pieceKind) != OCI_SUCCESS)
      return failFetch("a piece of a LONG value could not be read");
    const auto at = std::find(defines_.begin(), defines_.end(), handle);
    if (at == defines_.end()) return failFetch("a piece came for a column that expects none");
    const size_t column = static_cast<size_t>(at - defines_.begin());
    ub4 length = static_cast<ub4>(piece_.size());
    library.stmtSetPieceInfo(handle, OCI_HTYPE_DEFINE, err, piece_.data(), &length, pieceKind,
                             &longIndicators_[column], nullptr);
    status = fetch();
    if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO && status != OCI_NEED_DATA)
      return failFetch("a fetch failed");
    longValues_[column].append(piece_.data(), std::min<size_t>(length, piece_.size()));
    if (longValues_[column].size() > static_cast<size_t>(kLongLimit)) {
      error_ = "a value of column " + columns_[column].name + " is longer than " +
               std::to_string(kLongLimit) + " bytes and cannot be compared";
      done_ = true;
      return false;
    }
  }
  if (status == OCI_NO_DATA) {
    done_ = true;
    return false;
  }
  if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO) return failFetch("a fetch failed");
  row.resize(columns_.size());
  for (size_t i = 0; i < columns_.size(); ++i) {
    DataField& field = row[i];
    field.kind = columns_[i].kind;
    if (longKind(columns_[i].kind)) {
      field.null = longIndicators_[i] == -1;
      field.text.swap(longValues_[i]);
      if (field.null) field.text.clear();
      continue;
    }
    if (!takeField(i, 0, field)) return false;
  }
  ++rowsFetched_;
  return true;
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
  if (piecewise_) return nextPiecewise(row);
  if (batchRow_ >= statement_->rowsInBatch() && !fetchBatch()) return false;
  if (statement_->rowsInBatch() <= 0) {
    done_ = true;
    return false;
  }
  const auto r = static_cast<size_t>(batchRow_++);
  const size_t count = columns_.size();
  row.resize(count);
  for (size_t i = 0; i < count; ++i) {
    if (!takeField(i, r, row[i])) return false;
  }
  ++rowsFetched_;
  return true;
}

}  // namespace velmora
