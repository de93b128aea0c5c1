// Entry points: attaching to a database, sessions, the server banner and OCIBreak.
#include <cstring>

#include "alias.h"
#include "api_export.h"
#include "engine/compose/engine.h"
#include "errors.h"
#include "faults.h"
#include "handles.h"

using namespace ocisim;
using namespace ocisim::oci;

namespace {

std::string textArgument(const OraText* text, sb4 length) {
  if (text == nullptr) return "";
  const char* chars = reinterpret_cast<const char*>(text);
  return length < 0 ? std::string(chars) : std::string(chars, static_cast<size_t>(length));
}

Connection& liveConnection(ServerHandle* server) {
  if (server == nullptr || !server->connection) throw OraError(3114);
  Connection& connection = *server->connection;
  if (connection.lost || connection.detached) throw OraError(3114);
  return connection;
}

OraError unsupported(const char* entryPoint, const char* instead) {
  return oraError(3001, std::string("unimplemented feature: ") + entryPoint +
                            " is not supported by ocisim" + instead);
}

}  // namespace

OCISIM_EXPORT sword OCIServerAttach(OCIServer* srvhp, OCIError* errhp, const OraText* dblink,
                                    sb4 dblink_len, ub4 mode) {
  (void)mode;
  return roundTrip(errhp, [&](CallErrors&) -> sword {
    ServerHandle& server = require<ServerHandle>(srvhp);
    if (server.connection && !server.connection->detached)
      throw oraError(24309, "already connected to a server");
    if (Faults::refuseLogon()) throw OraError(12541);
    std::string alias = textArgument(dblink, dblink_len);
    if (alias.find_first_not_of(" \t") == std::string::npos)
      throw oraError(12162, "TNS:net service name is incorrectly specified");
    std::optional<std::string> directory = resolveAlias(alias);
    if (!directory) throw OraError(12154);
    auto connection = std::make_shared<Connection>();
    connection->database = openDatabase(*directory);
    connection->alias = alias;
    server.connection = std::move(connection);
    return OCI_SUCCESS;
  });
}

OCISIM_EXPORT sword OCIServerDetach(OCIServer* srvhp, OCIError* errhp, ub4 mode) {
  (void)mode;
  return roundTrip(errhp, [&](CallErrors&) -> sword {
    ServerHandle& server = require<ServerHandle>(srvhp);
    if (!server.connection) throw oraError(24324, "service handle not initialized");
    server.connection->detached = true;
    server.connection.reset();
    return OCI_SUCCESS;
  });
}

OCISIM_EXPORT sword OCISessionBegin(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 credt,
                                    ub4 mode) {
  (void)mode;  // SYSDBA / SYSOPER log on as the user itself
  return roundTrip(errhp, [&](CallErrors&) -> sword {
    SvcCtx& svc = require<SvcCtx>(svchp);
    SessionHandle& session = require<SessionHandle>(usrhp);
    ServerHandle* server = svc.serverHandle();
    if (server == nullptr || !server->connection)
      throw oraError(24324, "service handle not initialized");
    Connection& connection = liveConnection(server);
    if (session.state && !session.state->ended) throw oraError(24313, "user already authenticated");
    if (credt != OCI_CRED_RDBMS)
      throw oraError(1004, "default username feature not supported; logon denied");
    auto state = std::make_shared<SessionState>();
    state->session = connection.database->logon(session.user, session.password);
    state->connection = server->connection;
    session.state = std::move(state);
    svc.session = &session;
    return OCI_SUCCESS;
  });
}

OCISIM_EXPORT sword OCISessionEnd(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 mode) {
  (void)mode;
  return roundTrip(errhp, [&](CallErrors&) -> sword {
    SvcCtx& svc = require<SvcCtx>(svchp);
    SessionHandle* session =
        usrhp != nullptr ? &require<SessionHandle>(usrhp) : svc.sessionHandle();
    if (session == nullptr || !session->state) throw oraError(1012, "not logged on");
    bool lost = session->state->connection->lost;
    session->end();
    if (lost) throw OraError(3114);
    return OCI_SUCCESS;
  });
}

OCISIM_EXPORT sword OCIServerVersion(dvoid* hndlp, OCIError* errhp, OraText* bufp, ub4 bufsz,
                                     ub1 hndltype) {
  return roundTrip(errhp, [&](CallErrors&) -> sword {
    ServerHandle* server = nullptr;
    if (hndltype == OCI_HTYPE_SVCCTX)
      server = require<SvcCtx>(hndlp).serverHandle();
    else if (hndltype == OCI_HTYPE_SERVER)
      server = &require<ServerHandle>(hndlp);
    else
      throw InvalidHandle{};
    std::string banner = liveConnection(server).database->serverBanner();
    if (bufp != nullptr && bufsz > 0) {
      size_t n = std::min<size_t>(banner.size(), bufsz - 1);
      std::memcpy(bufp, banner.data(), n);
      bufp[n] = '\0';
    }
    return OCI_SUCCESS;
  });
}

// Meant to be called from another thread while a call runs on the connection: it only sets
// flags, and touches the error handle (which the running call is using) only when it fails.
OCISIM_EXPORT sword OCIBreak(dvoid* hndlp, OCIError* errhp) {
  ErrorHandle* err = findHandle<ErrorHandle>(errhp);
  if (err == nullptr) return OCI_INVALID_HANDLE;
  std::vector<ErrorRecord> records;
  sword status = guardedCall(&records, [&](CallErrors&) -> sword {
    Handle* handle = findAnyHandle(hndlp);
    ServerHandle* server = nullptr;
    SessionHandle* session = nullptr;
    if (handle != nullptr && handle->type() == OCI_HTYPE_SVCCTX) {
      server = static_cast<SvcCtx*>(handle)->serverHandle();
      session = static_cast<SvcCtx*>(handle)->sessionHandle();
    } else if (handle != nullptr && handle->type() == OCI_HTYPE_SERVER) {
      server = static_cast<ServerHandle*>(handle);
    } else {
      throw InvalidHandle{};
    }
    Connection& connection = liveConnection(server);
    connection.breakRequested = true;
    if (session != nullptr && session->state && session->state->session)
      session->state->session->cancel();
    return OCI_SUCCESS;
  });
  if (status == OCI_ERROR) err->records = std::move(records);
  return status;
}

OCISIM_EXPORT sword OCILogoff(OCISvcCtx* svchp, OCIError* errhp) {
  (void)svchp;
  return withErrorHandle(errhp, [&](CallErrors&) -> sword {
    throw unsupported("OCILogoff", " (end the session with OCISessionEnd and OCIServerDetach)");
  });
}

OCISIM_EXPORT sword OCILdaToSvcCtx(OCISvcCtx** svchpp, OCIError* errhp, Lda_Def* ldap) {
  (void)svchpp, (void)ldap;
  return withErrorHandle(errhp, [&](CallErrors&) -> sword {
    throw unsupported("OCILdaToSvcCtx", " (there are no version 7 logon data areas)");
  });
}
