#include "structure/script_source.h"

#include <functional>

#include "oracle/oracle_session.h"
#include "structure/ddl_generator.h"
#include "structure/ddl_text.h"

namespace velmora {

namespace {

// A dictionary query of the generator that fails (after its silent reconnect) shows its message
// and leaves its part of the text out; the failure callback makes the run say so at its end.
class DdlScriptSource : public ScriptSource {
 public:
  DdlScriptSource(OracleSession& session, SettingsStore& settings, const ComparisonOptions& options,
                  std::function<void()> onFailure)
      : session_(session),
        generator_(session, settings, options),
        onFailure_(std::move(onFailure)) {}

  std::string scriptTable(const std::string& owner, const std::string& table) override {
    return watched([&] { return generator_.scriptTable(owner, table); });
  }
  std::string scriptTableAlone(const std::string& owner, const std::string& table) override {
    return watched([&] { return generator_.scriptTableAlone(owner, table); });
  }
  std::string scriptConstraints(const std::string& owner, const std::string& table) override {
    return watched([&] { return generator_.scriptConstraints(owner, table); });
  }
  std::string scriptConstraint(const std::string& owner, const std::string& table,
                               const std::string& constraint) override {
    return watched([&] { return generator_.scriptConstraint(owner, table, constraint); });
  }
  std::string scriptIndexes(const std::string& owner, const std::string& table,
                            const std::vector<std::string>* names) override {
    return watched([&] { return generator_.scriptIndexes(owner, table, names); });
  }

 private:
  std::string watched(const std::function<std::string()>& generate) {
    const int before = session_.errorsShown();
    std::string text = generate();
    // A statement left out for a name that cannot stand in a script is a failure too.
    const bool failed = session_.errorsShown() != before || holdsUnwrittenStatement(text);
    if (failed && onFailure_) onFailure_();
    return text;
  }

  OracleSession& session_;
  DdlGenerator generator_;
  std::function<void()> onFailure_;
};

}  // namespace

std::unique_ptr<ScriptSource> makeDdlScriptSource(OracleSession& session, SettingsStore& settings,
                                                  const ComparisonOptions& options,
                                                  std::function<void()> onFailure) {
  return std::make_unique<DdlScriptSource>(session, settings, options, std::move(onFailure));
}

}  // namespace velmora
