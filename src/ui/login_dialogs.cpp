#include "ui/login_dialogs.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>
#include <thread>

#include "ui/gui_host.h"
#include "ui/qt_text.h"

namespace velmora::ui {

namespace {


bool onUserThread() {
  const QCoreApplication* application = QCoreApplication::instance();
  return application != nullptr && QThread::currentThread() == application->thread();
}

// Runs `work` on the user-interface thread and waits for it.
template <typename Work>
void onUserThreadAndWait(QWidget* context, Work work) {
  if (onUserThread()) {
    work();
  } else {
    QMetaObject::invokeMethod(context, work, Qt::BlockingQueuedConnection);
  }
}

}  // namespace

LoginDialog::LoginDialog(LoginDialogModel& model, int databaseNumber, QWidget* parent)
    : QDialog(parent), model_(model) {
  setWindowTitle(QStringLiteral("Login - Database %1").arg(databaseNumber));
  setObjectName(QStringLiteral("loginDialog"));
  user_ = new QLineEdit(this);
  user_->setObjectName(QStringLiteral("user"));
  password_ = new QLineEdit(this);
  password_->setObjectName(QStringLiteral("password"));
  password_->setEchoMode(QLineEdit::Password);
  database_ = new QLineEdit(this);
  database_->setObjectName(QStringLiteral("database"));
  savePassword_ = new QCheckBox(QStringLiteral("Save &Password"), this);

  recent_ = new QTableWidget(0, 1, this);
  recent_->setObjectName(QStringLiteral("recent"));
  recent_->setHorizontalHeaderLabels({QStringLiteral("Recent Connections")});
  recent_->horizontalHeader()->setStretchLastSection(true);
  recent_->horizontalHeader()->setSectionsMovable(true);
  recent_->verticalHeader()->hide();
  recent_->setSelectionBehavior(QAbstractItemView::SelectRows);
  recent_->setSelectionMode(QAbstractItemView::SingleSelection);
  recent_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  recent_->setShowGrid(true);
  recent_->setContextMenuPolicy(Qt::CustomContextMenu);

  connecting_ = new QLabel(QStringLiteral("Connecting ..."), this);
  connecting_->hide();

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Username:"), user_);
  form->addRow(QStringLiteral("Pass&word:"), password_);
  form->addRow(QStringLiteral("&Database:"), database_);
  form->addRow(QString(), savePassword_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(recent_, 1);
  layout->addWidget(connecting_);
  layout->addWidget(buttons);
  resize(420, 360);

  connect(buttons, &QDialogButtonBox::accepted, this, &LoginDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &LoginDialog::reject);
  connect(recent_, &QTableWidget::cellClicked, this, [this](int row, int) { chooseRow(row); });
  connect(recent_, &QTableWidget::customContextMenuRequested, this, &LoginDialog::showMenu);
  connect(savePassword_, &QCheckBox::toggled, this,
          [this](bool on) { model_.setSavePassword(on); });

  savePassword_->setChecked(model_.savePassword());
  fillList();
  fillFields();
  if (recent_->rowCount() > 0) recent_->selectRow(0);
  (user_->text().isEmpty() ? user_ : password_)->setFocus();
}

void LoginDialog::fillList() {
  recent_->setRowCount(0);
  const auto& rows = model_.recent();
  recent_->setRowCount(int(rows.size()));
  for (size_t i = 0; i < rows.size(); ++i) {
    recent_->setItem(int(i), 0, new QTableWidgetItem(toQt(rows[i].displayText())));
  }
}

void LoginDialog::fillFields() {
  user_->setText(toQt(model_.user));
  password_->setText(toQt(model_.password));
  database_->setText(toQt(model_.database));
}

void LoginDialog::chooseRow(int row) {
  if (row < 0 || size_t(row) >= model_.recent().size()) return;
  model_.choose(size_t(row));
  fillFields();
}

void LoginDialog::deleteSelectedEntry() {
  const int row = recent_->currentRow();
  if (row < 0 || size_t(row) >= model_.recent().size()) return;
  model_.deleteRow(size_t(row));
  fillList();
}

void LoginDialog::deleteAllEntries() {
  model_.deleteAll();
  fillList();
}

void LoginDialog::showMenu(const QPoint& position) {
  QMenu menu(this);
  QAction* deleteEntry = menu.addAction(QStringLiteral("Delete Entry"));
  menu.addSeparator();
  QAction* deleteAll = menu.addAction(QStringLiteral("Delete All Entries"));
  deleteEntry->setEnabled(recent_->currentRow() >= 0);
  QAction* chosen = menu.exec(recent_->viewport()->mapToGlobal(position));
  if (chosen == deleteEntry) deleteSelectedEntry();
  if (chosen == deleteAll) deleteAllEntries();
}

void LoginDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete && recent_->hasFocus()) {
    deleteSelectedEntry();
    return;
  }
  QDialog::keyPressEvent(event);
}

