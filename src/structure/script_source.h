// ScriptSource: the creation DDL of Database 1 as the structure phases ask for it. The run's
// implementation forwards to DdlGenerator on Database 1's session (DdlScriptSource); tests
// script the texts. Every text is lines separated by CR LF, as DdlGenerator returns them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

class OracleSession;
class SettingsStore;
struct ComparisonOptions;

class ScriptSource {
 public:
  virtual ~ScriptSource() = default;

  // CREATE TABLE with columns and storage; in the comparison and upgrade modes followed by the
  // table's constraints and indexes.
  virtual std::string scriptTable(const std::string& owner, const std::string& table) = 0;
  // CREATE TABLE alone, whatever the mode.
  virtual std::string scriptTableAlone(const std::string& owner, const std::string& table) = 0;
  virtual std::string scriptConstraints(const std::string& owner, const std::string& table) = 0;
  virtual std::string scriptConstraint(const std::string& owner, const std::string& table,
                                       const std::string& constraint) = 0;
  // All indexes of the table when names is null, else only the named ones.
  virtual std::string scriptIndexes(const std::string& owner, const std::string& table,
                                    const std::vector<std::string>* names) = 0;
};

// The DdlGenerator of a session as a ScriptSource. The options are read at each call; onFailure
// (may be empty) is called after a call whose dictionary reads failed (its text is incomplete) or
// whose text leaves a statement out (holdsUnwrittenStatement).
std::unique_ptr<ScriptSource> makeDdlScriptSource(OracleSession& session, SettingsStore& settings,
                                                  const ComparisonOptions& options,
                                                  std::function<void()> onFailure = {});

// Text cut of its trailing white space (blanks, tabs, CR, LF).
std::string trimTrailingSpace(std::string text);

}  // namespace velmora
