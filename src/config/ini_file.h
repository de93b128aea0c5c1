// IniFile: a profile ("INI") text file of [sections] and key=value lines, held in memory as its
// lines so that a rewrite keeps everything it does not change: comments, blank lines, damaged
// lines, the order of sections and keys, the spelling of existing keys. Section and key names
// ignore letter case, like the Windows profile functions; the first section of a name, and the
// first key of a name in it, is the one read and written. Not thread-safe; the settings store
// guards its instance.
//
// Lines: "[name]" opens a section (text after "]" is ignored); a line whose first non-blank
// character is ";" or "#" is a comment; "key=value" is an entry (blanks around the key and the
// value are dropped); anything else, and entries before the first section, are damaged lines,
// kept verbatim and never read. LF or CR LF line ends; a file read with CR LF is written so.
//
// Values hold any bytes. A value is written as it is unless it has a control character (below
// 0x20, or 0x7F), a leading or trailing blank, or both a leading and a trailing '"'; then it is
// written in double quotes with backslash escapes: \\ \" \n \r \t and \xHH. Reading undoes
// this for a value enclosed in double quotes (an unknown escape stays as it is) and takes any
// other value literally, so "C:\temp\new.txt" needs no escaping. Examples:
//   " padded "  ->  key=" padded "        a\r\nb  ->  key="a\r\nb"
//   a=b;c       ->  key=a=b;c             "x"     ->  key="\"x\""
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/atomic_file.h"

namespace velmora {

class IniFile {
 public:
  IniFile();

  static IniFile parse(std::string_view text);
  std::string text() const;  // the file's content, unchanged lines verbatim

  // Reads a file; a missing file gives an empty IniFile and Missing. On Failed *out is empty.
  static ReadStatus load(const std::string& path, IniFile* out, std::string* error);
  // Writes the file safely (writeFileAtomically); false with *error on failure.
  [[nodiscard]] bool save(const std::string& path, std::string* error) const;

  std::optional<std::string> get(std::string_view section, std::string_view key) const;

  // Sets a value, adding the key at the end of its section's entries or the section at the end
  // of the file. False (and nothing changed) for a name the format cannot hold: empty, with a
  // control character or leading/trailing blanks, a key with "=" or starting with "[", ";" or
  // "#", a section name with "]".
  bool set(std::string_view section, std::string_view key, std::string_view value);
  bool remove(std::string_view section, std::string_view key);  // true when a key was removed
  bool removeSection(std::string_view section);                 // every section of that name

  bool hasSection(std::string_view section) const;
  std::vector<std::string> sectionNames() const;  // in file order
  std::vector<std::string> keys(std::string_view section) const;
  // The entries (key as spelt, decoded value) of the first section of that name, in file order.
  std::vector<std::pair<std::string, std::string>> entries(std::string_view section) const;

  static bool isValidSectionName(std::string_view name);
  static bool isValidKey(std::string_view key);
  static std::string encodeValue(std::string_view value);
  static std::string decodeValue(std::string_view written);

 private:
  struct Line {
    bool isEntry = false;
    std::string raw;    // verbatim text without its line end
    std::string key;    // entries: the key as spelt in the file
    std::string value;  // entries: the decoded value
  };
  struct Section {
    bool hasHeader = false;  // false only for the lines before the first header
    std::string name;
    std::string header;  // verbatim header line
    std::vector<Line> lines;
  };

  Section* findSection(std::string_view name);
  const Section* findSection(std::string_view name) const;

  std::vector<Section> sections_;  // sections_[0] is the headerless start of the file
  bool crlf_ = false;
};

}  // namespace velmora
