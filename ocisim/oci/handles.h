// The handles of libocisim.so: one C++ object per OCI handle or descriptor, given to the caller
// as an opaque pointer. Every handle is registered in a process-wide table, so a pointer that was
// never allocated, was freed, or names another handle type is refused (OCI_INVALID_HANDLE)
// before it is followed. An environment owns every handle allocated under it and frees them with
// itself; a statement owns its binds, defines and parameter descriptors (statement.h).
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/exec/database.h"
#include "engine/exec/session.h"
#include "oci.h"

namespace ocisim::oci {

class Env;

// One diagnostic of an error handle: the code and "ORA-nnnnn: text\n".
struct ErrorRecord {
  int code = 0;
  std::string message;
};

class Handle {
 public:
  Handle(ub4 type, Env* env);
  virtual ~Handle();
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  ub4 type() const { return type_; }
  Env* env() const { return env_; }
  // Memory the caller asked for with xtramem_sz (OCIHandleAlloc, OCIEnvInit); freed with us.
  void* userMemory(size_t bytes);

 private:
  ub4 type_;
  Env* env_;
  std::vector<char> userMemory_;
};

// Looks a caller's pointer up: the handle when it is registered with that type, else null.
// The pointer is not followed unless it is registered.
Handle* findHandle(const void* pointer, ub4 type);
template <class T>
T* findHandle(const void* pointer) {
  return static_cast<T*>(findHandle(pointer, T::kType));
}
// The handle a caller's pointer names, whatever its type; null when unknown.
Handle* findAnyHandle(const void* pointer);

class Env : public Handle {
 public:
  static constexpr ub4 kType = OCI_HTYPE_ENV;
  Env() : Handle(kType, this) {}
  ~Env() override;

  // Takes ownership of a child handle (freed with the environment unless freed before).
  Handle* adopt(std::unique_ptr<Handle> child);
  // Frees a child; false when it is not ours.
  bool release(Handle* child);

  std::vector<ErrorRecord> errors;  // errors of calls that have no error handle

 private:
  std::map<Handle*, std::unique_ptr<Handle>> children_;
};

class ErrorHandle : public Handle {
 public:
  static constexpr ub4 kType = OCI_HTYPE_ERROR;
  explicit ErrorHandle(Env* env) : Handle(kType, env) {}
  std::vector<ErrorRecord> records;
};

// One attach of a server handle to a database: shared by the sessions begun over it, which keep
// it alive after a detach. Its flags are set from any thread (OCIBreak, a lost connection).
struct Connection {
  std::shared_ptr<Database> database;
  std::string alias;
  std::atomic<bool> lost{false};            // ORA-03114 from now on
  std::atomic<bool> detached{false};        // OCIServerDetach ran
  std::atomic<bool> breakRequested{false};  // OCIBreak: the running call ends with ORA-01013
};

class ServerHandle : public Handle {
 public:
  static constexpr ub4 kType = OCI_HTYPE_SERVER;
  explicit ServerHandle(Env* env) : Handle(kType, env) {}
  ~ServerHandle() override;
  std::shared_ptr<Connection> connection;  // null until attached
};

// A begun session: the engine session and the connection it runs over. Statements that ran on
// it share it, so the engine session outlives their cursors even after OCISessionEnd.
struct SessionState {
  std::shared_ptr<Connection> connection;
  std::unique_ptr<Session> session;
  std::atomic<bool> ended{false};
};

class SessionHandle : public Handle {
 public:
  static constexpr ub4 kType = OCI_HTYPE_SESSION;
  explicit SessionHandle(Env* env) : Handle(kType, env) {}
  ~SessionHandle() override;
  void end();  // OCISessionEnd and freeing
  std::string user, password;
  std::shared_ptr<SessionState> state;  // null until begun
};

class SvcCtx : public Handle {
 public:
  static constexpr ub4 kType = OCI_HTYPE_SVCCTX;
  explicit SvcCtx(Env* env) : Handle(kType, env) {}
  // Kept as the caller gave them and looked up again on every use (they may have been freed).
  void* server = nullptr;
  void* session = nullptr;
  ServerHandle* serverHandle() const { return findHandle<ServerHandle>(server); }
  SessionHandle* sessionHandle() const { return findHandle<SessionHandle>(session); }
};

// Handles the library allocates but gives no behaviour: describe and transaction handles.
class PlainHandle : public Handle {
 public:
  PlainHandle(ub4 type, Env* env) : Handle(type, env) {}
};

}  // namespace ocisim::oci
