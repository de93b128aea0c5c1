#include "oracle/testlib/fake_oci_state.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace fakeoci {

namespace {

const char* const kDefaultBanner =
    "Oracle Database 19c Enterprise Edition Release 19.0.0.0.0 - Production\nVersion 19.3.0.0.0";

struct CodeText {
  int code;
  const char* text;
};

const CodeText kTexts[] = {
    {942, "table or view does not exist"},
    {1002, "fetch out of sequence"},
    {1012, "not logged on"},
    {1013, "user requested cancel of current operation"},
    {1017, "invalid username/password; logon denied"},
    {1036, "illegal variable name/number"},
    {1403, "no data found"},
    {1405, "fetched column value is NULL"},
    {1406, "fetched column value was truncated"},
    {3001, "unimplemented feature"},
    {3113, "end-of-file on communication channel"},
    {3114, "not connected to ORACLE"},
    {12154, "TNS:could not resolve the connect identifier specified"},
    {12541, "TNS:no listener"},
    {24333, "zero iteration count"},
    {24334, "no descriptor for this position"},
    {24338, "statement handle not executed"},
    {24344, "success with compilation error"},
    {24345, "A Truncation or null fetch error occurred"},
};

}  // namespace

State& state() {
  static State* s = new State();  // never destroyed: entry points may run during exit
  return *s;
}

void resetScript(State& s) {
  s.banner = kDefaultBanner;
  s.users.clear();
  s.aliases.clear();
  s.results.clear();
  s.statementFailures.clear();
  s.callFailures.clear();
  s.outputLines.clear();
  s.callCounts.clear();
  s.executed.clear();
  s.lastBinds.clear();
}

Handle* find(State& s, const void* pointer, ub4 type) {
  auto it = s.live.find(static_cast<Handle*>(const_cast<void*>(pointer)));
  if (it == s.live.end() || (*it)->magic != kMagic || (*it)->type != type) return nullptr;
  return *it;
}

void release(State& s, Handle* handle) {
  if (handle->type == OCI_HTYPE_STMT) {
    auto* stmt = static_cast<Stmt*>(handle);
    for (auto& d : stmt->defines) s.live.erase(d.get());
    for (auto& b : stmt->binds) s.live.erase(b.get());
    for (auto& p : stmt->params) s.live.erase(p.get());
  }
  // Service contexts keep plain pointers to servers and sessions: forget freed ones.
  for (Handle* h : s.live) {
    if (h->type != OCI_HTYPE_SVCCTX) continue;
    auto* svc = static_cast<SvcCtx*>(h);
    if (svc->server == handle) svc->server = nullptr;
    if (svc->session == handle) svc->session = nullptr;
  }
  handle->magic = 0;
  s.live.erase(handle);
  s.owned.erase(handle);
}

std::string standardText(int code) {
  for (const CodeText& entry : kTexts) {
    if (entry.code == code) return entry.text;
  }
  return "unexpected error";
}

sword fail(Error* err, int code, const std::string& message) {
  if (err != nullptr) {
    err->code = code;
    err->message = message.empty() ? standardText(code) : message;
  }
  return OCI_ERROR;
}

bool isLostConnectionCode(int code) {
  return code == 28 || (code >= 3100 && code <= 3199) || (code >= 12100 && code <= 12299) ||
         (code >= 12500 && code <= 12699);
}

int callFailure(State& s, const char* entryPoint, std::string* message) {
  int code = 0;
  for (CallFailure& f : s.callFailures) {
    if (f.entryPoint != entryPoint || f.remaining <= 0) continue;
    if (--f.remaining == 0 && code == 0) {
      code = f.code;
      *message = f.message;
    }
  }
  return code;
}

int statementFailure(State& s, const std::string& sql, std::string* message) {
  for (StatementFailure& f : s.statementFailures) {
    if (f.times <= 0 || sql.find(f.sqlPart) == std::string::npos) continue;
    --f.times;
    *message = f.message;
    return f.code;
  }
  return 0;
}

std::string upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

ub2 statementType(const std::string& sql) {
  size_t start = sql.find_first_not_of(" \t\r\n(");
  if (start == std::string::npos) return OCI_STMT_UNKNOWN;
  size_t end = sql.find_first_of(" \t\r\n(;", start);
  std::string word = upper(sql.substr(start, end == std::string::npos ? end : end - start));
  if (word == "SELECT" || word == "WITH") return OCI_STMT_SELECT;
  if (word == "UPDATE") return OCI_STMT_UPDATE;
  if (word == "DELETE") return OCI_STMT_DELETE;
  if (word == "INSERT") return OCI_STMT_INSERT;
  if (word == "CREATE") return OCI_STMT_CREATE;
  if (word == "DROP") return OCI_STMT_DROP;
  if (word == "ALTER") return OCI_STMT_ALTER;
  if (word == "BEGIN") return OCI_STMT_BEGIN;
  if (word == "DECLARE") return OCI_STMT_DECLARE;
  return OCI_STMT_UNKNOWN;
}

std::string bindValue(const Bind& bind) {
  if (bind.value == nullptr) return "";
  if (bind.indicator != nullptr && *bind.indicator == OCI_IND_NULL) return "";
  if (bind.dty == SQLT_INT) {
    if (bind.size == 4) {
      int32_t v;
      std::memcpy(&v, bind.value, sizeof v);
      return std::to_string(v);
    }
    return "";
  }
  size_t length = bind.size > 0 ? strnlen(bind.value, static_cast<size_t>(bind.size)) : 0;
  return std::string(bind.value, length);
}

const Result* findResult(State& s, const Stmt& stmt) {
  static const Result kEmpty;
  bool known = false;
  for (auto it = s.results.rbegin(); it != s.results.rend(); ++it) {
    if (it->sql != stmt.text) continue;
    known = true;
    bool matches = true;
    for (const auto& [name, value] : it->binds) {
      auto bind = std::find_if(stmt.binds.begin(), stmt.binds.end(),
                               [&](const auto& b) { return b->name == name; });
      if (bind == stmt.binds.end() || bindValue(**bind) != value) matches = false;
    }
    if (matches) return &*it;
  }
  // A known query whose binds select nothing: no rows, like a WHERE clause that matches none.
  return known ? &kEmpty : nullptr;
}

}  // namespace fakeoci
