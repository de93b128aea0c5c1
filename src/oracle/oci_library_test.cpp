#include "oracle/oci_library.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <map>

#include "base/recording_host.h"
#include "config/memory_settings_store.h"
#include "config/registry_settings.h"
#include "oracle/oracle_session.h"
#include "oracle/oracle_statement.h"
#include "oracle/testlib/oci_test_backend.h"

namespace velmora {
namespace {

// The system loader with some library names mapped onto files of the tests: dlopen still does
// the loading and binding. Records every name tried.
class MappingLoader : public DynamicLoader {
 public:
  void* open(const std::string& name) override {
    tried.push_back(name);
    auto it = paths.find(name);
    return it == paths.end() ? nullptr : DynamicLoader::system().open(it->second);
  }
  void* symbol(void* module, const char* name) override {
    return DynamicLoader::system().symbol(module, name);
  }
  void close(void* module) override { DynamicLoader::system().close(module); }

  std::map<std::string, std::string> paths;
  std::vector<std::string> tried;
};

OracleEnvironment environmentOf(SettingsStore* settings, RunHost* host = nullptr,
                                DynamicLoader* loader = nullptr) {
  OracleEnvironment environment;
  environment.settings = settings;
  environment.host = host;
  environment.loader = loader;
  return environment;
}

TEST(OciLibrary, ChoiceCodesNameTheirLibraries) {
  EXPECT_EQ(OciLibrary::candidateNames(0, "ignored"),
            (std::vector<std::string>{"libclntsh.so", "libclntsh.so.23.1", "libclntsh.so.21.1",
                                      "libclntsh.so.19.1", "libclntsh.so.18.1", "libclntsh.so.12.1",
                                      "libclntsh.so.11.1"}));
  for (int code : {83, 84, 85, 70, 71, 72, 73})
    EXPECT_EQ(OciLibrary::candidateNames(code, "x"), std::vector<std::string>{"libclntsh.so"});
  EXPECT_EQ(OciLibrary::candidateNames(99, "/opt/ocisim/libocisim.so"),
            std::vector<std::string>{"/opt/ocisim/libocisim.so"});
  EXPECT_TRUE(OciLibrary::candidateNames(99, "").empty());
  EXPECT_TRUE(OciLibrary::candidateNames(5, "libclntsh.so").empty());
  EXPECT_TRUE(OciLibrary::candidateNames(-1, "").empty());
}

TEST(OciLibrary, DefaultCodeFallsBackToAnInstantClientName) {
  MappingLoader loader;
  loader.paths["libclntsh.so.19.1"] = VELMORA_FAKE_OCI_PATH;
  OciLibrary library(loader);
  EXPECT_EQ(library.load(0, ""), 0);
  ASSERT_TRUE(library.loaded());
  EXPECT_EQ(library.libraryName(), "libclntsh.so.19.1");
  EXPECT_EQ(loader.tried, (std::vector<std::string>{"libclntsh.so", "libclntsh.so.23.1",
                                                    "libclntsh.so.21.1", "libclntsh.so.19.1"}));
  EXPECT_TRUE(library.bindsEntryPoints());
  EXPECT_TRUE(library.missingEntryPoints().empty());
}

TEST(OciLibrary, NothingLoadsForUnknownCodesOrMissingFiles) {
  MappingLoader loader;
  loader.paths["libclntsh.so"] = VELMORA_FAKE_OCI_PATH;
  OciLibrary library(loader);
  EXPECT_EQ(library.load(5, ""), 5);
  EXPECT_FALSE(library.loaded());
  EXPECT_TRUE(loader.tried.empty()) << "code 5 tries nothing, even with a client installed";

  OciLibrary real;
  EXPECT_EQ(real.load(99, "/nonexistent/libocisim.so"), 99);
  EXPECT_FALSE(real.loaded());

  // The session reports it; the front end shows the message and ends.
  MemorySettingsStore settings;
  settings.setInt(kSettingsSection, "OCIVER", 99);
  settings.setString(kSettingsSection, "OCIDLL", "/nonexistent/libocisim.so");
  RecordingHost host;
  OracleEnvironment environment = environmentOf(&settings, &host);
  OracleSession session(environment);
  EXPECT_FALSE(session.clientLoaded());
  EXPECT_EQ(session.clientCode(), 99);
  EXPECT_FALSE(session.connect("scott", "tiger", "orcl", true, true));
  EXPECT_EQ(host.questionTexts(), std::vector<std::string>{OciLibrary::kClientMissingMessage});
}

TEST(OciLibrary, OracleSevenCodesLoadButBindNothing) {
  auto backend = makeFakeOciBackend(VELMORA_FAKE_OCI_PATH);
  MappingLoader loader;
  loader.paths["libclntsh.so"] = VELMORA_FAKE_OCI_PATH;
  MemorySettingsStore settings;
  settings.setInt(kSettingsSection, "OCIVER", 72);
  RecordingHost host;
  OracleEnvironment environment = environmentOf(&settings, &host, &loader);
  OracleSession session(environment);
  ASSERT_TRUE(session.clientLoaded());
  EXPECT_EQ(session.clientCode(), 72);
  EXPECT_FALSE(session.library().bindsEntryPoints());
  EXPECT_EQ(session.library().missingEntryPoints().size(), 28u);
  EXPECT_FALSE(session.connect("scott", "tiger", "orcl", true, true));
  ASSERT_EQ(host.questionTexts().size(), 1u);
  EXPECT_NE(host.questionTexts()[0].find("code 72"), std::string::npos) << host.questionTexts()[0];
  EXPECT_NE(host.questionTexts()[0].find("OCIInitialize"), std::string::npos)
      << host.questionTexts()[0];
  EXPECT_EQ(backend->callCount("OCIInitialize"), 0);
}

TEST(OciLibrary, OverrideLoadsTheNamedFileWhateverTheSetting) {
  MemorySettingsStore settings;
  settings.setInt(kSettingsSection, "OCIVER", 5);
  OracleEnvironment environment = environmentOf(&settings);
  environment.libraryOverride = VELMORA_FAKE_OCI_PATH;
  OciChoice choice = ociChoiceFor(environment);
  EXPECT_EQ(choice.code, 99);
  EXPECT_EQ(choice.ociDll, VELMORA_FAKE_OCI_PATH);
  settings.setInt(kSettingsSection, "OCIVER", 99);
  EXPECT_EQ(ociChoiceFor(environmentOf(&settings)).ociDll, kDefaultOciLibrary)
      << "OCIDLL absent: the default name";
}

// A failed load keeps every name tried with the loader's reason; a new load starts afresh.
TEST(OciLibrary, LoadFailuresKeepTheLoadersReasons) {
  OciLibrary real;
  real.load(99, "/nonexistent/libclntsh.so");
  ASSERT_EQ(real.failedLoads().size(), 1u);
  EXPECT_EQ(real.failedLoads()[0].name, "/nonexistent/libclntsh.so");
  EXPECT_EQ(real.failedLoads()[0].reason,
            "/nonexistent/libclntsh.so: cannot open shared object file: No such file or directory");
  const std::string message = real.loadFailureMessage();
  EXPECT_EQ(message.rfind("Could not load the Oracle client library \"/nonexistent/libclntsh.so\": "
                          "cannot open shared object file: No such file or directory\n",
                          0),
            0u)
      << message;
  EXPECT_NE(message.find("LD_LIBRARY_PATH"), std::string::npos);
  EXPECT_NE(message.find("Instant Client"), std::string::npos);
  real.load(99, VELMORA_FAKE_OCI_PATH);
  EXPECT_TRUE(real.loaded());
  EXPECT_TRUE(real.failedLoads().empty());

  // A loader that cannot say why; the names of code 0 each on a line of their own.
  MappingLoader loader;
  OciLibrary library(loader);
  library.load(0, "");
  EXPECT_EQ(library.failedLoads().size(), 7u);
  EXPECT_NE(library.loadFailureMessage().find(
                "tried:\n  libclntsh.so: the loader gave no reason\n  libclntsh.so.23.1: "),
            std::string::npos)
      << library.loadFailureMessage();
  library.load(5, "");
  EXPECT_EQ(library.loadFailureMessage().rfind(
                "Client choice code 5 names no Oracle client library; set OCIVER to 0 or 99.", 0),
            0u);
}

// A client library without OCIStmtFetch: the session says so instead of calling through null.
class MissingEntryPoint : public ::testing::Test {
 protected:
  void SetUp() override {
    backend = makeFakeOciBackend(VELMORA_FAKE_OCI_NOFETCH_PATH);
    backend->addUser("SCOTT", "tiger");
    settings.setInt(kSettingsSection, "OCIVER", 99);
    settings.setString(kSettingsSection, "OCIDLL", VELMORA_FAKE_OCI_NOFETCH_PATH);
  }
  std::unique_ptr<OciTestBackend> backend;
  MemorySettingsStore settings;
  RecordingHost host;
};

TEST_F(MissingEntryPoint, IsNamedOnUse) {
  OciLibrary library;
  library.load(99, VELMORA_FAKE_OCI_NOFETCH_PATH);
  ASSERT_TRUE(library.loaded());
  EXPECT_EQ(library.missingEntryPoints(), std::vector<std::string>{"OCIStmtFetch"});
  EXPECT_EQ(library.stmtFetch(nullptr, nullptr, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_ERROR);
  EXPECT_EQ(library.takeMissingEntryPointError(), std::string("The Oracle client library '") +
                                                      VELMORA_FAKE_OCI_NOFETCH_PATH +
                                                      "' has no entry point OCIStmtFetch.");
  EXPECT_EQ(library.takeMissingEntryPointError(), "");
}

TEST_F(MissingEntryPoint, SessionReportsItAsAnError) {
  OracleSession session(environmentOf(&settings, &host));
  // The logon itself works; reading the global name runs into the missing entry point.
  ASSERT_TRUE(session.connect("scott", "tiger", backend->alias(), true, true));
  ASSERT_EQ(host.questionTexts().size(), 1u);
  EXPECT_NE(host.questionTexts()[0].find("no entry point OCIStmtFetch"), std::string::npos);

  std::string sql = backend->addNumberedTable("SCOTT", "T25", 25);
  OracleStatement statement(session);
  statement.prepare(sql);
  StringColumn column(20, 20);
  statement.defineArray(1, column);
  ASSERT_TRUE(statement.execute());
  EXPECT_FALSE(statement.fetchNext());
  EXPECT_TRUE(statement.failed()) << "the end of the rows is not mistaken for success";
  int code = 0;
  EXPECT_NE(session.lastError(&code).find("no entry point OCIStmtFetch"), std::string::npos);
  EXPECT_EQ(code, kClientSideErrorCode);

  backend->addView("SCOTT", "V", {"A"}, "select 1 a from dual");
  EXPECT_EQ(session.readLong("SELECT text FROM all_views WHERE owner = :bind1 and view_name= "
                             ":bind2",
                             "SCOTT", "V"),
            "");
  ASSERT_EQ(host.questionTexts().size(), 2u);
  EXPECT_NE(host.questionTexts()[1].find("no entry point OCIStmtFetch"), std::string::npos);
}

}  // namespace
}  // namespace velmora
