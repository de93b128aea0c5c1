#include "oracle/testlib/oci_test_backend.h"

#include <dlfcn.h>

#include <algorithm>
#include <map>
#include <stdexcept>

#include "oracle/testlib/fake_oci_control.h"

namespace velmora {

namespace {

// The control functions of one loaded fake library.
// clang-format off
#define FAKE_CONTROLS(X) \
  X(fakeoci_reset) \
  X(fakeoci_set_banner) \
  X(fakeoci_add_user) \
  X(fakeoci_add_alias) \
  X(fakeoci_add_result) \
  X(fakeoci_result_bind) \
  X(fakeoci_result_row) \
  X(fakeoci_fail_statement) \
  X(fakeoci_fail_call) \
  X(fakeoci_add_output_line) \
  X(fakeoci_call_count) \
  X(fakeoci_live_handles) \
  X(fakeoci_execute_count) \
  X(fakeoci_last_bind)
// clang-format on

struct FakeControl {
#define FAKE_CONTROL_FIELD(name) decltype(&::name) name = nullptr;
  FAKE_CONTROLS(FAKE_CONTROL_FIELD)
#undef FAKE_CONTROL_FIELD
};

std::string bannerOf(const std::string& release) {
  if (release.rfind("7.", 0) == 0) return "Oracle7 Server Release " + release + ".0.0 - Production";
  if (release.rfind("8.0", 0) == 0)
    return "Oracle8 Enterprise Edition Release " + release + ".0.0 - Production";
  if (release.rfind("8.", 0) == 0)
    return "Oracle8i Enterprise Edition Release " + release +
           ".0.0 - Production\nWith the "
           "Partitioning and Java options\nPL/SQL Release " +
           release + ".0.0 - Production";
  if (release.rfind("9.", 0) == 0)
    return "Oracle9i Enterprise Edition Release " + release + ".0.1.0 - Production";
  return "Oracle Database " + release + " Enterprise Edition Release " + release +
         ".0.0.0 - Production";
}

// What the trigger header query computes from ALL_TRIGGERS (NULL parts vanish in "||").
std::string triggerHeader(const TriggerSpec& t) {
  std::string header = "\"" + t.name + "\" ";
  char kind = t.type.empty() ? ' ' : t.type[0];
  header += kind == 'A' ? "AFTER" : kind == 'B' ? "BEFORE" : kind == 'I' ? "INSTEAD OF" : "";
  header += "\n" + t.event + "\n" + " ON \"" + t.table + "\"";
  if (!t.referencing.empty() && t.referencing != "REFERENCING NEW AS NEW OLD AS OLD")
    header += "\n" + t.referencing;
  header += "\n";
  if (t.type.find("EACH ROW") != std::string::npos) header += "FOR EACH ROW";
  header += "\n";
  if (!t.when.empty()) header += " WHEN (" + t.when;
  return header;
}

const char* const kTriggerHeaderSql =
    "select '\"' || trigger_name || '\" ' || decode( substr( trigger_type, 1, 1 ),'A', 'AFTER', "
    "'B', 'BEFORE', 'I', 'INSTEAD OF' ) ||chr(10) ||triggering_event || chr(10) ||' ON \"' "
    "||table_name || '\"' || decode(referencing_names,null,'','REFERENCING NEW AS NEW OLD AS "
    "OLD','',chr(10)||referencing_names) || chr(10) ||decode( instr( trigger_type, 'EACH ROW' ), "
    "0, null,'FOR EACH ROW' ) || chr(10) || decode(when_clause,null,'',' WHEN ('||when_clause ) "
    "from all_triggers where owner = :owner and trigger_name = :objname";

class FakeOciBackend : public OciTestBackend {
 public:
  explicit FakeOciBackend(std::string path) : path_(std::move(path)) {
    module_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module_ == nullptr) throw std::runtime_error("cannot load " + path_);
#define FAKE_RESOLVE(name) c_.name = reinterpret_cast<decltype(c_.name)>(dlsym(module_, #name));
    FAKE_CONTROLS(FAKE_RESOLVE)
#undef FAKE_RESOLVE
    reset();
  }
  ~FakeOciBackend() override {
    dlclose(module_);
  }

  std::string name() const override {
    return "fake";
  }
  std::string libraryPath() const override {
    return path_;
  }
  std::string alias() const override {
    return "orcl";
  }

  void reset() override {
    c_.fakeoci_reset();
    c_.fakeoci_add_alias(alias().c_str());
    tables_.clear();
    objects_.clear();
    setRelease("19");
    result("select global_name from global_name", {}, {"ORCL.WORLD"});
    // The dictionary views exist from the start, empty.
    for (const char* kind : {"TABLE", "VIEW"})
      result(std::string(
                 "SELECT table_name from all_catalog where owner = :owner and table_type = '") +
                 kind + "'",
             {}, {});
    for (const char* type : {"TRIGGER", "FUNCTION", "PACKAGE", "PACKAGE BODY", "PROCEDURE", "TYPE",
                             "TYPE BODY", "VIEW"})
      result(std::string("select object_name from all_objects where owner = :owner and "
                         "object_type = '") +
                 type + "' order by object_name",
             {}, {});
  }
  void addUser(const std::string& user, const std::string& password) override {
    c_.fakeoci_add_user(user.c_str(), password.c_str());
    users_.push_back(user);
    result("SELECT username FROM all_users", {}, users_);
  }
  void setRelease(const std::string& release) override {
    c_.fakeoci_set_banner(bannerOf(release).c_str());
  }

