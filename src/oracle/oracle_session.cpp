#include "oracle/oracle_session.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/run_host.h"
#include "config/registry_settings.h"
#include "oracle/oracle_statement.h"
#include "oracle/oracle_text.h"

namespace velmora {

namespace {

constexpr size_t kMessageBufferSize = 512;
constexpr size_t kBannerBufferSize = 512;

bool isLostConnection(int code) {
  return code == 28 || (code >= 3100 && code <= 3199) || (code >= 12100 && code <= 12299) ||
         (code >= 12500 && code <= 12699);
}

const OraText* oraText(const std::string& text) {
  return reinterpret_cast<const OraText*>(text.c_str());
}

}  // namespace

OciChoice ociChoiceFor(const OracleEnvironment& environment) {
  if (!environment.libraryOverride.empty())
    return {OciLibrary::kCodeNamedFile, environment.libraryOverride};
  OciChoice choice;
  if (environment.settings != nullptr) {
    UserSettings settings(*environment.settings);
    choice.code = settings.ociVersion();
    choice.ociDll = settings.ociLibrary();
  } else {
    choice.ociDll = kDefaultOciLibrary;
  }
  return choice;
}

OracleSession::OracleSession(const OracleEnvironment& environment)
    : environment_(environment),
      library_(environment.loader != nullptr ? *environment.loader : DynamicLoader::system()),
      env_(library_, OCI_HTYPE_ENV),
      error_(library_, OCI_HTYPE_ERROR),
      svc_(library_, OCI_HTYPE_SVCCTX),
      server_(library_, OCI_HTYPE_SERVER),
      session_(library_, OCI_HTYPE_SESSION),
      breakError_(library_, OCI_HTYPE_ERROR) {
  OciChoice choice = ociChoiceFor(environment_);
  clientCode_ = library_.load(choice.code, choice.ociDll);
  // breakCall runs on another thread: it must never take the missing-entry-point path, which
  // records its error in the library.
  const std::vector<std::string> missing = library_.missingEntryPoints();
  canBreak_ = library_.bindsEntryPoints() &&
              std::find(missing.begin(), missing.end(), "OCIBreak") == missing.end();
}

OracleSession::~OracleSession() {
  if (connected_) disconnect();
  freeHandles();
  library_.unload();
}

void OracleSession::showMessage(const std::string& text) const {
  if (environment_.host != nullptr) environment_.host->ask(text, Buttons::Ok);
}

std::string OracleSession::dateFormat() const {
  if (environment_.settings == nullptr) return "MM/DD/YYYY HH24:MI";
  return UserSettings(*environment_.settings).dateFormat();
}

bool OracleSession::connect(const std::string& user, const std::string& password,
                            const std::string& alias, bool interactive, bool applyDateFormat) {
  if (connected_) disconnect();
  loginUser_ = user;
  owner_ = toUpperAscii(user);
  password_ = password;
  alias_ = alias;
  displayName_ = toUpperAscii(user + "@" + alias);

  bool ok = false;
  if (user.empty() || password.empty()) {
    // Never hand OCI a logon with a missing part: it would log on with the wrong credentials.
    setClientError(user.empty() ? "Please enter a username to connect to the database"
                                : "Please enter a password to connect to '" + user + "'");
  } else if (!clientLoaded()) {
    setClientError(OciLibrary::kClientMissingMessage);
  } else {
    ok = logon(user, password, alias);
  }
  if (!ok) {
    if (interactive)
      reportError(true, false);
    else
      lastError();  // fetched and dropped
    return false;
  }
  user_ = user;
  database_ = alias;
  connected_ = true;
  prepareSession(interactive, applyDateFormat);
  return true;
}

bool OracleSession::allocateHandles() {
  freeHandles();
  if (library_.initialize(OCI_THREADED | OCI_OBJECT) != OCI_SUCCESS) return false;
  OCIEnv* env = nullptr;
  if (library_.envInit(&env, OCI_DEFAULT) != OCI_SUCCESS) {
    if (env != nullptr) env_.adopt(env);
    return false;
  }
  env_.adopt(env);
  if (svc_.allocate(env) != OCI_SUCCESS || error_.allocate(env) != OCI_SUCCESS ||
      server_.allocate(env) != OCI_SUCCESS || session_.allocate(env) != OCI_SUCCESS)
    return false;
  // Without its own error handle a stop cannot break a call; it still ends the run afterwards.
  if (canBreak_) breakError_.allocate(env);
  return true;
}

bool OracleSession::logon(const std::string& user, const std::string& password,
                          const std::string& alias) {
  if (!allocateHandles()) {
    // Without an error handle OCI cannot say what went wrong.
    if (!library_.hasMissingEntryPointError() && !error_)
      setClientError("The Oracle client library '" + library_.libraryName() +
                     "' could not be initialised.");
    return false;
  }
  OCIError* err = errorHandle();
  if (library_.serverAttach(server_.as<OCIServer>(), err, oraText(alias),
                            static_cast<sb4>(alias.size()), OCI_DEFAULT) != OCI_SUCCESS)
    return false;
  attached_ = true;
  if (library_.attrSet(svc_.get(), OCI_HTYPE_SVCCTX, server_.get(), 0, OCI_ATTR_SERVER, err) !=
      OCI_SUCCESS)
    return false;
  if (library_.attrSet(session_.get(), OCI_HTYPE_SESSION, const_cast<char*>(user.c_str()),
                       static_cast<ub4>(user.size()), OCI_ATTR_USERNAME, err) != OCI_SUCCESS ||
      library_.attrSet(session_.get(), OCI_HTYPE_SESSION, const_cast<char*>(password.c_str()),
                       static_cast<ub4>(password.size()), OCI_ATTR_PASSWORD, err) != OCI_SUCCESS)
    return false;
  sword status = library_.sessionBegin(serviceContext(), err, session_.as<OCISession>(),
                                       OCI_CRED_RDBMS, OCI_DEFAULT);
  if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO) return false;
  return library_.attrSet(svc_.get(), OCI_HTYPE_SVCCTX, session_.get(), 0, OCI_ATTR_SESSION, err) ==
         OCI_SUCCESS;
}

