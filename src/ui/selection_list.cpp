#include "ui/selection_list.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <set>

namespace velmora::ui {

namespace {

std::string upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  }
  return text;
}

}  // namespace

std::vector<std::string> unionOfNames(const std::vector<std::string>& first,
                                      const std::vector<std::string>& second) {
  std::vector<std::string> names;
  std::set<std::string> seen;
  for (const auto* list : {&first, &second}) {
    for (const std::string& name : *list) {
      if (seen.insert(upper(name)).second) names.push_back(name);
    }
  }
  return names;
}

SelectionList::SelectionList(const QString& label, QWidget* parent) : QWidget(parent) {
  list_ = new QListWidget(this);
  list_->setUniformItemSizes(true);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  auto* caption = new QLabel(label, this);
  caption->setBuddy(list_);
  filter_ = new QLineEdit(this);
  filter_->setPlaceholderText(QStringLiteral("Filter"));
  filter_->setClearButtonEnabled(true);
  auto* all = new QPushButton(QStringLiteral("Select &All"), this);
  auto* none = new QPushButton(QStringLiteral("U&nSelect All"), this);
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(caption, 0, 0, 1, 2);
  layout->addWidget(filter_, 1, 0, 1, 2);
  layout->addWidget(list_, 2, 0, 1, 2);
  layout->addWidget(all, 3, 0);
  layout->addWidget(none, 3, 1);
  connect(all, &QPushButton::clicked, this, [this] { selectAll(true); });
  connect(none, &QPushButton::clicked, this, [this] { selectAll(false); });
  connect(filter_, &QLineEdit::textChanged, this, &SelectionList::setFilter);
}

void SelectionList::setNames(const std::vector<std::string>& names, const NameList& ignored) {
  list_->setUpdatesEnabled(false);
  list_->clear();
  for (const std::string& name : names) {
    auto* item = new QListWidgetItem(QString::fromStdString(name), list_);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(ignored.contains(name) ? Qt::Unchecked : Qt::Checked);
  }
  list_->setUpdatesEnabled(true);
  setFilter(filter_->text());
}

NameList SelectionList::unselected() const {
  NameList names;
  for (int row = 0; row < list_->count(); ++row) {
    if (list_->item(row)->checkState() != Qt::Checked) names.add(list_->item(row)->text().toStdString());
  }
  return names;
}

void SelectionList::selectAll(bool on) {
  list_->setUpdatesEnabled(false);
  for (int row = 0; row < list_->count(); ++row) {
    list_->item(row)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
  }
  list_->setUpdatesEnabled(true);
}

void SelectionList::setFilter(const QString& text) {
  list_->setUpdatesEnabled(false);
  for (int row = 0; row < list_->count(); ++row) {
    list_->setRowHidden(row, !text.isEmpty() && !list_->item(row)->text().contains(text, Qt::CaseInsensitive));
  }
  list_->setUpdatesEnabled(true);
}

}  // namespace velmora::ui
