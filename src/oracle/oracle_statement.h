// OracleStatement: one prepared statement of an OracleSession with its bind and define buffers.
// Every value comes back as a NUL-terminated string (SQLT_STR), up to 20 rows per fetch. The
// statement handle is allocated at the first prepare and freed with the statement; the session
// must outlive it. Read a query with:
//   prepare, bind..., define..., if (execute()) do { rows 0..rowsInBatch()-1 } while (fetchNext());
// then failed() tells a fetch error (the session's lastError() has its message) from the end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "oracle/oci_handle.h"

namespace velmora {

class OracleSession;

// Filled by execute() when asked for; asking also keeps a query from fetching its first batch.
struct ExecuteDetails {
  int functionCode = 0;  // OCI_ATTR_SQLFNCODE
  long count = 0;        // select-list items of a query; rows processed by INSERT/UPDATE/DELETE
  int status = 0;        // the raw OCIStmtExecute status
  int statementType = 0;
};

// A column buffer for defineArray: rows x (width + 1) bytes with one indicator, returned length
// and return code per row. It keeps its own tables, so it may hold more rows than the statement's
// own defines (kMaxRows: a reader of many rows fetches more of them per call).
class StringColumn {
 public:
  static constexpr int kMaxRows = 1000;
  StringColumn(int width, int rows);  // rows from 1 to kMaxRows
  char* data() { return buffer_.data(); }
  int width() const { return width_; }
  int rows() const { return rows_; }
  bool isNull(int row) const { return indicators_[static_cast<size_t>(row)] == -1; }
  std::string value(int row) const;  // "" for NULL
  void clear();                      // empties every row
  int16_t* indicators() { return indicators_.data(); }
  uint16_t* lengths() { return lengths_.data(); }
  uint16_t* codes() { return codes_.data(); }

 private:
  int width_, rows_;
  std::vector<char> buffer_;
  std::vector<int16_t> indicators_;
  std::vector<uint16_t> lengths_, codes_;
};

class OracleStatement {
 public:
  static constexpr int kMaxRowsPerFetch = 20;
  static constexpr int kMaxPositions = 2000;

  explicit OracleStatement(OracleSession& session);
  ~OracleStatement();
  OracleStatement(const OracleStatement&) = delete;
  OracleStatement& operator=(const OracleStatement&) = delete;

  // Prepares the text, "%%" turned into "%". Errors surface at execute.
  void prepare(const std::string& text);

  // Binds by placeholder name (":owner"); the buffers must live until the last execute.
  // Each sets rows per fetch to 1.
  void bindInt(const std::string& name, int32_t* value);
  void bindString(const std::string& name, char* buffer, int width, int16_t* indicator = nullptr);
  void bindText(const std::string& name, const std::string& value);  // a copy the statement keeps

  // Defines a select-list position (1-based) as a string of `width` characters.
  void define(int position, char* buffer, int width, int16_t* indicator = nullptr);
  // An array define of rowsPerFetch rows (at most 20) at buffer + row * (width + 1); the
  // indicators come from the statement's table (indicator()). Sets rows per fetch.
  void defineArray(int position, char* buffer, int width, int rowsPerFetch);
  // Indicators, lengths and codes kept by the column. Counted: the values come without a
  // terminating NUL and their byte lengths in lengths() (a value may hold NUL bytes; it is cut
  // only past width + 1 bytes); otherwise NUL-terminated, cut past width bytes.
  void defineArray(int position, StringColumn& column, bool counted = false);

  // True when there are rows to read (query) or the statement succeeded.
  bool execute(ExecuteDetails* details = nullptr);
  // True when a further batch is in the buffers.
  bool fetchNext();

  int rowsInBatch() const { return rowsInBatch_; }
  int rowsPerFetch() const { return rowsPerFetch_; }
  int16_t indicator(int position, int row) const;
  int returnedLength(int position, int row) const;
  int statementType() const { return statementType_; }
  const std::string& text() const { return text_; }
  OCIStmt* handle() const { return handle_.as<OCIStmt>(); }
  OracleSession& session() const { return session_; }

  int lastStatus() const { return lastStatus_; }  // of the last execute or fetch
  bool noData() const { return lastStatus_ == OCI_NO_DATA; }
  // The last execute or fetch failed (not success, with info, need data or no data).
  bool failed() const;

  // A buffer the statement owns and frees (a caller keeping its row buffer with the statement).
  char* ownBuffer(size_t bytes);
  char* ownedBuffer() { return ownedBuffer_.data(); }

 private:
  struct ColumnSlots {  // per select-list position: one entry per row of a batch
    int16_t indicators[kMaxRowsPerFetch] = {};
    uint16_t lengths[kMaxRowsPerFetch] = {};
    uint16_t codes[kMaxRowsPerFetch] = {};
  };

  ColumnSlots* slots(int position);
  long rowCount();
  void readDetails(ExecuteDetails* details);

  OracleSession& session_;
  OciLibrary& library_;
  OciHandle handle_;
  unsigned generation_ = 0;  // the session's logon generation the handle belongs to
  std::string text_;
  int statementType_ = 0;
  int rowsPerFetch_ = 1;
  int rowsInBatch_ = 0;
  long cumulative_ = 0;
  bool fetchPending_ = false;  // executed without fetching: the first fetch is still due
  int lastStatus_ = 0;
  OCIBind* lastBind_ = nullptr;
  OCIDefine* lastDefine_ = nullptr;
  std::vector<std::unique_ptr<ColumnSlots>> slots_;  // by position; stable addresses for OCI
  std::vector<std::unique_ptr<std::string>> boundTexts_;
  std::vector<char> ownedBuffer_;
};

}  // namespace velmora
