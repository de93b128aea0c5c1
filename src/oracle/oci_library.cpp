#include "oracle/oci_library.h"

#include <dlfcn.h>

namespace velmora {

namespace {

// One loader serves every session, possibly on several threads: dlerror is per thread, and so
// is the reason kept here.
thread_local std::string systemLoaderError;

class SystemLoader : public DynamicLoader {
 public:
  void* open(const std::string& name) override {
    void* module = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    const char* error = module == nullptr ? dlerror() : nullptr;
    systemLoaderError = error != nullptr ? error : "";
    return module;
  }
  void* symbol(void* module, const char* name) override { return dlsym(module, name); }
  void close(void* module) override { dlclose(module); }
  std::string lastError() override { return systemLoaderError; }
};

// Code 0 tries the unversioned name first (the link a full client or a prepared Instant Client
// provides), then the versioned names of current Instant Clients, newest first.
const char* const kDefaultNames[] = {"libclntsh.so",      "libclntsh.so.23.1", "libclntsh.so.21.1",
                                     "libclntsh.so.19.1", "libclntsh.so.18.1", "libclntsh.so.12.1",
                                     "libclntsh.so.11.1"};

bool isOracle7Code(int code) {
  return code >= 70 && code <= 73;
}
bool isOracle80Code(int code) {
  return code >= 83 && code <= 85;
}

}  // namespace

DynamicLoader& DynamicLoader::system() {
  static SystemLoader loader;
  return loader;
}

OciLibrary::OciLibrary(DynamicLoader& loader) : loader_(loader) {}

OciLibrary::~OciLibrary() {
  unload();
}

std::vector<std::string> OciLibrary::candidateNames(int choiceCode, const std::string& ociDll) {
  if (choiceCode == kCodeDefault) return {std::begin(kDefaultNames), std::end(kDefaultNames)};
  // The Oracle 8.0 and Oracle 7 codes name Windows libraries; on this platform they stand for
  // whichever libclntsh.so the loader finds. Codes 70 to 73 still bind nothing.
  if (isOracle80Code(choiceCode) || isOracle7Code(choiceCode)) return {"libclntsh.so"};
  if (choiceCode == kCodeNamedFile) {
    if (ociDll.empty()) return {};
    return {ociDll};
  }
  return {};
}

bool OciLibrary::tryOpen(const std::string& name) {
  module_ = loader_.open(name);
  if (module_ != nullptr) {
    libraryName_ = name;
  } else {
    failedLoads_.push_back({name, loader_.lastError()});
  }
  return module_ != nullptr;
}

int OciLibrary::load(int choiceCode, const std::string& ociDll) {
  unload();
  failedLoads_.clear();
  keptCode_ = choiceCode;
  for (const std::string& name : candidateNames(choiceCode, ociDll)) {
    if (tryOpen(name)) break;
  }
  if (module_ != nullptr && !isOracle7Code(choiceCode)) bindAll();
  return keptCode_;
}

namespace {

// dlerror starts with the file it could not open: said once is enough. A reason that names
// another file (a library the client needs) keeps it.
std::string reasonWithoutName(const OciLibrary::FailedLoad& failed) {
  if (failed.reason.empty()) return "the loader gave no reason";
  const std::string prefix = failed.name + ": ";
  return failed.reason.rfind(prefix, 0) == 0 ? failed.reason.substr(prefix.size()) : failed.reason;
}

}  // namespace

std::string OciLibrary::loadFailureMessage() const {
  std::string text;
  if (failedLoads_.empty()) {
    text = keptCode_ == kCodeNamedFile
               ? "No Oracle client library is named (OCIVER 99 with an empty OCIDLL)."
               : "Client choice code " + std::to_string(keptCode_) +
                     " names no Oracle client library; set OCIVER to 0 or 99.";
  } else if (failedLoads_.size() == 1) {
    const FailedLoad& failed = failedLoads_.front();
    text = "Could not load the Oracle client library \"" + failed.name +
           "\": " + reasonWithoutName(failed);
  } else {
    text = "Could not load an Oracle client library; tried:";
    for (const FailedLoad& failed : failedLoads_) {
      text += "\n  " + failed.name + ": " + reasonWithoutName(failed);
    }
  }
  return text +
         "\nAn Oracle client on Linux is libclntsh.so of an Instant Client (Basic or Basic Light)"
         "\nor of a full client ($ORACLE_HOME/lib): put its folder on LD_LIBRARY_PATH (or register"
         "\nit with ldconfig). An Instant Client may provide only a versioned name such as"
         "\nlibclntsh.so.19.1 or libclntsh.so.21.1, and its other libraries (libnnz*.so,"
         "\nlibclntshcore.so) must be found the same way. A name with a '/' is opened as it "
         "stands.";
}

void OciLibrary::bindAll() {
#define VELMORA_OCI_BIND(name) \
  fns_.name = reinterpret_cast<name##Fn>(loader_.symbol(module_, #name));
  VELMORA_OCI_ENTRY_POINTS(VELMORA_OCI_BIND)
#undef VELMORA_OCI_BIND
  bound_ = true;
}

void OciLibrary::unload() {
  fns_ = EntryPoints{};
  bound_ = false;
  if (module_ != nullptr) loader_.close(module_);
  module_ = nullptr;
  libraryName_.clear();
}

bool OciLibrary::bindsEntryPoints() const {
  return bound_;
}

std::vector<std::string> OciLibrary::missingEntryPoints() const {
  std::vector<std::string> names;
#define VELMORA_OCI_MISSING(name) \
  if (fns_.name == nullptr) names.push_back(#name);
  VELMORA_OCI_ENTRY_POINTS(VELMORA_OCI_MISSING)
#undef VELMORA_OCI_MISSING
  return names;
}

std::string OciLibrary::takeMissingEntryPointError() {
  std::string message;
  message.swap(missingError_);
  return message;
}

sword OciLibrary::missing(const char* entryPoint) {
  if (module_ == nullptr) {
    missingError_ =
        std::string("No Oracle client library is loaded; ") + entryPoint + " cannot be called.";
  } else if (!bound_) {
    missingError_ = "Client choice code " + std::to_string(keptCode_) +
                    " loads an Oracle 7 client library ('" + libraryName_ +
                    "') and binds no entry points, so " + entryPoint +
                    " cannot be called. Set OCIVER to 0 or 99.";
  } else {
    missingError_ =
        "The Oracle client library '" + libraryName_ + "' has no entry point " + entryPoint + ".";
  }
  return OCI_ERROR;
}

// Every wrapper: call through the bound pointer, or report the entry point as missing.
#define VELMORA_OCI_CALL(name, ...) \
  return fns_.name != nullptr ? fns_.name(__VA_ARGS__) : missing(#name)

sword OciLibrary::serverVersion(dvoid* handle, OCIError* err, OraText* buf, ub4 size,
                                ub1 handleType) {
  VELMORA_OCI_CALL(OCIServerVersion, handle, err, buf, size, handleType);
}
sword OciLibrary::breakCall(dvoid* handle, OCIError* err) {
  VELMORA_OCI_CALL(OCIBreak, handle, err);
}
sword OciLibrary::paramGet(const dvoid* handle, ub4 handleType, OCIError* err, dvoid** param,
                           ub4 pos) {
  VELMORA_OCI_CALL(OCIParamGet, handle, handleType, err, param, pos);
}
sword OciLibrary::attrSet(dvoid* target, ub4 targetType, dvoid* value, ub4 size, ub4 attr,
                          OCIError* err) {
  VELMORA_OCI_CALL(OCIAttrSet, target, targetType, value, size, attr, err);
}
sword OciLibrary::attrGet(const dvoid* target, ub4 targetType, dvoid* value, ub4* size, ub4 attr,
                          OCIError* err) {
  VELMORA_OCI_CALL(OCIAttrGet, target, targetType, value, size, attr, err);
}
sword OciLibrary::errorGet(dvoid* handle, ub4 record, OraText* sqlState, sb4* code, OraText* buf,
                           ub4 size, ub4 type) {
  VELMORA_OCI_CALL(OCIErrorGet, handle, record, sqlState, code, buf, size, type);
}
sword OciLibrary::handleFree(dvoid* handle, ub4 type) {
  VELMORA_OCI_CALL(OCIHandleFree, handle, type);
}
sword OciLibrary::handleAlloc(const dvoid* parent, dvoid** handle, ub4 type) {
  VELMORA_OCI_CALL(OCIHandleAlloc, parent, handle, type, 0, nullptr);
}
sword OciLibrary::envInit(OCIEnv** env, ub4 mode) {
  VELMORA_OCI_CALL(OCIEnvInit, env, mode, 0, nullptr);
}
sword OciLibrary::initialize(ub4 mode) {
  VELMORA_OCI_CALL(OCIInitialize, mode, nullptr, nullptr, nullptr, nullptr);
}
sword OciLibrary::serverAttach(OCIServer* server, OCIError* err, const OraText* alias, sb4 length,
                               ub4 mode) {
  VELMORA_OCI_CALL(OCIServerAttach, server, err, alias, length, mode);
}
sword OciLibrary::serverDetach(OCIServer* server, OCIError* err, ub4 mode) {
  VELMORA_OCI_CALL(OCIServerDetach, server, err, mode);
}
sword OciLibrary::sessionBegin(OCISvcCtx* svc, OCIError* err, OCISession* session, ub4 credentials,
                               ub4 mode) {
  VELMORA_OCI_CALL(OCISessionBegin, svc, err, session, credentials, mode);
}
sword OciLibrary::sessionEnd(OCISvcCtx* svc, OCIError* err, OCISession* session, ub4 mode) {
  VELMORA_OCI_CALL(OCISessionEnd, svc, err, session, mode);
}
sword OciLibrary::stmtPrepare(OCIStmt* stmt, OCIError* err, const OraText* text, ub4 length,
                              ub4 language, ub4 mode) {
  VELMORA_OCI_CALL(OCIStmtPrepare, stmt, err, text, length, language, mode);
}
sword OciLibrary::stmtExecute(OCISvcCtx* svc, OCIStmt* stmt, OCIError* err, ub4 iterations,
                              ub4 rowOffset, ub4 mode) {
  VELMORA_OCI_CALL(OCIStmtExecute, svc, stmt, err, iterations, rowOffset, nullptr, nullptr, mode);
}
sword OciLibrary::stmtFetch(OCIStmt* stmt, OCIError* err, ub4 rows, ub2 orientation, ub4 mode) {
  VELMORA_OCI_CALL(OCIStmtFetch, stmt, err, rows, orientation, mode);
}
sword OciLibrary::defineByPos(OCIStmt* stmt, OCIDefine** define, OCIError* err, ub4 position,
                              dvoid* value, sb4 size, ub2 type, dvoid* indicator, ub2* lengths,
                              ub2* codes, ub4 mode) {
  VELMORA_OCI_CALL(OCIDefineByPos, stmt, define, err, position, value, size, type, indicator,
                   lengths, codes, mode);
}
sword OciLibrary::bindByName(OCIStmt* stmt, OCIBind** bind, OCIError* err, const OraText* name,
                             sb4 nameLength, dvoid* value, sb4 size, ub2 type, dvoid* indicator,
                             ub2* lengths, ub2* codes, ub4 mode) {
  VELMORA_OCI_CALL(OCIBindByName, stmt, bind, err, name, nameLength, value, size, type, indicator,
                   lengths, codes, 0, nullptr, mode);
}
sword OciLibrary::stmtGetPieceInfo(OCIStmt* stmt, OCIError* err, dvoid** handle, ub4* handleType,
                                   ub1* inOut, ub4* iteration, ub4* index, ub1* piece) {
  VELMORA_OCI_CALL(OCIStmtGetPieceInfo, stmt, err, handle, handleType, inOut, iteration, index,
                   piece);
}
sword OciLibrary::stmtSetPieceInfo(dvoid* handle, ub4 handleType, OCIError* err, const dvoid* buf,
                                   ub4* length, ub1 piece, const dvoid* indicator, ub2* code) {
  VELMORA_OCI_CALL(OCIStmtSetPieceInfo, handle, handleType, err, buf, length, piece, indicator,
                   code);
}

#undef VELMORA_OCI_CALL

}  // namespace velmora
