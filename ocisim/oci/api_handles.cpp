// Entry points: initialisation, handles, descriptors, error records and attributes.
#include <cstring>

#include "api_export.h"
#include "errors.h"
#include "handles.h"
#include "statement.h"

using namespace ocisim;
using namespace ocisim::oci;

namespace {

std::unique_ptr<Handle> newHandle(Env* env, ub4 type) {
  switch (type) {
    case OCI_HTYPE_ERROR:
      return std::make_unique<ErrorHandle>(env);
    case OCI_HTYPE_SVCCTX:
      return std::make_unique<SvcCtx>(env);
    case OCI_HTYPE_STMT:
      return std::make_unique<Stmt>(env);
    case OCI_HTYPE_SERVER:
      return std::make_unique<ServerHandle>(env);
    case OCI_HTYPE_SESSION:
      return std::make_unique<SessionHandle>(env);
    case OCI_HTYPE_DESCRIBE:
    case OCI_HTYPE_TRANS:
      return std::make_unique<PlainHandle>(type, env);
    default:
      throw oraError(24315, "illegal attribute type: handle type " + std::to_string(type) +
                                " cannot be allocated with OCIHandleAlloc");
  }
}

template <class T>
void put(void* out, ub4* sizep, T value) {
  std::memcpy(out, &value, sizeof value);
  if (sizep != nullptr) *sizep = sizeof value;
}

void putText(void* out, ub4* sizep, const std::string& text) {
  put(out, nullptr, reinterpret_cast<const OraText*>(text.c_str()));
  if (sizep != nullptr) *sizep = static_cast<ub4>(text.size());
}

OraError illegalAttribute(ub4 attr, ub4 handleType) {
  return oraError(24315, "illegal attribute type: " + std::to_string(attr) +
                             " on a handle of type " + std::to_string(handleType));
}

// OCI_ATTR_* of a select-list parameter descriptor.
void paramAttribute(const Param& param, void* out, ub4* sizep, ub4 attr) {
  const DataType& type = param.column.type;
  bool character = type.code == TypeCode::Varchar2 || type.code == TypeCode::Char ||
                   type.code == TypeCode::Long || type.code == TypeCode::Clob;
  switch (attr) {
    case OCI_ATTR_DATA_SIZE:
      return put(out, sizep, static_cast<ub2>(type.ociDataSize()));
    case OCI_ATTR_DATA_TYPE:
      return put(out, sizep, static_cast<ub2>(type.ociTypeCode()));
    case OCI_ATTR_NAME:
      return putText(out, sizep, param.column.name);
    case OCI_ATTR_PRECISION:
      return put(out, sizep, static_cast<sb2>(type.ociPrecision()));
    case OCI_ATTR_SCALE:
      return put(out, sizep, static_cast<sb1>(type.ociScale()));
    case OCI_ATTR_IS_NULL:
      return put(out, sizep, static_cast<ub1>(param.column.nullable ? 1 : 0));
    case OCI_ATTR_CHARSET_FORM:
      return put(out, sizep,
                 static_cast<ub1>(!character      ? 0
                                  : type.national ? SQLCS_NCHAR
                                                  : SQLCS_IMPLICIT));
    case OCI_ATTR_CHAR_USED:
      return put(out, sizep, static_cast<ub1>(type.charSemantics ? 1 : 0));
    case OCI_ATTR_CHAR_SIZE:
      return put(out, sizep, static_cast<ub2>(type.isLengthText() ? type.charLength() : 0));
    case OCI_ATTR_TYPE_NAME:
      return putText(out, sizep, type.code == TypeCode::Object ? type.name : std::string());
    case OCI_ATTR_SCHEMA_NAME:
      return putText(out, sizep, type.code == TypeCode::Object ? type.owner : std::string());
    default:
      throw illegalAttribute(attr, OCI_DTYPE_PARAM);
  }
}

void stmtAttribute(Stmt& stmt, void* out, ub4* sizep, ub4 attr) {
  switch (attr) {
    case OCI_ATTR_ROW_COUNT:
      return put(out, sizep, stmt.rowCount());
    case OCI_ATTR_SQLFNCODE:
      return put(out, sizep, stmt.functionCode());
    case OCI_ATTR_PARAM_COUNT:
      return put(out, sizep, stmt.paramCount());
    case OCI_ATTR_STMT_TYPE:
      return put(out, sizep, stmt.statementType());
    case OCI_ATTR_ROWS_FETCHED:
      return put(out, sizep, stmt.rowsFetched());
    case OCI_ATTR_PREFETCH_ROWS:
      return put(out, sizep, stmt.prefetchRows());
    case OCI_ATTR_PREFETCH_MEMORY:
      return put(out, sizep, stmt.prefetchMemory());
    default:
      throw illegalAttribute(attr, OCI_HTYPE_STMT);
  }
}

void otherAttribute(Handle& target, void* out, ub4* sizep, ub4 attr) {
  ub4 type = target.type();
  if (type == OCI_HTYPE_SVCCTX && attr == OCI_ATTR_SERVER)
    return put(out, sizep, static_cast<SvcCtx&>(target).server);
  if (type == OCI_HTYPE_SVCCTX && attr == OCI_ATTR_SESSION)
    return put(out, sizep, static_cast<SvcCtx&>(target).session);
  if (type == OCI_HTYPE_SESSION && attr == OCI_ATTR_USERNAME)
    return putText(out, sizep, static_cast<SessionHandle&>(target).user);
  if (type == OCI_HTYPE_SERVER && attr == OCI_ATTR_SERVER_STATUS) {
    const auto& connection = static_cast<ServerHandle&>(target).connection;
    bool up = connection && !connection->lost && !connection->detached;
    return put(out, sizep, static_cast<ub4>(up ? OCI_SERVER_NORMAL : OCI_SERVER_NOT_CONNECTED));
  }
  throw illegalAttribute(attr, type);
}

void setAttribute(Handle& target, void* value, ub4 size, ub4 attr) {
  ub4 type = target.type();
  if (type == OCI_HTYPE_SVCCTX && (attr == OCI_ATTR_SERVER || attr == OCI_ATTR_SESSION)) {
    auto& svc = static_cast<SvcCtx&>(target);
    ub4 expected = attr == OCI_ATTR_SERVER ? OCI_HTYPE_SERVER : OCI_HTYPE_SESSION;
    if (value != nullptr && findHandle(value, expected) == nullptr) throw InvalidHandle{};
    (attr == OCI_ATTR_SERVER ? svc.server : svc.session) = value;
    return;
  }
  if (type == OCI_HTYPE_SESSION && (attr == OCI_ATTR_USERNAME || attr == OCI_ATTR_PASSWORD)) {
    auto& session = static_cast<SessionHandle&>(target);
    std::string text = value != nullptr ? std::string(static_cast<const char*>(value), size) : "";
    (attr == OCI_ATTR_USERNAME ? session.user : session.password) = std::move(text);
    return;
  }
  if (type == OCI_HTYPE_STMT &&
      (attr == OCI_ATTR_PREFETCH_ROWS || attr == OCI_ATTR_PREFETCH_MEMORY)) {
    if (value == nullptr) throw oraError(1009, "missing mandatory parameter");
    ub4 count = 0;
    std::memcpy(&count, value, sizeof count);
    auto& stmt = static_cast<Stmt&>(target);
    if (attr == OCI_ATTR_PREFETCH_ROWS) {
      stmt.setPrefetchRows(count);
    } else {
      stmt.setPrefetchMemory(count);
    }
    return;
  }
  throw illegalAttribute(attr, type);
}

}  // namespace