void OracleSession::prepareSession(bool interactive, bool applyDateFormat) {
  char banner[kBannerBufferSize] = {};
  if (library_.serverVersion(svc_.get(), errorHandle(), reinterpret_cast<OraText*>(banner),
                             sizeof banner, OCI_HTYPE_SVCCTX) != OCI_SUCCESS) {
    banner[0] = '\0';
    lastError();
  }
  serverBanner_ = banner;
  if (serverBanner_.find(" 7.") != std::string::npos)
    serverVersion_ = "7";
  else if (serverBanner_.find(" 8.0") != std::string::npos)
    serverVersion_ = "8.0";
  else
    serverVersion_ = "8";

  globalName_ = queryValue("select global_name from global_name");

  if (applyDateFormat) {
    if (!execute("alter session set nls_date_format = '" + dateFormat() + "'").ok() && interactive)
      showMessage(
          "Could not execute: 'alter session set nls_date_format', date format will revert to "
          "Oracle's default format.");
  }
}

void OracleSession::disconnect() {
  if (connected_) {
    if (library_.sessionEnd(serviceContext(), errorHandle(), session_.as<OCISession>(),
                            OCI_DEFAULT) != OCI_SUCCESS)
      lastError();
  }
  connected_ = false;
  freeHandles();
}

void OracleSession::freeHandles() {
  if (attached_) {
    if (library_.serverDetach(server_.as<OCIServer>(), errorHandle(), OCI_DEFAULT) != OCI_SUCCESS)
      lastError();
    attached_ = false;
  }
  server_.reset();
  svc_.reset();
  session_.reset();
  breakError_.reset();
  error_.reset();
  if (env_) ++logonGeneration_;
  env_.reset();
  library_.takeMissingEntryPointError();
}

std::string OracleSession::lastError(int* code) {
  std::string message;
  int errorCode = 0;
  std::string missing = library_.takeMissingEntryPointError();
  if (!clientError_.empty() || !missing.empty()) {
    message = !clientError_.empty() ? clientError_ : missing;
    errorCode = kClientSideErrorCode;
    clientError_.clear();
  } else if (error_) {
    char buffer[kMessageBufferSize] = {};
    sb4 oracleCode = 0;
    if (library_.errorGet(error_.get(), 1, nullptr, &oracleCode, reinterpret_cast<OraText*>(buffer),
                          sizeof buffer, OCI_HTYPE_ERROR) == OCI_SUCCESS) {
      message = buffer;
      errorCode = oracleCode;
    } else if (std::string m = library_.takeMissingEntryPointError(); !m.empty()) {
      message = m;
      errorCode = kClientSideErrorCode;
    }
  }
  if (code != nullptr) *code = errorCode;
  return message;
}

