#include "ui/data_conditions_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "config/registry_settings.h"
#include "ui/window_settings.h"

namespace velmora::ui {

DataConditionsDialog::DataConditionsDialog(const WhereStatements& conditions, const NameSource& names,
                                           UserSettings& settings, QWidget* parent)
    : QDialog(parent), conditions_(conditions), names_(names), settings_(settings) {
  setWindowTitle(QStringLiteral("Data Conditions"));
  setObjectName(QStringLiteral("dataConditions"));
  tables_ = new QRadioButton(QStringLiteral("Show &Tables"), this);
  views_ = new QRadioButton(QStringLiteral("Show &Views"), this);
  objects_ = new QListWidget(this);
  objects_->setUniformItemSizes(true);
  condition_ = new QPlainTextEdit(this);
  ReportFont courier;
  condition_->setFont(reportQFont(courier));
  auto* explanation = new QLabel(
      QStringLiteral("The condition is added after the WHERE clause of the select statement of the "
                     "chosen table or view. Do not start it with \"where\"."),
      this);
  explanation->setWordWrap(true);
  auto* clear = new QPushButton(QStringLiteral("C&lear all conditions"), this);
  auto* close = new QPushButton(QStringLiteral("&Close"), this);
  close->setDefault(true);

  auto* kinds = new QHBoxLayout;
  kinds->addWidget(tables_);
  kinds->addWidget(views_);
  kinds->addStretch();
  auto* editor = new QVBoxLayout;
  editor->addWidget(explanation);
  editor->addWidget(condition_, 1);
  auto* body = new QHBoxLayout;
  body->addWidget(objects_, 1);
  body->addLayout(editor, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(clear);
  buttons->addStretch();
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(kinds);
  layout->addLayout(body, 1);
  layout->addLayout(buttons);
  setMinimumSize(640, 400);

  connect(tables_, &QRadioButton::clicked, this, [this] { showKind(true); });
  connect(views_, &QRadioButton::clicked, this, [this] { showKind(false); });
  connect(objects_, &QListWidget::currentTextChanged, this, [this] { showCondition(); });
  connect(clear, &QPushButton::clicked, this, &DataConditionsDialog::clearAll);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  showKind(settings_.whereTab() != 0);
}

void DataConditionsDialog::keepText() {
  if (shown_.isEmpty()) return;
  conditions_.set(shown_.toStdString(), condition_->toPlainText().toStdString());
}

void DataConditionsDialog::showKind(bool tables) {
  keepText();
  shown_.clear();
  (tables ? tables_ : views_)->setChecked(true);
  settings_.setWhereTab(tables ? 1 : 0);
  objects_->clear();
  condition_->clear();
  for (const std::string& name : names_(tables ? "TABLE" : "VIEW")) {
    objects_->addItem(QString::fromStdString(name));
  }
  if (objects_->count() > 0) objects_->setCurrentRow(0);
}

void DataConditionsDialog::showCondition() {
  keepText();
  shown_ = objects_->currentItem() ? objects_->currentItem()->text() : QString();
  const auto& entries = conditions_.entries();
  const auto found = entries.find(shown_.toStdString());
  condition_->setPlainText(found == entries.end() ? QString() : QString::fromStdString(found->second));
}

void DataConditionsDialog::clearAll() {
  conditions_.clear();
  condition_->clear();
}

WhereStatements DataConditionsDialog::conditions() {
  keepText();
  // An emptied condition is no condition.
  WhereStatements kept;
  for (const auto& [name, condition] : conditions_.entries()) {
    if (condition.find_first_not_of(" \t\r\n") != std::string::npos) kept.set(name, condition);
  }
  return kept;
}

}  // namespace velmora::ui
