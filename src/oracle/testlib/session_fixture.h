// The fixture the tests of sessions, the catalog and connections share: a backend (the
// stand-in server), the settings, a host that records messages and options, and a helper that
// logs SCOTT/tiger on. Parameterised by backend name so every backend runs the same tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "config/memory_settings_store.h"
#include "oracle/oracle_session.h"
#include "oracle/testlib/oci_test_backend.h"
#include "run/comparison_options.h"
#include "run/recording_host.h"

namespace velmora {

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
    session->connect(user, password, backend->alias(), true, true);
    return session;
  }

  // The messages shown since the last clearMessages().
  std::vector<std::string> messages() const {
    std::vector<std::string> all = host.questionTexts();
    return std::vector<std::string>(all.begin() + static_cast<long>(std::min(seen_, all.size())),
                                    all.end());
  }
  void clearMessages() { seen_ = host.questionTexts().size(); }

  std::unique_ptr<OciTestBackend> backend;
  MemorySettingsStore settings;
  RecordingHost host;
  ComparisonOptions options;
  OracleEnvironment environment;

 private:
  size_t seen_ = 0;
};

}  // namespace velmora
