#include "structure/script_source.h"

#include "structure/ddl_generator.h"

namespace velmora {

namespace {

class DdlScriptSource : public ScriptSource {
 public:
  DdlScriptSource(OracleSession& session, SettingsStore& settings, const ComparisonOptions& options)
      : generator_(session, settings, options) {}

  std::string scriptTable(const std::string& owner, const std::string& table) override {
    return generator_.scriptTable(owner, table);
  }
  std::string scriptTableAlone(const std::string& owner, const std::string& table) override {
    return generator_.scriptTableAlone(owner, table);
  }
  std::string scriptConstraints(const std::string& owner, const std::string& table) override {
    return generator_.scriptConstraints(owner, table);
  }
  std::string scriptConstraint(const std::string& owner, const std::string& table,
                               const std::string& constraint) override {
    return generator_.scriptConstraint(owner, table, constraint);
  }
  std::string scriptIndexes(const std::string& owner, const std::string& table,
                            const std::vector<std::string>* names) override {
    return generator_.scriptIndexes(owner, table, names);
  }

 private:
  DdlGenerator generator_;
};

}  // namespace

std::unique_ptr<ScriptSource> makeDdlScriptSource(OracleSession& session, SettingsStore& settings,
                                                  const ComparisonOptions& options) {
  return std::make_unique<DdlScriptSource>(session, settings, options);
}

}  // namespace velmora
