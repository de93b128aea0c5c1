// OracleSession: one logged-on connection to one Oracle database through OCI. It owns its
// OciLibrary and its handles (freed at disconnect and destruction), runs statements, reads LONG
// values and the server output, formats SQL literals, and turns Oracle errors into messages with
// one silent reconnect after a lost connection. Used by one thread at a time (the user thread
// while connecting, the run's worker during a run, the thread that reads a table's rows ahead
// while the worker merges them); only breakCall (any thread, to stop the call in progress) and
// the break count are shared.
// Messages go to RunHost::ask; nothing here ends the process: a missing client library is
// reported by clientLoaded() and the front end decides (velmora-cli names the library and the
// loader's reason and exits 7).
#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "base/status.h"
#include "oracle/oci_handle.h"
#include "oracle/oci_library.h"

namespace velmora {

class SettingsStore;
class RunHost;
struct ComparisonOptions;
class DatabaseConnection;

// What a session needs from the application.
struct OracleEnvironment {
  SettingsStore* settings = nullptr;           // "OCIVER", "OCIDLL", "DateFormat" (required)
  RunHost* host = nullptr;                     // message boxes; null drops them
  const ComparisonOptions* options = nullptr;  // output mode of sqlLiteral; null = report
  std::string libraryOverride;  // not empty: load this file (choice code 99) whatever OCIVER says
  DynamicLoader* loader = nullptr;  // null = the system loader; tests map names onto their own
};

// The library a session loads: the choice code and the file name code 99 uses.
struct OciChoice {
  int code = 0;
  std::string ociDll;
};
OciChoice ociChoiceFor(const OracleEnvironment& environment);

// lastError's code for errors that come from this side of OCI (a missing entry point, a client
// that could not be initialised, a refused logon text), not from Oracle.
inline constexpr int kClientSideErrorCode = -1;

using BindValues = std::array<std::string, 5>;  // ":bind1" to ":bind5"; empty ones are not bound

class OracleSession {
 public:
  explicit OracleSession(const OracleEnvironment& environment);
  virtual ~OracleSession();
  OracleSession(const OracleSession&) = delete;
  OracleSession& operator=(const OracleSession&) = delete;

  // False when no client library could be loaded: the caller reports
  // OciLibrary::kClientMissingMessage. A session without a client never connects.
  bool clientLoaded() const { return library_.loaded(); }
  int clientCode() const { return clientCode_; }
  OciLibrary& library() { return library_; }

  // Logs on and prepares the session (version, global name, date format). Interactive logons
  // show the Oracle message on failure. An empty user or password is refused without calling
  // OCI. Returns whether the session is connected.
  [[nodiscard]] bool connect(const std::string& user, const std::string& password,
                             const std::string& alias, bool interactive, bool applyDateFormat);
  void disconnect();  // ends the session and frees every handle; errors are dropped
  bool connected() const { return connected_; }

  // Runs a non-query with ":bind1".. ":bind5"; shows the Oracle message and retries once after
  // a reconnect. A failure carries the last error's code and message.
  Status execute(const std::string& sql, const BindValues& binds = {});
  // First column of the last row ("" when none), with ":owner", ":objname", ":objtype" bound
  // (upper-cased) when not empty. Errors are shown; one reconnect and retry.
  std::string queryValue(const std::string& sql, const std::string& owner = "",
                         const std::string& objectName = "", const std::string& objectType = "");
  // One LONG column of one row read in 10240-byte pieces, trailing white space removed; binds
  // ":bind1", ":bind2" when not empty. Every call uses its own statement handle. A failure is
  // shown, or, when `error` is given, put there instead ("" when the read succeeded or found no
  // row); the text read before a failure is returned and must not be taken for the value.
  std::string readLong(const std::string& sql, const std::string& bind1 = "",
                       const std::string& bind2 = "", std::string* error = nullptr);
  // Every line waiting in the DBMS_OUTPUT buffer, each followed by "\r\n"; blank lines dropped.
  std::string readServerOutput();

  // The current error's message exactly as Oracle gives it ("" when none) and its code.
  std::string lastError(int* code = nullptr);
  // Classifies the current error: 1403 and 24344 are silent (false). A lost connection (28,
  // 3100-3199, 12100-12299, 12500-12699) reconnects silently unless noReconnect: true when the
  // session is back. Otherwise the message is shown unless quiet; false.
  bool reportError(bool noReconnect, bool quiet, int* code = nullptr,
                   std::string* message = nullptr);
  // Stop support between fetch batches: true while running; otherwise counts a break, sends
  // OCIBreak and returns false. Called from the run's worker thread.
  bool continueOrBreak(bool running);
  int breakCount() const { return breakCount_.load(); }
  // How many errors reportError has shown: a caller that must not take a failure for success
  // compares it before and after its work.
  int errorsShown() const { return errorsShown_.load(); }

