/* The OCI entry points called from C, the way a C client of libocisim.so calls them: log on,
 * run a query with a bind, read its rows, log off. ocisimCApiSession returns 0 or the number
 * of the step that went wrong; c_api_driver_test.cpp runs it against a database. */
#include <stdlib.h>
#include <string.h>

#include "oci.h"

int ocisimCApiSession(const char* alias, char* message, size_t messageSize);

static int failed(OCIError* err, int step, char* message, size_t messageSize) {
  sb4 code = 0;
  message[0] = '\0';
  OCIErrorGet(err, 1, NULL, &code, (OraText*)message, (ub4)messageSize, OCI_HTYPE_ERROR);
  return step;
}

int ocisimCApiSession(const char* alias, char* message, size_t messageSize) {
  OCIEnv* env = NULL;
  OCIError* err = NULL;
  OCIServer* srv = NULL;
  OCISvcCtx* svc = NULL;
  OCISession* ses = NULL;
  OCIStmt* stmt = NULL;
  OCIDefine* define = NULL;
  OCIBind* bind = NULL;
  const char* sql = "select level * :factor from dual connect by level <= 3";
  char user[] = "system", password[] = "manager";
  int factor = 7, total = 0, result = 0;
  char values[3][12];
  sb2 indicators[3];
  sword status;

  if (OCIInitialize(OCI_THREADED | OCI_OBJECT, NULL, NULL, NULL, NULL) != OCI_SUCCESS) return 1;
  if (OCIEnvInit(&env, OCI_DEFAULT, 0, NULL) != OCI_SUCCESS) return 2;
  OCIHandleAlloc(env, (dvoid**)&err, OCI_HTYPE_ERROR, 0, NULL);
  OCIHandleAlloc(env, (dvoid**)&srv, OCI_HTYPE_SERVER, 0, NULL);
  OCIHandleAlloc(env, (dvoid**)&svc, OCI_HTYPE_SVCCTX, 0, NULL);
  OCIHandleAlloc(env, (dvoid**)&ses, OCI_HTYPE_SESSION, 0, NULL);
  OCIHandleAlloc(env, (dvoid**)&stmt, OCI_HTYPE_STMT, 0, NULL);
  if (OCIServerAttach(srv, err, (const OraText*)alias, (sb4)strlen(alias), OCI_DEFAULT) != 0) {
    result = failed(err, 3, message, messageSize);
    goto done;
  }
  OCIAttrSet(svc, OCI_HTYPE_SVCCTX, srv, 0, OCI_ATTR_SERVER, err);
  OCIAttrSet(ses, OCI_HTYPE_SESSION, user, (ub4)strlen(user), OCI_ATTR_USERNAME, err);
  OCIAttrSet(ses, OCI_HTYPE_SESSION, password, (ub4)strlen(password), OCI_ATTR_PASSWORD, err);
  if (OCISessionBegin(svc, err, ses, OCI_CRED_RDBMS, OCI_DEFAULT) != OCI_SUCCESS) {
    result = failed(err, 4, message, messageSize);
    goto done;
  }
  OCIAttrSet(svc, OCI_HTYPE_SVCCTX, ses, 0, OCI_ATTR_SESSION, err);
  OCIStmtPrepare(stmt, err, (const OraText*)sql, (ub4)strlen(sql), OCI_NTV_SYNTAX, OCI_DEFAULT);
  OCIBindByName(stmt, &bind, err, (const OraText*)":factor", -1, &factor, sizeof factor, SQLT_INT,
                NULL, NULL, NULL, 0, NULL, OCI_DEFAULT);
  OCIDefineByPos(stmt, &define, err, 1, values, sizeof values[0], SQLT_STR, indicators, NULL, NULL,
                 OCI_DEFAULT);
  status = OCIStmtExecute(svc, stmt, err, 3, 0, NULL, NULL, OCI_DEFAULT);
  if (status != OCI_SUCCESS) {
    result = failed(err, 5, message, messageSize);
    goto done;
  }
  total = atoi(values[0]) + atoi(values[1]) + atoi(values[2]);
  if (strcmp(values[2], "21") != 0 || total != 42) {
    result = 6;
    goto done;
  }
  if (OCIStmtFetch(stmt, err, 3, OCI_FETCH_NEXT, OCI_DEFAULT) != OCI_NO_DATA) {
    result = 7;
    goto done;
  }
  if (OCISessionEnd(svc, err, ses, OCI_DEFAULT) != OCI_SUCCESS ||
      OCIServerDetach(srv, err, OCI_DEFAULT) != OCI_SUCCESS)
    result = failed(err, 8, message, messageSize);
done:
  if (OCIHandleFree(env, OCI_HTYPE_ENV) != OCI_SUCCESS && result == 0) result = 9;
  return result;
}
