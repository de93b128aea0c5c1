// Entry points: preparing, binding, defining, executing and fetching statements.
#include "api_export.h"
#include "errors.h"
#include "statement.h"
#include "transfer.h"

using namespace ocisim;
using namespace ocisim::oci;

namespace {

OraError missingParameter() {
  return oraError(1009, "missing mandatory parameter");
}

OraError unsupported(const std::string& what) {
  return oraError(3001, "unimplemented feature: " + what + " is not supported by ocisim");
}

// A handle pointer the caller passes in for reuse: null, or a live handle of that type.
template <class T>
T* reusable(void* const* handlep) {
  if (handlep == nullptr || *handlep == nullptr) return nullptr;
  T* handle = findHandle<T>(*handlep);
  if (handle == nullptr) throw InvalidHandle{};
  return handle;
}

}  // namespace

OCISIM_EXPORT sword OCIStmtPrepare(OCIStmt* stmtp, OCIError* errhp, const OraText* stmt,
                                   ub4 stmt_len, ub4 language, ub4 mode) {
  (void)language, (void)mode;  // every syntax is the native one
  return withErrorHandle(errhp, [&](CallErrors&) -> sword {
    Stmt& statement = require<Stmt>(stmtp);
    if (stmt == nullptr || stmt_len == 0)
      throw oraError(24373, "invalid length specified for statement");
    statement.prepare(std::string(reinterpret_cast<const char*>(stmt), stmt_len));
    return OCI_SUCCESS;
  });
}

OCISIM_EXPORT sword OCIStmtExecute(OCISvcCtx* svchp, OCIStmt* stmtp, OCIError* errhp, ub4 iters,
                                   ub4 rowoff, const OCISnapshot* snap_in, OCISnapshot* snap_out,
                                   ub4 mode) {
  (void)snap_in, (void)snap_out;
  return roundTrip(errhp, [&](CallErrors& errors) -> sword {
    SvcCtx& svc = require<SvcCtx>(svchp);
    Stmt& statement = require<Stmt>(stmtp);
    return statement.execute(svc, iters, rowoff, mode, errors);
  });
}

OCISIM_EXPORT sword OCIStmtFetch(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation,
                                 ub4 mode) {
  (void)mode;
  return roundTrip(errhp, [&](CallErrors& errors) -> sword {
    return require<Stmt>(stmtp).fetch(nrows, orientation, errors);
  });
}

OCISIM_EXPORT sword OCIDefineByPos(OCIStmt* stmtp, OCIDefine** defnp, OCIError* errhp, ub4 position,
                                   dvoid* valuep, sb4 value_sz, ub2 dty, dvoid* indp, ub2* rlenp,
                                   ub2* rcodep, ub4 mode) {
  return withErrorHandle(errhp, [&](CallErrors&) -> sword {
    Stmt& statement = require<Stmt>(stmtp);
    Define* reuse = reusable<Define>(reinterpret_cast<void* const*>(defnp));
    bool dynamic = (mode & OCI_DYNAMIC_FETCH) != 0;
    if (dynamic) {
      if (!isTextExternalType(dty))
        throw unsupported("a dynamic define of external type " + std::to_string(dty));
    } else {
      if (valuep == nullptr || value_sz <= 0) throw missingParameter();
      checkExternalType(dty, value_sz);
    }
    Define* define = statement.define(reuse, position);
    define->value = valuep;
    define->size = value_sz;
    define->dty = dty;
    define->indicators = indp;
    define->lengths = rlenp;
    define->codes = rcodep;
    define->dynamic = dynamic;
    if (defnp != nullptr) *defnp = reinterpret_cast<OCIDefine*>(define);
    return OCI_SUCCESS;
  });
}

