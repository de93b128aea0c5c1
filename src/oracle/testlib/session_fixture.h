// The fixture the tests of sessions, the catalog and connections share: a backend (the
// stand-in server), the settings, a host that records messages and options, and a helper that
// logs SCOTT/tiger on. Parameterised by backend name so every backend runs the same tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/comparison_options.h"
#include "base/recording_host.h"
#include "config/memory_settings_store.h"
#include "oracle/oracle_session.h"
#include "oracle/testlib/oci_test_backend.h"

namespace velmora {

// RecordingHost that also keeps the messages in a list the test may clear.
class TestHost : public RecordingHost {
 public:
  Answer ask(const std::string& text, Buttons buttons) override {
    messages.push_back(text);
    return RecordingHost::ask(text, buttons);
  }
  std::vector<std::string> messages;
};

class SessionFixture : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    backend = makeOciBackend(GetParam());
    backend->reset();
    backend->addUser("SCOTT", "tiger");
    environment.settings = &settings;
    environment.host = &host;
    environment.options = &options;
    settings.setInt(kSettingsSection, "OCIVER", 99);
    settings.setString(kSettingsSection, "OCIDLL", backend->libraryPath());
  }

  std::unique_ptr<OracleSession> logOn(const std::string& user = "scott",
                                       const std::string& password = "tiger") {
    auto session = std::make_unique<OracleSession>(environment);
    EXPECT_TRUE(session->clientLoaded());
    // Tests of a refused logon look at the session and its messages themselves.
    [[maybe_unused]] const bool connected =
        session->connect(user, password, backend->alias(), true, true);
    return session;
  }

  // The messages shown since the last clearMessages().
  const std::vector<std::string>& messages() const { return host.messages; }
  void clearMessages() { host.messages.clear(); }

  std::unique_ptr<OciTestBackend> backend;
  MemorySettingsStore settings;
  TestHost host;
  ComparisonOptions options;
  OracleEnvironment environment;
};

}  // namespace velmora
