// What a Database takes from the layers above the executor: its views, once per instance, and
// its storage, without which it cannot live in a directory.
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/exec/test_support.h"

namespace ocisim::testing {
namespace {

// A storage hook that keeps nothing but counts how it was called.
struct StorageCalls {
  int created = 0;
  int opened = 0;
};

DatabaseHooks counting(StorageCalls& calls, int& viewInstalls) {
  DatabaseHooks hooks = dualOnly();
  auto install = hooks.installViews;
  hooks.installViews = [install, &viewInstalls](Database& db, VirtualTableRegistry& registry) {
    ++viewInstalls;
    install(db, registry);
  };
  hooks.storage = [&calls](Database&, const std::string&, bool create) {
    ++(create ? calls.created : calls.opened);
    return std::unique_ptr<PersistenceHook>();
  };
  return hooks;
}

TEST(DatabaseHooks, ViewsAreInstalledOncePerInstance) {
  int installs = 0;
  StorageCalls calls;
  auto db = Database::createInMemory({}, counting(calls, installs));
  EXPECT_EQ(installs, 1);
  EXPECT_EQ(calls.created + calls.opened, 0) << "a database in memory has no storage";
  auto s = db->logon("SYSTEM", "manager");
  EXPECT_EQ(column(*s, "select dummy from dual"), (std::vector<std::string>{"X"}));
}

TEST(DatabaseHooks, WithoutViewsThereIsNoDual) {
  auto db = Database::createInMemory({}, DatabaseHooks{});
  auto s = db->logon("SYSTEM", "manager");
  EXPECT_EQ(errorCode(*s, "select * from dual"), 942);
  EXPECT_EQ(exec(*s, "create table t (x number)"), 0u);
}

TEST(DatabaseHooks, CreateAndOpenGoThroughTheStorageHook) {
  std::string dir = ::testing::TempDir() + "ocisim_exec_hooks_" + std::to_string(::getpid());
  std::filesystem::remove_all(dir);
  int installs = 0;
  StorageCalls calls;
  DatabaseHooks hooks = counting(calls, installs);
  auto db = Database::create(dir, {"HOOKS", "19.3.0", "m"}, hooks);
  EXPECT_EQ(calls.created, 1);
  EXPECT_EQ(installs, 1);
  EXPECT_EQ(Database::open(dir, hooks).get(), db.get()) << "the open instance";
  EXPECT_EQ(calls.opened, 0);
  db.reset();
  auto again = Database::open(dir, hooks);
  EXPECT_EQ(calls.opened, 1);
  EXPECT_EQ(installs, 2);
  std::filesystem::remove_all(dir);
}

TEST(DatabaseHooks, ADirectoryNeedsAStorageHook) {
  std::string dir = ::testing::TempDir() + "ocisim_exec_no_storage_" + std::to_string(::getpid());
  EXPECT_THROW(Database::create(dir, {}, dualOnly()), std::invalid_argument);
  EXPECT_THROW(Database::open(dir, dualOnly()), std::invalid_argument);
  EXPECT_FALSE(std::filesystem::exists(dir));
}

}  // namespace
}  // namespace ocisim::testing
