// Helpers for the tests of libocisim's entry points: a database created through the engine API
// in a temporary OCISIM_HOME (the entry points are linked into the test, so they find it open
// in this process), a logged-on OCI connection, and statements read back as text.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/compose/engine.h"
#include "engine/exec/database.h"
#include "engine/exec/session.h"
#include "oci.h"

namespace ocisim::oci::testing {

// The code and message of record 1 of an error handle ("" and 0 when there is none).
struct OciError {
  int code = 0;
  std::string message;
};

inline OciError errorOf(void* handle, ub4 type = OCI_HTYPE_ERROR) {
  OciError e;
  char buffer[1024] = {};
  sb4 code = 0;
  if (OCIErrorGet(handle, 1, nullptr, &code, reinterpret_cast<OraText*>(buffer), sizeof buffer,
                  type) == OCI_SUCCESS) {
    e.code = code;
    e.message = buffer;
  }
  return e;
}

inline const OraText* ot(const std::string& s) {
  return reinterpret_cast<const OraText*>(s.c_str());
}

// One OCI logon: environment, error, server, service context and session handles.
struct OciConnection {
  OCIEnv* env = nullptr;
  OCIError* err = nullptr;
  OCIServer* srv = nullptr;
  OCISvcCtx* svc = nullptr;
  OCISession* ses = nullptr;

  OciConnection() {
    OCIInitialize(OCI_THREADED | OCI_OBJECT, nullptr, nullptr, nullptr, nullptr);
    OCIEnvInit(&env, OCI_DEFAULT, 0, nullptr);
    OCIHandleAlloc(env, reinterpret_cast<void**>(&err), OCI_HTYPE_ERROR, 0, nullptr);
    OCIHandleAlloc(env, reinterpret_cast<void**>(&srv), OCI_HTYPE_SERVER, 0, nullptr);
    OCIHandleAlloc(env, reinterpret_cast<void**>(&svc), OCI_HTYPE_SVCCTX, 0, nullptr);
    OCIHandleAlloc(env, reinterpret_cast<void**>(&ses), OCI_HTYPE_SESSION, 0, nullptr);
  }
  ~OciConnection() {
    if (env != nullptr) OCIHandleFree(env, OCI_HTYPE_ENV);
  }
  OciConnection(const OciConnection&) = delete;
  OciConnection& operator=(const OciConnection&) = delete;

  // Attach + session begin as the product does it; the status of the first failing call.
  sword logon(const std::string& alias, const std::string& user, const std::string& password) {
    sword s = OCIServerAttach(srv, err, ot(alias), static_cast<sb4>(alias.size()), OCI_DEFAULT);
    if (s != OCI_SUCCESS) return s;
    OCIAttrSet(svc, OCI_HTYPE_SVCCTX, srv, 0, OCI_ATTR_SERVER, err);
    OCIAttrSet(ses, OCI_HTYPE_SESSION, const_cast<char*>(user.c_str()),
               static_cast<ub4>(user.size()), OCI_ATTR_USERNAME, err);
    OCIAttrSet(ses, OCI_HTYPE_SESSION, const_cast<char*>(password.c_str()),
               static_cast<ub4>(password.size()), OCI_ATTR_PASSWORD, err);
    s = OCISessionBegin(svc, err, ses, OCI_CRED_RDBMS, OCI_DEFAULT);
    if (s != OCI_SUCCESS) return s;
    return OCIAttrSet(svc, OCI_HTYPE_SVCCTX, ses, 0, OCI_ATTR_SESSION, err);
  }
  OciError error() const { return errorOf(err); }
};

// A statement handle of a connection.
struct OciStatement {
  OciConnection& c;
  OCIStmt* stmt = nullptr;

