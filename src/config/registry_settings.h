// Registry settings: what the user's settings store keeps in section "Settings". The option
// values of ComparisonOptions under their short value names ("asn", "asl", ...), read when the
// report view is created and written when it is destroyed, in one fixed order; and typed access
// to the other values of that section (date format, DDL switches, the Oracle client choice, the
// dialogs' last pages, the main window and the report font). Nothing here caches: every accessor
// reads the store, so it is as thread-safe as the store.
#pragma once

#include <span>
#include <string>

#include "base/comparison_options.h"
#include "config/settings_store.h"

namespace velmora {

struct RegistryOptionValue {
  const char* name;       // value name in section "Settings", e.g. "asl"
  const char* optionKey;  // the option's configuration-file key, e.g. "i_AutoSaveLines"
  int ComparisonOptions::*field;
  int defaultValue;
  bool writeOnly;  // "dvs": saved, never read back (b_DoViewStruct starts at 0)
};

// The option values in their read and write order ("asn" ... "UpdUpdates").
std::span<const RegistryOptionValue> registryOptionValues();

// Reads every option value with its default, sets b_DoViewStruct to 0 without reading "dvs",
// then sets the derived comment prefixes. A value that is missing, not a number, or outside the
// range the option accepts (i_AutoSaveLines 0, i_DoingUpgradeScript 7) gives the default.
// Options the settings do not keep (b_OnlyToFile, s_AutoSaveFile, b_OwnObjectsOnly,
// b_IgnoreColNameCase, the lists, the conditions, the SQL statements) are left as they are.
void loadOptionsFromSettings(SettingsStore& store, ComparisonOptions& options);

// Writes every option value, "dvs" included, in the same order, as one batch.
void saveOptionsToSettings(SettingsStore& store, const ComparisonOptions& options);

// The Oracle client library named by "OCIDLL" when the setting is absent. On Linux this is the
// client's shared library, found through LD_LIBRARY_PATH and the loader's usual search:
// "libclntsh.so" (Instant Client and full clients provide it); on Windows "OCIW32.DLL".
#ifdef _WIN32
inline constexpr const char* kDefaultOciLibrary = "OCIW32.DLL";
#else
inline constexpr const char* kDefaultOciLibrary = "libclntsh.so";
#endif

// The main window as it opens: the saved size and place with the start rules applied.
struct MainWindowSettings {
  int width = 800;           // "BigWidth"; below 200 it is 800
  int height = 600;          // "BigHeight"; below 100 it is 600
  bool maximized = false;    // "BigMaximized" nonzero
  bool usePosition = false;  // not maximized and both coordinates strictly between 0 and 2000
  int left = -32;            // "LocX"
  int top = -32;             // "LocY"
};

// The report's character format (a rich-edit CHARFORMAT), applied to the whole report.
struct ReportFont {
  int charSet = 0;           // "bCharSet"
  int pitchAndFamily = 0;    // "bPitchAndFamily"
  int size = 0;              // "cbSize"
  int effects = 1073741824;  // "dwEffects": the automatic-colour effect
  int mask =
      static_cast<int>(0xB0000013u);     // "dwMask": size, face, offset, underline, italic, bold
  std::string faceName = "Courier New";  // "szFaceName", at most 31 characters used
  int height = 170;                      // "yHeight", twips
  int offset = 0;                        // "yOffset"

  bool operator==(const ReportFont&) const = default;
};

// Typed access to the other values of section "Settings". "Y"/"N" values count only when
// exactly "Y" and are written as "Y" or "N".
class UserSettings {
 public:
  explicit UserSettings(SettingsStore& store) : store_(store) {}

  std::string dateFormat() const;  // "DateFormat", default "MM/DD/YYYY HH24:MI"
  void setDateFormat(const std::string& format);
  bool includePctClauses() const;  // "InclPct", default Y
  void setIncludePctClauses(bool on);
  bool includeStorageClauses() const;  // "InclStorage", default Y
  void setIncludeStorageClauses(bool on);
  bool useUniqueIndex() const;  // "UseUniqueIndex", default Y
  void setUseUniqueIndex(bool on);
  int outputBufferSize() const;  // "OutBuf", default 100000: the size for dbms_output.enable

  int ociVersion() const;  // "OCIVER", default 0: which client library to load
  void setOciVersion(int code);
  std::string ociLibrary() const;  // "OCIDLL", default kDefaultOciLibrary (for OCIVER 99)
  void setOciLibrary(const std::string& path);
  bool savePassword() const;  // "Savepass", default 1: the login dialog's "Save Password"
  void setSavePassword(bool on);

  int lastObjectProp() const;  // "LastObjectProp", default 0: page of the object options sheet
  void setLastObjectProp(int page);
  int lastSourceProp() const;  // "LastSourceProp", default 0: page of the source options sheet
  void setLastSourceProp(int page);
  int whereTab() const;  // "WhereTab", default 1: 1 tables, 0 views
  void setWhereTab(int tab);

  MainWindowSettings mainWindow() const;
  // Keeps the outer rectangle as the window closes: "BigWidth", "BigHeight", "BigMaximized"
  // (1 or 0), "LocX", "LocY".
  void saveMainWindow(int width, int height, bool maximized, int left, int top);

  ReportFont reportFont() const;
  void saveReportFont(const ReportFont& font);

 private:
  SettingsStore& store_;
};

}  // namespace velmora