OCISIM_EXPORT sword OCIBindByName(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp,
                                  const OraText* placeholder, sb4 placeh_len, dvoid* valuep,
                                  sb4 value_sz, ub2 dty, dvoid* indp, ub2* alenp, ub2* rcodep,
                                  ub4 maxarr_len, ub4* curelep, ub4 mode) {
  (void)curelep;
  return withErrorHandle(errhp, [&](CallErrors&) -> sword {
    Stmt& statement = require<Stmt>(stmtp);
    Bind* reuse = reusable<Bind>(reinterpret_cast<void* const*>(bindp));
    if (placeholder == nullptr) throw oraError(1036, "illegal variable name/number");
    if ((mode & OCI_DATA_AT_EXEC) != 0) throw unsupported("OCI_DATA_AT_EXEC binding");
    if (maxarr_len > 0) throw unsupported("binding PL/SQL arrays");
    checkExternalType(dty, value_sz);
    const char* name = reinterpret_cast<const char*>(placeholder);
    Bind* bind =
        statement.bind(reuse, placeh_len < 0 ? std::string(name)
                                             : std::string(name, static_cast<size_t>(placeh_len)));
    bind->value = valuep;
    bind->size = value_sz;
    bind->dty = dty;
    bind->indicators = indp;
    bind->lengths = alenp;
    bind->codes = rcodep;
    if (bindp != nullptr) *bindp = reinterpret_cast<OCIBind*>(bind);
    return OCI_SUCCESS;
  });
}

OCISIM_EXPORT sword OCIBindByPos(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp, ub4 position,
                                 dvoid* valuep, sb4 value_sz, ub2 dty, dvoid* indp, ub2* alenp,
                                 ub2* rcodep, ub4 maxarr_len, ub4* curelep, ub4 mode) {
  (void)stmtp, (void)bindp, (void)position, (void)valuep, (void)value_sz, (void)dty, (void)indp;
  (void)alenp, (void)rcodep, (void)maxarr_len, (void)curelep, (void)mode;
  return withErrorHandle(errhp, [&](CallErrors&) -> sword {
    throw unsupported("OCIBindByPos (bind by name with OCIBindByName)");
  });
}

OCISIM_EXPORT sword OCIStmtGetPieceInfo(OCIStmt* stmtp, OCIError* errhp, dvoid** hndlpp, ub4* typep,
                                        ub1* in_outp, ub4* iterp, ub4* idxp, ub1* piecep) {
  return withErrorHandle(errhp, [&](CallErrors&) -> sword {
    Stmt& statement = require<Stmt>(stmtp);
    if (hndlpp == nullptr || typep == nullptr || in_outp == nullptr || iterp == nullptr ||
        idxp == nullptr || piecep == nullptr)
      throw missingParameter();
    Define* define = nullptr;
    statement.pieceInfo(&define, piecep, iterp);
    *hndlpp = define;
    *typep = OCI_HTYPE_DEFINE;
    *in_outp = OCI_PARAM_OUT;
    *idxp = 0;
    return OCI_SUCCESS;
  });
}

OCISIM_EXPORT sword OCIStmtSetPieceInfo(dvoid* hndlp, ub4 type, OCIError* errhp, const dvoid* bufp,
                                        ub4* alenp, ub1 piece, const dvoid* indp, ub2* rcodep) {
  (void)piece;  // meaningful for IN binds only
  return withErrorHandle(errhp, [&](CallErrors&) -> sword {
    if (type == OCI_HTYPE_BIND) {
      require<Bind>(hndlp);
      throw unsupported("piecewise binding");
    }
    if (type != OCI_HTYPE_DEFINE) throw InvalidHandle{};
    Define& define = require<Define>(hndlp);
    define.stmt->setPiece(define, const_cast<void*>(bufp), alenp,
                          static_cast<sb2*>(const_cast<void*>(indp)), rcodep);
    return OCI_SUCCESS;
  });
}

OCISIM_EXPORT sword OCIDescribeAny(OCISvcCtx* svchp, OCIError* errhp, dvoid* objptr, ub4 objnm_len,
                                   ub1 objptr_typ, ub1 info_level, ub1 objtyp, OCIDescribe* dschp) {
  (void)svchp, (void)objptr, (void)objnm_len, (void)objptr_typ, (void)info_level, (void)objtyp;
  (void)dschp;
  return withErrorHandle(errhp, [&](CallErrors&) -> sword {
    throw unsupported("OCIDescribeAny (describe a query with OCIStmtExecute instead)");
  });
}

OCISIM_EXPORT sword OCILobGetLength(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp,
                                    ub4* lenp) {
  (void)svchp, (void)locp, (void)lenp;
  return withErrorHandle(errhp, [&](CallErrors&) -> sword {
    throw unsupported("OCILobGetLength (LOB locators; CLOB values are fetched as text)");
  });
}