  // Stop from another thread: OCIBreak on the service context when an execute or fetch of this
  // session runs now (it then fails with ORA-01013); nothing otherwise, since a break between
  // calls would be forgotten by the next one: the call check catches that. Thread-safe, also
  // during the silent reconnect (the handles it uses cannot be freed while it runs).
  void breakCall();
  // Runs before and after every execute and fetch, on the thread that makes them; it may throw
  // to abandon the call's work (a stopped run's RunStopped), so that a list cut short by a stop
  // is never taken for a complete one nor reported as an error. Set it only while no call runs.
  void setCallCheck(std::function<void()> check) { callCheck_ = std::move(check); }
  // Makes one execute or fetch (OracleStatement, the LONG reader): breakCall reaches it while it
  // runs, and the call check runs before and after it. Returns the call's status.
  sword guardedCall(const std::function<sword()>& call);

  // A value as a SQL literal for generated statements, by Oracle external type code. The one
  // function that writes values into the scripts: quotes doubled, control characters joined in
  // as CHR(n) so that no literal spans lines; in the report, control characters escaped.
  std::string sqlLiteral(const std::string& value, int typeCode) const;

  const std::string& serverVersion() const { return serverVersion_; }  // "7", "8.0" or "8"
  const std::string& serverBanner() const { return serverBanner_; }
  const std::string& globalName() const { return globalName_; }
  const std::string& displayName() const { return displayName_; }
  void setDisplayName(const std::string& name) { displayName_ = name; }
  const std::string& owner() const { return owner_; }  // the user name in upper case
  const std::string& loginUser() const { return loginUser_; }
  const std::string& password() const { return password_; }
  const std::string& databaseAlias() const { return alias_; }

  DatabaseConnection* connection() const { return connection_; }
  void setConnection(DatabaseConnection* connection) { connection_ = connection; }

  // Shows a message through the host (Ok button); dropped without a host.
  void showMessage(const std::string& text) const;
  std::string dateFormat() const;  // the "DateFormat" setting (default "MM/DD/YYYY HH24:MI")

  // For OracleStatement: the handles of the current logon.
  OCIEnv* envHandle() const { return env_.as<OCIEnv>(); }
  OCIError* errorHandle() const { return error_.as<OCIError>(); }
  OCISvcCtx* serviceContext() const { return svc_.as<OCISvcCtx>(); }
  // Changes whenever the environment is freed (disconnect, reconnect): statement handles of an
  // earlier generation went with it and must not be freed again.
  unsigned logonGeneration() const { return logonGeneration_; }

 private:
  // Brackets one call: while it lives, breakCall reaches the call.
  class CallScope {
   public:
    explicit CallScope(OracleSession& session);
    ~CallScope();
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

   private:
    OracleSession& session_;
  };

  bool logon(const std::string& user, const std::string& password, const std::string& alias);
  bool allocateHandles();
  void freeHandles();
  void prepareSession(bool interactive, bool applyDateFormat);
  bool runOnce(const std::string& sql, const BindValues& binds);
  bool queryOnce(const std::string& sql, const std::string binds[3], std::string* value);
  void setClientError(const std::string& message) { clientError_ = message; }

  OracleEnvironment environment_;
  OciLibrary library_;
  int clientCode_ = 0;
  bool canBreak_ = false;  // the client has OCIBreak
  OciHandle env_, error_, svc_, server_, session_;
  OciHandle breakError_;  // the error handle of breakCall: error_ belongs to the running call
  bool connected_ = false;
  bool attached_ = false;
  bool reconnecting_ = false;
  std::string clientError_;  // an error raised on this side of OCI, until read by lastError
  std::string serverVersion_, serverBanner_, globalName_, displayName_;
  std::string loginUser_, owner_, password_, alias_;
  std::string user_, database_;  // of the last successful logon
  DatabaseConnection* connection_ = nullptr;
  unsigned logonGeneration_ = 0;
  std::atomic<int> breakCount_{0};
  std::atomic<int> errorsShown_{0};
  std::function<void()> callCheck_;

  // The call breakCall may break: set for the length of a CallScope. The mutex also keeps the
  // handles alive while OCIBreak runs on them.
  std::mutex callMutex_;
  OCISvcCtx* callContext_ = nullptr;    // guarded by callMutex_
  OCIError* callBreakError_ = nullptr;  // guarded by callMutex_
};

}  // namespace velmora
