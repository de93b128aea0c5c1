// The Primary Keys dialog: the tables, and for the selected one its columns with the key columns
// ticked. The key columns a data upgrade uses for a table are these when the user chose them (an
// override, kept in the configuration file), else the table's primary key in Database 1 (or one
// unique index). "Restore from DB" drops the override of the selected table and shows the
// database's key again.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "base/comparison_options.h"

class QListWidget;
class QPushButton;

namespace velmora::ui {

// What the dialog reads from Database 1: the tables, a table's columns in order, and its key
// columns as the data upgrade finds them.
struct KeySource {
  std::function<std::vector<std::string>()> tables;
  std::function<std::vector<std::string>(const std::string& table)> columns;
  std::function<std::vector<std::string>(const std::string& table)> keyColumns;
};

class PrimaryKeysDialog : public QDialog {
  Q_OBJECT

 public:
  PrimaryKeysDialog(const KeyOverrides& overrides, KeySource source, QWidget* parent = nullptr);

  // The overrides as edited: a table whose ticks differ from its database key gets one.
  KeyOverrides overrides();
  void restoreFromDatabase();

  QListWidget* tables() const { return tables_; }
  QListWidget* columns() const { return columns_; }

 private:
  void keepTicks();
  void showTable();
  std::vector<std::string> ticked() const;

  KeyOverrides overrides_;
  KeySource source_;
  QListWidget* tables_;
  QListWidget* columns_;
  QString shown_;
};

}  // namespace velmora::ui