OCISIM_EXPORT sword OCIInitialize(ub4 mode, dvoid* ctxp, dvoid* (*malocfp)(dvoid*, size_t),
                                  dvoid* (*ralocfp)(dvoid*, dvoid*, size_t),
                                  void (*mfreefp)(dvoid*, dvoid*)) {
  (void)mode, (void)ctxp, (void)malocfp, (void)ralocfp, (void)mfreefp;
  return OCI_SUCCESS;  // the process needs no set-up; user allocators are not used
}

OCISIM_EXPORT sword OCIEnvInit(OCIEnv** envp, ub4 mode, size_t xtramem_sz, dvoid** usrmempp) {
  (void)mode;
  if (envp == nullptr) return OCI_INVALID_HANDLE;
  return guardedCall(nullptr, [&](CallErrors&) -> sword {
    auto env = std::make_unique<Env>();
    if (xtramem_sz > 0 && usrmempp != nullptr) *usrmempp = env->userMemory(xtramem_sz);
    *envp = reinterpret_cast<OCIEnv*>(env.release());  // freed by OCIHandleFree(env)
    return OCI_SUCCESS;
  });
}

OCISIM_EXPORT sword OCIHandleAlloc(const dvoid* parenth, dvoid** hndlpp, const ub4 type,
                                   const size_t xtramem_sz, dvoid** usrmempp) {
  Env* env = findHandle<Env>(parenth);
  if (env == nullptr) return OCI_INVALID_HANDLE;
  return guardedCall(&env->errors, [&](CallErrors&) -> sword {
    if (hndlpp == nullptr) throw oraError(1009, "missing mandatory parameter");
    if (type == OCI_HTYPE_ENV) throw oraError(24315, "illegal attribute type: use OCIEnvInit");
    std::unique_ptr<Handle> handle = newHandle(env, type);
    if (xtramem_sz > 0 && usrmempp != nullptr) *usrmempp = handle->userMemory(xtramem_sz);
    *hndlpp = env->adopt(std::move(handle));
    return OCI_SUCCESS;
  });
}

OCISIM_EXPORT sword OCIHandleFree(dvoid* hndlp, const ub4 type) {
  Handle* handle = findHandle(hndlp, type);
  if (handle == nullptr) return OCI_INVALID_HANDLE;
  return guardedCall(&handle->env()->errors, [&](CallErrors&) -> sword {
    if (type == OCI_HTYPE_ENV) {
      delete static_cast<Env*>(handle);  // allocated by OCIEnvInit; frees its children
      return OCI_SUCCESS;
    }
    if (!handle->env()->release(handle))
      throw oraError(24315, "bind, define and parameter handles are freed with their statement");
    return OCI_SUCCESS;
  });
}

