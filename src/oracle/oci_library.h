// OciLibrary: finds an Oracle client library at run time (dlopen), binds the OCI entry points by
// name, and offers one call per entry point the session layer uses. Each OracleSession owns one.
// Not thread-safe: a session is used by one thread at a time. A call whose entry point is not
// bound never goes through a null pointer: it returns OCI_ERROR and leaves a message naming the
// missing entry point, which takeMissingEntryPointError() hands to the session's error reporting.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "oracle/oci.h"

namespace velmora {

// The operating system's library loader, behind an interface so that tests can map the client's
// library names onto a library of their own while still going through dlopen.
class DynamicLoader {
 public:
  virtual ~DynamicLoader() = default;
  virtual void* open(const std::string& name) = 0;           // null when the library does not load
  virtual void* symbol(void* module, const char* name) = 0;  // null when absent
  virtual void close(void* module) = 0;
  // Why the last open() on this thread returned null (dlerror), "" when the loader cannot say.
  virtual std::string lastError() { return ""; }

  static DynamicLoader& system();  // dlopen(RTLD_NOW | RTLD_LOCAL), dlsym, dlclose
};

// The entry points, in look-up order: X(name).
// clang-format off
#define VELMORA_OCI_ENTRY_POINTS(X) \
  X(OCIServerVersion) \
  X(OCIBreak) \
  X(OCIDescriptorAlloc) \
  X(OCIDescriptorFree) \
  X(OCILobGetLength) \
  X(OCIParamGet) \
  X(OCIAttrSet) \
  X(OCIAttrGet) \
  X(OCIDescribeAny) \
  X(OCIErrorGet) \
  X(OCIHandleFree) \
  X(OCIHandleAlloc) \
  X(OCIEnvInit) \
  X(OCIInitialize) \
  X(OCIServerAttach) \
  X(OCIServerDetach) \
  X(OCISessionBegin) \
  X(OCISessionEnd) \
  X(OCILogoff) \
  X(OCIStmtPrepare) \
  X(OCIStmtExecute) \
  X(OCIStmtFetch) \
  X(OCIDefineByPos) \
  X(OCIBindByName) \
  X(OCIBindByPos) \
  X(OCILdaToSvcCtx) \
  X(OCIStmtGetPieceInfo) \
  X(OCIStmtSetPieceInfo)
// clang-format on

class OciLibrary {
 public:
  // A library that was tried and did not load, with the loader's reason.
  struct FailedLoad {
    std::string name;
    std::string reason;
  };

  // The window's message when load() finds no library. A front end that can show more uses
  // loadFailureMessage(), which names the files and the loader's reasons.
  static constexpr const char* kClientMissingMessage =
      "Could not locate installation of Oracle 8 or above client software. If Oracle 8 or above "
      "is installed on this machine, please make sure the 'bin' directory is on the system path.";

  // Client choice codes (the "OCIVER" setting).
  static constexpr int kCodeDefault = 0;     // libclntsh.so, then the Instant Client names
  static constexpr int kCodeNamedFile = 99;  // the file named by the "OCIDLL" setting

  explicit OciLibrary(DynamicLoader& loader = DynamicLoader::system());
  ~OciLibrary();
  OciLibrary(const OciLibrary&) = delete;
  OciLibrary& operator=(const OciLibrary&) = delete;

  // Tries the libraries of the choice code in order and binds the entry points when the code
  // binds any. Returns the code kept (also kept in keptCode()). Whether a library was found is
  // loaded(); when it is false the caller reports kClientMissingMessage: nothing here ends the
  // process or shows anything. ociDll is the "OCIDLL" setting, used by code 99 only.
  int load(int choiceCode, const std::string& ociDll);
  void unload();

  bool loaded() const { return module_ != nullptr; }
  // The libraries the last load() tried and could not load, in order.
  const std::vector<FailedLoad>& failedLoads() const { return failedLoads_; }
  // Why the last load() loaded nothing: each library tried with the loader's reason, then how an
  // Oracle client is found on Linux (LD_LIBRARY_PATH, the Instant Client's library names).
  std::string loadFailureMessage() const;
  int keptCode() const { return keptCode_; }
  const std::string& libraryName() const { return libraryName_; }  // the name that loaded
  bool bindsEntryPoints() const;  // false for codes 70 to 73 and when nothing is loaded
  std::vector<std::string> missingEntryPoints() const;  // names not bound, in look-up order

