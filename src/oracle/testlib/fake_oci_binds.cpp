// Binds, defines, select-list parameters and piece information of the fake OCI library, and the
// entry points the product only looks up (they answer ORA-03001).
#include <algorithm>

#pragma GCC visibility push(default)
#include "oracle/oci.h"
#pragma GCC visibility pop

#include "oracle/testlib/fake_oci_state.h"

using namespace fakeoci;

namespace {

sword unimplemented(const char* name, OCIError* errhp) {
  return guarded(name, [&](State& s) { return fail(as<Error>(s, errhp, OCI_HTYPE_ERROR), 3001); });
}

}  // namespace

extern "C" {

sword OCIDefineByPos(OCIStmt* stmtp, OCIDefine** defnp, OCIError* errhp, ub4 position,
                     dvoid* valuep, sb4 value_sz, ub2 dty, dvoid* indp, ub2* rlenp, ub2* rcodep,
                     ub4 mode) {
  return guarded("OCIDefineByPos", [&](State& s) -> sword {
    Stmt* stmt = as<Stmt>(s, stmtp, OCI_HTYPE_STMT);
    Error* err = as<Error>(s, errhp, OCI_HTYPE_ERROR);
    if (stmt == nullptr || err == nullptr || defnp == nullptr) return OCI_INVALID_HANDLE;
    if (position < 1) return fail(err, 24334);
    if (mode != OCI_DYNAMIC_FETCH && (valuep == nullptr || value_sz <= 0)) return fail(err, 24334);
    // Defining a position again replaces the earlier define.
    auto& defines = stmt->defines;
    for (auto it = defines.begin(); it != defines.end(); ++it) {
      if ((*it)->position == position) {
        s.live.erase(it->get());
        defines.erase(it);
        break;
      }
    }
    auto owned = std::make_unique<Define>();
    Define* d = owned.get();
    d->stmt = stmt;
    d->position = position;
    d->value = static_cast<char*>(valuep);
    d->size = value_sz;
    d->dty = dty;
    d->indicators = static_cast<sb2*>(indp);
    d->lengths = rlenp;
    d->codes = rcodep;
    d->mode = mode;
    defines.push_back(std::move(owned));  // freed with the statement
    s.live.insert(d);
    *defnp = reinterpret_cast<OCIDefine*>(d);
    return OCI_SUCCESS;
  });
}

sword OCIBindByName(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp, CONST OraText* placeholder,
                    sb4 placeh_len, dvoid* valuep, sb4 value_sz, ub2 dty, dvoid* indp, ub2*, ub2*,
                    ub4, ub4*, ub4) {
  return guarded("OCIBindByName", [&](State& s) -> sword {
    Stmt* stmt = as<Stmt>(s, stmtp, OCI_HTYPE_STMT);
    Error* err = as<Error>(s, errhp, OCI_HTYPE_ERROR);
    if (stmt == nullptr || err == nullptr || bindp == nullptr) return OCI_INVALID_HANDLE;
    std::string name =
        upper(std::string(reinterpret_cast<const char*>(placeholder), std::max(placeh_len, 0)));
    if (name.size() < 2 || name[0] != ':' || upper(stmt->text).find(name) == std::string::npos)
      return fail(err, 1036);
    auto& binds = stmt->binds;
    for (auto it = binds.begin(); it != binds.end(); ++it) {
      if ((*it)->name == name) {
        s.live.erase(it->get());
        binds.erase(it);
        break;
      }
    }
    auto owned = std::make_unique<Bind>();
    Bind* b = owned.get();
    b->name = name;
    b->value = static_cast<char*>(valuep);
    b->size = value_sz;
    b->dty = dty;
    b->indicator = static_cast<sb2*>(indp);
    binds.push_back(std::move(owned));
    s.live.insert(b);
    *bindp = reinterpret_cast<OCIBind*>(b);
    return OCI_SUCCESS;
  });
}

sword OCIParamGet(CONST dvoid* hndlp, ub4 htype, OCIError* errhp, dvoid** parmdpp, ub4 pos) {
  return guarded("OCIParamGet", [&](State& s) -> sword {
    Stmt* stmt = as<Stmt>(s, hndlp, OCI_HTYPE_STMT);
    Error* err = as<Error>(s, errhp, OCI_HTYPE_ERROR);
    if (htype != OCI_HTYPE_STMT || stmt == nullptr || err == nullptr || parmdpp == nullptr)
      return OCI_INVALID_HANDLE;
    if (!stmt->executed || !stmt->result) return fail(err, 24338);
    if (pos < 1 || pos > static_cast<ub4>(stmt->result->columns)) return fail(err, 24334);
    auto owned = std::make_unique<Param>();
    owned->position = pos;
    owned->name = "COLUMN" + std::to_string(pos);
    Param* p = owned.get();
    stmt->params.push_back(std::move(owned));
    s.live.insert(p);
    *parmdpp = p;
    return OCI_SUCCESS;
  });
}

sword OCIStmtGetPieceInfo(OCIStmt* stmtp, OCIError* errhp, dvoid** hndlpp, ub4* typep, ub1* in_outp,
                          ub4* iterp, ub4* idxp, ub1* piecep) {
  return guarded("OCIStmtGetPieceInfo", [&](State& s) -> sword {
    Stmt* stmt = as<Stmt>(s, stmtp, OCI_HTYPE_STMT);
    Error* err = as<Error>(s, errhp, OCI_HTYPE_ERROR);
    if (stmt == nullptr || err == nullptr) return OCI_INVALID_HANDLE;
    if (stmt->pieceDefine == nullptr) return fail(err, 1002);
    if (hndlpp != nullptr) *hndlpp = stmt->pieceDefine;
    if (typep != nullptr) *typep = OCI_HTYPE_DEFINE;
    if (in_outp != nullptr) *in_outp = OCI_PARAM_OUT;
    if (iterp != nullptr) *iterp = 0;
    if (idxp != nullptr) *idxp = 0;
    if (piecep != nullptr) *piecep = stmt->pieceOffset == 0 ? OCI_FIRST_PIECE : OCI_NEXT_PIECE;
    return OCI_SUCCESS;
  });
}

sword OCIStmtSetPieceInfo(dvoid* hndlp, ub4 type, OCIError* errhp, CONST dvoid* bufp, ub4* alenp,
                          ub1, CONST dvoid*, ub2*) {
  return guarded("OCIStmtSetPieceInfo", [&](State& s) -> sword {
    Define* d = as<Define>(s, hndlp, OCI_HTYPE_DEFINE);
    Error* err = as<Error>(s, errhp, OCI_HTYPE_ERROR);
    if (type != OCI_HTYPE_DEFINE || d == nullptr || err == nullptr) return OCI_INVALID_HANDLE;
    if (bufp == nullptr || alenp == nullptr) return fail(err, 1002);
    d->pieceBuffer = const_cast<void*>(bufp);
    d->pieceLength = alenp;
    return OCI_SUCCESS;
  });
}

sword OCIDescriptorAlloc(CONST dvoid*, dvoid**, CONST ub4, CONST size_t, dvoid**) {
  return unimplemented("OCIDescriptorAlloc", nullptr);
}
sword OCIDescriptorFree(dvoid*, CONST ub4) {
  return unimplemented("OCIDescriptorFree", nullptr);
}
sword OCILobGetLength(OCISvcCtx*, OCIError* errhp, OCILobLocator*, ub4*) {
  return unimplemented("OCILobGetLength", errhp);
}
sword OCIDescribeAny(OCISvcCtx*, OCIError* errhp, dvoid*, ub4, ub1, ub1, ub1, OCIDescribe*) {
  return unimplemented("OCIDescribeAny", errhp);
}
sword OCILogoff(OCISvcCtx*, OCIError* errhp) {
  return unimplemented("OCILogoff", errhp);
}
sword OCIBindByPos(OCIStmt*, OCIBind**, OCIError* errhp, ub4, dvoid*, sb4, ub2, dvoid*, ub2*, ub2*,
                   ub4, ub4*, ub4) {
  return unimplemented("OCIBindByPos", errhp);
}
sword OCILdaToSvcCtx(OCISvcCtx**, OCIError* errhp, Lda_Def*) {
  return unimplemented("OCILdaToSvcCtx", errhp);
}

}  // extern "C"