  explicit OciStatement(OciConnection& connection) : c(connection) {
    OCIHandleAlloc(c.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
  }
  ~OciStatement() { OCIHandleFree(stmt, OCI_HTYPE_STMT); }
  OciStatement(const OciStatement&) = delete;
  OciStatement& operator=(const OciStatement&) = delete;

  sword prepare(const std::string& sql) {
    return OCIStmtPrepare(stmt, c.err, ot(sql), static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX,
                          OCI_DEFAULT);
  }
  sword execute(ub4 iterations, ub4 mode = OCI_DEFAULT) {
    return OCIStmtExecute(c.svc, stmt, c.err, iterations, 0, nullptr, nullptr, mode);
  }
  sword fetch(ub4 rows) { return OCIStmtFetch(stmt, c.err, rows, OCI_FETCH_NEXT, OCI_DEFAULT); }
  sword bindText(const std::string& name, char* buffer, sb4 size, sb2* indicator = nullptr) {
    OCIBind* bind = nullptr;
    return OCIBindByName(stmt, &bind, c.err, ot(name), static_cast<sb4>(name.size()), buffer, size,
                         SQLT_STR, indicator, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
  }
  sword bindInt(const std::string& name, int32_t* value) {
    OCIBind* bind = nullptr;
    return OCIBindByName(stmt, &bind, c.err, ot(name), static_cast<sb4>(name.size()), value,
                         sizeof *value, SQLT_INT, nullptr, nullptr, nullptr, 0, nullptr,
                         OCI_DEFAULT);
  }
  ub4 rowCount() {
    ub4 n = 0;
    OCIAttrGet(stmt, OCI_HTYPE_STMT, &n, nullptr, OCI_ATTR_ROW_COUNT, c.err);
    return n;
  }
  // Every row of a query with each column fetched as a string of up to 4000 bytes, one row per
  // fetch; NULL as "NULL". Fails the test on an error.
  std::vector<std::vector<std::string>> rows(const std::string& sql) {
    std::vector<std::vector<std::string>> out;
    EXPECT_EQ(prepare(sql), OCI_SUCCESS);
    if (execute(0) != OCI_SUCCESS) {
      ADD_FAILURE() << sql << ": " << c.error().message;
      return out;
    }
    ub4 count = 0;
    OCIAttrGet(stmt, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_PARAM_COUNT, c.err);
    std::vector<std::vector<char>> buffers(count, std::vector<char>(4001));
    std::vector<sb2> indicators(count);
    for (ub4 i = 0; i < count; ++i) {
      OCIDefine* define = nullptr;
      OCIDefineByPos(stmt, &define, c.err, i + 1, buffers[i].data(), 4001, SQLT_STR, &indicators[i],
                     nullptr, nullptr, OCI_DEFAULT);
    }
    for (;;) {
      sword s = fetch(1);
      if (s == OCI_NO_DATA) break;
      if (s != OCI_SUCCESS) {
        ADD_FAILURE() << sql << ": " << c.error().message;
        break;
      }
      std::vector<std::string> row;
      for (ub4 i = 0; i < count; ++i)
        row.push_back(indicators[i] == -1 ? "NULL" : std::string(buffers[i].data()));
      out.push_back(std::move(row));
    }
    return out;
  }
};

// A temporary OCISIM_HOME with databases created through the engine API.
class OciTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Creates the database `alias` (SYSTEM/manager) and keeps it open for the test.
  std::shared_ptr<Database> createDatabase(const std::string& alias,
                                           const std::string& version = "19.3.0");
  // Runs statements as SYSTEM through the engine.
  void run(const std::shared_ptr<Database>& db, const std::vector<std::string>& statements);

  std::filesystem::path home;
  std::vector<std::shared_ptr<Database>> databases;
};

inline void OciTest::SetUp() {
  std::string pattern = (std::filesystem::temp_directory_path() / "ocisim-oci-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  home = pattern;
  setenv("OCISIM_HOME", home.c_str(), 1);
  unsetenv("OCISIM_FAULTS");
}

inline void OciTest::TearDown() {
  unsetenv("OCISIM_FAULTS");
  databases.clear();
  std::error_code ec;
  std::filesystem::remove_all(home, ec);
}

inline std::shared_ptr<Database> OciTest::createDatabase(const std::string& alias,
                                                         const std::string& version) {
  DatabaseOptions options;
  options.globalName = alias;
  options.version = version;
  options.adminPassword = "manager";
  auto db = ocisim::createDatabase((home / alias).string(), options);
  databases.push_back(db);
  return db;
}

inline void OciTest::run(const std::shared_ptr<Database>& db,
                         const std::vector<std::string>& statements) {
  auto session = db->logon("SYSTEM", "manager");
  for (const std::string& sql : statements) {
    try {
      session->execute(sql);
    } catch (const std::exception& e) {
      FAIL() << sql << ": " << e.what();
    }
  }
}

}  // namespace ocisim::oci::testing