  void addTable(const std::string& owner, const std::string& name) override {
    tables_[owner].push_back(name);
    result("SELECT table_name from all_catalog where owner = :owner and table_type = 'TABLE'",
           {{":owner", owner}}, tables_[owner]);
  }
  void addView(const std::string& owner, const std::string& name,
               const std::vector<std::string>& columns, const std::string& text) override {
    views_[owner].push_back(name);
    result("SELECT table_name from all_catalog where owner = :owner and table_type = 'VIEW'",
           {{":owner", owner}}, views_[owner]);
    addObject(owner, "VIEW", name);
    result(
        "select column_name from all_tab_columns where owner = :owner and table_name = :name "
        "order by column_id asc",
        {{":owner", owner}, {":name", name}}, columns);
    result("SELECT text FROM all_views WHERE owner = :bind1 and view_name= :bind2",
           {{":bind1", owner}, {":bind2", name}}, {text});
  }
  void addObject(const std::string& owner, const std::string& type,
                 const std::string& name) override {
    auto& names = objects_[owner + "/" + type];
    names.push_back(name);
    std::sort(names.begin(), names.end());
    result("select object_name from all_objects where owner = :owner and object_type = '" + type +
               "' order by object_name",
           {{":owner", owner}}, names);
  }
  void addSource(const std::string& owner, const std::string& type, const std::string& name,
                 const std::vector<std::string>& lines) override {
    addObject(owner, type, name);
    const std::vector<std::pair<std::string, std::string>> binds = {
        {":owner", owner}, {":name", name}, {":type", type}};
    result(
        "select text from all_source where owner = :owner and name = :name and type = :type "
        "order by line asc",
        binds, lines);
    std::vector<std::string> numbered;
    for (size_t i = 0; i < lines.size(); ++i)
      numbered.push_back("(" + std::to_string(i + 1) + ") " + lines[i]);
    result(
        "select '(' || line || ') ' || text from all_source where owner = :owner and name = "
        ":name and type = :type order by line asc",
        binds, numbered);
  }
  void addTrigger(const std::string& owner, const TriggerSpec& trigger) override {
    addObject(owner, "TRIGGER", trigger.name);
    result(kTriggerHeaderSql, {{":owner", owner}, {":objname", trigger.name}},
           {triggerHeader(trigger)});
    result("SELECT trigger_body FROM all_triggers WHERE owner=:bind1 and trigger_name=:bind2",
           {{":bind1", owner}, {":bind2", trigger.name}}, {trigger.body});
  }
  std::string addNumberedTable(const std::string& owner, const std::string& name,
                               int rows) override {
    std::vector<std::string> values;
    for (int i = 1; i <= rows; ++i) values.push_back("row " + std::to_string(i));
    std::string sql = "select text from " + owner + "." + name + " order by id";
    result(sql, {}, values);
    return sql;
  }
  void addOutputLines(const std::vector<std::string>& lines) override {
    for (const std::string& line : lines) c_.fakeoci_add_output_line(line.c_str());
  }

  void failStatement(const std::string& sqlPart, int times, int code) override {
    c_.fakeoci_fail_statement(sqlPart.c_str(), times, code, nullptr);
  }
  void failNextLogon(int code) override {
    c_.fakeoci_fail_call("OCISessionBegin", 1, code, nullptr);
  }

  std::optional<int> callCount(const std::string& entryPoint) override {
    return c_.fakeoci_call_count(entryPoint.c_str());
  }
  std::optional<int> liveHandles() override {
    return c_.fakeoci_live_handles();
  }
  std::optional<int> executeCount(const std::string& sql) override {
    return c_.fakeoci_execute_count(sql.c_str());
  }
  std::optional<std::string> lastBind(const std::string& placeholder) override {
    char buffer[4096];
    if (c_.fakeoci_last_bind(placeholder.c_str(), buffer, sizeof buffer) < 0) return std::nullopt;
    return std::string(buffer);
  }

 private:
  // Registers (again) the one-column result of a statement; later registrations win.
  void result(const std::string& sql, const std::vector<std::pair<std::string, std::string>>& binds,
              const std::vector<std::string>& values) {
    c_.fakeoci_add_result(sql.c_str(), 1);
    for (const auto& [name, value] : binds) c_.fakeoci_result_bind(name.c_str(), value.c_str());
    for (const std::string& value : values) {
      const char* cell = value.c_str();
      c_.fakeoci_result_row(&cell);
    }
  }

  std::string path_;
  void* module_ = nullptr;
  FakeControl c_;
  std::vector<std::string> users_;
  std::map<std::string, std::vector<std::string>> tables_, views_, objects_;
};

}  // namespace

std::unique_ptr<OciTestBackend> makeFakeOciBackend(const std::string& libraryPath) {
  return std::make_unique<FakeOciBackend>(libraryPath);
}

std::vector<std::string> availableOciBackends() {
  return {"fake"};
}

std::unique_ptr<OciTestBackend> makeOciBackend(const std::string& name) {
#ifdef VELMORA_FAKE_OCI_PATH
  if (name == "fake") return makeFakeOciBackend(VELMORA_FAKE_OCI_PATH);
#endif
  throw std::runtime_error("no OCI test backend named " + name);
}

}  // namespace velmora
