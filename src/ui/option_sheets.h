// The Advanced Object Options and Advanced Source Options sheets: tabbed pages that read the
// options when the sheet opens and write them back, page by page, when it closes with OK. Each
// switch is a row of a table of controls (label and option field), so the controls, the copy-in
// and the copy-back cannot drift apart. The selection pages list the names of both databases.
#pragma once

#include <QDialog>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "base/comparison_options.h"
#include "ui/primary_keys_dialog.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QTabWidget;

namespace velmora {
class UserSettings;
}

namespace velmora::ui {

class SelectionList;

// One check box and the switch it sets.
struct SwitchControl {
  const char* label;
  int ComparisonOptions::*field;
};

// The names of one kind in both databases ("TABLE", "VIEW" or a stored-code type), read when a
// selection page opens.
using NameSource = std::function<std::vector<std::string>(const std::string& kind)>;

// The stored-code selection pages, in their order ("LastSourceProp" 0 is the triggers page).
struct SourcePage {
  const char* title;
  const char* objectType;  // as the catalog lists it
  const char* kindCode;    // the kind of ComparisonOptions::ignoreListForKind
  const char* noun;        // "Include the following <noun> in the process:"
  SwitchControl common, skipped, noDifferences;
};
std::span<const SourcePage> sourcePages();

// A column pattern may hold one "%" at most; the message refusing another, or "".
std::string columnPatternProblem(const std::string& pattern);

class ObjectOptionsSheet : public QDialog {
  Q_OBJECT

 public:
  // In mode 2 there is no Views page. `firstPage` is the page it opens on ("LastObjectProp").
  // `settings` keeps the Data Conditions dialog's choice of tables or views (without it the
  // dialog cannot be opened).
  // `keys` reads what the Primary Keys dialog shows (without it the dialog cannot be opened).
  ObjectOptionsSheet(const ComparisonOptions& options, const NameSource& names, int firstPage,
                     QWidget* parent = nullptr, UserSettings* settings = nullptr,
                     const KeySource* keys = nullptr);

  // OK: every page writes its fields; returns the index each shown page stores, the last one
  // being the value kept in "LastObjectProp".
  void copyBack(ComparisonOptions& options) const;
  int lastPage() const;

  QTabWidget* pages() const { return pages_; }
  QCheckBox* check(int ComparisonOptions::*field) const;
  SelectionList* tables() const { return tables_; }
  SelectionList* views() const { return views_; }
  QLineEdit* patternField() const { return pattern_; }
  QListWidget* patterns() const { return patterns_; }
  void addPattern();
  void openDataConditions();
  void openPrimaryKeys();

 private:
  QWidget* switchesPage(std::span<const SwitchControl> switches);
  void addSwitches(QWidget* page, std::span<const SwitchControl> switches);

  QTabWidget* pages_;
  std::vector<std::pair<QCheckBox*, int ComparisonOptions::*>> checks_;
  SelectionList* tables_ = nullptr;
  SelectionList* views_ = nullptr;
  QLineEdit* pattern_ = nullptr;
  QListWidget* patterns_ = nullptr;
  std::vector<QWidget*> consNames_;  // the three radio buttons of i_DoConsName
  std::vector<bool> shown_;
  NameSource names_;
  UserSettings* settings_;
  WhereStatements conditions_;
  const KeySource* keySource_;
  KeyOverrides keys_;
};

class SourceOptionsSheet : public QDialog {
  Q_OBJECT

 public:
  SourceOptionsSheet(const ComparisonOptions& options, const NameSource& names, int firstPage,
                     QWidget* parent = nullptr);
  void copyBack(ComparisonOptions& options) const;
  int lastPage() const;
  QTabWidget* pages() const { return pages_; }
  SelectionList* list(int page) const { return lists_.at(size_t(page)); }
  QCheckBox* check(int ComparisonOptions::*field) const;

 private:
  QTabWidget* pages_;
  std::vector<SelectionList*> lists_;
  std::vector<std::pair<QCheckBox*, int ComparisonOptions::*>> checks_;
  std::vector<bool> shown_;
};

}  // namespace velmora::ui
