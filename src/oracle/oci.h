/* oci.h: our own declaration of the Oracle Call Interface subset this system uses: the scalar
 * types, the opaque handle types, the constants and the prototypes of the 28 entry points, as
 * Oracle publishes them, plus one function-pointer type per entry point. Plain C: the product
 * binds these entry points at run time (OciLibrary) and the stand-in client library implements
 * them. No Oracle header is needed to build. */
#ifndef VELMORA_ORACLE_OCI_H
#define VELMORA_ORACLE_OCI_H

#include <stddef.h>

/* ---- Scalar types (oratypes.h) ---------------------------------------------------------- */

typedef unsigned char ub1;
typedef signed char sb1;
typedef unsigned short ub2;
typedef signed short sb2;
typedef unsigned int ub4;
typedef signed int sb4;
typedef unsigned long long ub8;
typedef signed long long sb8;
typedef signed int sword;
typedef unsigned int uword;
typedef int eword;
typedef unsigned char oratext;
typedef oratext text;
typedef oratext OraText;

#ifndef dvoid
#define dvoid void
#endif
#ifndef CONST
#define CONST const
#endif

/* ---- Handles and descriptors: opaque, only ever held by pointer ------------------------- */

typedef struct OCIEnv OCIEnv;
typedef struct OCIError OCIError;
typedef struct OCISvcCtx OCISvcCtx;
typedef struct OCIStmt OCIStmt;
typedef struct OCIBind OCIBind;
typedef struct OCIDefine OCIDefine;
typedef struct OCIDescribe OCIDescribe;
typedef struct OCIServer OCIServer;
typedef struct OCISession OCISession;
typedef struct OCILobLocator OCILobLocator;
typedef struct OCISnapshot OCISnapshot;
typedef struct OCIParam OCIParam;
typedef struct OCIRowid OCIRowid;

/* The version 7 logon data area (ocidfn.h); only OCILdaToSvcCtx names it. */
struct cda_def;
typedef struct cda_def Lda_Def;

typedef sb2 OCIInd;
#define OCI_IND_NOTNULL ((sb2)0)
#define OCI_IND_NULL ((sb2)-1)
#define OCI_IND_BADNULL ((sb2)-2)
#define OCI_IND_NOTNULLABLE ((sb2)-3)

/* ---- Return codes ------------------------------------------------------------------------ */

#define OCI_SUCCESS 0
#define OCI_SUCCESS_WITH_INFO 1
#define OCI_NEED_DATA 99
#define OCI_NO_DATA 100
#define OCI_ERROR -1
#define OCI_INVALID_HANDLE -2
#define OCI_STILL_EXECUTING -3123
#define OCI_CONTINUE -24200

/* ---- Modes and options ------------------------------------------------------------------- */

#define OCI_DEFAULT 0x00
#define OCI_THREADED 0x01
#define OCI_OBJECT 0x02

#define OCI_BATCH_MODE 0x01
#define OCI_EXACT_FETCH 0x02
#define OCI_STMT_SCROLLABLE_READONLY 0x08
#define OCI_DESCRIBE_ONLY 0x10
#define OCI_COMMIT_ON_SUCCESS 0x20
#define OCI_NON_BLOCKING 0x40
#define OCI_BATCH_ERRORS 0x80
#define OCI_PARSE_ONLY 0x100

#define OCI_DATA_AT_EXEC 0x02  /* bind */
#define OCI_DYNAMIC_FETCH 0x02 /* define */
#define OCI_PIECEWISE 0x04

#define OCI_NTV_SYNTAX 1
#define OCI_V7_SYNTAX 2
#define OCI_V8_SYNTAX 3

#define OCI_FETCH_CURRENT 0x01
#define OCI_FETCH_NEXT 0x02
#define OCI_FETCH_FIRST 0x04
#define OCI_FETCH_LAST 0x08
#define OCI_FETCH_PRIOR 0x10
#define OCI_FETCH_ABSOLUTE 0x20
#define OCI_FETCH_RELATIVE 0x40

#define OCI_CRED_RDBMS 1
#define OCI_CRED_EXT 2
#define OCI_CRED_PROXY 3

