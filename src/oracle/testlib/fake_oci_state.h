// The fake OCI library's model: handles, the scripted server and the state shared by the entry
// points. Internal to the library. Every entry point takes State::mutex for its whole call, so
// the functions here assume the lock is held.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "oracle/oci.h"

namespace fakeoci {

constexpr uint32_t kMagic = 0x0FA6E0C1;

struct Handle {
  explicit Handle(ub4 handleType) : type(handleType) {}
  virtual ~Handle() = default;
  uint32_t magic = kMagic;
  ub4 type;
};

struct Env : Handle {
  Env() : Handle(OCI_HTYPE_ENV) {}
};

struct Error : Handle {
  Error() : Handle(OCI_HTYPE_ERROR) {}
  int code = 0;
  std::string message;
};

struct Server : Handle {
  Server() : Handle(OCI_HTYPE_SERVER) {}
  bool attached = false;
  bool lost = false;            // a lost connection: calls fail with ORA-03114
  bool breakRequested = false;  // OCIBreak: the next fetch fails with ORA-01013
};

struct Session : Handle {
  Session() : Handle(OCI_HTYPE_SESSION) {}
  std::string user, password;
  bool begun = false;
};

struct SvcCtx : Handle {
  SvcCtx() : Handle(OCI_HTYPE_SVCCTX) {}
  Server* server = nullptr;
  Session* session = nullptr;
};

struct Stmt;

struct Define : Handle {
  Define() : Handle(OCI_HTYPE_DEFINE) {}
  Stmt* stmt = nullptr;
  ub4 position = 0;
  char* value = nullptr;
  sb4 size = 0;
  ub2 dty = 0;
  sb2* indicators = nullptr;
  ub2* lengths = nullptr;
  ub2* codes = nullptr;
  ub4 mode = 0;
  void* pieceBuffer = nullptr;  // set by OCIStmtSetPieceInfo
  ub4* pieceLength = nullptr;
};

struct Bind : Handle {
  Bind() : Handle(OCI_HTYPE_BIND) {}
  std::string name;  // upper case, with the colon
  char* value = nullptr;
  sb4 size = 0;
  ub2 dty = 0;
  sb2* indicator = nullptr;
};

struct Param : Handle {
  Param() : Handle(OCI_DTYPE_PARAM) {}
  ub4 position = 0;
  std::string name;
};

using Row = std::vector<std::optional<std::string>>;

struct Result {
  std::string sql;
  std::vector<std::pair<std::string, std::string>> binds;  // placeholder (upper), value
  int columns = 1;
  std::vector<Row> rows;
};

struct Stmt : Handle {
  Stmt() : Handle(OCI_HTYPE_STMT) {}
  std::string text;
  ub2 stmtType = OCI_STMT_UNKNOWN;
  bool executed = false;
  bool exhausted = false;
  std::optional<Result> result;  // the rows of an executed query
  size_t cursor = 0;             // next row to deliver
  ub4 rowCount = 0;              // cumulative rows delivered (or rows processed by DML)
  ub4 rowsFetched = 0;           // rows of the last fetch
  Server* server = nullptr;      // of the last execute
  std::vector<std::unique_ptr<Define>> defines;
  std::vector<std::unique_ptr<Bind>> binds;
  std::vector<std::unique_ptr<Param>> params;
  Define* pieceDefine = nullptr;  // the LONG define of a piecewise fetch in progress
  std::string pieceValue;
  size_t pieceOffset = 0;
};

struct StatementFailure {
  std::string sqlPart;
  int times = 0;
  int code = 0;
  std::string message;
};

struct CallFailure {
  std::string entryPoint;
  int remaining = 0;  // calls until it strikes
  int code = 0;
  std::string message;
};

struct State {
  std::mutex mutex;
  bool initialized = false;
  std::string banner;
  std::map<std::string, std::string> users;  // upper-case user -> password
  std::vector<std::string> aliases;
  std::vector<Result> results;
  std::vector<StatementFailure> statementFailures;
  std::vector<CallFailure> callFailures;
  std::vector<std::string> outputLines;
  std::map<std::string, int> callCounts;
  std::vector<std::string> executed;
  std::map<std::string, std::string> lastBinds;
  std::set<Handle*> live;                            // every valid handle
  std::map<Handle*, std::unique_ptr<Handle>> owned;  // handles allocated on their own
};

State& state();
void resetScript(State& s);

// Handle registry.
template <class T>
T* allocate(State& s) {
  auto owned = std::make_unique<T>();
  T* raw = owned.get();
  s.owned.emplace(raw, std::move(owned));
  s.live.insert(raw);
  return raw;
}
Handle* find(State& s, const void* pointer, ub4 type);  // null unless live and of this type
void release(State& s, Handle* handle);                 // frees it and what hangs from it

template <class T>
T* as(State& s, const void* pointer, ub4 type) {
  return static_cast<T*>(find(s, pointer, type));
}

// Runs an entry point's body under the lock, counting the call; no exception escapes.
template <class Body>
sword guarded(const char* name, Body body) {
  try {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.callCounts[name] += 1;
    return body(s);
  } catch (...) {
    return OCI_ERROR;
  }
}

// Errors: record the ORA error on the error handle (if any) and return OCI_ERROR.
sword fail(Error* err, int code, const std::string& message = "");
std::string standardText(int code);
bool isLostConnectionCode(int code);

// Scripted faults. Both return the failure's code (0 when none strikes) and fill message.
int callFailure(State& s, const char* entryPoint, std::string* message);
int statementFailure(State& s, const std::string& sql, std::string* message);

std::string upper(std::string text);
ub2 statementType(const std::string& sql);
const Result* findResult(State& s, const Stmt& stmt);
std::string bindValue(const Bind& bind);

// Execution (fake_oci_fetch.cpp).
sword execute(State& s, SvcCtx* svc, Stmt* stmt, Error* err, ub4 iterations);
sword fetch(State& s, Stmt* stmt, Error* err, ub4 rows);

}  // namespace fakeoci
