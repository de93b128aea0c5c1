#include "ui/parameters_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "comparison/comparison.h"
#include "config/registry_settings.h"
#include "oracle/catalog.h"
#include "oracle/oci_library.h"
#include "structure/column_text.h"
#include "structure/key_columns.h"
#include "structure/oracle_dictionary_reader.h"
#include "ui/gui_host.h"
#include "ui/qt_text.h"
#include "ui/selection_list.h"

namespace velmora::ui {

namespace {

using O = ComparisonOptions;

constexpr SwitchControl kObjectSwitches[] = {
    {"Check for &privilege differences", &O::b_DoPriv},
    {"Check for se&quence differences", &O::b_DoSeq},
    {"Check for &table structural differences", &O::b_DoStruct},
    {"Check for inde&x differences", &O::b_DoIndex},
    {"Check for co&nstraint differences", &O::b_DoConst},
    {"Check for &data differences", &O::b_DoData},
    {"Check for &view data differences", &O::b_DoViewData},
    {"Check for vie&w structural differences", &O::b_DoViewStruct},
};
constexpr SwitchControl kSourceSwitches[] = {
    {"Check for tri&gger differences", &O::b_DoTrigger},
    {"Check for view s&ource differences", &O::b_DoViewSource},
    {"Check for &function differences", &O::b_DoFunc},
    {"Check for pac&kage differences", &O::b_DoPack},
    {"Check for package &body differences", &O::b_DoPackBody},
    {"Check for stored p&rocedure differences", &O::b_DoStpCode},
    {"Check for typ&e differences", &O::b_DoType},
    {"Check for type bod&y differences", &O::b_DoTypeBody},
};
constexpr const char* kModeNames[] = {"&Comparison Report", "&Upgrade Script", "&Script database 1"};


void message(QWidget* parent, const QString& text) {
  QMessageBox::information(parent, QString::fromLatin1(kApplicationName), text);
}

std::string trimmedLeft(const std::string& text) {
  const size_t start = text.find_first_not_of(" \t\r\n");
  return start == std::string::npos ? std::string() : text.substr(start);
}

std::string trimmedRight(const std::string& text) {
  const size_t end = text.find_last_not_of(" \t\r\n");
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

}  // namespace

std::span<const SwitchControl> objectSwitches() { return kObjectSwitches; }
std::span<const SwitchControl> sourceSwitches() { return kSourceSwitches; }

GeneralOptionsDialog::GeneralOptionsDialog(const ComparisonOptions& options, UserSettings& settings,
                                           Comparison& comparison, QWidget* parent)
    : QDialog(parent), settings_(settings), comparison_(comparison) {
  setWindowTitle(QStringLiteral("General Options"));
  setObjectName(QStringLiteral("generalOptions"));
  auto* outputBox = new QGroupBox(QStringLiteral("Report output"), this);
  auto* outputLayout = new QGridLayout(outputBox);
  output_ = new QButtonGroup(this);
  const QString outputs[] = {QStringLiteral("Process complete report to s&creen"),
                             QStringLiteral("Save &incremental report to file automatically"),
                             QStringLiteral("Process complete report to a &file")};
  for (int i = 0; i < 3; ++i) {
    auto* radio = new QRadioButton(outputs[i], outputBox);
    output_->addButton(radio, i);
    outputLayout->addWidget(radio, i, 0, 1, 4);
  }
  lines_ = new QSpinBox(outputBox);
  lines_->setRange(1, 999999);
  outputLayout->addWidget(new QLabel(QStringLiteral("Save report portion every"), outputBox), 3, 0);
  outputLayout->addWidget(lines_, 3, 1);
  outputLayout->addWidget(new QLabel(QStringLiteral("lines"), outputBox), 3, 2);
  file_ = new QLineEdit(outputBox);
  browse_ = new QPushButton(QStringLiteral("&Browse..."), outputBox);
  auto* fileLabel = new QLabel(QStringLiteral("Report file &name:"), outputBox);
  fileLabel->setBuddy(file_);
  outputLayout->addWidget(fileLabel, 4, 0);
  outputLayout->addWidget(file_, 4, 1, 1, 2);
  outputLayout->addWidget(browse_, 4, 3);

  ownObjects_ = new QCheckBox(QStringLiteral("Process only tables &owned by the current user"), this);
  auto* typesBox = new QGroupBox(QStringLiteral("Data types"), this);
  auto* typesLayout = new QVBoxLayout(typesBox);
  dataTypes_ = new QButtonGroup(this);
  auto* odbc = new QRadioButton(QStringLiteral("Use ODBC standard Data Types"), typesBox);
  auto* dbms = new QRadioButton(QStringLiteral("Use DBMS specific Data Types (Recommended)"), typesBox);
  dataTypes_->addButton(odbc, 1);
  dataTypes_->addButton(dbms, 0);
  typesLayout->addWidget(odbc);
  typesLayout->addWidget(dbms);
  auto* namesBox = new QGroupBox(QStringLiteral("Object names"), this);
  auto* namesLayout = new QVBoxLayout(namesBox);
  specialNames_ = new QButtonGroup(this);
  const QString names[] = {QStringLiteral("Automatically detect special object names"),
                           QStringLiteral("Treat all object names as special"),
                           QStringLiteral("Treat all object names as regular")};
  for (int i = 0; i < 3; ++i) {
    auto* radio = new QRadioButton(names[i], namesBox);
    specialNames_->addButton(radio, i);
    namesLayout->addWidget(radio);
  }
  sourceSpaces_ = new QCheckBox(
      QStringLiteral("Ignore leading and trailing spaces, tabs, etc. when comparing source."), this);
  dateFormat_ = new QLineEdit(this);
  auto* dateLabel = new QLabel(QStringLiteral("&Date Format:"), this);
  dateLabel->setBuddy(dateFormat_);
  includePct_ = new QCheckBox(QStringLiteral("Include PCTFREE, PCTUSED, INITRANS and MAXTRANS clauses"), this);
  includeStorage_ = new QCheckBox(QStringLiteral("Include storage clauses"), this);
  uniqueIndex_ = new QCheckBox(
      QStringLiteral("Use Unique Indexes if Primary Keys are not available (Data upgrades)"), this);
  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* dateRow = new QHBoxLayout;
  dateRow->addWidget(dateLabel);
  dateRow->addWidget(dateFormat_, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(outputBox);
  layout->addWidget(ownObjects_);
  layout->addWidget(typesBox);
  layout->addWidget(namesBox);
  layout->addWidget(sourceSpaces_);
  layout->addLayout(dateRow);
  layout->addWidget(includePct_);
  layout->addWidget(includeStorage_);
  layout->addWidget(uniqueIndex_);
  layout->addLayout(buttons);

  connect(ok, &QPushButton::clicked, this, &GeneralOptionsDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &GeneralOptionsDialog::reject);
  connect(output_, &QButtonGroup::idClicked, this, [this] { updateEnabled(); });
  connect(browse_, &QPushButton::clicked, this, [this] {
    QFileDialog dialog(this, QStringLiteral("Report file"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("Velmora for Oracle Files (*.txt)"));
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
      file_->setText(dialog.selectedFiles().first());
    }
  });

  // Copy in.
  output_->button(options.b_OnlyToFile ? 2 : options.b_AutoSave ? 1 : 0)->setChecked(true);
  lines_->setValue(std::clamp(options.i_AutoSaveLines, 1, 999999));
  file_->setText(toQt(options.s_AutoSaveFile));
  ownObjects_->setChecked(options.b_OwnObjectsOnly != 0);
  dataTypes_->button(options.b_DataType ? 1 : 0)->setChecked(true);
  specialNames_->button(std::clamp(options.i_AutoSpecialName, 0, 2))->setChecked(true);
  sourceSpaces_->setChecked(options.b_IgnoreSourceSpaces != 0);
  dateFormat_->setText(toQt(settings_.dateFormat()));
  includePct_->setChecked(settings_.includePctClauses());
  includeStorage_->setChecked(settings_.includeStorageClauses());
  uniqueIndex_->setChecked(settings_.useUniqueIndex());
  updateEnabled();
}

QRadioButton* GeneralOptionsDialog::outputChoice(int index) const {
  return qobject_cast<QRadioButton*>(output_->button(index));
}

void GeneralOptionsDialog::updateEnabled() {
  const int choice = output_->checkedId();
  lines_->setEnabled(choice == 1);
  file_->setEnabled(choice != 0);
  browse_->setEnabled(choice != 0);
}

void GeneralOptionsDialog::accept() {
  if (output_->checkedId() != 0 && trimmedLeft(file_->text().toStdString()).empty()) {
    message(this, QStringLiteral("Please enter a file name to save report"));
    file_->setFocus();
    return;
  }
  const std::string format = trimmedRight(dateFormat_->text().toStdString());
  dateFormat_->setText(toQt(format));
  if (format.empty()) {
    message(this, QStringLiteral("Please enter a date format."));
    dateFormat_->setFocus();
    return;
  }
  for (int number : {1, 2}) {
    DatabaseConnection* database = comparison_.database(number);
    if (database != nullptr && !database->applyDateFormat(format)) {
      dateFormat_->setFocus();  // the session showed Oracle's message
      return;
    }
  }
  settings_.setDateFormat(format);
  settings_.setIncludePctClauses(includePct_->isChecked());
  settings_.setIncludeStorageClauses(includeStorage_->isChecked());
  settings_.setUseUniqueIndex(uniqueIndex_->isChecked());
  QDialog::accept();
}

void GeneralOptionsDialog::copyBack(ComparisonOptions& options) const {
  const int choice = output_->checkedId();
  options.b_AutoSave = choice == 1 ? 1 : 0;
  options.b_OnlyToFile = choice == 2 ? 1 : 0;
  options.i_AutoSaveLines = lines_->value();
  options.s_AutoSaveFile = file_->text().toStdString();
  options.b_OwnObjectsOnly = ownObjects_->isChecked() ? 1 : 0;
  options.b_DataType = dataTypes_->checkedId() == 1 ? 1 : 0;
  options.i_AutoSpecialName = specialNames_->checkedId();
  options.b_IgnoreSourceSpaces = sourceSpaces_->isChecked() ? 1 : 0;
}

ParametersDialog::ParametersDialog(ComparisonOptions& options, Comparison& comparison,
                                   UserSettings& settings, LoginPrompter* prompter1,
                                   LoginPrompter* prompter2, QWidget* parent)
    : QDialog(parent), options_(options), working_(options), comparison_(comparison),
      settings_(settings), prompters_{prompter1, prompter2} {
  setWindowTitle(QStringLiteral("Velmora for Oracle Parameters"));
  setObjectName(QStringLiteral("parameters"));
  auto* databases = new QGridLayout;
  database1_ = new QPushButton(this);
  database2_ = new QPushButton(this);
  users1_ = new QComboBox(this);
  users2_ = new QComboBox(this);
  for (QComboBox* users : {users1_, users2_}) {
    users->setMinimumContentsLength(16);
    users->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  }
  databases->addWidget(database1_, 0, 0);
  databases->addWidget(users1_, 0, 1);
  databases->addWidget(database2_, 1, 0);
  databases->addWidget(users2_, 1, 1);
  databases->setColumnStretch(0, 1);

  auto group = [this](const QString& title, std::span<const SwitchControl> switches,
                      QPushButton** advanced) {
    auto* box = new QGroupBox(title, this);
    auto* layout = new QVBoxLayout(box);
    for (const SwitchControl& control : switches) {
      auto* check = new QCheckBox(QString::fromLatin1(control.label), box);
      checks_.emplace_back(check, control.field);
      layout->addWidget(check);
    }
    *advanced = new QPushButton(QStringLiteral("Advanced..."), box);
    layout->addWidget(*advanced, 0, Qt::AlignRight);
    return box;
  };
  QPushButton* objectsAdvanced = nullptr;
  QPushButton* sourceAdvanced = nullptr;
  QGroupBox* objects = group(QStringLiteral("Objects"), kObjectSwitches, &objectsAdvanced);
  QGroupBox* source = group(QStringLiteral("Source"), kSourceSwitches, &sourceAdvanced);
  auto* outputBox = new QGroupBox(QStringLiteral("Output"), this);
  auto* outputLayout = new QVBoxLayout(outputBox);
  modes_ = new QButtonGroup(this);
  for (int mode = 0; mode < 3; ++mode) {
    auto* radio = new QRadioButton(QString::fromLatin1(kModeNames[mode]), outputBox);
    modes_->addButton(radio, mode);
    outputLayout->addWidget(radio);
  }
  auto* general = new QPushButton(QStringLiteral("Gener&al..."), this);
  start_ = new QPushButton(QStringLiteral("Start"), this);
  start_->setDefault(true);
  close_ = new QPushButton(QStringLiteral("C&lose"), this);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  auto* side = new QVBoxLayout;
  side->addWidget(outputBox);
  side->addStretch();
  side->addWidget(general);
  side->addWidget(start_);
  side->addWidget(close_);
  side->addWidget(cancel);
  auto* groups = new QHBoxLayout;
  groups->addWidget(objects);
  groups->addWidget(source);
  groups->addLayout(side);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(databases);
  layout->addLayout(groups);

  connect(database1_, &QPushButton::clicked, this, [this] { chooseDatabase(1); });
  connect(database2_, &QPushButton::clicked, this, [this] { chooseDatabase(2); });
  for (int number : {1, 2}) {
    connect(userList(number), &QComboBox::activated, this, [this, number](int index) {
      DatabaseConnection* database = comparison_.database(number);
      if (database == nullptr || index < 0) return;
      database->chooseOwner(userList(number)->itemText(index).toStdString());
      showDatabase(number);
    });
  }
  connect(objectsAdvanced, &QPushButton::clicked, this, &ParametersDialog::openObjectOptions);
  connect(sourceAdvanced, &QPushButton::clicked, this, &ParametersDialog::openSourceOptions);
  connect(general, &QPushButton::clicked, this, &ParametersDialog::openGeneralOptions);
  connect(start_, &QPushButton::clicked, this, [this] { finish(DialogResult::Start); });
  connect(close_, &QPushButton::clicked, this, [this] { finish(DialogResult::Close); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  copyIn();
}

QCheckBox* ParametersDialog::check(int ComparisonOptions::*field) const {
  for (const auto& [box, bound] : checks_) {
    if (bound == field) return box;
  }
  return nullptr;
}

QRadioButton* ParametersDialog::outputChoice(int mode) const {
  return qobject_cast<QRadioButton*>(modes_->button(mode));
}

int ParametersDialog::mode() const { return std::max(0, modes_->checkedId()); }

void ParametersDialog::copyIn() {
  for (const auto& [box, field] : checks_) box->setChecked(working_.*field != 0);
  modes_->button(std::clamp(working_.i_DoingUpgradeScript, 0, 2))->setChecked(true);
  showDatabase(1);
  showDatabase(2);
}

void ParametersDialog::copyBack() {
  for (const auto& [box, field] : checks_) working_.*field = box->isChecked() ? 1 : 0;
  working_.i_DoingUpgradeScript = mode();
  working_.setDerivedValues();
  options_ = working_;
}

void ParametersDialog::showDatabase(int number) {
  DatabaseConnection* database = comparison_.database(number);
  QPushButton* button = databaseButton(number);
  QComboBox* users = userList(number);
  users->clear();
  if (database == nullptr) {
    button->setText(QStringLiteral("Press to select Database %1").arg(number));
    return;
  }
  button->setText(toQt(database->displayName()));
  for (const std::string& user : database->users()) users->addItem(toQt(user));
  users->setCurrentIndex(users->findText(toQt(database->owner()), Qt::MatchFixedString));
}

void reconnectDatabase(Comparison& comparison, int number, LoginPrompter* prompter, QWidget* parent) {
  comparison.close(number);
  const OpenReport report = comparison.open(number, "", prompter);
  if (report.result == OpenResult::ClientMissing) {
    message(parent, QString::fromLatin1(OciLibrary::kClientMissingMessage));
  } else if (report.result == OpenResult::SchemaMissing) {
    message(parent, toQt(report.problem));
  }
}

void ParametersDialog::chooseDatabase(int number) {
  reconnectDatabase(comparison_, number, prompters_[number - 1], this);
  showDatabase(number);
}

bool ParametersDialog::checkDatabases(bool advanced) {
  const bool scriptOfOne = mode() == 2;
  if (comparison_.database(1) != nullptr && (scriptOfOne || comparison_.database(2) != nullptr)) {
    return true;
  }
  if (advanced) {
    message(this, scriptOfOne
                      ? QStringLiteral("You must select a database before you can setup the advanced options.")
                      : QStringLiteral("You must select 2 databases before you can setup the advanced options."));
  } else {
    message(this, scriptOfOne ? QStringLiteral("You must select a database before you can begin.")
                              : QStringLiteral("You must select 2 databases before you can begin."));
  }
  return false;
}

bool ParametersDialog::finish(DialogResult result) {
  if (!checkDatabases(false)) return false;
  copyBack();
  result_ = result;
  QDialog::accept();
  return true;
}

DialogResult ParametersDialog::run() {
  result_ = DialogResult::Cancel;
  exec();
  return result_;
}

std::vector<std::string> ParametersDialog::namesOfKind(const std::string& kind) {
  CatalogState state;
  std::vector<std::string> lists[2];
  for (int number : {1, 2}) {
    if (number == 2 && mode() == 2) break;
    DatabaseConnection* database = comparison_.database(number);
    if (database == nullptr) continue;
    Catalog catalog(state, nullptr, &working_);
    if (kind == "TABLE" || kind == "VIEW") {
      const bool views = kind == "VIEW";
      (void)database->readTables(catalog, views);  // a list cut short shows what was read
      lists[number - 1] = views ? database->views() : database->tables();
    } else {
      (void)database->readObjects(catalog, kind);
      lists[number - 1] = database->objects(kind);
    }
  }
  return unionOfNames(lists[0], lists[1]);
}

KeySource ParametersDialog::keySource() {
  KeySource source;
  source.tables = [this] {
    DatabaseConnection* database = comparison_.database(1);
    if (database == nullptr) return std::vector<std::string>();
    CatalogState state;
    Catalog catalog(state, nullptr, &working_);
    (void)database->readTables(catalog, false);
    return database->tables();
  };
  source.columns = [this](const std::string& table) {
    std::vector<std::string> names;
    DatabaseConnection* database = comparison_.database(1);
    if (database == nullptr || database->session() == nullptr) return names;
    OracleDictionaryReader reader(*database->session());
    const QueryRows<ColumnRow> rows = reader.columns(
        columnQueryText(0, false, database->session()->serverVersion()), database->owner(), table);
    for (const ColumnRow& row : rows.rows) names.push_back(row.name);
    return names;
  };
  source.keyColumns = [this](const std::string& table) {
    std::vector<std::string> keys;
    DatabaseConnection* database = comparison_.database(1);
    if (database == nullptr || database->session() == nullptr) return keys;
    OracleDictionaryReader reader(*database->session());
    primaryKeyColumns(reader, database->owner(), table, settings_.useUniqueIndex(), keys);
    return keys;
  };
  return source;
}

void ParametersDialog::openObjectOptions() {
  if (!checkDatabases(true)) return;
  for (const auto& [box, field] : checks_) working_.*field = box->isChecked() ? 1 : 0;
  working_.i_DoingUpgradeScript = mode();
  const KeySource keys = keySource();
  ObjectOptionsSheet sheet(working_, [this](const std::string& kind) { return namesOfKind(kind); },
                           settings_.lastObjectProp(), this, &settings_, &keys);
  if (sheet.exec() != QDialog::Accepted) return;
  // The pages write the options themselves: a later Cancel of this dialog keeps what they set.
  sheet.copyBack(working_);
  sheet.copyBack(options_);
  settings_.setLastObjectProp(sheet.lastPage());
}

void ParametersDialog::openSourceOptions() {
  if (!checkDatabases(true)) return;
  working_.i_DoingUpgradeScript = mode();
  SourceOptionsSheet sheet(working_, [this](const std::string& kind) { return namesOfKind(kind); },
                           settings_.lastSourceProp(), this);
  if (sheet.exec() != QDialog::Accepted) return;
  sheet.copyBack(working_);
  sheet.copyBack(options_);
  settings_.setLastSourceProp(sheet.lastPage());
}

void ParametersDialog::openGeneralOptions() {
  GeneralOptionsDialog dialog(working_, settings_, comparison_, this);
  if (dialog.exec() == QDialog::Accepted) dialog.copyBack(working_);
}

}  // namespace velmora::ui