#define OCI_SYSDBA 0x02
#define OCI_SYSOPER 0x04

#define OCI_PARAM_IN 0x01
#define OCI_PARAM_OUT 0x02

#define OCI_OTYPE_NAME 1
#define OCI_OTYPE_REF 2
#define OCI_OTYPE_PTR 3

#define OCI_PTYPE_UNK 0
#define OCI_PTYPE_TABLE 1
#define OCI_PTYPE_VIEW 2
#define OCI_PTYPE_PROC 3
#define OCI_PTYPE_FUNC 4
#define OCI_PTYPE_PKG 5
#define OCI_PTYPE_TYPE 6
#define OCI_PTYPE_SYN 7
#define OCI_PTYPE_SEQ 8
#define OCI_PTYPE_COL 9
#define OCI_PTYPE_ARG 10
#define OCI_PTYPE_LIST 11
#define OCI_PTYPE_SCHEMA 17
#define OCI_PTYPE_DATABASE 18

#define SQLCS_IMPLICIT 1
#define SQLCS_NCHAR 2

#define OCI_ERROR_MAXMSG_SIZE 1024

/* ---- Handle and descriptor types --------------------------------------------------------- */

#define OCI_HTYPE_ENV 1
#define OCI_HTYPE_ERROR 2
#define OCI_HTYPE_SVCCTX 3
#define OCI_HTYPE_STMT 4
#define OCI_HTYPE_BIND 5
#define OCI_HTYPE_DEFINE 6
#define OCI_HTYPE_DESCRIBE 7
#define OCI_HTYPE_SERVER 8
#define OCI_HTYPE_SESSION 9
#define OCI_HTYPE_TRANS 10

#define OCI_DTYPE_LOB 50
#define OCI_DTYPE_SNAP 51
#define OCI_DTYPE_RSET 52
#define OCI_DTYPE_PARAM 53
#define OCI_DTYPE_ROWID 54
#define OCI_DTYPE_COMPLEXOBJECTCOMP 55
#define OCI_DTYPE_FILE 56
#define OCI_DTYPE_INTERVAL_YM 62
#define OCI_DTYPE_INTERVAL_DS 63
#define OCI_DTYPE_DATE 65
#define OCI_DTYPE_TIMESTAMP 68
#define OCI_DTYPE_TIMESTAMP_TZ 69
#define OCI_DTYPE_TIMESTAMP_LTZ 70

/* ---- Attributes. The numbers are reused: their meaning depends on the handle type. ------- */

/* Handle attributes */
#define OCI_ATTR_ENV 5
#define OCI_ATTR_SERVER 6
#define OCI_ATTR_SESSION 7
#define OCI_ATTR_TRANS 8
#define OCI_ATTR_ROW_COUNT 9
#define OCI_ATTR_SQLFNCODE 10
#define OCI_ATTR_PREFETCH_ROWS 11
#define OCI_ATTR_PREFETCH_MEMORY 13
#define OCI_ATTR_PARAM_COUNT 18
#define OCI_ATTR_ROWID 19
#define OCI_ATTR_USERNAME 22
#define OCI_ATTR_PASSWORD 23
#define OCI_ATTR_STMT_TYPE 24
#define OCI_ATTR_PTYPE 123
#define OCI_ATTR_PARAM 124
#define OCI_ATTR_PARSE_ERROR_OFFSET 129
#define OCI_ATTR_SERVER_STATUS 143
#define OCI_ATTR_ROWS_FETCHED 197

#define OCI_SERVER_NOT_CONNECTED 0
#define OCI_SERVER_NORMAL 1

/* Parameter-descriptor attributes (select-list describe) */
#define OCI_ATTR_DATA_SIZE 1
#define OCI_ATTR_DATA_TYPE 2
#define OCI_ATTR_DISP_SIZE 3
#define OCI_ATTR_NAME 4
#define OCI_ATTR_PRECISION 5
#define OCI_ATTR_SCALE 6
#define OCI_ATTR_IS_NULL 7
#define OCI_ATTR_TYPE_NAME 8
#define OCI_ATTR_SCHEMA_NAME 9
#define OCI_ATTR_POSITION 11
#define OCI_ATTR_CHARSET_ID 31
#define OCI_ATTR_CHARSET_FORM 32
#define OCI_ATTR_NUM_COLS 102
#define OCI_ATTR_LIST_COLUMNS 103
#define OCI_ATTR_CHAR_USED 285
#define OCI_ATTR_CHAR_SIZE 286

