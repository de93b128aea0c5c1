#include "engine/ora_error.h"

#include <cstdio>

namespace ocisim {
namespace {

struct Entry {
  int code;
  const char* text;
};

#define OCISIM_ORA_ENTRY(code, text) {code, text},
constexpr Entry kOraMessages[] = {OCISIM_ORA_MESSAGES(OCISIM_ORA_ENTRY)};
#undef OCISIM_ORA_ENTRY

std::string formatCode(int code) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "ORA-%05d: ", code);
  return buffer;
}

std::string fill(const char* tmpl, std::initializer_list<std::string> args) {
  std::string out;
  auto arg = args.begin();
  for (const char* p = tmpl; *p; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      if (arg != args.end()) out += *arg++;
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

}  // namespace

const char* oraMessageTemplate(int code) {
  for (const Entry& e : kOraMessages) {
    if (e.code == code) return e.text;
  }
  return nullptr;
}

OraError::OraError(int code, std::initializer_list<std::string> args)
    : OraError(code,
               (code >= 20000 && code <= 20999) || !oraMessageTemplate(code)
                   ? (args.size() > 0 ? *args.begin() : std::string())
                   : fill(oraMessageTemplate(code), args),
               true) {}

OraError OraError::withText(int code, const std::string& text) { return OraError(code, text, true); }

OraError::OraError(int code, std::string text, bool)
    : std::runtime_error(formatCode(code) + text), code_(code), text_(std::move(text)) {}

}  // namespace ocisim
