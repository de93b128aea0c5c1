// Test doubles of the stored-code phases: FakeCodeReader, a CodeReader over an in-memory schema
// (objects by Oracle type, their sources as lines, trigger bases, dependencies) with switches
// that make a list or a source read fail; CodeHarness, a CodeRun over two fakes with a recording
// writer and host. Header-only, for the tests.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "base/recording_host.h"
#include "base/report_layout.h"
#include "base/run_control.h"
#include "source/code_phases.h"
#include "source/code_reader.h"
#include "source/code_run.h"
#include "source/stored_code_comparer.h"

namespace velmora {

class FakeCodeReader : public CodeReader {
 public:
  struct Object {
    std::vector<std::string> lines;  // each without its line end
  };

  ReportWriter* report = nullptr;  // where a failed list writes its error block
  std::string displayName = "APP@DB";
  std::map<std::string, std::map<std::string, Object>> objects;  // type -> name -> object
  std::map<std::string, TriggerBase> triggers;
  std::vector<Dependency> dependencyRows;
  DependencyRead dependencyRead = DependencyRead::Read;
  std::map<std::string, std::string> listErrors;    // type -> message of its list query
  std::map<std::string, std::string> sourceErrors;  // name -> message of its source read
  std::vector<std::string> log;

  // Adds an object whose source is `text` split at "\n".
  void add(const std::string& type, const std::string& name, const std::string& text) {
    Object object;
    size_t start = 0;
    for (;;) {
      const size_t end = text.find('\n', start);
      object.lines.push_back(text.substr(start, end == std::string::npos ? end : end - start));
      if (end == std::string::npos) break;
      start = end + 1;
    }
    objects[type][name] = object;
  }

  bool listObjects(const std::string& type, std::vector<std::string>& names) override {
    log.push_back("list " + type);
    names.clear();
    for (const auto& [name, object] : objects[type]) names.push_back(name);
    auto error = listErrors.find(type);
    if (error == listErrors.end()) return true;
    names.resize(names.size() / 2);
    if (report != nullptr) {
      report->write("\r\n\r\n\r\nThe following error ocurred when trying to process list", kMaroon);
      report->write("\r\n" + error->second, kMaroon);
    }
    return false;
  }

  std::string sourceText(const std::string& name, const std::string& type,
                         std::string& text) override {
    log.push_back("text " + type + " " + name);
    text.clear();
    auto error = sourceErrors.find(name);
    if (error != sourceErrors.end()) return error->second;
    auto it = objects[type].find(name);
    if (it == objects[type].end()) return "";
    for (size_t i = 0; i < it->second.lines.size(); ++i)
      text += it->second.lines[i] + (i + 1 < it->second.lines.size() ? "\n" : "");
    return "";
  }

  std::string sourceLines(const std::string& name, const std::string& type,
                          std::vector<std::string>& lines) override {
    log.push_back("lines " + type + " " + name);
    lines.clear();
    auto error = sourceErrors.find(name);
    if (error != sourceErrors.end()) return error->second;
    auto it = objects[type].find(name);
    if (it == objects[type].end()) return "";
    for (size_t i = 0; i < it->second.lines.size(); ++i)
      lines.push_back("(" + std::to_string(i + 1) + ") " + it->second.lines[i] + "\r\n");
    return "";
  }

  std::string triggerBase(const std::string& name, TriggerBase& base) override {
    log.push_back("trigger " + name);
    auto it = triggers.find(name);
    if (it == triggers.end()) {
      base = {"T", "TABLE", true};
      return "";
    }
    base = it->second;
    return "";
  }

  DependencyRead dependencies(std::vector<Dependency>& out, std::string& error) override {
    log.push_back("dependencies");
    out = dependencyRows;
    error = dependencyRead == DependencyRead::Read ? "" : "ORA-00942: table or view does not exist";
    return dependencyRead;
  }
};

// Two fake databases and everything a CodeRun needs, recorded.
struct CodeHarness {
  CodeHarness() : run(options, out, host, control, state) {
    control.beginRun();
    db1.report = &out;
    db2.report = &out;
    run.database1 = {1, "APP", "APP@DB1", &db1};
    run.database2 = {2, "APP", "APP@DB2", &db2};
    run.errors = &errors;
    run.differences = &differences;
  }

  // Sets the mode (and its comment prefixes) and begins a new run of the given kinds.
  void mode(int m, std::vector<std::string> planned = {}) {
    options.i_DoingUpgradeScript = m;
    options.setDerivedValues();
    if (planned.empty()) planned = plannedCodeTypes(options);
    state = CodeRunState();
    state.order.begin(planned);
  }

  void compare(const std::string& kindCode) { compareStoredCode(run, kindCode); }

  ComparisonOptions options;
  RecordingWriter out;
  RecordingHost host;
  RunControl control;
  CodeRunState state;
  RunErrors errors;
  RunDifferences differences;
  FakeCodeReader db1, db2;
  CodeRun run;
};

}  // namespace velmora
