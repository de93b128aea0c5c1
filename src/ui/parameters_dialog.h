// The parameters dialog ("Velmora for Oracle Parameters") shown before every run, and its
// General Options dialog. Both work on a copy of the options and copy it back only when their
// checks pass (Start or Close; OK). The database buttons connect through the comparison (the
// Login dialog), the user lists beside them switch the schema compared; the two "Advanced..."
// buttons open the option sheets over the names of both databases.
#pragma once

#include <QDialog>
#include <span>

#include "base/comparison_options.h"
#include "run/run_driver.h"
#include "ui/option_sheets.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace velmora {
class Comparison;
class LoginPrompter;
class UserSettings;
}  // namespace velmora

namespace velmora::ui {

// A database button of the dialogs: closes that database's connection and opens it again through
// the Login dialog; a missing client or schema is told in a message box over `parent`.
void reconnectDatabase(Comparison& comparison, int number, LoginPrompter* prompter, QWidget* parent);

// The object and source switches of the parameters dialog.
std::span<const SwitchControl> objectSwitches();
std::span<const SwitchControl> sourceSwitches();

class GeneralOptionsDialog : public QDialog {
  Q_OBJECT

 public:
  GeneralOptionsDialog(const ComparisonOptions& options, UserSettings& settings,
                       Comparison& comparison, QWidget* parent = nullptr);
  void copyBack(ComparisonOptions& options) const;

  QRadioButton* outputChoice(int index) const;  // screen, incremental file, file only
  QSpinBox* linesField() const { return lines_; }
  QLineEdit* fileField() const { return file_; }
  QLineEdit* dateFormatField() const { return dateFormat_; }

 public slots:
  void accept() override;

 private:
  void updateEnabled();

  UserSettings& settings_;
  Comparison& comparison_;
  QButtonGroup* output_;
  QSpinBox* lines_;
  QLineEdit* file_;
  QPushButton* browse_;
  QCheckBox* ownObjects_;
  QButtonGroup* dataTypes_;
  QButtonGroup* specialNames_;
  QCheckBox* sourceSpaces_;
  QLineEdit* dateFormat_;
  QCheckBox* includePct_;
  QCheckBox* includeStorage_;
  QCheckBox* uniqueIndex_;
};

class ParametersDialog : public QDialog {
  Q_OBJECT

 public:
  ParametersDialog(ComparisonOptions& options, Comparison& comparison, UserSettings& settings,
                   LoginPrompter* prompter1, LoginPrompter* prompter2, QWidget* parent = nullptr);

  // Shows the dialog: Start, Close or Cancel, with the options copied back for Start and Close.
  DialogResult run();

  QPushButton* databaseButton(int number) const { return number == 1 ? database1_ : database2_; }
  QComboBox* userList(int number) const { return number == 1 ? users1_ : users2_; }
  QCheckBox* check(int ComparisonOptions::*field) const;
  QRadioButton* outputChoice(int mode) const;
  QPushButton* startButton() const { return start_; }
  QPushButton* closeButton() const { return close_; }

  // The buttons' work, for the keyboard, the mouse and the tests.
  void chooseDatabase(int number);
  bool finish(DialogResult result);  // the checks of Start and Close; false: stays open
  void openObjectOptions();
  void openSourceOptions();
  void openGeneralOptions();

  // The names of a kind in both databases (read now through the catalog).
  std::vector<std::string> namesOfKind(const std::string& kind);
  // What the Primary Keys dialog reads from Database 1.
  KeySource keySource();

 private:
  void showDatabase(int number);
  void copyIn();
  void copyBack();
  bool checkDatabases(bool advanced);
  int mode() const;

  ComparisonOptions& options_;
  ComparisonOptions working_;  // the copy the dialog edits
  Comparison& comparison_;
  UserSettings& settings_;
  LoginPrompter* prompters_[2];
  QPushButton* database1_;
  QPushButton* database2_;
  QComboBox* users1_;
  QComboBox* users2_;
  std::vector<std::pair<QCheckBox*, int ComparisonOptions::*>> checks_;
  QButtonGroup* modes_;
  QPushButton* start_;
  QPushButton* close_;
  DialogResult result_ = DialogResult::Cancel;
};

}  // namespace velmora::ui
