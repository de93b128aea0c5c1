// Logging on through the entry points: aliases, paths, passwords, banners, session ends.
#include "oci_test_support.h"

namespace ocisim::oci::testing {
namespace {

class ConnectTest : public OciTest {};

TEST_F(ConnectTest, AliasIsADirectoryUnderOcisimHomeMatchedWithoutCase) {
  createDatabase("orcl");
  OciConnection exact, upper;
  EXPECT_EQ(exact.logon("orcl", "system", "manager"), OCI_SUCCESS) << exact.error().message;
  EXPECT_EQ(upper.logon("ORCL", "SYSTEM", "manager"), OCI_SUCCESS) << upper.error().message;
  OciStatement s(upper);
  EXPECT_EQ(s.rows("select user, global_name from global_name"),
            (std::vector<std::vector<std::string>>{{"SYSTEM", "ORCL"}}));
}

TEST_F(ConnectTest, PathIsUsedAsItIs) {
  createDatabase("db1");
  unsetenv("OCISIM_HOME");
  OciConnection c;
  EXPECT_EQ(c.logon((home / "db1").string(), "system", "manager"), OCI_SUCCESS)
      << c.error().message;
}

TEST_F(ConnectTest, UnknownOrEmptyAliasIsRefusedWithTnsErrors) {
  createDatabase("orcl");
  OciConnection unknown, empty, path;
  EXPECT_EQ(unknown.logon("nosuchdb", "system", "manager"), OCI_ERROR);
  EXPECT_EQ(unknown.error().code, 12154);
  EXPECT_EQ(unknown.error().message,
            "ORA-12154: TNS:could not resolve the connect identifier specified\n");
  EXPECT_EQ(empty.logon("", "system", "manager"), OCI_ERROR);
  EXPECT_EQ(empty.error().code, 12162);
  EXPECT_EQ(path.logon((home / "missing").string(), "system", "manager"), OCI_ERROR);
  EXPECT_EQ(path.error().code, 12154);

  unsetenv("OCISIM_HOME");
  OciConnection noHome;
  EXPECT_EQ(noHome.logon("orcl", "system", "manager"), OCI_ERROR);
  EXPECT_EQ(noHome.error().code, 12154);
}

TEST_F(ConnectTest, WrongPasswordOrUserIsOra01017AndTheHandleCanLogOnAgain) {
  createDatabase("orcl");
  OciConnection c;
  EXPECT_EQ(c.logon("orcl", "system", "wrong"), OCI_ERROR);
  EXPECT_EQ(c.error().message, "ORA-01017: invalid username/password; logon denied\n");
  // The server stays attached: a second attempt on the same handles only begins a session.
  std::string user = "nobody", password = "manager";
  OCIAttrSet(c.ses, OCI_HTYPE_SESSION, user.data(), static_cast<ub4>(user.size()),
             OCI_ATTR_USERNAME, c.err);
  EXPECT_EQ(OCISessionBegin(c.svc, c.err, c.ses, OCI_CRED_RDBMS, OCI_DEFAULT), OCI_ERROR);
  EXPECT_EQ(c.error().code, 1017);
  user = "system";
  OCIAttrSet(c.ses, OCI_HTYPE_SESSION, user.data(), static_cast<ub4>(user.size()),
             OCI_ATTR_USERNAME, c.err);
  OCIAttrSet(c.ses, OCI_HTYPE_SESSION, password.data(), static_cast<ub4>(password.size()),
             OCI_ATTR_PASSWORD, c.err);
  EXPECT_EQ(OCISessionBegin(c.svc, c.err, c.ses, OCI_CRED_RDBMS, OCI_DEFAULT), OCI_SUCCESS);
  EXPECT_EQ(OCISessionBegin(c.svc, c.err, c.ses, OCI_CRED_RDBMS, OCI_DEFAULT), OCI_ERROR);
  EXPECT_EQ(c.error().code, 24313);  // already authenticated
}

TEST_F(ConnectTest, ServerVersionGivesTheBannerOfTheRelease) {
  struct Case {
    const char* version;
    const char* firstLine;
  } cases[] = {
      {"7.3.4", "Oracle7 Server Release 7.3.4.0.0 - Production"},
      {"8.0.5", "Oracle8 Enterprise Edition Release 8.0.5.0.0 - Production"},
      {"8.1.7", "Oracle8i Enterprise Edition Release 8.1.7.0.0 - Production"},
      {"9.2.0.1.0", "Oracle9i Enterprise Edition Release 9.2.0.1.0 - Production"},
      {"19.3.0", "Oracle Database 19c Enterprise Edition Release 19.0.0.0.0 - Production"},
  };
  for (const Case& c : cases) {
    std::string alias = std::string("v") + c.version;
    createDatabase(alias, c.version);
    OciConnection conn;
    ASSERT_EQ(conn.logon(alias, "system", "manager"), OCI_SUCCESS) << conn.error().message;
    char banner[512] = {};
    ASSERT_EQ(OCIServerVersion(conn.svc, conn.err, reinterpret_cast<OraText*>(banner),
                               sizeof banner, OCI_HTYPE_SVCCTX),
              OCI_SUCCESS);
    std::string text = banner;
    EXPECT_EQ(text.substr(0, text.find('\n')), c.firstLine);
    // By the server handle too, and cut to a small buffer with its terminator.
    char small[8];
    ASSERT_EQ(OCIServerVersion(conn.srv, conn.err, reinterpret_cast<OraText*>(small), sizeof small,
                               OCI_HTYPE_SERVER),
              OCI_SUCCESS);
    EXPECT_EQ(std::string(small), text.substr(0, 7));
  }
}

TEST_F(ConnectTest, EndedSessionAndDetachedServerRefuseStatements) {
  createDatabase("orcl");
  OciConnection c;
  ASSERT_EQ(c.logon("orcl", "system", "manager"), OCI_SUCCESS);
  OciStatement s(c);
  ASSERT_EQ(s.prepare("select 1 from dual"), OCI_SUCCESS);
  ASSERT_EQ(s.execute(0), OCI_SUCCESS);
  ub4 status = 9;
  OCIAttrGet(c.srv, OCI_HTYPE_SERVER, &status, nullptr, OCI_ATTR_SERVER_STATUS, c.err);
  EXPECT_EQ(status, static_cast<ub4>(OCI_SERVER_NORMAL));

  EXPECT_EQ(OCISessionEnd(c.svc, c.err, c.ses, OCI_DEFAULT), OCI_SUCCESS);
  EXPECT_EQ(s.execute(0), OCI_ERROR);
  EXPECT_EQ(c.error().code, 1012);
  EXPECT_EQ(s.fetch(1), OCI_ERROR);  // the cursor went with the session
  EXPECT_EQ(OCIServerDetach(c.srv, c.err, OCI_DEFAULT), OCI_SUCCESS);
  OCIAttrGet(c.srv, OCI_HTYPE_SERVER, &status, nullptr, OCI_ATTR_SERVER_STATUS, c.err);
  EXPECT_EQ(status, static_cast<ub4>(OCI_SERVER_NOT_CONNECTED));
  char banner[64];
  EXPECT_EQ(OCIServerVersion(c.svc, c.err, reinterpret_cast<OraText*>(banner), sizeof banner,
                             OCI_HTYPE_SVCCTX),
            OCI_ERROR);
  EXPECT_EQ(c.error().code, 3114);
  // Attached again, the same handles log on anew.
  EXPECT_EQ(c.logon("orcl", "system", "manager"), OCI_SUCCESS) << c.error().message;
}

// DROP USER is ORA-01940 while the user has a session; OCISessionEnd ends it even though a
// statement handle of the session is still allocated.
TEST_F(ConnectTest, ConnectedUserCannotBeDroppedUntilItsSessionEnds) {
  auto db = createDatabase("orcl");
  run(db, {"create user app identified by app", "grant create session to app"});
  OciConnection app;
  ASSERT_EQ(app.logon("orcl", "app", "app"), OCI_SUCCESS) << app.error().message;
  OciStatement appStmt(app);
  ASSERT_EQ(appStmt.prepare("select 1 from dual"), OCI_SUCCESS);
  ASSERT_EQ(appStmt.execute(0), OCI_SUCCESS);

  OciConnection sys;
  ASSERT_EQ(sys.logon("orcl", "system", "manager"), OCI_SUCCESS);
  OciStatement drop(sys);
  ASSERT_EQ(drop.prepare("drop user app"), OCI_SUCCESS);
  EXPECT_EQ(drop.execute(1), OCI_ERROR);
  EXPECT_EQ(sys.error().message, "ORA-01940: cannot drop a user that is currently connected\n");

  EXPECT_EQ(OCISessionEnd(app.svc, app.err, app.ses, OCI_DEFAULT), OCI_SUCCESS);
  EXPECT_EQ(drop.execute(1), OCI_SUCCESS) << sys.error().message;
  OciStatement check(sys);
  EXPECT_EQ(check.rows("select count(*) from all_users where username = 'APP'"),
            (std::vector<std::vector<std::string>>{{"0"}}));
}

}  // namespace
}  // namespace ocisim::oci::testing
