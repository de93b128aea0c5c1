#include "oracle/oracle_text.h"

#include <algorithm>

namespace velmora {

namespace {
bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
}  // namespace

std::string toUpperAscii(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  });
  return text;
}

std::string trimTrailingSpace(std::string text) {
  while (!text.empty() && isSpace(text.back())) text.pop_back();
  return text;
}

std::string trimLeadingSpace(std::string text) {
  size_t start = 0;
  while (start < text.size() && isSpace(text[start])) ++start;
  return text.substr(start);
}

}  // namespace velmora
