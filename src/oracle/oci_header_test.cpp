#include "oracle/oci.h"

#include <gtest/gtest.h>

#include <type_traits>

extern "C" int velmoraOciHeaderCheck(void);

namespace {

// The function-pointer types must be exactly the types of the prototypes: OciLibrary stores
// dlsym results in them and the stand-in library defines the prototypes.
static_assert(std::is_same_v<decltype(&OCIServerVersion), OCIServerVersionFn>);
static_assert(std::is_same_v<decltype(&OCIBreak), OCIBreakFn>);
static_assert(std::is_same_v<decltype(&OCIDescriptorAlloc), OCIDescriptorAllocFn>);
static_assert(std::is_same_v<decltype(&OCIDescriptorFree), OCIDescriptorFreeFn>);
static_assert(std::is_same_v<decltype(&OCILobGetLength), OCILobGetLengthFn>);
static_assert(std::is_same_v<decltype(&OCIParamGet), OCIParamGetFn>);
static_assert(std::is_same_v<decltype(&OCIAttrSet), OCIAttrSetFn>);
static_assert(std::is_same_v<decltype(&OCIAttrGet), OCIAttrGetFn>);
static_assert(std::is_same_v<decltype(&OCIDescribeAny), OCIDescribeAnyFn>);
static_assert(std::is_same_v<decltype(&OCIErrorGet), OCIErrorGetFn>);
static_assert(std::is_same_v<decltype(&OCIHandleFree), OCIHandleFreeFn>);
static_assert(std::is_same_v<decltype(&OCIHandleAlloc), OCIHandleAllocFn>);
static_assert(std::is_same_v<decltype(&OCIEnvInit), OCIEnvInitFn>);
static_assert(std::is_same_v<decltype(&OCIInitialize), OCIInitializeFn>);
static_assert(std::is_same_v<decltype(&OCIServerAttach), OCIServerAttachFn>);
static_assert(std::is_same_v<decltype(&OCIServerDetach), OCIServerDetachFn>);
static_assert(std::is_same_v<decltype(&OCISessionBegin), OCISessionBeginFn>);
static_assert(std::is_same_v<decltype(&OCISessionEnd), OCISessionEndFn>);
static_assert(std::is_same_v<decltype(&OCILogoff), OCILogoffFn>);
static_assert(std::is_same_v<decltype(&OCIStmtPrepare), OCIStmtPrepareFn>);
static_assert(std::is_same_v<decltype(&OCIStmtExecute), OCIStmtExecuteFn>);
static_assert(std::is_same_v<decltype(&OCIStmtFetch), OCIStmtFetchFn>);
static_assert(std::is_same_v<decltype(&OCIDefineByPos), OCIDefineByPosFn>);
static_assert(std::is_same_v<decltype(&OCIBindByName), OCIBindByNameFn>);
static_assert(std::is_same_v<decltype(&OCIBindByPos), OCIBindByPosFn>);
static_assert(std::is_same_v<decltype(&OCILdaToSvcCtx), OCILdaToSvcCtxFn>);
static_assert(std::is_same_v<decltype(&OCIStmtGetPieceInfo), OCIStmtGetPieceInfoFn>);
static_assert(std::is_same_v<decltype(&OCIStmtSetPieceInfo), OCIStmtSetPieceInfoFn>);

TEST(OciHeader, CompilesAsCWithTheSameSizes) {
  EXPECT_EQ(velmoraOciHeaderCheck(), 1);
}

}  // namespace
