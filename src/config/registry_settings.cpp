#include "config/registry_settings.h"

#include "base/option_keys.h"

namespace velmora {
namespace {

#define VELMORA_VALUE(name, field, def) \
  { name, #field, &ComparisonOptions::field, def, false }
#define VELMORA_WRITE_ONLY(name, field) \
  { name, #field, &ComparisonOptions::field, 0, true }

constexpr RegistryOptionValue kOptionValues[] = {
    VELMORA_VALUE("asn", i_AutoSpecialName, 0),
    VELMORA_VALUE("ilsn", b_IgnoreSeqLastNum, 0),
    VELMORA_VALUE("as", b_AutoSave, 0),
    VELMORA_VALUE("asl", i_AutoSaveLines, 500),
    VELMORA_VALUE("tbl", i_TrigBodyLimit, 2000),
    VELMORA_VALUE("ccl", b_CompColLen, 0),
    VELMORA_VALUE("cdc", b_CompDatCase, 0),
    VELMORA_VALUE("cdt", b_CompDatTrail, 0),
    VELMORA_VALUE("cdf", b_CompDatFrac, 0),
    VELMORA_VALUE("cdv", b_CompDatValue, 1),
    VELMORA_VALUE("cds", b_CompDatSecs, 0),
    VELMORA_VALUE("cdl", b_CompDatLead, 0),
    VELMORA_VALUE("doc", b_DoCommon, 1),
    VELMORA_VALUE("dvc", b_DoViewCommon, 1),
    VELMORA_VALUE("dpbc", b_DoPkgBodyCommon, 1),
    VELMORA_VALUE("dpc", b_DoPkgCommon, 1),
    VELMORA_VALUE("DoTypeCommon", b_DoTypeCommon, 1),
    VELMORA_VALUE("DoTypeBodyCommon", b_DoTypeBodyCommon, 1),
    VELMORA_VALUE("DoTriggerCommon", b_DoTriggerCommon, 1),
    VELMORA_VALUE("DoViewSourceCommon", b_DoViewSourceCommon, 1),
    VELMORA_VALUE("DoingUpgradeScript", i_DoingUpgradeScript, 0),
    VELMORA_VALUE("dfc", b_DoFuncCommon, 1),
    VELMORA_VALUE("dstc", b_DoStpCommon, 1),
    VELMORA_VALUE("dos", b_DoSkipped, 1),
    VELMORA_VALUE("dvsk", b_DoViewSkipped, 1),
    VELMORA_VALUE("dfs", b_DoFuncSkipped, 1),
    VELMORA_VALUE("dps", b_DoPkgSkipped, 1),
    VELMORA_VALUE("DoTypeSkipped", b_DoTypeSkipped, 1),
    VELMORA_VALUE("DoTypeBodySkipped", b_DoTypeBodySkipped, 1),
    VELMORA_VALUE("DoTriggerSkipped", b_DoTriggerSkipped, 1),
    VELMORA_VALUE("DoViewSourceSkipped", b_DoViewSourceSkipped, 1),
    VELMORA_VALUE("dpbs", b_DoPkgBodySkipped, 1),
    VELMORA_VALUE("dss", b_DoStpSkipped, 1),
    VELMORA_VALUE("dsp", b_DoSysPrivs, 1),
    VELMORA_VALUE("drp", b_DoRolePrivs, 1),
    VELMORA_VALUE("dcc", b_DoConsCols, 1),
    VELMORA_VALUE("dcn", i_DoConsName, 1),
    VELMORA_VALUE("dtb", b_DoTrigBody, 1),
    VELMORA_VALUE("dop", b_DoObjPrivs, 1),
    VELMORA_WRITE_ONLY("dvs", b_DoViewStruct),
    VELMORA_VALUE("dvd", b_DoViewData, 1),
    VELMORA_VALUE("dst", b_DoStruct, 1),
    VELMORA_VALUE("dpr", b_DoPriv, 1),
    VELMORA_VALUE("dsq", b_DoSeq, 1),
    VELMORA_VALUE("dct", b_DoConst, 1),
    VELMORA_VALUE("dtr", b_DoTrigger, 1),
    VELMORA_VALUE("dsc", b_DoStpCode, 1),
    VELMORA_VALUE("DoType", b_DoType, 1),
    VELMORA_VALUE("DoTypeBody", b_DoTypeBody, 1),
    VELMORA_VALUE("DoViewSource", b_DoViewSource, 1),
    VELMORA_VALUE("dfn", b_DoFunc, 1),
    VELMORA_VALUE("dpk", b_DoPack, 1),
    VELMORA_VALUE("dpb", b_DoPackBody, 1),
    VELMORA_VALUE("din", b_DoIndex, 1),
    VELMORA_VALUE("dda", b_DoData, 1),
    VELMORA_VALUE("ndd", b_NoDiffData, 1),
    VELMORA_VALUE("ndv", b_NoDiffView, 1),
    VELMORA_VALUE("ndc", b_NoDiffCol, 1),
    VELMORA_VALUE("ndt", b_NoDiffTrig, 1),
    VELMORA_VALUE("ndf", b_NoDiffFunc, 1),
    VELMORA_VALUE("ndp", b_NoDiffPkg, 1),
    VELMORA_VALUE("ndpb", b_NoDiffPkgBody, 1),
    VELMORA_VALUE("NoDiffType", b_NoDiffType, 1),
    VELMORA_VALUE("NoDiffTypeBody", b_NoDiffTypeBody, 1),
    VELMORA_VALUE("NoDiffViewSource", b_NoDiffViewSource, 1),
    VELMORA_VALUE("nds", b_NoDiffStp, 1),
    VELMORA_VALUE("bdt", b_DataType, 0),
    VELMORA_VALUE("iss", b_IgnoreSourceSpaces, 1),
    VELMORA_VALUE("UpdDeletes", b_UpdDeletes, 1),
    VELMORA_VALUE("UpdInserts", b_UpdInserts, 1),
    VELMORA_VALUE("UpdUpdates", b_UpdUpdates, 1),
};

#undef VELMORA_VALUE
#undef VELMORA_WRITE_ONLY

constexpr const char* kDateFormat = "DateFormat";
constexpr const char* kInclPct = "InclPct";
constexpr const char* kInclStorage = "InclStorage";
constexpr const char* kUseUniqueIndex = "UseUniqueIndex";
constexpr const char* kOutBuf = "OutBuf";
constexpr const char* kOciVersion = "OCIVER";
constexpr const char* kOciLibrary = "OCIDLL";
constexpr const char* kSavePassword = "Savepass";
constexpr const char* kLastObjectProp = "LastObjectProp";
constexpr const char* kLastSourceProp = "LastSourceProp";
constexpr const char* kWhereTab = "WhereTab";
constexpr size_t kMaxFaceNameLength = 31;

}  // namespace

std::span<const RegistryOptionValue> registryOptionValues() {
  return kOptionValues;
}

void loadOptionsFromSettings(SettingsStore& store, ComparisonOptions& options) {
  for (const RegistryOptionValue& entry : kOptionValues) {
    if (entry.writeOnly) {
      options.*entry.field = 0;
      continue;
    }
    int value = store.getInt(kSettingsSection, entry.name, entry.defaultValue);
    const OptionKey* key = findOptionKey(entry.optionKey);
    // Switches take any stored number (nonzero is on); integers must lie in their range.
    if (key && key->type == OptionType::Int && !optionValueInRange(*key, value)) {
      value = entry.defaultValue;
    }
    options.*entry.field = value;
  }
  options.setDerivedValues();
}

void saveOptionsToSettings(SettingsStore& store, const ComparisonOptions& options) {
  SettingsStore::NamedValues values;
  values.reserve(std::size(kOptionValues));
  for (const RegistryOptionValue& entry : kOptionValues) {
    values.emplace_back(entry.name, std::to_string(options.*entry.field));
  }
  store.setStrings(kSettingsSection, values);
}

std::string UserSettings::dateFormat() const {
  return store_.getString(kSettingsSection, kDateFormat, "MM/DD/YYYY HH24:MI");
}
void UserSettings::setDateFormat(const std::string& format) {
  store_.setString(kSettingsSection, kDateFormat, format);
}

bool UserSettings::includePctClauses() const {
  return store_.getFlag(kSettingsSection, kInclPct, true);
}
void UserSettings::setIncludePctClauses(bool on) {
  store_.setFlag(kSettingsSection, kInclPct, on);
}

bool UserSettings::includeStorageClauses() const {
  return store_.getFlag(kSettingsSection, kInclStorage, true);
}
void UserSettings::setIncludeStorageClauses(bool on) {
  store_.setFlag(kSettingsSection, kInclStorage, on);
}

bool UserSettings::useUniqueIndex() const {
  return store_.getFlag(kSettingsSection, kUseUniqueIndex, true);
}
void UserSettings::setUseUniqueIndex(bool on) {
  store_.setFlag(kSettingsSection, kUseUniqueIndex, on);
}

int UserSettings::outputBufferSize() const {
  return store_.getInt(kSettingsSection, kOutBuf, 100000);
}

int UserSettings::ociVersion() const {
  return store_.getInt(kSettingsSection, kOciVersion, 0);
}
void UserSettings::setOciVersion(int code) {
  store_.setInt(kSettingsSection, kOciVersion, code);
}

std::string UserSettings::ociLibrary() const {
  return store_.getString(kSettingsSection, kOciLibrary, kDefaultOciLibrary);
}
void UserSettings::setOciLibrary(const std::string& path) {
  store_.setString(kSettingsSection, kOciLibrary, path);
}

bool UserSettings::savePassword() const {
  return store_.getInt(kSettingsSection, kSavePassword, 1) != 0;
}
void UserSettings::setSavePassword(bool on) {
  store_.setInt(kSettingsSection, kSavePassword, on ? 1 : 0);
}

int UserSettings::lastObjectProp() const {
  return store_.getInt(kSettingsSection, kLastObjectProp, 0);
}
void UserSettings::setLastObjectProp(int page) {
  store_.setInt(kSettingsSection, kLastObjectProp, page);
}

int UserSettings::lastSourceProp() const {
  return store_.getInt(kSettingsSection, kLastSourceProp, 0);
}
void UserSettings::setLastSourceProp(int page) {
  store_.setInt(kSettingsSection, kLastSourceProp, page);
}

int UserSettings::whereTab() const {
  return store_.getInt(kSettingsSection, kWhereTab, 1);
}
void UserSettings::setWhereTab(int tab) {
  store_.setInt(kSettingsSection, kWhereTab, tab);
}

MainWindowSettings UserSettings::mainWindow() const {
  MainWindowSettings window;
  int width = store_.getInt(kSettingsSection, "BigWidth", 0);
  int height = store_.getInt(kSettingsSection, "BigHeight", 0);
  window.width = width < 200 ? 800 : width;
  window.height = height < 100 ? 600 : height;
  window.maximized = store_.getInt(kSettingsSection, "BigMaximized", 0) != 0;
  window.left = store_.getInt(kSettingsSection, "LocX", -32);
  window.top = store_.getInt(kSettingsSection, "LocY", -32);
  auto onScreen = [](int coordinate) { return coordinate > 0 && coordinate < 2000; };
  window.usePosition = !window.maximized && onScreen(window.left) && onScreen(window.top);
  return window;
}

void UserSettings::saveMainWindow(int width, int height, bool maximized, int left, int top) {
  store_.setStrings(kSettingsSection, {{"BigWidth", std::to_string(width)},
                                       {"BigHeight", std::to_string(height)},
                                       {"BigMaximized", maximized ? "1" : "0"},
                                       {"LocX", std::to_string(left)},
                                       {"LocY", std::to_string(top)}});
}

ReportFont UserSettings::reportFont() const {
  const ReportFont defaults;
  ReportFont font;
  font.charSet = store_.getInt(kSettingsSection, "bCharSet", defaults.charSet);
  font.pitchAndFamily = store_.getInt(kSettingsSection, "bPitchAndFamily", defaults.pitchAndFamily);
  font.size = store_.getInt(kSettingsSection, "cbSize", defaults.size);
  font.effects = store_.getInt(kSettingsSection, "dwEffects", defaults.effects);
  font.mask = store_.getInt(kSettingsSection, "dwMask", defaults.mask);
  font.faceName = store_.getString(kSettingsSection, "szFaceName", defaults.faceName)
                      .substr(0, kMaxFaceNameLength);
  font.height = store_.getInt(kSettingsSection, "yHeight", defaults.height);
  font.offset = store_.getInt(kSettingsSection, "yOffset", defaults.offset);
  return font;
}

void UserSettings::saveReportFont(const ReportFont& font) {
  store_.setStrings(kSettingsSection, {{"bCharSet", std::to_string(font.charSet)},
                                       {"bPitchAndFamily", std::to_string(font.pitchAndFamily)},
                                       {"cbSize", std::to_string(font.size)},
                                       {"dwEffects", std::to_string(font.effects)},
                                       {"dwMask", std::to_string(font.mask)},
                                       {"szFaceName", font.faceName.substr(0, kMaxFaceNameLength)},
                                       {"yHeight", std::to_string(font.height)},
                                       {"yOffset", std::to_string(font.offset)}});
}

}  // namespace velmora
