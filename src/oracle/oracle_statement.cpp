#include "oracle/oracle_statement.h"

#include <algorithm>
#include <cstring>

#include "oracle/oracle_session.h"

namespace velmora {

StringColumn::StringColumn(int width, int rows)
    : width_(std::max(width, 0)),
      rows_(std::clamp(rows, 1, kMaxRows)),
      buffer_(static_cast<size_t>(rows_) * static_cast<size_t>(width_ + 1), '\0'),
      indicators_(static_cast<size_t>(rows_), 0),
      lengths_(static_cast<size_t>(rows_), 0),
      codes_(static_cast<size_t>(rows_), 0) {}

std::string StringColumn::value(int row) const {
  if (row < 0 || row >= rows_ || isNull(row)) return "";
  const char* start = buffer_.data() + static_cast<size_t>(row) * static_cast<size_t>(width_ + 1);
  return std::string(start, strnlen(start, static_cast<size_t>(width_) + 1));
}

void StringColumn::clear() {
  std::fill(buffer_.begin(), buffer_.end(), '\0');
  std::fill(indicators_.begin(), indicators_.end(), 0);
}

OracleStatement::OracleStatement(OracleSession& session)
    : session_(session), library_(session.library()), handle_(session.library(), OCI_HTYPE_STMT) {}

OracleStatement::~OracleStatement() {
  if (generation_ != session_.logonGeneration()) handle_.forget();
}

void OracleStatement::prepare(const std::string& text) {
  if (!handle_ || generation_ != session_.logonGeneration()) {
    handle_.forget();
    generation_ = session_.logonGeneration();
    handle_.allocate(session_.envHandle());
  }
  rowsPerFetch_ = 1;
  rowsInBatch_ = 0;
  cumulative_ = 0;
  fetchPending_ = false;
  lastStatus_ = 0;
  // Statement texts write a literal percent sign as "%%".
  text_.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    text_ += text[i];
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%') ++i;
  }
  ub2 type = 0;
  library_.stmtPrepare(handle(), session_.errorHandle(),
                       reinterpret_cast<const OraText*>(text_.c_str()),
                       static_cast<ub4>(text_.size()), OCI_NTV_SYNTAX, OCI_DEFAULT);
  if (library_.attrGet(handle(), OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE,
                       session_.errorHandle()) == OCI_SUCCESS)
    statementType_ = type;
}

void OracleStatement::bindInt(const std::string& name, int32_t* value) {
  lastBind_ = nullptr;
  library_.bindByName(handle(), &lastBind_, session_.errorHandle(),
                      reinterpret_cast<const OraText*>(name.c_str()), static_cast<sb4>(name.size()),
                      value, sizeof(int32_t), SQLT_INT, nullptr, nullptr, nullptr, OCI_DEFAULT);
  rowsPerFetch_ = 1;
}

void OracleStatement::bindString(const std::string& name, char* buffer, int width,
                                 int16_t* indicator) {
  lastBind_ = nullptr;
  library_.bindByName(handle(), &lastBind_, session_.errorHandle(),
                      reinterpret_cast<const OraText*>(name.c_str()), static_cast<sb4>(name.size()),
                      buffer, width + 1, SQLT_STR, indicator, nullptr, nullptr, OCI_DEFAULT);
  rowsPerFetch_ = 1;
}

void OracleStatement::bindText(const std::string& name, const std::string& value) {
  boundTexts_.push_back(std::make_unique<std::string>(value));
  std::string& kept = *boundTexts_.back();
  bindString(name, kept.data(), static_cast<int>(kept.size()));
}

void OracleStatement::define(int position, char* buffer, int width, int16_t* indicator) {
  lastDefine_ = nullptr;
  library_.defineByPos(handle(), &lastDefine_, session_.errorHandle(), static_cast<ub4>(position),
                       buffer, width + 1, SQLT_STR, indicator, nullptr, nullptr, OCI_DEFAULT);
  rowsPerFetch_ = 1;
}

OracleStatement::ColumnSlots* OracleStatement::slots(int position) {
  if (position < 1 || position > kMaxPositions) return nullptr;
  if (slots_.size() < static_cast<size_t>(position)) slots_.resize(static_cast<size_t>(position));
  auto& slot = slots_[static_cast<size_t>(position - 1)];
  if (!slot) slot = std::make_unique<ColumnSlots>();
  return slot.get();
}

void OracleStatement::defineArray(int position, char* buffer, int width, int rowsPerFetch) {
  ColumnSlots* slot = slots(position);
  if (slot == nullptr) return;
  lastDefine_ = nullptr;
  // One returned length and return code per row, so OCI never writes past the tables.
  library_.defineByPos(handle(), &lastDefine_, session_.errorHandle(), static_cast<ub4>(position),
                       buffer, width + 1, SQLT_STR, slot->indicators, slot->lengths, slot->codes,
                       OCI_DEFAULT);
  rowsPerFetch_ = std::clamp(rowsPerFetch, 1, kMaxRowsPerFetch);
}

