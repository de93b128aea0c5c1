#include "ui/option_sheets.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/data_conditions_dialog.h"
#include "ui/gui_host.h"
#include "ui/selection_list.h"

namespace velmora::ui {

namespace {

using O = ComparisonOptions;

constexpr SwitchControl kPrivilegeSwitches[] = {
    {"Compare System Privileges", &O::b_DoSysPrivs},
    {"Compare Role Privileges", &O::b_DoRolePrivs},
    {"Compare Object Privileges", &O::b_DoObjPrivs},
};
constexpr SwitchControl kSequenceSwitches[] = {
    {"Ignore Last Sequence Value when comparing", &O::b_IgnoreSeqLastNum},
};
constexpr SwitchControl kTableSwitches[] = {
    {"Include list of common tables in report", &O::b_DoCommon},
    {"Include list of not processed tables in report", &O::b_DoSkipped},
};
constexpr SwitchControl kColumnSwitches[] = {
    {"Ignore Case when comparing column names", &O::b_IgnoreColNameCase},
    {"Ignore differences in length of column type", &O::b_CompColLen},
    {"Include in report tables with no structural differences", &O::b_NoDiffCol},
};
constexpr SwitchControl kConstraintSwitches[] = {
    {"Compare Constraint Columns", &O::b_DoConsCols},
};
constexpr SwitchControl kDataSwitches[] = {
    {"Ignore Case when comparing rows of data", &O::b_CompDatCase},
    {"Ignore Leading Spaces on each field (column)", &O::b_CompDatLead},
    {"Ignore Trailing Spaces on each field (column)", &O::b_CompDatTrail},
    {"Compare Numeric values by value and not by representation", &O::b_CompDatValue},
    {"Ignore Seconds on date fields (columns)", &O::b_CompDatSecs},
    {"Ignore Fractional Seconds on date fields (columns)", &O::b_CompDatFrac},
    {"Include in report tables with no data differences found", &O::b_NoDiffData},
};
constexpr SwitchControl kUpgradeSwitches[] = {
    {"Include Insert statements in script", &O::b_UpdInserts},
    {"Include Update statements in script", &O::b_UpdUpdates},
    {"Include Delete statements in script", &O::b_UpdDeletes},
};
constexpr SwitchControl kViewSwitches[] = {
    {"Include list of common views in report", &O::b_DoViewCommon},
    {"Include list of not processed views in report", &O::b_DoViewSkipped},
    {"Include in report views with no differences found", &O::b_NoDiffView},
};

constexpr SourcePage kSourcePages[] = {
    {"Triggers", "TRIGGER", "TRIG", "triggers",
     {"Include list of common triggers in report", &O::b_DoTriggerCommon},
     {"Include list of not processed triggers in report", &O::b_DoTriggerSkipped},
     {"Include list of triggers with no differences in report", &O::b_NoDiffTrig}},
    {"View Source", "VIEW", "VIEW", "views",
     {"Include list of common views in report", &O::b_DoViewSourceCommon},
     {"Include list of not processed views in report", &O::b_DoViewSourceSkipped},
     {"Include list of views with no differences in report", &O::b_NoDiffViewSource}},
    {"Functions", "FUNCTION", "FUNC", "functions",
     {"Include list of common functions in report", &O::b_DoFuncCommon},
     {"Include list of not processed functions in report", &O::b_DoFuncSkipped},
     {"Include list of functions with no differences in report", &O::b_NoDiffFunc}},
    {"Packages", "PACKAGE", "PKG", "packages",
     {"Include list of common packages in report", &O::b_DoPkgCommon},
     {"Include list of not processed packages in report", &O::b_DoPkgSkipped},
     {"Include list of packages with no differences in report", &O::b_NoDiffPkg}},
    {"Package Bodies", "PACKAGE BODY", "PKGBD", "package bodies",
     {"Include list of common package bodies in report", &O::b_DoPkgBodyCommon},
     {"Include list of not processed package bodies in report", &O::b_DoPkgBodySkipped},
     {"Include list of package bodies with no differences in report", &O::b_NoDiffPkgBody}},
    {"Stored Procedures", "PROCEDURE", "STP", "stored procedures",
     {"Include list of common stored procedures in report", &O::b_DoStpCommon},
     {"Include list of not processed stored procedures in report", &O::b_DoStpSkipped},
     {"Include list of stored procedures with no differences in report", &O::b_NoDiffStp}},
    {"Types", "TYPE", "TYPE", "types",
     {"Include list of common types in report", &O::b_DoTypeCommon},
     {"Include list of not processed types in report", &O::b_DoTypeSkipped},
     {"Include list of types with no differences in report", &O::b_NoDiffType}},
    {"Type Bodies", "TYPE BODY", "TYPEB", "type bodies",
     {"Include list of common type bodies in report", &O::b_DoTypeBodyCommon},
     {"Include list of not processed type bodies in report", &O::b_DoTypeBodySkipped},
     {"Include list of type bodies with no differences in report", &O::b_NoDiffTypeBody}},
};

constexpr const char* kConstraintNameChoices[] = {
    "Ignore constraint names", "Ignore system generated constraints (SYS_C%)",
    "Do not ignore any constraints"};

QDialogButtonBox* okCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

QCheckBox* findCheck(const std::vector<std::pair<QCheckBox*, int ComparisonOptions::*>>& checks,
                     int ComparisonOptions::*field) {
  for (const auto& [box, bound] : checks) {
    if (bound == field) return box;
  }
  return nullptr;
}

// Remembers which pages were shown: each stores its index when the sheet is confirmed.
void trackShownPages(QTabWidget* pages, std::vector<bool>& shown) {
  shown.assign(size_t(pages->count()), false);
  shown[size_t(pages->currentIndex())] = true;
  QObject::connect(pages, &QTabWidget::currentChanged, pages,
                   [&shown](int index) { if (index >= 0) shown[size_t(index)] = true; });
}

int lastShownPage(const std::vector<bool>& shown) {
  int last = 0;
  for (size_t i = 0; i < shown.size(); ++i) {
    if (shown[i]) last = int(i);
  }
  return last;
}

}  // namespace

std::span<const SourcePage> sourcePages() { return kSourcePages; }

std::string columnPatternProblem(const std::string& pattern) {
  const size_t first = pattern.find('%');
  if (first != std::string::npos && pattern.find('%', first + 1) != std::string::npos) {
    return "You can have only one expander ('%') per string";
  }
  return "";
}

void ObjectOptionsSheet::addSwitches(QWidget* page, std::span<const SwitchControl> switches) {
  auto* layout = qobject_cast<QVBoxLayout*>(page->layout());
  for (const SwitchControl& control : switches) {
    auto* box = new QCheckBox(QString::fromLatin1(control.label), page);
    checks_.emplace_back(box, control.field);
    layout->addWidget(box);
  }
}

QWidget* ObjectOptionsSheet::switchesPage(std::span<const SwitchControl> switches) {
  auto* page = new QWidget(pages_);
  new QVBoxLayout(page);
  addSwitches(page, switches);
  qobject_cast<QVBoxLayout*>(page->layout())->addStretch();
  return page;
}

ObjectOptionsSheet::ObjectOptionsSheet(const ComparisonOptions& options, const NameSource& names,
                                       int firstPage, QWidget* parent, UserSettings* settings,
                                       const KeySource* keys)
    : QDialog(parent),
      names_(names),
      settings_(settings),
      conditions_(options.whereStatements),
      keySource_(keys),
      keys_(options.keyOverrides) {
  setWindowTitle(QStringLiteral("Advanced Object Options"));
  setObjectName(QStringLiteral("objectOptions"));
  pages_ = new QTabWidget(this);
  pages_->addTab(switchesPage(kPrivilegeSwitches), QStringLiteral("Privileges"));
  pages_->addTab(switchesPage(kSequenceSwitches), QStringLiteral("Sequences"));

  auto* tablesPage = new QWidget(pages_);
  new QVBoxLayout(tablesPage);
  tables_ = new SelectionList(QStringLiteral("Include the following tables in the process:"), tablesPage);
  tablesPage->layout()->addWidget(tables_);
  addSwitches(tablesPage, kTableSwitches);
  auto* primaryKeys = new QPushButton(QStringLiteral("&Primary Keys..."), tablesPage);
  primaryKeys->setEnabled(keySource_ != nullptr);
  tablesPage->layout()->addWidget(primaryKeys);
  tablesPage->layout()->setAlignment(primaryKeys, Qt::AlignLeft);
  connect(primaryKeys, &QPushButton::clicked, this, &ObjectOptionsSheet::openPrimaryKeys);
  pages_->addTab(tablesPage, QStringLiteral("Tables"));

  auto* columnsPage = new QWidget(pages_);
  auto* columnsLayout = new QVBoxLayout(columnsPage);
  pattern_ = new QLineEdit(columnsPage);
  auto* add = new QPushButton(QStringLiteral("&Add"), columnsPage);
  auto* patternRow = new QHBoxLayout;
  patternRow->addWidget(pattern_, 1);
  patternRow->addWidget(add);
  columnsLayout->addLayout(patternRow);
  auto* patternsLabel = new QLabel(QStringLiteral("Ignore columns with names like:"), columnsPage);
  patterns_ = new QListWidget(columnsPage);
  patternsLabel->setBuddy(patterns_);
  auto* remove = new QPushButton(QStringLiteral("&Remove"), columnsPage);
  columnsLayout->addWidget(patternsLabel);
  columnsLayout->addWidget(patterns_, 1);
  columnsLayout->addWidget(remove, 0, Qt::AlignLeft);
  addSwitches(columnsPage, kColumnSwitches);
  pages_->addTab(columnsPage, QStringLiteral("Columns"));
  connect(add, &QPushButton::clicked, this, &ObjectOptionsSheet::addPattern);
  connect(pattern_, &QLineEdit::returnPressed, this, &ObjectOptionsSheet::addPattern);
  connect(remove, &QPushButton::clicked, this, [this] { delete patterns_->currentItem(); });

  QWidget* constraintsPage = switchesPage(kConstraintSwitches);
  auto* namesGroup = new QGroupBox(QStringLiteral("Constraint Names"), constraintsPage);
  auto* namesLayout = new QVBoxLayout(namesGroup);
  for (const char* choice : kConstraintNameChoices) {
    auto* radio = new QRadioButton(QString::fromLatin1(choice), namesGroup);
    namesLayout->addWidget(radio);
    consNames_.push_back(radio);
  }
  qobject_cast<QVBoxLayout*>(constraintsPage->layout())->insertWidget(1, namesGroup);
  pages_->addTab(constraintsPage, QStringLiteral("Constraints"));

  QWidget* dataPage = switchesPage(kDataSwitches);
  auto* upgrade = new QGroupBox(QStringLiteral("Upgrade Only Options"), dataPage);
  auto* upgradeLayout = new QVBoxLayout(upgrade);
  for (const SwitchControl& control : kUpgradeSwitches) {
    auto* box = new QCheckBox(QString::fromLatin1(control.label), upgrade);
    checks_.emplace_back(box, control.field);
    upgradeLayout->addWidget(box);
  }
  qobject_cast<QVBoxLayout*>(dataPage->layout())->insertWidget(int(std::size(kDataSwitches)), upgrade);
  auto* conditions = new QPushButton(QStringLiteral("Data &Conditions..."), dataPage);
  conditions->setEnabled(settings_ != nullptr);
  qobject_cast<QVBoxLayout*>(dataPage->layout())->insertWidget(int(std::size(kDataSwitches)) + 1,
                                                                conditions, 0, Qt::AlignLeft);
  connect(conditions, &QPushButton::clicked, this, &ObjectOptionsSheet::openDataConditions);
  pages_->addTab(dataPage, QStringLiteral("Data"));

  if (options.i_DoingUpgradeScript != 2) {
    auto* viewsPage = new QWidget(pages_);
    new QVBoxLayout(viewsPage);
    views_ = new SelectionList(QStringLiteral("Include the following views in the process:"), viewsPage);
    viewsPage->layout()->addWidget(views_);
    addSwitches(viewsPage, kViewSwitches);
    pages_->addTab(viewsPage, QStringLiteral("Views"));
  }

  // Copy in.
  for (const auto& [box, field] : checks_) box->setChecked(options.*field != 0);
  for (const std::string& pattern : options.IgnoreColumns.names()) {
    patterns_->addItem(QString::fromStdString(pattern));
  }
  const int consName = std::clamp(options.i_DoConsName, 0, 2);
  qobject_cast<QRadioButton*>(consNames_[size_t(consName)])->setChecked(true);
  tables_->setNames(names("TABLE"), options.IgnoreTables);
  if (views_) views_->setNames(names("VIEW"), options.IgnoreViews);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  layout->addWidget(okCancel(this));
  setMinimumSize(640, 500);
  pages_->setCurrentIndex(std::clamp(firstPage, 0, pages_->count() - 1));
  trackShownPages(pages_, shown_);
}

QCheckBox* ObjectOptionsSheet::check(int ComparisonOptions::*field) const {
  return findCheck(checks_, field);
}

void ObjectOptionsSheet::addPattern() {
  const QString text = pattern_->text();
  if (text.isEmpty()) return;
  const std::string problem = columnPatternProblem(text.toStdString());
  if (!problem.empty()) {
    QMessageBox::information(this, QString::fromLatin1(kApplicationName), QString::fromStdString(problem));
    return;
  }
  patterns_->addItem(text);
  pattern_->clear();
}

void ObjectOptionsSheet::openDataConditions() {
  if (settings_ == nullptr) return;
  DataConditionsDialog dialog(conditions_, names_, *settings_, this);
  dialog.exec();
  conditions_ = dialog.conditions();
}

void ObjectOptionsSheet::openPrimaryKeys() {
  if (keySource_ == nullptr) return;
  PrimaryKeysDialog dialog(keys_, *keySource_, this);
  if (dialog.exec() == QDialog::Accepted) keys_ = dialog.overrides();
}

void ObjectOptionsSheet::copyBack(ComparisonOptions& options) const {
  options.whereStatements = conditions_;
  options.keyOverrides = keys_;
  for (const auto& [box, field] : checks_) options.*field = box->isChecked() ? 1 : 0;
  options.IgnoreColumns.clear();
  for (int row = 0; row < patterns_->count(); ++row) {
    options.IgnoreColumns.add(patterns_->item(row)->text().toStdString());
  }
  for (size_t i = 0; i < consNames_.size(); ++i) {
    if (qobject_cast<QRadioButton*>(consNames_[i])->isChecked()) options.i_DoConsName = int(i);
  }
  options.IgnoreTables = tables_->unselected();
  if (views_) options.IgnoreViews = views_->unselected();
}

int ObjectOptionsSheet::lastPage() const { return lastShownPage(shown_); }

SourceOptionsSheet::SourceOptionsSheet(const ComparisonOptions& options, const NameSource& names,
                                       int firstPage, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Advanced Source Options"));
  setObjectName(QStringLiteral("sourceOptions"));
  pages_ = new QTabWidget(this);
  for (const SourcePage& source : kSourcePages) {
    auto* page = new QWidget(pages_);
    auto* layout = new QVBoxLayout(page);
    auto* list = new SelectionList(
        QStringLiteral("Include the following %1 in the process:").arg(QString::fromLatin1(source.noun)),
        page);
    list->setNames(names(source.objectType), *options.ignoreListForKind(source.kindCode));
    layout->addWidget(list);
    lists_.push_back(list);
    for (const SwitchControl& control : {source.common, source.skipped, source.noDifferences}) {
      auto* box = new QCheckBox(QString::fromLatin1(control.label), page);
      box->setChecked(options.*control.field != 0);
      checks_.emplace_back(box, control.field);
      layout->addWidget(box);
    }
    pages_->addTab(page, QString::fromLatin1(source.title));
  }
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  layout->addWidget(okCancel(this));
  setMinimumSize(760, 500);
  pages_->setCurrentIndex(std::clamp(firstPage, 0, pages_->count() - 1));
  trackShownPages(pages_, shown_);
}

QCheckBox* SourceOptionsSheet::check(int ComparisonOptions::*field) const {
  return findCheck(checks_, field);
}

void SourceOptionsSheet::copyBack(ComparisonOptions& options) const {
  for (const auto& [box, field] : checks_) options.*field = box->isChecked() ? 1 : 0;
  for (size_t i = 0; i < lists_.size(); ++i) {
    *options.ignoreListForKind(kSourcePages[i].kindCode) = lists_[i]->unselected();
  }
}

int SourceOptionsSheet::lastPage() const { return lastShownPage(shown_); }

}  // namespace velmora::ui
