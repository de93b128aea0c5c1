// OciTestBackend: the stand-in Oracle server the tests of the Oracle access layer script, and the
// client library the product loads (through dlopen, as code 99) to reach it. The vocabulary is
// the server's content (users, tables, views, triggers, faults), so the same tests can run
// against any backend that can build that content: FakeOciBackend scripts the fake OCI library
// of this folder; a backend over libocisim.so can join availableOciBackends() later.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora {

struct TriggerSpec {
  std::string name;
  std::string type;   // "BEFORE EACH ROW", "AFTER STATEMENT", "INSTEAD OF" ...
  std::string event;  // "INSERT", "INSERT OR UPDATE" ...
  std::string table;
  std::string referencing;  // "" or "REFERENCING NEW AS NEW OLD AS OLD" or another clause
  std::string when;         // "" when there is no WHEN clause
  std::string body;
};

class OciTestBackend {
 public:
  virtual ~OciTestBackend() = default;

  virtual std::string name() const = 0;
  virtual std::string libraryPath() const = 0;
  virtual std::string alias() const = 0;  // the database alias to log on to

  // An empty server that knows alias(), no users, a 19c banner, global name "ORCL.WORLD".
  virtual void reset() = 0;
  virtual void addUser(const std::string& user, const std::string& password) = 0;
  virtual void setRelease(const std::string& release) = 0;  // "7.3.4", "8.0.5", "8.1.7", "9.2"

  // Dictionary content, owners and names in upper case.
  virtual void addTable(const std::string& owner, const std::string& name) = 0;
  virtual void addView(const std::string& owner, const std::string& name,
                       const std::vector<std::string>& columns, const std::string& text) = 0;
  virtual void addObject(const std::string& owner, const std::string& type,
                         const std::string& name) = 0;
  virtual void addSource(const std::string& owner, const std::string& type, const std::string& name,
                         const std::vector<std::string>& lines) = 0;
  virtual void addTrigger(const std::string& owner, const TriggerSpec& trigger) = 0;
  // A table of `rows` numbered rows; returns the query that reads them in order.
  virtual std::string addNumberedTable(const std::string& owner, const std::string& name,
                                       int rows) = 0;
  virtual void addOutputLines(const std::vector<std::string>& lines) = 0;

  // Faults: the next `times` executions of statements containing sqlPart fail with the code
  // (a lost-connection code also drops the connection); logons fail with the code.
  virtual void failStatement(const std::string& sqlPart, int times, int code) = 0;
  virtual void failNextLogon(int code) = 0;

  // Observations; nullopt when the backend cannot observe it.
  virtual std::optional<int> callCount(const std::string& entryPoint) = 0;
  virtual std::optional<int> liveHandles() = 0;
  virtual std::optional<int> executeCount(const std::string& sql) = 0;
  virtual std::optional<std::string> lastBind(const std::string& placeholder) = 0;
};

// The fake OCI library at `libraryPath` (this folder's velmora_fake_oci, or the build that lacks
// OCIStmtFetch). Opens the library for the life of the backend, so its state survives the
// product's own load and unload.
std::unique_ptr<OciTestBackend> makeFakeOciBackend(const std::string& libraryPath);

// Every backend the tests can run against in this build, by name: "fake" always.
std::vector<std::string> availableOciBackends();
std::unique_ptr<OciTestBackend> makeOciBackend(const std::string& name);

}  // namespace velmora
