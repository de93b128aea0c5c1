// Handles, error records and attributes: wrong, freed and foreign pointers are refused.
#include <cstring>

#include "oci_test_support.h"

namespace ocisim::oci::testing {
namespace {

class HandlesTest : public OciTest {};

TEST_F(HandlesTest, WrongFreedAndForeignHandlesAreInvalidNotFollowed) {
  OciConnection c;
  int notAHandle[16] = {};
  char text[64];
  EXPECT_EQ(OCIServerVersion(notAHandle, c.err, reinterpret_cast<OraText*>(text), sizeof text,
                             OCI_HTYPE_SVCCTX),
            OCI_INVALID_HANDLE);
  EXPECT_EQ(OCIStmtFetch(nullptr, c.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_INVALID_HANDLE);
  EXPECT_EQ(OCIStmtPrepare(reinterpret_cast<OCIStmt*>(c.svc), c.err, ot("select 1 from dual"), 18,
                           OCI_NTV_SYNTAX, OCI_DEFAULT),
            OCI_INVALID_HANDLE);  // a service context is not a statement
  EXPECT_EQ(OCIHandleFree(c.svc, OCI_HTYPE_STMT), OCI_INVALID_HANDLE);

  OCIStmt* stmt = nullptr;
  ASSERT_EQ(OCIHandleAlloc(c.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr),
            OCI_SUCCESS);
  EXPECT_EQ(OCIHandleFree(stmt, OCI_HTYPE_STMT), OCI_SUCCESS);
  EXPECT_EQ(OCIHandleFree(stmt, OCI_HTYPE_STMT), OCI_INVALID_HANDLE);
  EXPECT_EQ(OCIStmtPrepare(stmt, c.err, ot("select 1 from dual"), 18, OCI_NTV_SYNTAX, OCI_DEFAULT),
            OCI_INVALID_HANDLE);
  // No error handle, or a freed one.
  OCIError* err = nullptr;
  OCIHandleAlloc(c.env, reinterpret_cast<void**>(&err), OCI_HTYPE_ERROR, 0, nullptr);
  OCIHandleFree(err, OCI_HTYPE_ERROR);
  EXPECT_EQ(OCIAttrSet(c.ses, OCI_HTYPE_SESSION, text, 1, OCI_ATTR_USERNAME, err),
            OCI_INVALID_HANDLE);
  EXPECT_EQ(OCIAttrSet(c.ses, OCI_HTYPE_SESSION, text, 1, OCI_ATTR_USERNAME, nullptr),
            OCI_INVALID_HANDLE);
  // Setting a server attribute to something that is no server handle.
  EXPECT_EQ(OCIAttrSet(c.svc, OCI_HTYPE_SVCCTX, c.ses, 0, OCI_ATTR_SERVER, c.err),
            OCI_INVALID_HANDLE);
}

TEST_F(HandlesTest, FreeingTheEnvironmentFreesItsChildren) {
  OCIEnv* env = nullptr;
  ASSERT_EQ(OCIEnvInit(&env, OCI_DEFAULT, 0, nullptr), OCI_SUCCESS);
  OCIError* err = nullptr;
  OCIStmt* stmt = nullptr;
  void* user = nullptr;
  ASSERT_EQ(OCIHandleAlloc(env, reinterpret_cast<void**>(&err), OCI_HTYPE_ERROR, 32, &user),
            OCI_SUCCESS);
  ASSERT_NE(user, nullptr);
  std::memset(user, 0x5a, 32);  // the extra memory is ours to use
  ASSERT_EQ(OCIHandleAlloc(env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr),
            OCI_SUCCESS);
  EXPECT_EQ(OCIHandleFree(env, OCI_HTYPE_ENV), OCI_SUCCESS);
  EXPECT_EQ(OCIHandleFree(stmt, OCI_HTYPE_STMT), OCI_INVALID_HANDLE);
  EXPECT_EQ(OCIErrorGet(err, 1, nullptr, nullptr, nullptr, 0, OCI_HTYPE_ERROR), OCI_INVALID_HANDLE);
}

TEST_F(HandlesTest, HandleAllocationErrorsGoToTheEnvironment) {
  OciConnection c;
  void* handle = nullptr;
  EXPECT_EQ(OCIHandleAlloc(c.env, &handle, OCI_HTYPE_BIND, 0, nullptr), OCI_ERROR);
  OciError e = errorOf(c.env, OCI_HTYPE_ENV);
  EXPECT_EQ(e.code, 24315);
  EXPECT_EQ(OCIHandleAlloc(c.err, &handle, OCI_HTYPE_STMT, 0, nullptr), OCI_INVALID_HANDLE);
  EXPECT_EQ(OCIDescriptorAlloc(c.env, &handle, OCI_DTYPE_LOB, 0, nullptr), OCI_ERROR);
  e = errorOf(c.env, OCI_HTYPE_ENV);
  EXPECT_EQ(e.code, 3001);
  EXPECT_NE(e.message.find("OCIDescriptorAlloc"), std::string::npos) << e.message;
}

TEST_F(HandlesTest, ErrorRecordsAreNumberedFromOneAndCutToTheBuffer) {
  createDatabase("orcl");
  OciConnection c;
  EXPECT_EQ(c.logon("orcl", "system", "bad"), OCI_ERROR);
  sb4 code = 0;
  char buffer[12];
  EXPECT_EQ(OCIErrorGet(c.err, 1, nullptr, &code, reinterpret_cast<OraText*>(buffer), sizeof buffer,
                        OCI_HTYPE_ERROR),
            OCI_SUCCESS);
  EXPECT_EQ(code, 1017);
  EXPECT_STREQ(buffer, "ORA-01017: ");
  EXPECT_EQ(OCIErrorGet(c.err, 2, nullptr, &code, reinterpret_cast<OraText*>(buffer), sizeof buffer,
                        OCI_HTYPE_ERROR),
            OCI_NO_DATA);
  EXPECT_EQ(OCIErrorGet(c.err, 0, nullptr, &code, reinterpret_cast<OraText*>(buffer), sizeof buffer,
                        OCI_HTYPE_ERROR),
            OCI_NO_DATA);
  EXPECT_EQ(OCIErrorGet(c.err, 1, nullptr, &code, reinterpret_cast<OraText*>(buffer), sizeof buffer,
                        OCI_HTYPE_ENV),
            OCI_INVALID_HANDLE);  // an error handle is not an environment
  // A local call leaves the record; the next call to the database clears it.
  std::string password = "manager";
  ASSERT_EQ(OCIAttrSet(c.ses, OCI_HTYPE_SESSION, password.data(), static_cast<ub4>(password.size()),
                       OCI_ATTR_PASSWORD, c.err),
            OCI_SUCCESS);
  EXPECT_EQ(c.error().code, 1017);
  ASSERT_EQ(OCISessionBegin(c.svc, c.err, c.ses, OCI_CRED_RDBMS, OCI_DEFAULT), OCI_SUCCESS);
  EXPECT_EQ(OCIErrorGet(c.err, 1, nullptr, &code, reinterpret_cast<OraText*>(buffer), sizeof buffer,
                        OCI_HTYPE_ERROR),
            OCI_NO_DATA);
}

TEST_F(HandlesTest, EntryPointsOnlyLookedUpSayTheyAreNotSupported) {
  OciConnection c;
  OCIBind* bind = nullptr;
  EXPECT_EQ(OCILogoff(c.svc, c.err), OCI_ERROR);
  EXPECT_NE(c.error().message.find("OCILogoff is not supported"), std::string::npos);
  EXPECT_EQ(OCILdaToSvcCtx(&c.svc, c.err, nullptr), OCI_ERROR);
  EXPECT_EQ(c.error().code, 3001);
  EXPECT_EQ(OCIDescribeAny(c.svc, c.err, nullptr, 0, OCI_OTYPE_NAME, 0, OCI_PTYPE_TABLE, nullptr),
            OCI_ERROR);
  EXPECT_NE(c.error().message.find("OCIDescribeAny"), std::string::npos);
  EXPECT_EQ(OCILobGetLength(c.svc, c.err, nullptr, nullptr), OCI_ERROR);
  EXPECT_EQ(OCIBindByPos(nullptr, &bind, c.err, 1, nullptr, 0, SQLT_STR, nullptr, nullptr, nullptr,
                         0, nullptr, OCI_DEFAULT),
            OCI_ERROR);
  EXPECT_NE(c.error().message.find("OCIBindByPos"), std::string::npos);
  EXPECT_EQ(c.error().message.back(), '\n');
}

TEST_F(HandlesTest, AttributesAreReadByTheHandleTypeTheyBelongTo) {
  OciConnection c;
  std::string user = "scott";
  ASSERT_EQ(OCIAttrSet(c.ses, OCI_HTYPE_SESSION, user.data(), static_cast<ub4>(user.size()),
                       OCI_ATTR_USERNAME, c.err),
            OCI_SUCCESS);
  OraText* name = nullptr;
  ub4 length = 0;
  ASSERT_EQ(OCIAttrGet(c.ses, OCI_HTYPE_SESSION, &name, &length, OCI_ATTR_USERNAME, c.err),
            OCI_SUCCESS);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(name), length), "scott");
  ASSERT_EQ(OCIAttrSet(c.svc, OCI_HTYPE_SVCCTX, c.srv, 0, OCI_ATTR_SERVER, c.err), OCI_SUCCESS);
  void* server = nullptr;
  ASSERT_EQ(OCIAttrGet(c.svc, OCI_HTYPE_SVCCTX, &server, nullptr, OCI_ATTR_SERVER, c.err),
            OCI_SUCCESS);
  EXPECT_EQ(server, c.srv);
  // Attribute 9 is a statement's row count, not something a session has.
  ub4 value = 0;
  EXPECT_EQ(OCIAttrGet(c.ses, OCI_HTYPE_SESSION, &value, nullptr, OCI_ATTR_ROW_COUNT, c.err),
            OCI_ERROR);
  EXPECT_EQ(c.error().code, 24315);
}

}  // namespace
}  // namespace ocisim::oci::testing