void LoginDialog::setBusy(bool busy) {
  for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (child != connecting_) child->setEnabled(!busy);
  }
  connecting_->setVisible(busy);
  setCursor(busy ? Qt::WaitCursor : Qt::ArrowCursor);
}

// OK: the model checks the fields and logs on, on a thread of its own; its messages come back
// to this thread through the host, which this event loop serves meanwhile.
void LoginDialog::accept() {
  model_.user = fromQt(user_->text());
  model_.password = fromQt(password_->text());
  model_.database = fromQt(database_->text());
  setBusy(true);
  LoginDialogModel::SubmitResult result;
  QEventLoop loop;
  std::thread logon([&] {
    result = model_.submit();
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  logon.join();
  setBusy(false);
  if (result.accepted) {
    QDialog::accept();
    return;
  }
  QLineEdit* focus = result.focus == LoginDialogModel::Field::Password   ? password_
                     : result.focus == LoginDialogModel::Field::Database ? database_
                                                                         : user_;
  focus->setFocus();
  if (result.selectAll) focus->selectAll();
}

PasswordPrompt::PasswordPrompt(const QString& user, const QString& database, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Login"));
  setObjectName(QStringLiteral("passwordPrompt"));
  auto* userField = new QLineEdit(user, this);
  userField->setReadOnly(true);
  password_ = new QLineEdit(this);
  password_->setObjectName(QStringLiteral("password"));
  password_->setEchoMode(QLineEdit::Password);
  auto* databaseField = new QLineEdit(database, this);
  databaseField->setReadOnly(true);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Username: "), userField);
  form->addRow(QStringLiteral("Password: "), password_);
  form->addRow(QStringLiteral("Database: "), databaseField);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &PasswordPrompt::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &PasswordPrompt::reject);
  password_->setFocus();
}

QString PasswordPrompt::password() const { return password_->text(); }

void PasswordPrompt::accept() {
  if (!acceptablePromptPassword(fromQt(password_->text()))) {
    QMessageBox::information(this, QString::fromLatin1(kApplicationName),
                             QString::fromLatin1(kEmptyPasswordMessage));
    password_->setFocus();
    return;
  }
  QDialog::accept();
}

std::optional<std::string> GuiLoginPrompter::askPassword(const std::string& user,
                                                         const std::string& database) {
  std::optional<std::string> password;
  onUserThreadAndWait(parent_, [&] {
    if (closing_) return;
    PasswordPrompt prompt(toQt(user), toQt(database), parent_);
    if (prompt.exec() == QDialog::Accepted) password = fromQt(prompt.password());
  });
  return password;
}

bool GuiLoginPrompter::runLoginDialog(LoginDialogModel& model) {
  bool accepted = false;
  onUserThreadAndWait(parent_, [&] {
    if (closing_) return;
    LoginDialog dialog(model, databaseNumber_, parent_);
    accepted = dialog.exec() == QDialog::Accepted;
  });
  return accepted;
}

}  // namespace velmora::ui