OCISIM_EXPORT sword OCIErrorGet(dvoid* hndlp, ub4 recordno, OraText* sqlstate, sb4* errcodep,
                                OraText* bufp, ub4 bufsiz, ub4 type) {
  (void)sqlstate;  // not supported since Oracle 8
  try {
    const std::vector<ErrorRecord>* records = nullptr;
    if (type == OCI_HTYPE_ERROR) {
      if (auto* err = findHandle<ErrorHandle>(hndlp)) records = &err->records;
    } else if (type == OCI_HTYPE_ENV) {
      if (auto* env = findHandle<Env>(hndlp)) records = &env->errors;
    }
    if (records == nullptr) return OCI_INVALID_HANDLE;
    if (recordno < 1 || recordno > records->size()) return OCI_NO_DATA;
    const ErrorRecord& record = (*records)[recordno - 1];
    if (errcodep != nullptr) *errcodep = record.code;
    if (bufp != nullptr && bufsiz > 0) {
      size_t n = std::min<size_t>(record.message.size(), bufsiz - 1);
      std::memcpy(bufp, record.message.data(), n);
      bufp[n] = '\0';
    }
    return OCI_SUCCESS;
  } catch (...) {
    return OCI_ERROR;
  }
}

OCISIM_EXPORT sword OCIAttrSet(dvoid* trgthndlp, ub4 trghndltyp, dvoid* attributep, ub4 size,
                               ub4 attrtype, OCIError* errhp) {
  return withErrorHandle(errhp, [&](CallErrors&) -> sword {
    Handle* target = findHandle(trgthndlp, trghndltyp);
    if (target == nullptr) throw InvalidHandle{};
    setAttribute(*target, attributep, size, attrtype);
    return OCI_SUCCESS;
  });
}

OCISIM_EXPORT sword OCIAttrGet(const dvoid* trgthndlp, ub4 trghndltyp, dvoid* attributep,
                               ub4* sizep, ub4 attrtype, OCIError* errhp) {
  return withErrorHandle(errhp, [&](CallErrors&) -> sword {
    Handle* target = findHandle(trgthndlp, trghndltyp);
    if (target == nullptr) throw InvalidHandle{};
    if (attributep == nullptr) throw oraError(1009, "missing mandatory parameter");
    // Attribute numbers are reused: 5 is OCI_ATTR_ENV on a handle but OCI_ATTR_PRECISION on
    // a parameter descriptor, so the descriptor is dispatched first.
    if (trghndltyp == OCI_DTYPE_PARAM) {
      paramAttribute(static_cast<Param&>(*target), attributep, sizep, attrtype);
    } else if (attrtype == OCI_ATTR_ENV) {
      put(attributep, sizep, static_cast<void*>(target->env()));
    } else if (trghndltyp == OCI_HTYPE_STMT) {
      stmtAttribute(static_cast<Stmt&>(*target), attributep, sizep, attrtype);
    } else {
      otherAttribute(*target, attributep, sizep, attrtype);
    }
    return OCI_SUCCESS;
  });
}

OCISIM_EXPORT sword OCIParamGet(const dvoid* hndlp, ub4 htype, OCIError* errhp, dvoid** parmdpp,
                                ub4 pos) {
  return withErrorHandle(errhp, [&](CallErrors&) -> sword {
    if (htype != OCI_HTYPE_STMT) {
      if (findAnyHandle(hndlp) == nullptr) throw InvalidHandle{};
      throw oraError(3001, "unimplemented feature: OCIParamGet on handles of type " +
                               std::to_string(htype) + " (only statements are described)");
    }
    Stmt& stmt = require<Stmt>(hndlp);
    if (parmdpp == nullptr) throw oraError(1009, "missing mandatory parameter");
    *parmdpp = stmt.param(pos);
    return OCI_SUCCESS;
  });
}

OCISIM_EXPORT sword OCIDescriptorAlloc(const dvoid* parenth, dvoid** descpp, const ub4 type,
                                       const size_t xtramem_sz, dvoid** usrmempp) {
  (void)descpp, (void)xtramem_sz, (void)usrmempp;
  Env* env = findHandle<Env>(parenth);
  if (env == nullptr) return OCI_INVALID_HANDLE;
  return guardedCall(&env->errors, [&](CallErrors&) -> sword {
    throw oraError(3001, "unimplemented feature: OCIDescriptorAlloc of descriptor type " +
                             std::to_string(type) + " is not supported by ocisim");
  });
}

OCISIM_EXPORT sword OCIDescriptorFree(dvoid* descp, const ub4 type) {
  // The only descriptors there are: the parameters OCIParamGet gave out.
  if (type != OCI_DTYPE_PARAM) return OCI_INVALID_HANDLE;
  Param* param = findHandle<Param>(descp);
  if (param == nullptr) return OCI_INVALID_HANDLE;
  return guardedCall(&param->env()->errors, [&](CallErrors&) -> sword {
    param->stmt->freeParam(param);
    return OCI_SUCCESS;
  });
}
