#include "base/option_keys.h"

#include <cctype>
#include <charconv>

namespace velmora {
namespace {

// The key is the field's own name, so the macros cannot let the two drift apart.
#define VELMORA_SWITCH(field, def) \
  { #field, OptionType::Switch, &ComparisonOptions::field, nullptr, def, "", 0, 1, true, false }
#define VELMORA_INT(field, def, lo, hi) \
  { #field, OptionType::Int, &ComparisonOptions::field, nullptr, def, "", lo, hi, true, false }
#define VELMORA_STRING(field) \
  { #field, OptionType::String, nullptr, &ComparisonOptions::field, 0, "", 0, 0, true, true }
#define VELMORA_UNSTORED_SWITCH(field, def) \
  { #field, OptionType::Switch, &ComparisonOptions::field, nullptr, def, "", 0, 1, false, false }

constexpr OptionKey kOptionKeys[] = {
    VELMORA_INT(i_AutoSpecialName, 0, 0, 2),
    VELMORA_SWITCH(b_AutoSave, 0),
    VELMORA_INT(i_AutoSaveLines, 500, 1, 999999),
    VELMORA_STRING(s_AutoSaveFile),
    VELMORA_SWITCH(b_OnlyToFile, 0),
    VELMORA_SWITCH(b_IgnoreSeqLastNum, 0),
    VELMORA_INT(i_TrigBodyLimit, 2000, 100, 64000),
    VELMORA_SWITCH(b_CompColLen, 0),
    VELMORA_SWITCH(b_CompDatCase, 0),
    VELMORA_SWITCH(b_CompDatTrail, 0),
    VELMORA_SWITCH(b_CompDatFrac, 0),
    VELMORA_SWITCH(b_CompDatValue, 1),
    VELMORA_SWITCH(b_CompDatSecs, 0),
    VELMORA_SWITCH(b_CompDatLead, 0),
    VELMORA_SWITCH(b_DoCommon, 1),
    VELMORA_SWITCH(b_DoViewCommon, 1),
    VELMORA_SWITCH(b_DoPkgBodyCommon, 1),
    VELMORA_SWITCH(b_DoPkgCommon, 1),
    VELMORA_SWITCH(b_DoTypeCommon, 1),
    VELMORA_SWITCH(b_DoTypeBodyCommon, 1),
    VELMORA_SWITCH(b_DoTriggerCommon, 1),
    VELMORA_SWITCH(b_DoViewSourceCommon, 1),
    VELMORA_INT(i_DoingUpgradeScript, 0, 0, 2),
    VELMORA_SWITCH(b_DoFuncCommon, 1),
    VELMORA_SWITCH(b_DoStpCommon, 1),
    VELMORA_SWITCH(b_DoSkipped, 1),
    VELMORA_SWITCH(b_DoViewSkipped, 1),
    VELMORA_SWITCH(b_DoFuncSkipped, 1),
    VELMORA_SWITCH(b_DoPkgSkipped, 1),
    VELMORA_SWITCH(b_DoTypeSkipped, 1),
    VELMORA_SWITCH(b_DoTypeBodySkipped, 1),
    VELMORA_SWITCH(b_DoTriggerSkipped, 1),
    VELMORA_SWITCH(b_DoViewSourceSkipped, 1),
    VELMORA_SWITCH(b_DoPkgBodySkipped, 1),
    VELMORA_SWITCH(b_DoStpSkipped, 1),
    VELMORA_SWITCH(b_DoSysPrivs, 1),
    VELMORA_SWITCH(b_DoRolePrivs, 1),
    VELMORA_SWITCH(b_DoConsCols, 1),
    VELMORA_INT(i_DoConsName, 1, 0, 2),
    VELMORA_SWITCH(b_DoTrigBody, 1),
    VELMORA_SWITCH(b_DoObjPrivs, 1),
    VELMORA_SWITCH(b_DoViewStruct, 1),
    VELMORA_SWITCH(b_DoViewData, 1),
    VELMORA_SWITCH(b_DoStruct, 1),
    VELMORA_SWITCH(b_DoPriv, 1),
    VELMORA_SWITCH(b_DoSeq, 1),
    VELMORA_SWITCH(b_DoConst, 1),
    VELMORA_SWITCH(b_DoTrigger, 1),
    VELMORA_SWITCH(b_DoStpCode, 1),
    VELMORA_SWITCH(b_DoType, 1),
    VELMORA_SWITCH(b_DoTypeBody, 1),
    VELMORA_SWITCH(b_DoViewSource, 1),
    VELMORA_SWITCH(b_DoFunc, 1),
    VELMORA_SWITCH(b_DoPack, 1),
    VELMORA_SWITCH(b_DoPackBody, 1),
    VELMORA_SWITCH(b_DoIndex, 1),
    VELMORA_SWITCH(b_DoData, 1),
    VELMORA_SWITCH(b_NoDiffData, 1),
    VELMORA_SWITCH(b_NoDiffView, 1),
    VELMORA_SWITCH(b_NoDiffCol, 1),
    VELMORA_SWITCH(b_NoDiffTrig, 1),
    VELMORA_SWITCH(b_NoDiffFunc, 1),
    VELMORA_SWITCH(b_NoDiffPkg, 1),
    VELMORA_SWITCH(b_NoDiffPkgBody, 1),
    VELMORA_SWITCH(b_NoDiffType, 1),
    VELMORA_SWITCH(b_NoDiffTypeBody, 1),
    VELMORA_SWITCH(b_NoDiffViewSource, 1),
    VELMORA_SWITCH(b_NoDiffStp, 1),
    VELMORA_SWITCH(b_DataType, 0),
    VELMORA_SWITCH(b_IgnoreSourceSpaces, 1),
    VELMORA_SWITCH(b_UpdDeletes, 1),
    VELMORA_SWITCH(b_UpdInserts, 1),
    VELMORA_SWITCH(b_UpdUpdates, 1),
    VELMORA_STRING(s_GlobalPassSql1),
    VELMORA_STRING(s_GlobalPassSql2),
    VELMORA_UNSTORED_SWITCH(b_IgnoreColNameCase, 0),
    VELMORA_UNSTORED_SWITCH(b_OwnObjectsOnly, 1),
};

#undef VELMORA_SWITCH
#undef VELMORA_INT
#undef VELMORA_STRING
#undef VELMORA_UNSTORED_SWITCH

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// Whole text as a decimal int: an optional "-", then digits, nothing else.
bool parseStrictInt(std::string_view text, int* value) {
  if (text.empty() || text.front() == '+') return false;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, *value);
  return ec == std::errc() && ptr == end;
}

std::string quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

std::string invalidValue(const OptionKey& entry, std::string_view text) {
  std::string message = "Invalid value " + quoted(text) + " for " + entry.key + ": ";
  if (entry.type == OptionType::Switch) return message + "expected 0 or 1";
  return message + "expected an integer from " + std::to_string(entry.minValue) + " to " +
         std::to_string(entry.maxValue);
}

void setError(std::string* error, std::string text) {
  if (error) *error = std::move(text);
}

}  // namespace

std::span<const OptionKey> optionKeys() {
  return kOptionKeys;
}

const OptionKey* findOptionKey(std::string_view key) {
  for (const OptionKey& entry : kOptionKeys) {
    if (key == entry.key) return &entry;
  }
  return nullptr;
}

bool optionValueInRange(const OptionKey& entry, int value) {
  if (entry.type == OptionType::String) return false;
  return value >= entry.minValue && value <= entry.maxValue;
}

bool setOptionValue(ComparisonOptions& options, std::string_view key, std::string_view text,
                    std::string* error) {
  if (const OptionKey* entry = findOptionKey(key)) {
    return setOptionValue(options, *entry, text, error);
  }
  std::string message = "Unknown option key " + quoted(key);
  for (const OptionKey& entry : kOptionKeys) {
    if (equalsIgnoreCase(key, entry.key)) {
      message += std::string(" (did you mean ") + quoted(entry.key) + "?)";
      break;
    }
  }
  setError(error, message);
  return false;
}

bool setOptionValue(ComparisonOptions& options, const OptionKey& entry, std::string_view text,
                    std::string* error) {
  if (entry.type == OptionType::String) {
    options.*entry.stringField = std::string(text);
    return true;
  }
  int value = 0;
  if (!parseStrictInt(text, &value) || !optionValueInRange(entry, value)) {
    setError(error, invalidValue(entry, text));
    return false;
  }
  options.*entry.intField = value;
  return true;
}

bool setOptionAssignment(ComparisonOptions& options, std::string_view assignment,
                         std::string* error) {
  size_t equals = assignment.find('=');
  if (equals == std::string_view::npos) {
    setError(error, "Expected KEY=VALUE, got " + quoted(assignment));
    return false;
  }
  return setOptionValue(options, assignment.substr(0, equals), assignment.substr(equals + 1),
                        error);
}

std::string optionValueText(const ComparisonOptions& options, const OptionKey& entry) {
  if (entry.type == OptionType::String) return options.*entry.stringField;
  return std::to_string(options.*entry.intField);
}

std::string optionDefaultText(const OptionKey& entry) {
  if (entry.type == OptionType::String) return entry.defaultString;
  return std::to_string(entry.defaultInt);
}

void resetOptionsToDefaults(ComparisonOptions& options) {
  for (const OptionKey& entry : kOptionKeys) {
    if (entry.type == OptionType::String) {
      options.*entry.stringField = entry.defaultString;
    } else {
      options.*entry.intField = entry.defaultInt;
    }
  }
  options.setDerivedValues();
}

}  // namespace velmora
