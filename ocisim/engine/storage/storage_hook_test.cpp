// The directory storage as a Database hook on its own, without the dictionary above it: what
// statements write is there when the directory is opened again, by a new instance of the same
// process. (The tests of databases made the standard way are in engine/compose.)
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/exec/database.h"
#include "engine/exec/session.h"
#include "engine/exec/test_queries.h"
#include "engine/storage/directory_storage.h"

namespace ocisim::storage::testing {
namespace {

using ocisim::testing::column;
using ocisim::testing::errorCode;
using ocisim::testing::exec;

DatabaseHooks storageOnly() {
  DatabaseHooks hooks;
  hooks.storage = attachStorage;
  return hooks;
}

class StorageHook : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = ::testing::TempDir() + "ocisim_storage_hook_" + std::to_string(::getpid());
    std::filesystem::remove_all(dir);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  std::string dir;
};

TEST_F(StorageHook, WhatStatementsWriteIsThereAfterAReopen) {
  {
    auto db = Database::create(dir, {"HOOKDB", "8.1.7", "pw"}, storageOnly());
    ASSERT_NE(dynamic_cast<DirectoryStorage*>(db->persistence()), nullptr);
    auto s = db->logon("SYSTEM", "pw");
    exec(*s, "create table t (id number primary key, name varchar2(10))");
    exec(*s, "insert into t values (1, 'one')");
    exec(*s, "insert into t values (2, 'two')");
    exec(*s, "delete from t where id = 1");
  }
  auto db = Database::open(dir, storageOnly());
  EXPECT_EQ(db->globalName(), "HOOKDB");
  EXPECT_EQ(db->version(), "8.1.7");
  auto s = db->logon("SYSTEM", "PW");
  EXPECT_EQ(column(*s, "select name from t order by id"), (std::vector<std::string>{"two"}));
  EXPECT_EQ(errorCode(*s, "insert into t values (2, 'again')"), 1) << "the key came back";
}

TEST_F(StorageHook, TheStorageAloneGivesNoViews) {
  auto db = Database::create(dir, {}, storageOnly());
  auto s = db->logon("SYSTEM", "manager");
  EXPECT_EQ(errorCode(*s, "select * from dual"), 942);
  EXPECT_EQ(errorCode(*s, "select * from all_tables"), 942);
}

TEST_F(StorageHook, AnEmptyDirectoryHoldsNoDatabase) {
  std::filesystem::create_directories(dir);
  EXPECT_EQ(
      [&] {
        try {
          Database::open(dir, storageOnly());
        } catch (const OraError& e) {
          return e.code();
        }
        return 0;
      }(),
      1034);
}

}  // namespace
}  // namespace ocisim::storage::testing