/* ---- Pieces of a piecewise operation ----------------------------------------------------- */

#define OCI_ONE_PIECE 0
#define OCI_FIRST_PIECE 1
#define OCI_NEXT_PIECE 2
#define OCI_LAST_PIECE 3

/* ---- Statement types (OCI_ATTR_STMT_TYPE) ------------------------------------------------ */

#define OCI_STMT_UNKNOWN 0
#define OCI_STMT_SELECT 1
#define OCI_STMT_UPDATE 2
#define OCI_STMT_DELETE 3
#define OCI_STMT_INSERT 4
#define OCI_STMT_CREATE 5
#define OCI_STMT_DROP 6
#define OCI_STMT_ALTER 7
#define OCI_STMT_BEGIN 8
#define OCI_STMT_DECLARE 9
#define OCI_STMT_CALL 10

/* ---- External data types (ocidfn.h) ------------------------------------------------------ */

#define SQLT_CHR 1
#define SQLT_NUM 2
#define SQLT_INT 3
#define SQLT_FLT 4
#define SQLT_STR 5
#define SQLT_VNU 6
#define SQLT_PDN 7
#define SQLT_LNG 8
#define SQLT_VCS 9
#define SQLT_NON 10
#define SQLT_RID 11
#define SQLT_DAT 12
#define SQLT_VBI 15
#define SQLT_BFLOAT 21
#define SQLT_BDOUBLE 22
#define SQLT_BIN 23
#define SQLT_LBI 24
#define SQLT_UIN 68
#define SQLT_SLS 91
#define SQLT_LVC 94
#define SQLT_LVB 95
#define SQLT_AFC 96
#define SQLT_AVC 97
#define SQLT_IBFLOAT 100
#define SQLT_IBDOUBLE 101
#define SQLT_CUR 102
#define SQLT_RDD 104
#define SQLT_LAB 105
#define SQLT_OSL 106
#define SQLT_NTY 108
#define SQLT_REF 110
#define SQLT_CLOB 112
#define SQLT_BLOB 113
#define SQLT_BFILEE 114
#define SQLT_FILE SQLT_BFILEE
#define SQLT_BFILE SQLT_BFILEE
#define SQLT_CFILEE 115
#define SQLT_RSET 116
#define SQLT_NCO 122
#define SQLT_VST 155
#define SQLT_ODT 156
#define SQLT_DATE 184
#define SQLT_TIME 185
#define SQLT_TIME_TZ 186
#define SQLT_TIMESTAMP 187
#define SQLT_TIMESTAMP_TZ 188
#define SQLT_INTERVAL_YM 189
#define SQLT_INTERVAL_DS 190
#define SQLT_TIMESTAMP_LTZ 232
#define SQLT_PNTY 241
#define SQLT_REC 250
#define SQLT_TAB 251
#define SQLT_BOL 252

#define OCI_NUMBER_SIZE 22

/* ---- The 28 entry points (ociap.h), in the order the product looks them up --------------- */

