// The 28 OCI entry points of the fake library. Each takes the state lock, checks its handles
// (a wrong or freed handle gives OCI_INVALID_HANDLE) and lets no exception out.
#include <algorithm>
#include <cstdio>
#include <cstring>

#pragma GCC visibility push(default)
#include "oracle/oci.h"
#pragma GCC visibility pop

#include "oracle/testlib/fake_oci_state.h"

using namespace fakeoci;

extern "C" {

sword OCIInitialize(ub4, dvoid*, dvoid* (*)(dvoid*, size_t), dvoid* (*)(dvoid*, dvoid*, size_t),
                    void (*)(dvoid*, dvoid*)) {
  return guarded("OCIInitialize", [](State& s) {
    s.initialized = true;
    return OCI_SUCCESS;
  });
}

sword OCIEnvInit(OCIEnv** envp, ub4, size_t, dvoid**) {
  return guarded("OCIEnvInit", [&](State& s) -> sword {
    if (!s.initialized || envp == nullptr) return OCI_ERROR;
    Env* env = allocate<Env>(s);
    *envp = reinterpret_cast<OCIEnv*>(env);
    return OCI_SUCCESS;
  });
}

sword OCIHandleAlloc(CONST dvoid* parenth, dvoid** hndlpp, CONST ub4 type, CONST size_t, dvoid**) {
  return guarded("OCIHandleAlloc", [&](State& s) -> sword {
    if (find(s, parenth, OCI_HTYPE_ENV) == nullptr || hndlpp == nullptr) return OCI_INVALID_HANDLE;
    Handle* h = nullptr;
    switch (type) {
      case OCI_HTYPE_ERROR:
        h = allocate<Error>(s);
        break;
      case OCI_HTYPE_SVCCTX:
        h = allocate<SvcCtx>(s);
        break;
      case OCI_HTYPE_STMT:
        h = allocate<Stmt>(s);
        break;
      case OCI_HTYPE_SERVER:
        h = allocate<Server>(s);
        break;
      case OCI_HTYPE_SESSION:
        h = allocate<Session>(s);
        break;
      default:
        return OCI_INVALID_HANDLE;
    }
    *hndlpp = h;
    return OCI_SUCCESS;
  });
}

sword OCIHandleFree(dvoid* hndlp, CONST ub4 type) {
  return guarded("OCIHandleFree", [&](State& s) -> sword {
    Handle* h = find(s, hndlp, type);
    if (h == nullptr || type == OCI_HTYPE_DEFINE || type == OCI_HTYPE_BIND)
      return OCI_INVALID_HANDLE;
    release(s, h);
    return OCI_SUCCESS;
  });
}

sword OCIErrorGet(dvoid* hndlp, ub4 recordno, OraText*, sb4* errcodep, OraText* bufp, ub4 bufsiz,
                  ub4 type) {
  return guarded("OCIErrorGet", [&](State& s) -> sword {
    if (type != OCI_HTYPE_ERROR) return OCI_INVALID_HANDLE;
    Error* err = as<Error>(s, hndlp, OCI_HTYPE_ERROR);
    if (err == nullptr) return OCI_INVALID_HANDLE;
    if (recordno != 1 || err->code == 0) return OCI_NO_DATA;
    char code[16];
    std::snprintf(code, sizeof code, "ORA-%05d: ", err->code);
    std::string text = code + err->message + "\n";
    if (errcodep != nullptr) *errcodep = err->code;
    if (bufp != nullptr && bufsiz > 0) {
      size_t n = std::min<size_t>(text.size(), bufsiz - 1);
      std::memcpy(bufp, text.data(), n);
      bufp[n] = '\0';
    }
    return OCI_SUCCESS;
  });
}

sword OCIAttrSet(dvoid* trgthndlp, ub4 trghndltyp, dvoid* attributep, ub4 size, ub4 attrtype,
                 OCIError* errhp) {
  return guarded("OCIAttrSet", [&](State& s) -> sword {
    Handle* target = find(s, trgthndlp, trghndltyp);
    if (target == nullptr) return OCI_INVALID_HANDLE;
    Error* err = as<Error>(s, errhp, OCI_HTYPE_ERROR);
    if (trghndltyp == OCI_HTYPE_SVCCTX && attrtype == OCI_ATTR_SERVER) {
      auto* server = as<Server>(s, attributep, OCI_HTYPE_SERVER);
      if (server == nullptr) return OCI_INVALID_HANDLE;
      static_cast<SvcCtx*>(target)->server = server;
      return OCI_SUCCESS;
    }
    if (trghndltyp == OCI_HTYPE_SVCCTX && attrtype == OCI_ATTR_SESSION) {
      auto* session = as<Session>(s, attributep, OCI_HTYPE_SESSION);
      if (session == nullptr) return OCI_INVALID_HANDLE;
      static_cast<SvcCtx*>(target)->session = session;
      return OCI_SUCCESS;
    }
    if (trghndltyp == OCI_HTYPE_SESSION &&
        (attrtype == OCI_ATTR_USERNAME || attrtype == OCI_ATTR_PASSWORD)) {
      std::string value(static_cast<const char*>(attributep), size);
      auto* session = static_cast<Session*>(target);
      (attrtype == OCI_ATTR_USERNAME ? session->user : session->password) = value;
      return OCI_SUCCESS;
    }
    return fail(err, 24315, "illegal attribute type");
  });
}

sword OCIAttrGet(CONST dvoid* trgthndlp, ub4 trghndltyp, dvoid* attributep, ub4* sizep,
                 ub4 attrtype, OCIError* errhp) {
  return guarded("OCIAttrGet", [&](State& s) -> sword {
    Error* err = as<Error>(s, errhp, OCI_HTYPE_ERROR);
    if (trghndltyp == OCI_DTYPE_PARAM) {
      Param* p = as<Param>(s, trgthndlp, OCI_DTYPE_PARAM);
      if (p == nullptr) return OCI_INVALID_HANDLE;
      if (attrtype == OCI_ATTR_NAME) {
        *static_cast<const char**>(attributep) = p->name.c_str();
        if (sizep != nullptr) *sizep = static_cast<ub4>(p->name.size());
      } else if (attrtype == OCI_ATTR_DATA_TYPE) {
        *static_cast<ub2*>(attributep) = SQLT_CHR;
      } else if (attrtype == OCI_ATTR_DATA_SIZE) {
        *static_cast<ub2*>(attributep) = 4000;
      } else {
        return fail(err, 24315, "illegal attribute type");
      }
      return OCI_SUCCESS;
    }
    Stmt* stmt = as<Stmt>(s, trgthndlp, OCI_HTYPE_STMT);
    if (stmt == nullptr || trghndltyp != OCI_HTYPE_STMT) return OCI_INVALID_HANDLE;
    switch (attrtype) {
      case OCI_ATTR_STMT_TYPE:
        *static_cast<ub2*>(attributep) = stmt->stmtType;
        break;
      case OCI_ATTR_ROW_COUNT:
        *static_cast<ub4*>(attributep) = stmt->rowCount;
        break;
      case OCI_ATTR_ROWS_FETCHED:
        *static_cast<ub4*>(attributep) = stmt->rowsFetched;
        break;
      case OCI_ATTR_PARAM_COUNT:
        *static_cast<ub4*>(attributep) = stmt->result ? stmt->result->columns : 0;
        break;
      case OCI_ATTR_SQLFNCODE: {
        const ub2 codes[] = {0, 4, 5, 9, 3};  // by statement type: SELECT, UPDATE, DELETE, INSERT
        *static_cast<ub2*>(attributep) = stmt->stmtType <= 4 ? codes[stmt->stmtType] : 0;
        break;
      }
      default:
        return fail(err, 24315, "illegal attribute type");
    }
    return OCI_SUCCESS;
  });
}

sword OCIServerAttach(OCIServer* srvhp, OCIError* errhp, CONST OraText* dblink, sb4 dblink_len,
                      ub4) {
  return guarded("OCIServerAttach", [&](State& s) -> sword {
    Server* server = as<Server>(s, srvhp, OCI_HTYPE_SERVER);
    Error* err = as<Error>(s, errhp, OCI_HTYPE_ERROR);
    if (server == nullptr || err == nullptr) return OCI_INVALID_HANDLE;
    std::string message;
    if (int code = callFailure(s, "OCIServerAttach", &message)) return fail(err, code, message);
    std::string alias(reinterpret_cast<const char*>(dblink), dblink_len > 0 ? dblink_len : 0);
    bool known = false;
    for (const std::string& a : s.aliases) known = known || upper(a) == upper(alias);
    if (!known) return fail(err, 12154);
    server->attached = true;
    server->lost = false;
    return OCI_SUCCESS;
  });
}

sword OCIServerDetach(OCIServer* srvhp, OCIError* errhp, ub4) {
  return guarded("OCIServerDetach", [&](State& s) -> sword {
    Server* server = as<Server>(s, srvhp, OCI_HTYPE_SERVER);
    if (server == nullptr) return OCI_INVALID_HANDLE;
    bool wasLost = server->lost;
    server->attached = false;
    return wasLost ? fail(as<Error>(s, errhp, OCI_HTYPE_ERROR), 3114) : OCI_SUCCESS;
  });
}

sword OCISessionBegin(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 credt, ub4) {
  return guarded("OCISessionBegin", [&](State& s) -> sword {
    SvcCtx* svc = as<SvcCtx>(s, svchp, OCI_HTYPE_SVCCTX);
    Session* session = as<Session>(s, usrhp, OCI_HTYPE_SESSION);
    Error* err = as<Error>(s, errhp, OCI_HTYPE_ERROR);
    if (svc == nullptr || session == nullptr || err == nullptr) return OCI_INVALID_HANDLE;
    if (svc->server == nullptr || !svc->server->attached || svc->server->lost)
      return fail(err, 3114);
    std::string message;
    if (int code = callFailure(s, "OCISessionBegin", &message)) return fail(err, code, message);
    auto user = s.users.find(upper(session->user));
    if (credt != OCI_CRED_RDBMS || session->user.empty() || user == s.users.end() ||
        user->second != session->password)
      return fail(err, 1017);
    session->begun = true;
    return OCI_SUCCESS;
  });
}

sword OCISessionEnd(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4) {
  return guarded("OCISessionEnd", [&](State& s) -> sword {
    SvcCtx* svc = as<SvcCtx>(s, svchp, OCI_HTYPE_SVCCTX);
    Session* session = as<Session>(s, usrhp, OCI_HTYPE_SESSION);
    if (svc == nullptr || session == nullptr) return OCI_INVALID_HANDLE;
    session->begun = false;
    if (svc->server != nullptr && svc->server->lost)
      return fail(as<Error>(s, errhp, OCI_HTYPE_ERROR), 3114);
    return OCI_SUCCESS;
  });
}

sword OCIServerVersion(dvoid* hndlp, OCIError* errhp, OraText* bufp, ub4 bufsz, ub1 hndltype) {
  return guarded("OCIServerVersion", [&](State& s) -> sword {
    Server* server = nullptr;
    if (hndltype == OCI_HTYPE_SVCCTX) {
      SvcCtx* svc = as<SvcCtx>(s, hndlp, OCI_HTYPE_SVCCTX);
      if (svc == nullptr) return OCI_INVALID_HANDLE;
      server = svc->server;
    } else {
      server = as<Server>(s, hndlp, OCI_HTYPE_SERVER);
      if (server == nullptr) return OCI_INVALID_HANDLE;
    }
    if (server == nullptr || !server->attached || server->lost)
      return fail(as<Error>(s, errhp, OCI_HTYPE_ERROR), 3114);
    if (bufp == nullptr || bufsz == 0) return OCI_ERROR;
    size_t n = std::min<size_t>(s.banner.size(), bufsz - 1);
    std::memcpy(bufp, s.banner.data(), n);
    bufp[n] = '\0';
    return OCI_SUCCESS;
  });
}

sword OCIBreak(dvoid* hndlp, OCIError*) {
  return guarded("OCIBreak", [&](State& s) -> sword {
    Server* server = as<Server>(s, hndlp, OCI_HTYPE_SERVER);
    if (SvcCtx* svc = as<SvcCtx>(s, hndlp, OCI_HTYPE_SVCCTX)) server = svc->server;
    if (server == nullptr) return OCI_INVALID_HANDLE;
    server->breakRequested = true;
    return OCI_SUCCESS;
  });
}

sword OCIStmtPrepare(OCIStmt* stmtp, OCIError* errhp, CONST OraText* stmt, ub4 stmt_len, ub4, ub4) {
  return guarded("OCIStmtPrepare", [&](State& s) -> sword {
    Stmt* st = as<Stmt>(s, stmtp, OCI_HTYPE_STMT);
    if (st == nullptr || as<Error>(s, errhp, OCI_HTYPE_ERROR) == nullptr) return OCI_INVALID_HANDLE;
    for (auto& d : st->defines) s.live.erase(d.get());
    for (auto& b : st->binds) s.live.erase(b.get());
    st->defines.clear();
    st->binds.clear();
    st->text.assign(reinterpret_cast<const char*>(stmt), stmt_len);
    st->stmtType = statementType(st->text);
    st->executed = false;
    st->result.reset();
    st->pieceDefine = nullptr;
    return OCI_SUCCESS;
  });
}

sword OCIStmtExecute(OCISvcCtx* svchp, OCIStmt* stmtp, OCIError* errhp, ub4 iters, ub4,
                     CONST OCISnapshot*, OCISnapshot*, ub4) {
  return guarded("OCIStmtExecute", [&](State& s) -> sword {
    SvcCtx* svc = as<SvcCtx>(s, svchp, OCI_HTYPE_SVCCTX);
    Stmt* stmt = as<Stmt>(s, stmtp, OCI_HTYPE_STMT);
    Error* err = as<Error>(s, errhp, OCI_HTYPE_ERROR);
    if (svc == nullptr || stmt == nullptr || err == nullptr) return OCI_INVALID_HANDLE;
    return execute(s, svc, stmt, err, iters);
  });
}

#ifndef FAKEOCI_WITHOUT_STMT_FETCH
sword OCIStmtFetch(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation, ub4) {
  return guarded("OCIStmtFetch", [&](State& s) -> sword {
    Stmt* stmt = as<Stmt>(s, stmtp, OCI_HTYPE_STMT);
    Error* err = as<Error>(s, errhp, OCI_HTYPE_ERROR);
    if (stmt == nullptr || err == nullptr) return OCI_INVALID_HANDLE;
    if (orientation != OCI_FETCH_NEXT) return fail(err, 1002);
    return fetch(s, stmt, err, nrows);
  });
}
#endif

}  // extern "C"
