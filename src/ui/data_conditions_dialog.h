// The Data Conditions dialog: the tables ("Show Tables") or the views ("Show Views") of both
// databases, the choice kept in the settings ("WhereTab"), and a Courier New box that shows and
// edits the condition of the selected object. The text is added after the WHERE of the object's
// select; "Clear all conditions" empties them all.
#pragma once

#include <QDialog>

#include "base/comparison_options.h"
#include "ui/option_sheets.h"

class QListWidget;
class QPlainTextEdit;
class QRadioButton;

namespace velmora {
class UserSettings;
}

namespace velmora::ui {

class DataConditionsDialog : public QDialog {
  Q_OBJECT

 public:
  DataConditionsDialog(const WhereStatements& conditions, const NameSource& names,
                       UserSettings& settings, QWidget* parent = nullptr);

  // The conditions as edited (the text of the selected object included).
  WhereStatements conditions();

  QListWidget* objects() const { return objects_; }
  QPlainTextEdit* conditionField() const { return condition_; }
  QRadioButton* showTables() const { return tables_; }
  QRadioButton* showViews() const { return views_; }
  void showKind(bool tables);
  void clearAll();

 private:
  void keepText();
  void showCondition();

  WhereStatements conditions_;
  NameSource names_;
  UserSettings& settings_;
  QListWidget* objects_;
  QPlainTextEdit* condition_;
  QRadioButton* tables_;
  QRadioButton* views_;
  QString shown_;  // the object whose condition the box holds
};

}  // namespace velmora::ui
