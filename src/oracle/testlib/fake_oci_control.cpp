// The control functions of the fake OCI library (see fake_oci_control.h).
#include <algorithm>
#include <cstring>

#pragma GCC visibility push(default)
#include "oracle/testlib/fake_oci_control.h"
#pragma GCC visibility pop

#include "oracle/testlib/fake_oci_state.h"

using namespace fakeoci;

namespace {

std::string str(const char* value) {
  return value != nullptr ? value : "";
}

template <class Body>
auto locked(Body body) {
  State& s = state();
  std::lock_guard<std::mutex> lock(s.mutex);
  return body(s);
}

int copyOut(const std::string& value, char* buf, int size) {
  if (buf != nullptr && size > 0) {
    size_t n = std::min(value.size(), static_cast<size_t>(size - 1));
    std::memcpy(buf, value.data(), n);
    buf[n] = '\0';
  }
  return static_cast<int>(value.size());
}

// The script starts in its reset state when the library is loaded.
[[maybe_unused]] const bool kInitialised = locked([](State& s) {
  resetScript(s);
  return true;
});

}  // namespace

extern "C" {

void fakeoci_reset(void) {
  locked([](State& s) { resetScript(s); });
}

void fakeoci_set_banner(const char* banner) {
  locked([&](State& s) { s.banner = str(banner); });
}

void fakeoci_add_user(const char* user, const char* password) {
  locked([&](State& s) { s.users[upper(str(user))] = str(password); });
}

void fakeoci_add_alias(const char* alias) {
  locked([&](State& s) { s.aliases.push_back(str(alias)); });
}

void fakeoci_add_result(const char* sql, int columns) {
  locked([&](State& s) {
    Result r;
    r.sql = str(sql);
    r.columns = std::max(columns, 1);
    s.results.push_back(std::move(r));
  });
}

void fakeoci_result_bind(const char* placeholder, const char* value) {
  locked([&](State& s) {
    if (!s.results.empty())
      s.results.back().binds.emplace_back(upper(str(placeholder)), str(value));
  });
}

void fakeoci_result_row(const char* const* cells) {
  locked([&](State& s) {
    if (s.results.empty()) return;
    Result& r = s.results.back();
    Row row;
    for (int i = 0; i < r.columns; ++i) {
      if (cells[i] == nullptr)
        row.emplace_back(std::nullopt);
      else
        row.emplace_back(std::string(cells[i]));
    }
    r.rows.push_back(std::move(row));
  });
}

void fakeoci_fail_statement(const char* sqlPart, int times, int code, const char* message) {
  locked([&](State& s) {
    s.statementFailures.push_back({str(sqlPart), times, code, str(message)});
  });
}

void fakeoci_fail_call(const char* entryPoint, int nth, int code, const char* message) {
  locked([&](State& s) { s.callFailures.push_back({str(entryPoint), nth, code, str(message)}); });
}

void fakeoci_add_output_line(const char* line) {
  locked([&](State& s) { s.outputLines.push_back(str(line)); });
}

int fakeoci_call_count(const char* entryPoint) {
  return locked([&](State& s) {
    auto it = s.callCounts.find(str(entryPoint));
    return it == s.callCounts.end() ? 0 : it->second;
  });
}

int fakeoci_live_handles(void) {
  return locked([](State& s) { return static_cast<int>(s.live.size()); });
}

int fakeoci_execute_count(const char* sql) {
  return locked([&](State& s) {
    return static_cast<int>(std::count(s.executed.begin(), s.executed.end(), str(sql)));
  });
}

int fakeoci_last_bind(const char* placeholder, char* buf, int size) {
  return locked([&](State& s) {
    auto it = s.lastBinds.find(upper(str(placeholder)));
    return it == s.lastBinds.end() ? -1 : copyOut(it->second, buf, size);
  });
}

int fakeoci_executed(int index, char* buf, int size) {
  return locked([&](State& s) {
    if (index < 0 || static_cast<size_t>(index) >= s.executed.size()) return -1;
    return copyOut(s.executed[static_cast<size_t>(index)], buf, size);
  });
}

}  // extern "C"
