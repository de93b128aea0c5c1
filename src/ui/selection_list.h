// The selection lists of the option pages: every name of a kind found in either database (the
// union, Database 1's names first, whole names compared without regard to case), ticked unless
// the kind's ignore list holds it; on OK the unticked names, in list order, become the ignore
// list. A filter box hides the names that do not contain its text, so lists of thousands of
// objects stay usable; Select All and UnSelect All act on the whole list in one step.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "base/comparison_options.h"

class QLineEdit;
class QListWidget;

namespace velmora::ui {

// The union of both lists in order: Database 1's names, then Database 2's names not yet there.
std::vector<std::string> unionOfNames(const std::vector<std::string>& first,
                                      const std::vector<std::string>& second);

class SelectionList : public QWidget {
  Q_OBJECT

 public:
  SelectionList(const QString& label, QWidget* parent = nullptr);

  void setNames(const std::vector<std::string>& names, const NameList& ignored);
  // The names not ticked, in list order (whatever the filter hides).
  NameList unselected() const;
  void selectAll(bool on);
  void setFilter(const QString& text);

  QListWidget* list() const { return list_; }
  QLineEdit* filterField() const { return filter_; }

 private:
  QListWidget* list_;
  QLineEdit* filter_;
};

}  // namespace velmora::ui
