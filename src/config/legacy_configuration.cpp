// The legacy configuration stream: little-endian, strings with a 1, 3 or 7 byte length prefix,
// 32-bit integers and counted lists. Every length and count is checked against the bytes left
// before anything is taken or reserved, so a truncated or forged stream ends with a message
// instead of a crash or a huge allocation.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/option_keys.h"
#include "config/configuration_fields.h"
#include "config/configuration_file.h"

namespace velmora {
namespace {

// The 32-bit integers after s_AutoSaveFile, in the stream's order.
constexpr const char* kIntegerKeys[] = {
    "b_OnlyToFile",
    "i_TrigBodyLimit",
    "b_CompColLen",
    "b_CompDatCase",
    "b_CompDatTrail",
    "b_CompDatFrac",
    "b_CompDatValue",
    "b_CompDatSecs",
    "b_CompDatLead",
    "b_DoCommon",
    "b_DoViewCommon",
    "b_DoPkgBodyCommon",
    "b_DoPkgCommon",
    "b_DoTypeCommon",
    "b_DoTypeBodyCommon",
    "b_DoTriggerCommon",
    "b_DoViewSourceCommon",
    "i_DoingUpgradeScript",
    "b_DoFuncCommon",
    "b_DoStpCommon",
    "b_DoSkipped",
    "b_DoViewSkipped",
    "b_DoFuncSkipped",
    "b_DoPkgSkipped",
    "b_DoTypeSkipped",
    "b_DoTypeBodySkipped",
    "b_DoTriggerSkipped",
    "b_DoViewSourceSkipped",
    "b_DoPkgBodySkipped",
    "b_DoStpSkipped",
    "b_DoSysPrivs",
    "b_DoRolePrivs",
    "b_DoConsCols",
    "i_DoConsName",
    "b_DoTrigBody",
    "b_DoObjPrivs",
    "b_DoViewStruct",
    "b_DoViewData",
    "b_DoStruct",
    "b_DoPriv",
    "b_DoSeq",
    "b_DoConst",
    "b_DoTrigger",
    "b_DoStpCode",
    "b_DoType",
    "b_DoTypeBody",
    "b_DoViewSource",
    "b_DoFunc",
    "b_DoPack",
    "b_DoPackBody",
    "b_DoIndex",
    "b_DoData",
    "b_NoDiffData",
    "b_NoDiffView",
    "b_NoDiffCol",
    "b_NoDiffTrig",
    "b_NoDiffFunc",
    "b_NoDiffPkg",
    "b_NoDiffPkgBody",
    "b_NoDiffType",
    "b_NoDiffTypeBody",
    "b_NoDiffViewSource",
    "b_NoDiffStp",
    "b_DataType",
    "b_IgnoreSourceSpaces",
};

class StreamReader {
 public:
  explicit StreamReader(std::string_view bytes) : bytes_(bytes) {}

  const std::string& problem() const { return problem_; }
  size_t left() const { return bytes_.size() - at_; }

  bool readInt(const char* what, std::int32_t* value) {
    std::uint32_t raw = 0;
    if (!readUnsigned(what, 4, &raw)) return false;
    *value = static_cast<std::int32_t>(raw);
    return true;
  }

  bool readString(const char* what, std::string* text) {
    std::uint32_t length = 0;
    if (!readUnsigned(what, 1, &length)) return false;
    if (length == 0xFF) {
      if (!readUnsigned(what, 2, &length)) return false;
      if (length == 0xFFFE) return fail(std::string("the length of ") + what + " is not valid");
      if (length == 0xFFFF && !readUnsigned(what, 4, &length)) return false;
    }
    if (length > left()) {
      return fail(std::string("the length of ") + what + " (" + std::to_string(length) +
                  " bytes) runs past the end of the file");
    }
    text->assign(bytes_.substr(at_, length));
    at_ += length;
    return true;
  }

  // A count of items that each take at least `minimumBytes`: more than the bytes left can hold
  // is damage, found before anything is read or reserved.
  bool readCount(const char* what, size_t minimumBytes, std::uint32_t* count) {
    std::int32_t value = 0;
    if (!readInt(what, &value)) return false;
    if (value < 0 || static_cast<std::uint64_t>(value) * minimumBytes > left()) {
      return fail(std::string("the count of ") + what + " (" + std::to_string(value) +
                  ") does not fit the " + std::to_string(left()) + " bytes left");
    }
    *count = static_cast<std::uint32_t>(value);
    return true;
  }

 private:
  bool fail(std::string problem) {
    problem_ = std::move(problem);
    return false;
  }

  bool readUnsigned(const char* what, size_t size, std::uint32_t* value) {
    if (left() < size) {
      return fail(std::string("the file ends in ") + what + " (at byte " + std::to_string(at_) +
                  ")");
    }
    std::uint32_t result = 0;
    for (size_t i = 0; i < size; ++i)
      result |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[at_ + i])) << (8 * i);
    at_ += size;
    *value = result;
    return true;
  }

  std::string_view bytes_;
  size_t at_ = 0;
  std::string problem_;
};

bool readIntegerOption(StreamReader& reader, ComparisonOptions& options, const char* key) {
  std::int32_t value = 0;
  if (!reader.readInt(key, &value)) return false;
  storeFileInteger(options, *findOptionKey(key), value);
  return true;
}

bool readStream(StreamReader& reader, Configuration& result) {
  ComparisonOptions& options = result.options;
  std::string version;
  if (!reader.readString("the version", &version) ||
      !reader.readString("the connection of Database 1", &result.connection1) ||
      !reader.readString("the connection of Database 2", &result.connection2)) {
    return false;
  }
  for (const char* key :
       {"i_AutoSpecialName", "b_IgnoreSeqLastNum", "b_AutoSave", "i_AutoSaveLines"}) {
    if (!readIntegerOption(reader, options, key)) return false;
  }
  if (!reader.readString("s_AutoSaveFile", &options.s_AutoSaveFile)) return false;
  for (const char* key : kIntegerKeys) {
    if (!readIntegerOption(reader, options, key)) return false;
  }
  if (!reader.readString("s_GlobalPassSql1", &options.s_GlobalPassSql1) ||
      !reader.readString("s_GlobalPassSql2", &options.s_GlobalPassSql2)) {
    return false;
  }
  for (const ConfigurationList& list : configurationLists()) {
    NameList& names = options.*list.list;
    names.clear();
    std::uint32_t count = 0;
    if (!reader.readCount(list.section, 1, &count)) return false;
    for (std::uint32_t i = 0; i < count; ++i) {
      std::string name;
      if (!reader.readString(list.section, &name)) return false;
      names.add(name);
    }
  }
  options.whereStatements.clear();
  std::uint32_t count = 0;
  if (!reader.readCount("the data conditions", 2, &count)) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::string name, condition;
    if (!reader.readString("a data condition", &name) ||
        !reader.readString("a data condition", &condition)) {
      return false;
    }
    options.whereStatements.set(name, condition);
  }
  return true;
}

}  // namespace

Status parseLegacyConfiguration(std::string_view bytes, const ComparisonOptions& current,
                                Configuration* out) {
  Configuration result;
  result.options = current;  // b_UpdDeletes, b_UpdInserts and b_UpdUpdates keep their values
  result.legacy = true;
  StreamReader reader(bytes);
  if (!readStream(reader, result)) {
    return Status::failure(0, std::string(kCouldNotOpenConfig) +
                                  "\nThe file is neither a configuration file of version 3.0 "
                                  "nor a readable older one: " +
                                  reader.problem());
  }
  finishLoadedOptions(result.options);
  *out = std::move(result);
  return Status();
}

}  // namespace velmora
