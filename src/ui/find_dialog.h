// The Find dialog: find only, downwards, with "Match whole word only" and "Match case". Modeless;
// each "Find Next" asks the main window to search (ReportFinder does the search and its
// messages). A new dialog starts at the top of the report.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace velmora::ui {

class FindDialog : public QDialog {
  Q_OBJECT

 public:
  explicit FindDialog(QWidget* parent = nullptr);

  QString text() const;
  bool matchCase() const;
  bool wholeWord() const;
  QLineEdit* textField() const { return text_; }
  QPushButton* findNextButton() const { return findNext_; }

 signals:
  void findNextRequested();

 private:
  QLineEdit* text_;
  QCheckBox* matchCase_;
  QCheckBox* wholeWord_;
  QPushButton* findNext_;
};

}  // namespace velmora::ui