void OracleStatement::defineArray(int position, StringColumn& column, bool counted) {
  lastDefine_ = nullptr;
  library_.defineByPos(handle(), &lastDefine_, session_.errorHandle(), static_cast<ub4>(position),
                       column.data(), column.width() + 1, counted ? SQLT_CHR : SQLT_STR,
                       column.indicators(), column.lengths(), column.codes(), OCI_DEFAULT);
  rowsPerFetch_ = column.rows();
}

int16_t OracleStatement::indicator(int position, int row) const {
  if (position < 1 || static_cast<size_t>(position) > slots_.size() || row < 0 ||
      row >= kMaxRowsPerFetch)
    return 0;
  const auto& slot = slots_[static_cast<size_t>(position - 1)];
  return slot ? slot->indicators[row] : 0;
}

int OracleStatement::returnedLength(int position, int row) const {
  if (position < 1 || static_cast<size_t>(position) > slots_.size() || row < 0 ||
      row >= kMaxRowsPerFetch)
    return 0;
  const auto& slot = slots_[static_cast<size_t>(position - 1)];
  return slot ? slot->lengths[row] : 0;
}

long OracleStatement::rowCount() {
  ub4 count = 0;
  library_.attrGet(handle(), OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_ROW_COUNT,
                   session_.errorHandle());
  return static_cast<long>(count);
}

bool OracleStatement::failed() const {
  return lastStatus_ != OCI_SUCCESS && lastStatus_ != OCI_SUCCESS_WITH_INFO &&
         lastStatus_ != OCI_NEED_DATA && lastStatus_ != OCI_NO_DATA;
}

void OracleStatement::readDetails(ExecuteDetails* details) {
  OCIError* err = session_.errorHandle();
  ub2 functionCode = 0, type = 0;
  library_.attrGet(handle(), OCI_HTYPE_STMT, &functionCode, nullptr, OCI_ATTR_SQLFNCODE, err);
  details->functionCode = functionCode;
  if (statementType_ == OCI_STMT_SELECT) {
    ub4 items = 0;
    library_.attrGet(handle(), OCI_HTYPE_STMT, &items, nullptr, OCI_ATTR_PARAM_COUNT, err);
    details->count = static_cast<long>(items);
  } else if (statementType_ == OCI_STMT_UPDATE || statementType_ == OCI_STMT_DELETE ||
             statementType_ == OCI_STMT_INSERT) {
    details->count = rowCount();
  }
  library_.attrGet(handle(), OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, err);
  details->statementType = type;
}

bool OracleStatement::execute(ExecuteDetails* details) {
  bool describeOnly = details != nullptr && statementType_ == OCI_STMT_SELECT;
  ub4 iterations = describeOnly ? 0 : static_cast<ub4>(rowsPerFetch_);
  sword status = session_.guardedCall([&] {
    return library_.stmtExecute(session_.serviceContext(), handle(), session_.errorHandle(),
                                iterations, 0, OCI_DEFAULT);
  });
  lastStatus_ = status;
  if (details != nullptr) details->status = status;
  fetchPending_ = false;
  if (status == OCI_NO_DATA) {
    rowsInBatch_ = static_cast<int>(rowCount());
    if (rowsInBatch_ == 0) {
      cumulative_ = 0;
      return false;
    }
  } else {
    if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO && status != OCI_NEED_DATA)
      return false;
    if (describeOnly) {
      // Nothing was fetched: the first fetchNext brings the first batch.
      rowsInBatch_ = 0;
      cumulative_ = 0;
      fetchPending_ = true;
    } else {
      rowsInBatch_ = rowsPerFetch_;
      cumulative_ += rowsPerFetch_;
    }
  }
  if (details != nullptr) readDetails(details);
  return true;
}

bool OracleStatement::fetchNext() {
  // A short batch means the result set is exhausted.
  if (!fetchPending_ && rowsInBatch_ < rowsPerFetch_) return false;
  fetchPending_ = false;
  sword status = session_.guardedCall([&] {
    return library_.stmtFetch(handle(), session_.errorHandle(), static_cast<ub4>(rowsPerFetch_),
                              OCI_FETCH_NEXT, OCI_DEFAULT);
  });
  lastStatus_ = status;
  if (status == OCI_NO_DATA) {
    long total = rowCount();
    if (total == cumulative_) {
      cumulative_ = 0;
      rowsInBatch_ = 0;
      return false;
    }
    rowsInBatch_ = static_cast<int>(std::max(total - cumulative_, 0L));
    return rowsInBatch_ > 0;
  }
  // With info (a truncated value) still delivered the batch.
  if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO) {
    rowsInBatch_ = 0;
    return false;
  }
  rowsInBatch_ = rowsPerFetch_;
  cumulative_ += rowsPerFetch_;
  return true;
}

char* OracleStatement::ownBuffer(size_t bytes) {
  ownedBuffer_.assign(bytes, '\0');
  return ownedBuffer_.data();
}

}  // namespace velmora
