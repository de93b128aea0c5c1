#include "ui/primary_keys_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::ui {

PrimaryKeysDialog::PrimaryKeysDialog(const KeyOverrides& overrides, KeySource source, QWidget* parent)
    : QDialog(parent), overrides_(overrides), source_(std::move(source)) {
  setWindowTitle(QStringLiteral("Primary Keys"));
  setObjectName(QStringLiteral("primaryKeys"));
  tables_ = new QListWidget(this);
  tables_->setUniformItemSizes(true);
  columns_ = new QListWidget(this);
  auto* tablesLabel = new QLabel(QStringLiteral("&Tables:"), this);
  tablesLabel->setBuddy(tables_);
  auto* columnsLabel = new QLabel(QStringLiteral("&Key columns of the table (data upgrades):"), this);
  columnsLabel->setBuddy(columns_);
  auto* restore = new QPushButton(QStringLiteral("&Restore from DB"), this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  auto* left = new QVBoxLayout;
  left->addWidget(tablesLabel);
  left->addWidget(tables_, 1);
  auto* right = new QVBoxLayout;
  right->addWidget(columnsLabel);
  right->addWidget(columns_, 1);
  right->addWidget(restore, 0, Qt::AlignLeft);
  auto* body = new QHBoxLayout;
  body->addLayout(left, 1);
  body->addLayout(right, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body, 1);
  layout->addWidget(buttons);
  setMinimumSize(560, 400);

  connect(tables_, &QListWidget::currentTextChanged, this, [this] { showTable(); });
  connect(restore, &QPushButton::clicked, this, &PrimaryKeysDialog::restoreFromDatabase);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  for (const std::string& table : source_.tables()) tables_->addItem(QString::fromStdString(table));
  if (tables_->count() > 0) tables_->setCurrentRow(0);
}

std::vector<std::string> PrimaryKeysDialog::ticked() const {
  std::vector<std::string> names;
  for (int row = 0; row < columns_->count(); ++row) {
    if (columns_->item(row)->checkState() == Qt::Checked) names.push_back(columns_->item(row)->text().toStdString());
  }
  return names;
}

// The ticks of the table shown become its override when they are not the database's key.
void PrimaryKeysDialog::keepTicks() {
  if (shown_.isEmpty()) return;
  const std::string table = shown_.toStdString();
  const std::vector<std::string> keys = ticked();
  // No column ticked, or the database's own key: the table has no override.
  if (keys.empty() || keys == source_.keyColumns(table)) {
    KeyOverrides kept;
    for (const auto& [name, columns] : overrides_.entries()) {
      if (name != table) kept.set(name, columns);
    }
    overrides_ = kept;
  } else {
    overrides_.set(table, keys);
  }
}

void PrimaryKeysDialog::showTable() {
  keepTicks();
  columns_->clear();
  shown_ = tables_->currentItem() ? tables_->currentItem()->text() : QString();
  if (shown_.isEmpty()) return;
  const std::string table = shown_.toStdString();
  const std::vector<std::string>* chosen = overrides_.find(table);
  const std::vector<std::string> keys = chosen ? *chosen : source_.keyColumns(table);
  for (const std::string& column : source_.columns(table)) {
    auto* item = new QListWidgetItem(QString::fromStdString(column), columns_);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    const bool key = std::find(keys.begin(), keys.end(), column) != keys.end();
    item->setCheckState(key ? Qt::Checked : Qt::Unchecked);
  }
}

void PrimaryKeysDialog::restoreFromDatabase() {
  if (shown_.isEmpty()) return;
  const std::vector<std::string> keys = source_.keyColumns(shown_.toStdString());
  for (int row = 0; row < columns_->count(); ++row) {
    const std::string column = columns_->item(row)->text().toStdString();
    const bool key = std::find(keys.begin(), keys.end(), column) != keys.end();
    columns_->item(row)->setCheckState(key ? Qt::Checked : Qt::Unchecked);
  }
}

KeyOverrides PrimaryKeysDialog::overrides() {
  keepTicks();
  return overrides_;
}

}  // namespace velmora::ui
