// DataCursor: runs one select of the data comparison on one database and hands back its rows
// one at a time, in the order of the select. It describes the select first, then reads DATE
// and TIMESTAMP columns in fixed forms that keep time and fraction (to_char), puts a
// placeholder in place of large objects (never fetched), and fetches arrays of rows with the
// client's prefetch raised. A select with LONG or LONG RAW columns is read a row at a time, those
// columns piece by piece (OCI dynamic fetch) up to kLongLimit bytes. A value it cannot read whole
// (a LONG longer than that) is an error, never a cut value. Owned by the comparer for one table;
// borrows the session, which must outlive it; used by one thread at a time (the run's worker, or
// the thread of a ReadAhead that reads it for the merge).
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "data/data_row.h"
#include "oracle/oracle_statement.h"

namespace velmora {

class OracleSession;

// A source of rows in select order: a DataCursor, or a list in tests.
class RowSource {
 public:
  virtual ~RowSource() = default;
  // The next row into `row`; false at the end of the rows or on an error (then error() says it).
  virtual bool next(DataRow& row) = 0;
  virtual const std::string& error() const = 0;
  // The most bytes of values one row can hold, when the source knows (0: it does not).
  virtual size_t rowBytesAtMost() const { return 0; }
};

struct CursorColumn {
  std::string name;  // as described, at most 64 characters
  int typeCode = 0;  // Oracle external type code of the described column
  int width = 64;    // buffer width: the described size, at least 64
  FieldKind kind = FieldKind::Text;
};

class DataCursor : public RowSource {
 public:
  static constexpr int kLongLimit = 16 << 20;     // bytes of a LONG value that can be compared
  static constexpr int kLongPiece = 65536;        // bytes of a LONG value read per piece
  static constexpr int kPrefetchRows = 1000;      // rows the client fetches ahead per round trip
  static constexpr size_t kArrayRows = 200;       // rows a fetch call brings at most
  static constexpr size_t kArrayBytes = 1 << 20;  // bytes of fetch buffers at most (one row more)

  explicit DataCursor(OracleSession& session);
  ~DataCursor() override;
  DataCursor(const DataCursor&) = delete;
  DataCursor& operator=(const DataCursor&) = delete;

  // Opens "head items tail" (items joined by ", "); each item may be wrapped as its described
  // type asks. "" when the rows can be read, else the Oracle error text (ORA-01403 and ORA-24344
  // are no errors: the stream is empty).
  std::string open(const std::string& head, const std::vector<std::string>& items,
                   const std::string& tail);
  // Opens a free select (SQL Compare): its select list is replaced by the described columns
  // ("select " ... " from " found as words), so an expression needs an alias that names it.
  std::string openStatement(const std::string& statement);

  bool next(DataRow& row) override;
  const std::string& error() const override { return error_; }
  size_t rowBytesAtMost() const override;

  const std::vector<CursorColumn>& columns() const { return columns_; }
  long rowsFetched() const { return rowsFetched_; }
  // The rows the client fetches ahead per round trip for the next open (kPrefetchRows; 0 turns
  // prefetching off, as the benchmark does to show what it saves).
  void setPrefetchRows(unsigned rows) { prefetchRows_ = rows; }
  // The most rows a fetch call brings for the next open (kArrayRows).
  void setArrayRows(size_t rows) { arrayRows_ = std::max<size_t>(rows, 1); }

 private:
  std::string describe(const std::string& text, int* count);
  std::string execute(const std::string& text);
  bool fetchBatch();
  std::string executePiecewise(const std::string& text);
  bool nextPiecewise(DataRow& row);
  bool takeField(size_t column, size_t row, DataField& field);
  bool valueTooLong(size_t column);
  bool failFetch(const char* what);

  OracleSession& session_;
  std::unique_ptr<OracleStatement> statement_;
  std::vector<CursorColumn> columns_;
  std::vector<std::unique_ptr<StringColumn>> buffers_;
  // Each column's buffer as takeField reads it (no data for the LONG columns), set when the
  // buffers are defined.
  struct FieldSlot {
    const char* data = nullptr;
    const int16_t* indicators = nullptr;
    const uint16_t* lengths = nullptr;
    const uint16_t* codes = nullptr;
    size_t width = 0;
    FieldKind kind = FieldKind::Text;
  };
  std::vector<FieldSlot> slots_;
  void setSlots();
  int batchRow_ = 0;
  // Piecewise reading: the LONG values of the current row by column (empty for the others), the
  // define handle and indicator of each column.
  bool piecewise_ = false;
  std::vector<std::string> longValues_;
  std::vector<void*> defines_;
  std::vector<int16_t> longIndicators_;
  std::vector<char> piece_;
  bool done_ = true;
  long rowsFetched_ = 0;
  unsigned prefetchRows_ = kPrefetchRows;
  size_t arrayRows_ = kArrayRows;
  std::string error_;
};

// Asks the session to order text by bytes (NLS_SORT BINARY), the order compareRows follows, so
// that both databases agree whatever their language settings. A server that refuses keeps its
// own setting (BINARY unless a linguistic sort was chosen); nothing is reported.
void preferBinarySort(OracleSession& session);

// The position of a free select's list: the end of its "select" word and the start of its
// "from" word (both outside the list), or false when the text has no such words.
bool findSelectList(const std::string& statement, size_t* listStart, size_t* listEnd);

}  // namespace velmora
