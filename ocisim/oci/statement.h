// The statement handle of libocisim.so and the handles it owns (binds, defines, parameter
// descriptors). A statement is prepared locally (its type from the leading keyword, as OCI does
// without a round trip); the engine parses it at the first execute on a session, so syntax and
// name errors surface at OCIStmtExecute. Execute and fetch follow OCI's rules: iterations 0
// executes a query without fetching, more fetch that many rows into the defines; OCI_NO_DATA
// when fewer rows remain; OCI_ATTR_ROW_COUNT counts the rows fetched so far; LONG columns
// defined with OCI_DYNAMIC_FETCH are delivered piece by piece (OCI_NEED_DATA).
//
// Prefetching follows Oracle's client: a fetch that needs rows the client does not hold makes
// one round trip to the server, which returns the rows the call still needs plus the prefetch
// count (OCI_ATTR_PREFETCH_ROWS, 1 by default), or as many of those as fit in
// OCI_ATTR_PREFETCH_MEMORY bytes when that is set; both 0 turn prefetching off. A query with a
// LONG, LONG RAW or LOB column is not prefetched. Later fetches are served from the rows held
// until they run out. The fetch delay of OCISIM_FAULTS is spent once per round trip.
#pragma once

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "engine/exec/statement.h"
#include "errors.h"
#include "handles.h"

namespace ocisim::oci {

class Stmt;

class Bind : public Handle {
 public:
  static constexpr ub4 kType = OCI_HTYPE_BIND;
  Bind(Env* env, Stmt* stmt) : Handle(kType, env), stmt(stmt) {}
  Stmt* stmt;
  std::string name;  // normalised: upper case unless quoted, without ':'
  void* value = nullptr;
  sb4 size = 0;
  ub2 dty = 0;
  void* indicators = nullptr;
  ub2* lengths = nullptr;
  ub2* codes = nullptr;
};

class Define : public Handle {
 public:
  static constexpr ub4 kType = OCI_HTYPE_DEFINE;
  Define(Env* env, Stmt* stmt) : Handle(kType, env), stmt(stmt) {}
  Stmt* stmt;
  ub4 position = 0;
  void* value = nullptr;
  sb4 size = 0;  // one element; for a dynamic define the most bytes to deliver
  ub2 dty = 0;
  void* indicators = nullptr;
  ub2* lengths = nullptr;
  ub2* codes = nullptr;
  bool dynamic = false;  // OCI_DYNAMIC_FETCH
};

// A select-list column descriptor (OCI_DTYPE_PARAM).
class Param : public Handle {
 public:
  static constexpr ub4 kType = OCI_DTYPE_PARAM;
  Param(Env* env, Stmt* stmt, ColumnInfo column)
      : Handle(kType, env), stmt(stmt), column(std::move(column)) {}
  Stmt* stmt;
  ColumnInfo column;
};

class Stmt : public Handle {
 public:
  static constexpr ub4 kType = OCI_HTYPE_STMT;
  explicit Stmt(Env* env) : Handle(kType, env) {}
  ~Stmt() override;

  void prepare(std::string text);
  Bind* bind(Bind* reuse, std::string name);
  Define* define(Define* reuse, ub4 position);
  sword execute(SvcCtx& svc, ub4 iterations, ub4 rowOffset, ub4 mode, CallErrors& errors);
  sword fetch(ub4 rows, ub2 orientation, CallErrors& errors);
  void pieceInfo(Define** define, ub1* piece, ub4* iteration) const;
  void setPiece(Define& define, void* buffer, ub4* length, sb2* indicator, ub2* code);

  // Attributes.
  ub2 statementType() const { return statementType_; }
  ub2 functionCode() const;
  ub4 rowCount() const { return rowCount_; }
  ub4 rowsFetched() const { return rowsFetched_; }
  ub4 paramCount();
  ub4 prefetchRows() const { return prefetchRows_; }
  ub4 prefetchMemory() const { return prefetchMemory_; }
  void setPrefetchRows(ub4 rows) { prefetchRows_ = rows; }
  void setPrefetchMemory(ub4 bytes) { prefetchMemory_ = bytes; }
  // Round trips of fetched rows since the last execute (the execute's own fetch included).
  ub4 roundTrips() const { return roundTrips_; }
  Param* param(ub4 position);  // 1-based; ORA-24334 past the last column
  bool freeParam(Param* param);

 private:
  struct PieceState {
    bool active = false;     // a fetch call waits for OCIStmtSetPieceInfo / OCIStmtFetch
    ub4 rows = 0;            // rows the call asked for
    ub4 done = 0;            // rows completed in this call
    int truncation = 0;      // 24345 (indicators given) or 1406 once a value was cut
    Row row;                 // the row whose dynamic columns are being delivered
    size_t pending = 0;      // index in defines_ of the column being delivered
    std::string text;        // its text
    size_t offset = 0;       // bytes of it delivered
    bool bufferSet = false;  // OCIStmtSetPieceInfo gave a buffer for the next piece
    void* buffer = nullptr;
    ub4* length = nullptr;
    sb2* indicator = nullptr;
    ub2* code = nullptr;
  };

  SessionState& useSession(SvcCtx& svc);
  PreparedStatement& prepared(SessionState& state);
  void checkConnection() const;
  void buildBinds(BindSet& binds, ub4 iteration) const;
  void writeOutBinds(const BindSet& binds, ub4 iteration) const;
  sword executeQuery(ub4 iterations, ub4 mode, CallErrors& errors);
  sword executeOther(ub4 iterations, ub4 rowOffset, CallErrors& errors);
  sword fetchRows(CallErrors& errors);
  const Row* nextRow();
  bool hasDynamicDefines() const;
  void roundTrip(ub4 needed);
  ub4 prefetchCount() const;
  bool deliverPiece();
  bool startDynamicColumns(size_t from);
  void fillStaticDefines(const Row& row, ub4 element);
  sword finishCall(bool exhausted, CallErrors& errors);
  void waitFetchDelay() const;
  void checkBreak() const;
  void closeCursor();
  const NlsSettings& nls() const { return session_->session->nls(); }

  std::string text_;
  bool prepared_ = false;
  ub2 statementType_ = 0;
  std::shared_ptr<SessionState> session_;         // of the last execute
  std::unique_ptr<PreparedStatement> statement_;  // parsed on session_
  std::vector<std::unique_ptr<Bind>> binds_;
  std::vector<std::unique_ptr<Define>> defines_;  // in position order
  std::vector<std::unique_ptr<Param>> params_;
  std::vector<ColumnInfo> columns_;
  bool described_ = false;
  std::unique_ptr<Cursor> cursor_;
  bool executed_ = false;   // a query was executed: fetches are allowed
  bool exhausted_ = false;  // the last fetch reached the end: a further one is out of sequence
  ub4 rowCount_ = 0;
  ub4 rowsFetched_ = 0;
  PieceState piece_;
  ub4 prefetchRows_ = 1;
  ub4 prefetchMemory_ = 0;
  ub4 roundTrips_ = 0;
  // The rows the last round trip brought: held_[heldNext_ .. heldCount_) are still to deliver.
  std::vector<Row> held_;
  size_t heldNext_ = 0, heldCount_ = 0;
  bool serverExhausted_ = false;  // the server has sent its last row
  std::exception_ptr heldError_;  // the server failed after the held rows
};

// OCI_ATTR_STMT_TYPE of a text from its first keyword, as the client library classifies it.
ub2 statementTypeOf(std::string_view text);

}  // namespace ocisim::oci
