// LegacyStreamWriter: writes a configuration in the older binary layout (little-endian, strings
// with 1, 3 or 7 byte length prefixes, counted lists), as the tests and the seed corpus of the
// fuzz targets need such files and the product itself only reads them. Header only, test code.
#pragma once

#include <cstdint>
#include <string>

#include "base/comparison_options.h"
#include "base/option_keys.h"

namespace velmora::testing {

class LegacyStreamWriter {
 public:
  void integer(std::int32_t value) { raw(static_cast<std::uint32_t>(value), 4); }

  void string(const std::string& text) {
    const size_t length = text.size();
    if (length < 255) {
      raw(static_cast<std::uint32_t>(length), 1);
    } else if (length < 65534) {
      raw(0xFF, 1);
      raw(static_cast<std::uint32_t>(length), 2);
    } else {
      raw(0xFF, 1);
      raw(0xFFFF, 2);
      raw(static_cast<std::uint32_t>(length), 4);
    }
    bytes_ += text;
  }

  void raw(std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes_ += static_cast<char>((value >> (8 * i)) & 0xFF);
  }

  // The whole stream of a configuration, in the layout's order.
  void configuration(const ComparisonOptions& o, const std::string& connection1,
                     const std::string& connection2) {
    string("Version 2.0");
    string(connection1);
    string(connection2);
    for (int value : {o.i_AutoSpecialName, o.b_IgnoreSeqLastNum, o.b_AutoSave, o.i_AutoSaveLines})
      integer(value);
    string(o.s_AutoSaveFile);
    bool started = false;
    for (const OptionKey& entry : optionKeys()) {
      // The integers from b_OnlyToFile to b_IgnoreSourceSpaces, without b_IgnoreSeqLastNum
      // (written above): the file's order of the current format, which the stream shares.
      const std::string key = entry.key;
      if (key == "b_OnlyToFile") started = true;
      if (!started || key == "b_IgnoreSeqLastNum") continue;
      if (key == "b_UpdDeletes") break;
      integer(o.*entry.intField);
    }
    string(o.s_GlobalPassSql1);
    string(o.s_GlobalPassSql2);
    for (const NameList* list :
         {&o.IgnoreColumns, &o.IgnoreTables, &o.IgnoreViews, &o.IgnoreProcs, &o.IgnoreFuncs,
          &o.IgnorePacks, &o.IgnorePackBodies, &o.IgnoreTypes, &o.IgnoreTypeBodies, &o.IgnoreTrigs,
          &o.IgnoreViewSource}) {
      integer(static_cast<std::int32_t>(list->size()));
      for (const std::string& name : list->names()) string(name);
    }
    integer(static_cast<std::int32_t>(o.whereStatements.entries().size()));
    for (const auto& [name, condition] : o.whereStatements.entries()) {
      string(name);
      string(condition);
    }
  }

  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

}  // namespace velmora::testing
