// Runs the C client of c_api_test.c against a database, and checks what the built
// libocisim.so exports when a program loads it by path.
#include <dlfcn.h>

#include "oci_test_support.h"

extern "C" int ocisimCApiSession(const char* alias, char* message, size_t messageSize);

namespace ocisim::oci::testing {
namespace {

class CApiTest : public OciTest {};

TEST_F(CApiTest, ACClientLogsOnQueriesAndLogsOff) {
  createDatabase("orcl");
  char message[512] = {};
  EXPECT_EQ(ocisimCApiSession("orcl", message, sizeof message), 0) << message;
  EXPECT_EQ(ocisimCApiSession("unknown", message, sizeof message), 3);
  EXPECT_STREQ(message, "ORA-12154: TNS:could not resolve the connect identifier specified\n");
}

TEST(SharedLibraryTest, ExportsTheEntryPointsAndNothingOfTheEngine) {
  void* library = dlopen(OCISIM_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  const char* names[] = {
      "OCIServerVersion", "OCIBreak",       "OCIDescriptorAlloc",  "OCIDescriptorFree",
      "OCILobGetLength",  "OCIParamGet",    "OCIAttrSet",          "OCIAttrGet",
      "OCIDescribeAny",   "OCIErrorGet",    "OCIHandleFree",       "OCIHandleAlloc",
      "OCIEnvInit",       "OCIInitialize",  "OCIServerAttach",     "OCIServerDetach",
      "OCISessionBegin",  "OCISessionEnd",  "OCILogoff",           "OCIStmtPrepare",
      "OCIStmtExecute",   "OCIStmtFetch",   "OCIDefineByPos",      "OCIBindByName",
      "OCIBindByPos",     "OCILdaToSvcCtx", "OCIStmtGetPieceInfo", "OCIStmtSetPieceInfo"};
  for (const char* name : names) EXPECT_NE(dlsym(library, name), nullptr) << name;
  // ocisim::openDatabase(std::string const&) stays inside the library.
  EXPECT_EQ(dlsym(library,
                  "_ZN6ocisim12openDatabaseERKNSt7__cxx1112basic_stringIcSt11char_"
                  "traitsIcESaIcEEE"),
            nullptr);
  // The library's own copy of the engine works: a handle check and an unknown alias.
  auto handleFree = reinterpret_cast<OCIHandleFreeFn>(dlsym(library, "OCIHandleFree"));
  int bogus = 0;
  EXPECT_EQ(handleFree(&bogus, OCI_HTYPE_STMT), OCI_INVALID_HANDLE);
  dlclose(library);
}

}  // namespace
}  // namespace ocisim::oci::testing