bool OracleSession::reportError(bool noReconnect, bool quiet, int* code, std::string* messageOut) {
  int errorCode = 0;
  std::string message = lastError(&errorCode);
  if (code != nullptr) *code = errorCode;
  if (messageOut != nullptr) *messageOut = message;
  if (errorCode == 1403 || errorCode == 24344) return false;
  // While a reconnect is running its own statements must not start another one.
  if (!noReconnect && !reconnecting_ && isLostConnection(errorCode)) {
    // A stop during the reconnect's own statements leaves through the call check: the state is
    // restored on the way out as well.
    struct Reconnecting {
      OracleSession& session;
      std::string display;
      ~Reconnecting() {
        session.displayName_ = display;
        session.reconnecting_ = false;
      }
    } reconnecting{*this, displayName_};
    reconnecting_ = true;
    disconnect();
    std::string user = loginUser_, password = password_, alias = alias_;
    if (connect(user, password, alias, false, true)) return true;
  }
  if (!quiet && !message.empty()) {
    errorsShown_.fetch_add(1);
    showMessage(message);
  }
  return false;
}

bool OracleSession::continueOrBreak(bool running) {
  if (running) return true;
  breakCount_.fetch_add(1);
  if (library_.breakCall(svc_.get(), errorHandle()) != OCI_SUCCESS) lastError();
  return false;
}

void OracleSession::breakCall() {
  std::lock_guard lock(callMutex_);
  if (callContext_ == nullptr) return;
  breakCount_.fetch_add(1);
  // A failed break leaves its record in the break's own error handle; the call ends anyway.
  library_.breakCall(callContext_, callBreakError_);
}

OracleSession::CallScope::CallScope(OracleSession& session) : session_(session) {
  std::lock_guard lock(session_.callMutex_);
  if (session_.canBreak_ && session_.breakError_) {
    session_.callContext_ = session_.serviceContext();
    session_.callBreakError_ = session_.breakError_.as<OCIError>();
  }
}

OracleSession::CallScope::~CallScope() {
  std::lock_guard lock(session_.callMutex_);
  session_.callContext_ = nullptr;
  session_.callBreakError_ = nullptr;
}

// A stop that came before the call, while it ran (OCIBreak: ORA-01013) or just after it ends the
// run here, before the caller could take a cut-short result for a whole one or report the break
// as an error.
sword OracleSession::guardedCall(const std::function<sword()>& call) {
  sword status = OCI_ERROR;
  {
    CallScope scope(*this);
    if (callCheck_) callCheck_();
    status = call();
  }
  if (callCheck_) callCheck_();
  return status;
}

bool OracleSession::runOnce(const std::string& sql, const BindValues& binds) {
  OracleStatement statement(*this);
  statement.prepare(sql);
  for (size_t i = 0; i < binds.size(); ++i) {
    if (!binds[i].empty()) statement.bindText(":bind" + std::to_string(i + 1), binds[i]);
  }
  return statement.execute();
}

Status OracleSession::execute(const std::string& sql, const BindValues& binds) {
  int code = 0;
  std::string message;
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (runOnce(sql, binds)) return Status();
    // The first failure may reconnect; the retry's failure is reported without one.
    if (!reportError(attempt > 0, false, &code, &message)) break;
  }
  return Status::failure(code, message);
}

bool OracleSession::queryOnce(const std::string& sql, const std::string binds[3],
                              std::string* value) {
  static const char* const kNames[3] = {":owner", ":objname", ":objtype"};
  OracleStatement statement(*this);
  statement.prepare(sql);
  for (int i = 0; i < 3; ++i) {
    if (!binds[i].empty()) statement.bindText(kNames[i], binds[i]);
  }
  StringColumn column(4000, 1);
  statement.defineArray(1, column);
  if (!statement.execute()) return false;
  do {
    for (int row = 0; row < statement.rowsInBatch(); ++row) *value = column.value(row);
  } while (statement.fetchNext());
  return !statement.failed();
}

std::string OracleSession::queryValue(const std::string& sql, const std::string& owner,
                                      const std::string& objectName,
                                      const std::string& objectType) {
  const std::string binds[3] = {toUpperAscii(owner), toUpperAscii(objectName),
                                toUpperAscii(objectType)};
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::string value;
    if (queryOnce(sql, binds, &value)) return value;
    if (!reportError(attempt > 0, false)) return "";
  }
  return "";
}

}  // namespace velmora
