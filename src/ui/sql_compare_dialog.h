// The "Sql Compare" dialog: the two database buttons, a statement box for each database (Courier
// New) with "..." to load a file, "V  copy  V" to copy the first statement into the second,
// General, Start, Cancel and Help. Start checks the databases and both statements (trailing
// blanks and a final ";" are dropped) and sets the statements of the run.
#pragma once

#include <QDialog>

#include "base/comparison_options.h"

class QPlainTextEdit;
class QPushButton;

namespace velmora {
class Comparison;
class LoginPrompter;
class UserSettings;
}  // namespace velmora

namespace velmora::ui {

class SqlCompareDialog : public QDialog {
  Q_OBJECT

 public:
  SqlCompareDialog(ComparisonOptions& options, Comparison& comparison, UserSettings& settings,
                   LoginPrompter* prompter1, LoginPrompter* prompter2, QWidget* parent = nullptr);

  // Start: false (with a message, the dialog open) when a database or a statement is missing.
  bool start();
  // "...": the file's lines, each followed by a line feed, replace the box's text.
  bool loadFile(int number, const QString& path);
  void copyFirstToSecond();

  QPlainTextEdit* statement(int number) const { return number == 1 ? statement1_ : statement2_; }
  QPushButton* databaseButton(int number) const { return number == 1 ? database1_ : database2_; }

 private:
  void showDatabases();
  void chooseDatabase(int number);

  ComparisonOptions& options_;
  Comparison& comparison_;
  UserSettings& settings_;
  LoginPrompter* prompters_[2];
  QPushButton* database1_;
  QPushButton* database2_;
  QPlainTextEdit* statement1_;
  QPlainTextEdit* statement2_;
};

}  // namespace velmora::ui
