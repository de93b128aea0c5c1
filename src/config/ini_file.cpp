#include "config/ini_file.h"

#include <algorithm>
#include <cctype>

namespace velmora {
namespace {

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

std::string_view trim(std::string_view text) {
  const char* blanks = " \t\r";
  size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

bool isControl(char c) {
  auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

bool hasControl(std::string_view text) {
  return std::any_of(text.begin(), text.end(), isControl);
}

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Reverses the escapes of a quoted value's interior; anything unknown stays as written.
std::string unescape(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\\' || i + 1 == text.size()) {
      out += c;
      continue;
    }
    char next = text[i + 1];
    switch (next) {
      case '\\':
        out += '\\';
        ++i;
        continue;
      case '"':
        out += '"';
        ++i;
        continue;
      case 'n':
        out += '\n';
        ++i;
        continue;
      case 'r':
        out += '\r';
        ++i;
        continue;
      case 't':
        out += '\t';
        ++i;
        continue;
      default:
        break;
    }
    if (next == 'x' && i + 3 < text.size() && hexDigit(text[i + 2]) >= 0 &&
        hexDigit(text[i + 3]) >= 0) {
      out += static_cast<char>(hexDigit(text[i + 2]) * 16 + hexDigit(text[i + 3]));
      i += 3;
      continue;
    }
    out += c;
  }
  return out;
}

}  // namespace

IniFile::IniFile() : sections_(1) {}

bool IniFile::isValidSectionName(std::string_view name) {
  return !name.empty() && !hasControl(name) && !isBlank(name.front()) && !isBlank(name.back()) &&
         name.find(']') == std::string_view::npos;
}

bool IniFile::isValidKey(std::string_view key) {
  return !key.empty() && !hasControl(key) && !isBlank(key.front()) && !isBlank(key.back()) &&
         key.find('=') == std::string_view::npos && key.front() != '[' && key.front() != ';' &&
         key.front() != '#';
}

std::string IniFile::encodeValue(std::string_view value) {
  bool quote = hasControl(value) ||
               (!value.empty() && (isBlank(value.front()) || isBlank(value.back()))) ||
               (value.size() >= 2 && value.front() == '"' && value.back() == '"');
  if (!quote) return std::string(value);
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (char c : value) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (isControl(c)) {
          auto byte = static_cast<unsigned char>(c);
          out += "\\x";
          out += kHex[byte >> 4];
          out += kHex[byte & 0x0F];
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string IniFile::decodeValue(std::string_view written) {
  if (written.size() >= 2 && written.front() == '"' && written.back() == '"') {
    return unescape(written.substr(1, written.size() - 2));
  }
  return std::string(written);
}

IniFile IniFile::parse(std::string_view text) {
  IniFile file;
  size_t end = text.find('\n');
  file.crlf_ = end != std::string_view::npos && end > 0 && text[end - 1] == '\r';
  size_t pos = 0;
  while (pos < text.size()) {
    end = text.find('\n', pos);
    std::string_view raw = text.substr(pos, end == std::string_view::npos ? end : end - pos);
    pos = end == std::string_view::npos ? text.size() : end + 1;
    if (file.crlf_ && !raw.empty() && raw.back() == '\r') raw.remove_suffix(1);

    std::string_view content = trim(raw);
    Line line;
    line.raw = std::string(raw);
    if (!content.empty() && content.front() == '[' && content.find(']') != std::string_view::npos) {
      Section section;
      section.hasHeader = true;
      section.name = std::string(trim(content.substr(1, content.find(']') - 1)));
      section.header = line.raw;
      file.sections_.push_back(std::move(section));
      continue;
    }
    size_t equals = raw.find('=');
    bool comment = !content.empty() && (content.front() == ';' || content.front() == '#');
    if (!comment && equals != std::string_view::npos && file.sections_.size() > 1) {
      std::string_view key = trim(raw.substr(0, equals));
      if (!key.empty()) {
        line.isEntry = true;
        line.key = std::string(key);
        line.value = decodeValue(trim(raw.substr(equals + 1)));
      }
    }
    file.sections_.back().lines.push_back(std::move(line));
  }
  return file;
}

std::string IniFile::text() const {
  const char* eol = crlf_ ? "\r\n" : "\n";
  std::string out;
  for (const Section& section : sections_) {
    if (section.hasHeader) out += section.header + eol;
    for (const Line& line : section.lines) out += line.raw + eol;
  }
  return out;
}

ReadStatus IniFile::load(const std::string& path, IniFile* out, std::string* error) {
  std::string content;
  ReadStatus status = readWholeFile(path, &content, error);
  *out = status == ReadStatus::Ok ? parse(content) : IniFile();
  return status;
}

bool IniFile::save(const std::string& path, std::string* error) const {
  return writeFileAtomically(path, text(), error);
}

IniFile::Section* IniFile::findSection(std::string_view name) {
  auto it = std::find_if(sections_.begin(), sections_.end(), [&](const Section& s) {
    return s.hasHeader && equalsIgnoreCase(s.name, name);
  });
  return it == sections_.end() ? nullptr : &*it;
}

const IniFile::Section* IniFile::findSection(std::string_view name) const {
  return const_cast<IniFile*>(this)->findSection(name);
}

std::optional<std::string> IniFile::get(std::string_view section, std::string_view key) const {
  const Section* found = findSection(section);
  if (!found) return std::nullopt;
  for (const Line& line : found->lines) {
    if (line.isEntry && equalsIgnoreCase(line.key, key)) return line.value;
  }
  return std::nullopt;
}

bool IniFile::set(std::string_view section, std::string_view key, std::string_view value) {
  if (!isValidSectionName(section) || !isValidKey(key)) return false;
  Section* target = findSection(section);
  if (!target) {
    std::vector<Line>& last = sections_.back().lines;
    bool fileHasText = sections_.size() > 1 || !last.empty();
    if (fileHasText && (last.empty() || !trim(last.back().raw).empty())) last.push_back(Line());
    Section added;
    added.hasHeader = true;
    added.name = std::string(section);
    added.header = "[" + added.name + "]";
    sections_.push_back(std::move(added));
    target = &sections_.back();
  }
  std::vector<Line>& lines = target->lines;
  for (Line& line : lines) {
    if (line.isEntry && equalsIgnoreCase(line.key, key)) {
      if (line.value == value) return true;  // keep the line as written
      line.value = std::string(value);
      line.raw = line.key + "=" + encodeValue(value);
      return true;
    }
  }
  // After the last entry; in a section without entries, after its last non-blank line.
  size_t at = lines.size();
  while (at > 0 && !lines[at - 1].isEntry) --at;
  if (at == 0) {
    at = lines.size();
    while (at > 0 && trim(lines[at - 1].raw).empty()) --at;
  }
  Line line;
  line.isEntry = true;
  line.key = std::string(key);
  line.value = std::string(value);
  line.raw = line.key + "=" + encodeValue(value);
  lines.insert(lines.begin() + static_cast<long>(at), std::move(line));
  return true;
}

bool IniFile::remove(std::string_view section, std::string_view key) {
  Section* found = findSection(section);
  if (!found) return false;
  auto it = std::find_if(found->lines.begin(), found->lines.end(), [&](const Line& line) {
    return line.isEntry && equalsIgnoreCase(line.key, key);
  });
  if (it == found->lines.end()) return false;
  found->lines.erase(it);
  return true;
}

bool IniFile::removeSection(std::string_view section) {
  size_t before = sections_.size();
  sections_.erase(
      std::remove_if(sections_.begin() + 1, sections_.end(),
                     [&](const Section& s) { return equalsIgnoreCase(s.name, section); }),
      sections_.end());
  return sections_.size() != before;
}

bool IniFile::hasSection(std::string_view section) const {
  return findSection(section) != nullptr;
}

std::vector<std::string> IniFile::sectionNames() const {
  std::vector<std::string> names;
  for (const Section& section : sections_) {
    if (section.hasHeader) names.push_back(section.name);
  }
  return names;
}

std::vector<std::pair<std::string, std::string>> IniFile::entries(std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> result;
  if (const Section* found = findSection(section)) {
    for (const Line& line : found->lines) {
      if (line.isEntry) result.emplace_back(line.key, line.value);
    }
  }
  return result;
}

std::vector<std::string> IniFile::keys(std::string_view section) const {
  std::vector<std::string> result;
  if (const Section* found = findSection(section)) {
    for (const Line& line : found->lines) {
      if (line.isEntry) result.push_back(line.key);
    }
  }
  return result;
}

}  // namespace velmora
