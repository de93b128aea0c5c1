// Stmt: fetching rows into the defines, piece by piece for dynamic LONG defines.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

#include "faults.h"
#include "statement.h"
#include "transfer.h"

namespace ocisim::oci {

sword Stmt::fetch(ub4 rows, ub2 orientation, CallErrors& errors) {
  checkConnection();
  Connection& connection = *session_->connection;
  connection.breakRequested = false;
  if (Faults::countCallLosesConnection()) {
    connection.lost = true;
    closeCursor();
    throw OraError(3113);
  }
  if (piece_.active) return fetchRows(errors);  // the next piece of a piecewise fetch
  if (orientation != OCI_FETCH_NEXT && orientation != OCI_DEFAULT)
    throw oraError(24391, "invalid fetch operation (only OCI_FETCH_NEXT is supported)");
  if (!executed_) throw OraError(24338);
  if (rows == 0) {  // cancels the cursor
    closeCursor();
    return OCI_SUCCESS;
  }
  if (exhausted_ || !cursor_) throw OraError(1002);
  piece_ = PieceState();
  piece_.rows = rows;
  return fetchRows(errors);
}

sword Stmt::fetchRows(CallErrors& errors) {
  try {
    if (!piece_.active) {
      for (const auto& d : defines_) {
        if (d->position > columns_.size()) throw oraError(1007, "variable not in select list");
      }
      piece_.active = true;
      piece_.done = 0;
    } else {
      if (!deliverPiece()) return OCI_NEED_DATA;
      if (startDynamicColumns(piece_.pending + 1)) return OCI_NEED_DATA;
      ++piece_.done;
    }
    while (piece_.done < piece_.rows) {
      checkBreak();
      const Row* row = nextRow();
      if (row == nullptr) return finishCall(true, errors);
      ++rowCount_;
      fillStaticDefines(*row, piece_.done);
      if (hasDynamicDefines()) {
        piece_.row = *row;
        if (startDynamicColumns(0)) return OCI_NEED_DATA;
      }
      ++piece_.done;
    }
    return finishCall(false, errors);
  } catch (...) {
    // A failed fetch ends the cursor: a further fetch is out of sequence.
    piece_.active = false;
    rowsFetched_ = piece_.done;
    exhausted_ = true;
    closeCursor();
    throw;
  }
}

bool Stmt::hasDynamicDefines() const {
  return std::any_of(defines_.begin(), defines_.end(), [](const auto& d) { return d->dynamic; });
}

// The rows a round trip prefetches beyond those the call needs.
ub4 Stmt::prefetchCount() const {
  for (const ColumnInfo& column : columns_) {
    switch (column.type.code) {
      case TypeCode::Long:
      case TypeCode::LongRaw:
      case TypeCode::Clob:
      case TypeCode::Blob:
        return 0;
      default:
        break;
    }
  }
  if (prefetchMemory_ == 0) return prefetchRows_;
  // A row takes the described size of each column in the prefetch buffer.
  uint64_t rowBytes = 0;
  for (const ColumnInfo& column : columns_)
    rowBytes += static_cast<uint64_t>(std::max(column.type.ociDataSize(), 1));
  const uint64_t fitting = prefetchMemory_ / std::max<uint64_t>(rowBytes, 1);
  const uint64_t count = prefetchRows_ == 0 ? fitting : std::min<uint64_t>(fitting, prefetchRows_);
  return static_cast<ub4>(count);
}

// One visit to the server: the `needed` rows of the call plus the prefetch count, fewer at the
// end of the rows. An error after some rows is kept until those rows have been delivered.
void Stmt::roundTrip(ub4 needed) {
  waitFetchDelay();
  ++roundTrips_;
  const uint64_t wanted = static_cast<uint64_t>(needed) + prefetchCount();
  heldNext_ = 0;
  std::exception_ptr error;
  heldCount_ = cursor_->fetchMany(held_, static_cast<size_t>(wanted), error);
  if (error && heldCount_ == 0) std::rethrow_exception(error);
  heldError_ = error;
  if (!error && heldCount_ < wanted) serverExhausted_ = true;
}

// The next row for the defines: a held one, else one a round trip brings; null at the end.
const Row* Stmt::nextRow() {
  if (heldNext_ == heldCount_) {
    if (heldError_) std::rethrow_exception(std::exchange(heldError_, nullptr));
    if (serverExhausted_) return nullptr;
    roundTrip(piece_.rows - piece_.done);
    if (heldCount_ == 0) return nullptr;
  }
  return &held_[heldNext_++];
}

sword Stmt::finishCall(bool exhausted, CallErrors& errors) {
  piece_.active = false;
  piece_.row.clear();
  rowsFetched_ = piece_.done;
  if (exhausted) {
    exhausted_ = true;
    errors.set(OraError(1403));
    return OCI_NO_DATA;
  }
  if (piece_.truncation != 0) {
    errors.set(OraError(piece_.truncation));
    return OCI_SUCCESS_WITH_INFO;
  }
  return OCI_SUCCESS;
}

void Stmt::fillStaticDefines(const Row& row, ub4 element) {
  const NlsSettings& settings = nls();
  for (const auto& d : defines_) {
    if (d->dynamic) continue;
    ElementBuffers buffers =
        elementAt(d->value, d->size, d->indicators, d->lengths, d->codes, element);
    if (writeDefineValue(buffers, d->dty, row.at(d->position - 1), settings) ==
            Placed::Truncated &&
        piece_.truncation == 0)
      piece_.truncation = d->indicators != nullptr || d->codes != nullptr ? 24345 : 1406;
  }
}

// Finds the next dynamic define (from index `from`) whose value in the current row is not
// NULL and makes it the pending column; NULL ones get their indicator here.
bool Stmt::startDynamicColumns(size_t from) {
  for (size_t i = from; i < defines_.size(); ++i) {
    Define& d = *defines_[i];
    if (!d.dynamic) continue;
    const Value& value = piece_.row.at(d.position - 1);
    ElementBuffers buffers = elementAt(nullptr, 0, d.indicators, d.lengths, d.codes, piece_.done);
    if (value.isNull()) {
      if (buffers.indicator) *buffers.indicator = OCI_IND_NULL;
      if (buffers.returnCode) *buffers.returnCode = 1405;
      if (buffers.length) *buffers.length = 0;
      continue;
    }
    piece_.pending = i;
    piece_.text = textForClient(value, nls());
    if (d.size > 0 && piece_.text.size() > static_cast<size_t>(d.size))
      piece_.text.resize(static_cast<size_t>(d.size));
    piece_.offset = 0;
    piece_.bufferSet = false;
    return true;
  }
  return false;
}

// Copies the next piece of the pending column into the buffer given by OCIStmtSetPieceInfo.
// True when the column is complete.
bool Stmt::deliverPiece() {
  if (!piece_.bufferSet)
    throw oraError(24350, "OCI call not allowed: no buffer was given for the next piece");
  piece_.bufferSet = false;
  size_t remaining = piece_.text.size() - piece_.offset;
  size_t n = std::min<size_t>(*piece_.length, remaining);
  std::memcpy(piece_.buffer, piece_.text.data() + piece_.offset, n);
  *piece_.length = static_cast<ub4>(n);
  piece_.offset += n;
  if (piece_.offset < piece_.text.size()) return false;
  Define& d = *defines_[piece_.pending];
  ElementBuffers buffers = elementAt(nullptr, 0, d.indicators, d.lengths, d.codes, piece_.done);
  sb2* indicator = piece_.indicator != nullptr ? piece_.indicator : buffers.indicator;
  ub2* code = piece_.code != nullptr ? piece_.code : buffers.returnCode;
  if (indicator) *indicator = 0;
  if (code) *code = 0;
  return true;
}

void Stmt::pieceInfo(Define** define, ub1* piece, ub4* iteration) const {
  if (!piece_.active) throw oraError(24350, "OCI call not allowed: no piece is expected");
  *define = defines_[piece_.pending].get();
  *iteration = piece_.done;
  *piece = piece_.offset == 0 ? OCI_FIRST_PIECE : OCI_NEXT_PIECE;
}

void Stmt::setPiece(Define& define, void* buffer, ub4* length, sb2* indicator, ub2* code) {
  if (!piece_.active || defines_[piece_.pending].get() != &define)
    throw oraError(24350, "OCI call not allowed: this define expects no piece");
  if (buffer == nullptr || length == nullptr || *length == 0)
    throw oraError(24350, "OCI call not allowed: a piece needs a buffer and its size");
  piece_.buffer = buffer;
  piece_.length = length;
  piece_.indicator = indicator;
  piece_.code = code;
  piece_.bufferSet = true;
}

void Stmt::checkBreak() const {
  if (session_->connection->breakRequested.exchange(false)) throw OraError(1013);
}

// The fetch delay of OCISIM_FAULTS, cut short by OCIBreak.
void Stmt::waitFetchDelay() const {
  int ms = Faults::fetchDelayMs();
  if (ms <= 0) return;
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    checkBreak();
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min(ms, 5)));
  }
  checkBreak();
}

}  // namespace ocisim::oci