  // The library names the choice code tries, in order; empty for codes that load nothing.
  static std::vector<std::string> candidateNames(int choiceCode, const std::string& ociDll);

  // The message of the last call that found its entry point unbound, then cleared; "" if none.
  std::string takeMissingEntryPointError();
  bool hasMissingEntryPointError() const { return !missingError_.empty(); }

  // One call per entry point the session layer uses; arguments pass through unchanged.
  sword serverVersion(dvoid* handle, OCIError* err, OraText* buf, ub4 size, ub1 handleType);
  sword breakCall(dvoid* handle, OCIError* err);
  sword paramGet(const dvoid* handle, ub4 handleType, OCIError* err, dvoid** param, ub4 pos);
  sword attrSet(dvoid* target, ub4 targetType, dvoid* value, ub4 size, ub4 attr, OCIError* err);
  sword attrGet(const dvoid* target, ub4 targetType, dvoid* value, ub4* size, ub4 attr,
                OCIError* err);
  sword errorGet(dvoid* handle, ub4 record, OraText* sqlState, sb4* code, OraText* buf, ub4 size,
                 ub4 type);
  sword handleFree(dvoid* handle, ub4 type);
  sword handleAlloc(const dvoid* parent, dvoid** handle, ub4 type);
  sword envInit(OCIEnv** env, ub4 mode);
  sword initialize(ub4 mode);
  sword serverAttach(OCIServer* server, OCIError* err, const OraText* alias, sb4 length, ub4 mode);
  sword serverDetach(OCIServer* server, OCIError* err, ub4 mode);
  sword sessionBegin(OCISvcCtx* svc, OCIError* err, OCISession* session, ub4 credentials, ub4 mode);
  sword sessionEnd(OCISvcCtx* svc, OCIError* err, OCISession* session, ub4 mode);
  sword stmtPrepare(OCIStmt* stmt, OCIError* err, const OraText* text, ub4 length, ub4 language,
                    ub4 mode);
  sword stmtExecute(OCISvcCtx* svc, OCIStmt* stmt, OCIError* err, ub4 iterations, ub4 rowOffset,
                    ub4 mode);
  sword stmtFetch(OCIStmt* stmt, OCIError* err, ub4 rows, ub2 orientation, ub4 mode);
  sword defineByPos(OCIStmt* stmt, OCIDefine** define, OCIError* err, ub4 position, dvoid* value,
                    sb4 size, ub2 type, dvoid* indicator, ub2* lengths, ub2* codes, ub4 mode);
  sword bindByName(OCIStmt* stmt, OCIBind** bind, OCIError* err, const OraText* name,
                   sb4 nameLength, dvoid* value, sb4 size, ub2 type, dvoid* indicator, ub2* lengths,
                   ub2* codes, ub4 mode);
  sword stmtGetPieceInfo(OCIStmt* stmt, OCIError* err, dvoid** handle, ub4* handleType, ub1* inOut,
                         ub4* iteration, ub4* index, ub1* piece);
  sword stmtSetPieceInfo(dvoid* handle, ub4 handleType, OCIError* err, const dvoid* buf,
                         ub4* length, ub1 piece, const dvoid* indicator, ub2* code);

 private:
  struct EntryPoints {
#define VELMORA_OCI_FIELD(name) name##Fn name = nullptr;
    VELMORA_OCI_ENTRY_POINTS(VELMORA_OCI_FIELD)
#undef VELMORA_OCI_FIELD
  };

  bool tryOpen(const std::string& name);
  void bindAll();
  sword missing(const char* entryPoint);

  DynamicLoader& loader_;
  void* module_ = nullptr;
  int keptCode_ = 0;
  std::string libraryName_;
  std::vector<FailedLoad> failedLoads_;
  bool bound_ = false;
  EntryPoints fns_;
  std::string missingError_;
};

}  // namespace velmora
