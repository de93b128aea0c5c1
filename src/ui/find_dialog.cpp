#include "ui/find_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velmora::ui {

FindDialog::FindDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Find"));
  setObjectName(QStringLiteral("findDialog"));
  text_ = new QLineEdit(this);
  text_->setObjectName(QStringLiteral("findWhat"));
  auto* label = new QLabel(QStringLiteral("Fi&nd what:"), this);
  label->setBuddy(text_);
  wholeWord_ = new QCheckBox(QStringLiteral("Match &whole word only"), this);
  matchCase_ = new QCheckBox(QStringLiteral("Match &case"), this);
  findNext_ = new QPushButton(QStringLiteral("&Find Next"), this);
  findNext_->setDefault(true);
  findNext_->setEnabled(false);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);

  auto* layout = new QGridLayout(this);
  layout->addWidget(label, 0, 0);
  layout->addWidget(text_, 0, 1);
  layout->addWidget(findNext_, 0, 2);
  layout->addWidget(wholeWord_, 1, 0, 1, 2);
  layout->addWidget(cancel, 1, 2);
  layout->addWidget(matchCase_, 2, 0, 1, 2);
  layout->setColumnStretch(1, 1);

  connect(text_, &QLineEdit::textChanged, this,
          [this](const QString& text) { findNext_->setEnabled(!text.isEmpty()); });
  connect(findNext_, &QPushButton::clicked, this, &FindDialog::findNextRequested);
  connect(cancel, &QPushButton::clicked, this, &FindDialog::reject);
}

QString FindDialog::text() const { return text_->text(); }
bool FindDialog::matchCase() const { return matchCase_->isChecked(); }
bool FindDialog::wholeWord() const { return wholeWord_->isChecked(); }

}  // namespace velmora::ui
