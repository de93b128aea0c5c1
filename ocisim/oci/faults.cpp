#include "faults.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace ocisim::oci {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

bool parseNumber(std::string_view s, long* out) {
  s = trim(s);
  if (s.empty() || s.size() > 18) return false;
  long value = 0;
  for (char c : s) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    value = value * 10 + (c - '0');
  }
  *out = value;
  return true;
}

// "ORA-00942:PATTERN" or "942:PATTERN".
bool parseFailure(std::string_view s, FaultSettings::Failure* out) {
  size_t colon = s.find(':');
  if (colon == std::string_view::npos) return false;
  std::string_view code = trim(s.substr(0, colon));
  if (code.size() > 4 && (code.substr(0, 4) == "ORA-" || code.substr(0, 4) == "ora-"))
    code.remove_prefix(4);
  long number = 0;
  if (!parseNumber(code, &number) || number <= 0 || number > 99999) return false;
  out->code = static_cast<int>(number);
  out->pattern = std::string(trim(s.substr(colon + 1)));
  return !out->pattern.empty();
}

bool parseItem(std::string_view item, FaultSettings& settings) {
  size_t eq = item.find('=');
  std::string_view key = trim(item.substr(0, eq));
  std::string_view value = eq == std::string_view::npos ? "" : item.substr(eq + 1);
  if (key == "refuse_logon" && eq == std::string_view::npos) {
    settings.refuseLogon = true;
    return true;
  }
  if (key == "fetch_delay_ms") {
    long ms = 0;
    if (!parseNumber(value, &ms) || ms > 600000) return false;
    settings.fetchDelayMs = static_cast<int>(ms);
    return true;
  }
  if (key == "lose_connection_at") {
    size_t start = 0;
    while (start <= value.size()) {
      size_t comma = value.find(',', start);
      std::string_view part = value.substr(
          start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
      long n = 0;
      if (!parseNumber(part, &n) || n <= 0) return false;
      settings.loseConnectionAt.push_back(n);
      if (comma == std::string_view::npos) break;
      start = comma + 1;
    }
    return true;
  }
  if (key == "count_calls_to") {
    settings.countCallsTo = std::string(trim(value));
    return !settings.countCallsTo.empty();
  }
  if (key == "fail_statement") {
    FaultSettings::Failure failure;
    if (!parseFailure(value, &failure)) return false;
    settings.failures.push_back(std::move(failure));
    return true;
  }
  return false;
}

struct State {
  std::mutex mutex;
  bool read = false;
  std::string raw;
  FaultSettings settings;
  long calls = 0;
};

State& state();

// The call count for count_calls_to, written when the process exits.
void writeCallCount() {
  State& s = state();
  std::lock_guard lock(s.mutex);
  if (s.settings.countCallsTo.empty()) return;
  if (std::FILE* file = std::fopen(s.settings.countCallsTo.c_str(), "w")) {
    std::fprintf(file, "%ld\n", s.calls);
    std::fclose(file);
  }
}

State& state() {
  static State* instance = new State();
  return *instance;
}

// Re-reads the variable; a new value restarts the counting. Called with the lock held.
void refresh(State& s) {
  const char* value = std::getenv("OCISIM_FAULTS");
  std::string raw = value != nullptr ? value : "";
  if (s.read && raw == s.raw) return;
  s.read = true;
  s.raw = raw;
  s.settings = parseFaultSettings(raw);
  s.calls = 0;
  static bool exitHandler = false;
  if (!s.settings.countCallsTo.empty() && !exitHandler) {
    exitHandler = true;
    std::atexit(writeCallCount);
  }
  for (const std::string& problem : s.settings.problems)
    std::fprintf(stderr, "ocisim: OCISIM_FAULTS: cannot read '%s'; it is ignored\n",
                 problem.c_str());
}

}  // namespace

FaultSettings parseFaultSettings(std::string_view text) {
  FaultSettings settings;
  size_t start = 0;
  while (start < text.size()) {
    size_t semicolon = text.find(';', start);
    std::string_view item = trim(text.substr(
        start, semicolon == std::string_view::npos ? std::string_view::npos : semicolon - start));
    if (!item.empty() && !parseItem(item, settings)) settings.problems.emplace_back(item);
    if (semicolon == std::string_view::npos) break;
    start = semicolon + 1;
  }
  return settings;
}

bool wildcardMatch(std::string_view pattern, std::string_view text) {
  auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  };
  size_t p = 0, t = 0;
  size_t starP = std::string_view::npos, starT = 0;
  while (t < text.size()) {
    if (p < pattern.size() &&
        (pattern[p] == '?' || (pattern[p] != '*' && same(pattern[p], text[t])))) {
      ++p;
      ++t;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starT = t;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      t = ++starT;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool Faults::countCallLosesConnection() {
  State& s = state();
  std::lock_guard lock(s.mutex);
  refresh(s);
  long call = ++s.calls;
  const auto& at = s.settings.loseConnectionAt;
  return std::find(at.begin(), at.end(), call) != at.end();
}

bool Faults::refuseLogon() {
  State& s = state();
  std::lock_guard lock(s.mutex);
  refresh(s);
  return s.settings.refuseLogon;
}

int Faults::fetchDelayMs() {
  State& s = state();
  std::lock_guard lock(s.mutex);
  refresh(s);
  return s.settings.fetchDelayMs;
}

int Faults::statementFailure(std::string_view text) {
  State& s = state();
  std::lock_guard lock(s.mutex);
  refresh(s);
  for (const auto& failure : s.settings.failures) {
    if (wildcardMatch(failure.pattern, text)) return failure.code;
  }
  return 0;
}

}  // namespace ocisim::oci
