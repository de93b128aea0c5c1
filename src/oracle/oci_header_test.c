/* Compiles the OCI declarations as C, the way the stand-in client library and any C caller see
 * them, and hands a few facts to the C++ test that checks them. */
#include "oracle/oci.h"

int velmoraOciHeaderCheck(void);

static sword callThroughPointer(OCIStmtFetchFn fetch) {
  return fetch ? OCI_SUCCESS : OCI_ERROR;
}

int velmoraOciHeaderCheck(void) {
  OCIStmtFetchFn fetch = 0;
  int ok = 1;
  ok = ok && sizeof(ub1) == 1 && sizeof(ub2) == 2 && sizeof(ub4) == 4 && sizeof(sb4) == 4;
  ok = ok && sizeof(OCIInd) == 2 && OCI_IND_NULL == -1;
  ok = ok && callThroughPointer(fetch) == OCI_ERROR;
  return ok;
}