#ifdef __cplusplus
extern "C" {
#endif

sword OCIServerVersion(dvoid* hndlp, OCIError* errhp, OraText* bufp, ub4 bufsz, ub1 hndltype);
sword OCIBreak(dvoid* hndlp, OCIError* errhp);
sword OCIDescriptorAlloc(CONST dvoid* parenth, dvoid** descpp, CONST ub4 type,
                         CONST size_t xtramem_sz, dvoid** usrmempp);
sword OCIDescriptorFree(dvoid* descp, CONST ub4 type);
sword OCILobGetLength(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4* lenp);
sword OCIParamGet(CONST dvoid* hndlp, ub4 htype, OCIError* errhp, dvoid** parmdpp, ub4 pos);
sword OCIAttrSet(dvoid* trgthndlp, ub4 trghndltyp, dvoid* attributep, ub4 size, ub4 attrtype,
                 OCIError* errhp);
sword OCIAttrGet(CONST dvoid* trgthndlp, ub4 trghndltyp, dvoid* attributep, ub4* sizep,
                 ub4 attrtype, OCIError* errhp);
sword OCIDescribeAny(OCISvcCtx* svchp, OCIError* errhp, dvoid* objptr, ub4 objnm_len,
                     ub1 objptr_typ, ub1 info_level, ub1 objtyp, OCIDescribe* dschp);
sword OCIErrorGet(dvoid* hndlp, ub4 recordno, OraText* sqlstate, sb4* errcodep, OraText* bufp,
                  ub4 bufsiz, ub4 type);
sword OCIHandleFree(dvoid* hndlp, CONST ub4 type);
sword OCIHandleAlloc(CONST dvoid* parenth, dvoid** hndlpp, CONST ub4 type, CONST size_t xtramem_sz,
                     dvoid** usrmempp);
sword OCIEnvInit(OCIEnv** envp, ub4 mode, size_t xtramem_sz, dvoid** usrmempp);
sword OCIInitialize(ub4 mode, dvoid* ctxp, dvoid* (*malocfp)(dvoid* ctxp, size_t size),
                    dvoid* (*ralocfp)(dvoid* ctxp, dvoid* memptr, size_t newsize),
                    void (*mfreefp)(dvoid* ctxp, dvoid* memptr));
sword OCIServerAttach(OCIServer* srvhp, OCIError* errhp, CONST OraText* dblink, sb4 dblink_len,
                      ub4 mode);
sword OCIServerDetach(OCIServer* srvhp, OCIError* errhp, ub4 mode);
sword OCISessionBegin(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 credt, ub4 mode);
sword OCISessionEnd(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 mode);
sword OCILogoff(OCISvcCtx* svchp, OCIError* errhp);
sword OCIStmtPrepare(OCIStmt* stmtp, OCIError* errhp, CONST OraText* stmt, ub4 stmt_len,
                     ub4 language, ub4 mode);
sword OCIStmtExecute(OCISvcCtx* svchp, OCIStmt* stmtp, OCIError* errhp, ub4 iters, ub4 rowoff,
                     CONST OCISnapshot* snap_in, OCISnapshot* snap_out, ub4 mode);
sword OCIStmtFetch(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation, ub4 mode);
sword OCIDefineByPos(OCIStmt* stmtp, OCIDefine** defnp, OCIError* errhp, ub4 position,
                     dvoid* valuep, sb4 value_sz, ub2 dty, dvoid* indp, ub2* rlenp, ub2* rcodep,
                     ub4 mode);
sword OCIBindByName(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp, CONST OraText* placeholder,
                    sb4 placeh_len, dvoid* valuep, sb4 value_sz, ub2 dty, dvoid* indp, ub2* alenp,
                    ub2* rcodep, ub4 maxarr_len, ub4* curelep, ub4 mode);
sword OCIBindByPos(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp, ub4 position, dvoid* valuep,
                   sb4 value_sz, ub2 dty, dvoid* indp, ub2* alenp, ub2* rcodep, ub4 maxarr_len,
                   ub4* curelep, ub4 mode);
sword OCILdaToSvcCtx(OCISvcCtx** svchpp, OCIError* errhp, Lda_Def* ldap);
sword OCIStmtGetPieceInfo(OCIStmt* stmtp, OCIError* errhp, dvoid** hndlpp, ub4* typep, ub1* in_outp,
                          ub4* iterp, ub4* idxp, ub1* piecep);
sword OCIStmtSetPieceInfo(dvoid* hndlp, ub4 type, OCIError* errhp, CONST dvoid* bufp, ub4* alenp,
                          ub1 piece, CONST dvoid* indp, ub2* rcodep);

/* ---- One function-pointer type per entry point, for binding at run time ------------------ */

typedef sword (*OCIServerVersionFn)(dvoid*, OCIError*, OraText*, ub4, ub1);
typedef sword (*OCIBreakFn)(dvoid*, OCIError*);
typedef sword (*OCIDescriptorAllocFn)(CONST dvoid*, dvoid**, CONST ub4, CONST size_t, dvoid**);
typedef sword (*OCIDescriptorFreeFn)(dvoid*, CONST ub4);
typedef sword (*OCILobGetLengthFn)(OCISvcCtx*, OCIError*, OCILobLocator*, ub4*);
typedef sword (*OCIParamGetFn)(CONST dvoid*, ub4, OCIError*, dvoid**, ub4);
typedef sword (*OCIAttrSetFn)(dvoid*, ub4, dvoid*, ub4, ub4, OCIError*);
typedef sword (*OCIAttrGetFn)(CONST dvoid*, ub4, dvoid*, ub4*, ub4, OCIError*);
typedef sword (*OCIDescribeAnyFn)(OCISvcCtx*, OCIError*, dvoid*, ub4, ub1, ub1, ub1, OCIDescribe*);
typedef sword (*OCIErrorGetFn)(dvoid*, ub4, OraText*, sb4*, OraText*, ub4, ub4);
typedef sword (*OCIHandleFreeFn)(dvoid*, CONST ub4);
typedef sword (*OCIHandleAllocFn)(CONST dvoid*, dvoid**, CONST ub4, CONST size_t, dvoid**);
typedef sword (*OCIEnvInitFn)(OCIEnv**, ub4, size_t, dvoid**);
typedef sword (*OCIInitializeFn)(ub4, dvoid*, dvoid* (*)(dvoid*, size_t),
                                 dvoid* (*)(dvoid*, dvoid*, size_t), void (*)(dvoid*, dvoid*));
typedef sword (*OCIServerAttachFn)(OCIServer*, OCIError*, CONST OraText*, sb4, ub4);
typedef sword (*OCIServerDetachFn)(OCIServer*, OCIError*, ub4);
typedef sword (*OCISessionBeginFn)(OCISvcCtx*, OCIError*, OCISession*, ub4, ub4);
typedef sword (*OCISessionEndFn)(OCISvcCtx*, OCIError*, OCISession*, ub4);
typedef sword (*OCILogoffFn)(OCISvcCtx*, OCIError*);
typedef sword (*OCIStmtPrepareFn)(OCIStmt*, OCIError*, CONST OraText*, ub4, ub4, ub4);
typedef sword (*OCIStmtExecuteFn)(OCISvcCtx*, OCIStmt*, OCIError*, ub4, ub4, CONST OCISnapshot*,
                                  OCISnapshot*, ub4);
typedef sword (*OCIStmtFetchFn)(OCIStmt*, OCIError*, ub4, ub2, ub4);
typedef sword (*OCIDefineByPosFn)(OCIStmt*, OCIDefine**, OCIError*, ub4, dvoid*, sb4, ub2, dvoid*,
                                  ub2*, ub2*, ub4);
typedef sword (*OCIBindByNameFn)(OCIStmt*, OCIBind**, OCIError*, CONST OraText*, sb4, dvoid*, sb4,
                                 ub2, dvoid*, ub2*, ub2*, ub4, ub4*, ub4);
typedef sword (*OCIBindByPosFn)(OCIStmt*, OCIBind**, OCIError*, ub4, dvoid*, sb4, ub2, dvoid*, ub2*,
                                ub2*, ub4, ub4*, ub4);
typedef sword (*OCILdaToSvcCtxFn)(OCISvcCtx**, OCIError*, Lda_Def*);
typedef sword (*OCIStmtGetPieceInfoFn)(OCIStmt*, OCIError*, dvoid**, ub4*, ub1*, ub4*, ub4*, ub1*);
typedef sword (*OCIStmtSetPieceInfoFn)(dvoid*, ub4, OCIError*, CONST dvoid*, ub4*, ub1,
                                       CONST dvoid*, ub2*);

#ifdef __cplusplus
}
#endif

#endif /* VELMORA_ORACLE_OCI_H */
