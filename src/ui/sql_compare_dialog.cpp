#include "ui/sql_compare_dialog.h"

#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextStream>
#include <QVBoxLayout>

#include "comparison/comparison.h"
#include "config/registry_settings.h"
#include "data/sql_compare.h"
#include "ui/gui_host.h"
#include "ui/parameters_dialog.h"
#include "ui/window_settings.h"

namespace velmora::ui {

namespace {

// The statements keep CR LF line breaks in the options, as the configuration files hold them.
QString shown(const std::string& statement) {
  return QString::fromStdString(statement).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
std::string kept(const QString& text) {
  return QString(text).replace(QStringLiteral("\n"), QStringLiteral("\r\n")).toStdString();
}

void message(QWidget* parent, const QString& text) {
  QMessageBox::information(parent, QString::fromLatin1(kApplicationName), text);
}

}  // namespace

SqlCompareDialog::SqlCompareDialog(ComparisonOptions& options, Comparison& comparison,
                                   UserSettings& settings, LoginPrompter* prompter1,
                                   LoginPrompter* prompter2, QWidget* parent)
    : QDialog(parent), options_(options), comparison_(comparison), settings_(settings),
      prompters_{prompter1, prompter2} {
  setWindowTitle(QStringLiteral("Sql Compare"));
  setObjectName(QStringLiteral("sqlCompare"));
  database1_ = new QPushButton(this);
  database2_ = new QPushButton(this);
  const QFont courier = reportQFont(ReportFont{});
  statement1_ = new QPlainTextEdit(shown(options.s_GlobalPassSql1), this);
  statement2_ = new QPlainTextEdit(shown(options.s_GlobalPassSql2), this);
  for (QPlainTextEdit* box : {statement1_, statement2_}) {
    box->setFont(courier);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
  }
  auto* load1 = new QPushButton(QStringLiteral("..."), this);
  auto* load2 = new QPushButton(QStringLiteral("..."), this);
  load1->setToolTip(QStringLiteral("Load the statement of Database 1 from a file"));
  load2->setToolTip(QStringLiteral("Load the statement of Database 2 from a file"));
  auto* copy = new QPushButton(QStringLiteral("V  copy  V"), this);
  auto* general = new QPushButton(QStringLiteral("&General..."), this);
  auto* start = new QPushButton(QStringLiteral("&Start"), this);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  auto* help = new QPushButton(QStringLiteral("&Help"), this);

  auto* grid = new QGridLayout;
  grid->addWidget(database1_, 0, 0);
  grid->addWidget(statement1_, 1, 0);
  grid->addWidget(load1, 1, 1, Qt::AlignTop);
  grid->addWidget(copy, 2, 0, Qt::AlignHCenter);
  grid->addWidget(database2_, 3, 0);
  grid->addWidget(statement2_, 4, 0);
  grid->addWidget(load2, 4, 1, Qt::AlignTop);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(general);
  buttons->addStretch();
  buttons->addWidget(start);
  buttons->addWidget(cancel);
  buttons->addWidget(help);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid, 1);
  layout->addLayout(buttons);
  setMinimumSize(640, 480);

  connect(database1_, &QPushButton::clicked, this, [this] { chooseDatabase(1); });
  connect(database2_, &QPushButton::clicked, this, [this] { chooseDatabase(2); });
  for (int number : {1, 2}) {
    connect(number == 1 ? load1 : load2, &QPushButton::clicked, this, [this, number] {
      QFileDialog dialog(this, QStringLiteral("Load Statement"));
      dialog.setNameFilters({QStringLiteral("SQL Files (*.sql)"), QStringLiteral("All Files (*)")});
      dialog.setDefaultSuffix(QStringLiteral("sql"));
      if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        loadFile(number, dialog.selectedFiles().first());
      }
    });
  }
  connect(copy, &QPushButton::clicked, this, &SqlCompareDialog::copyFirstToSecond);
  connect(general, &QPushButton::clicked, this, [this] {
    GeneralOptionsDialog dialog(options_, settings_, comparison_, this);
    if (dialog.exec() == QDialog::Accepted) dialog.copyBack(options_);
  });
  connect(start, &QPushButton::clicked, this, &SqlCompareDialog::start);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(help, &QPushButton::clicked, this, [this] {
    message(this, QStringLiteral(
                      "Write a query for each database (or load it from a file with \"...\"; "
                      "\"V  copy  V\" copies the first into the second). The rows that only one of "
                      "the two results holds are reported. Give every expression of the select "
                      "list an alias: the columns are selected again by their names."));
  });
  showDatabases();
}

void SqlCompareDialog::showDatabases() {
  for (int number : {1, 2}) {
    DatabaseConnection* database = comparison_.database(number);
    databaseButton(number)->setText(database ? QString::fromStdString(database->displayName())
                                             : QStringLiteral("Press to select Database %1").arg(number));
  }
}

void SqlCompareDialog::chooseDatabase(int number) {
  reconnectDatabase(comparison_, number, prompters_[number - 1], this);
  showDatabases();
}

bool SqlCompareDialog::loadFile(int number, const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    message(this, QStringLiteral("Could not open file: ") + path);
    return false;
  }
  QTextStream in(&file);
  QString text;
  while (!in.atEnd()) text += in.readLine() + QLatin1Char('\n');
  statement(number)->setPlainText(text);
  return true;
}

void SqlCompareDialog::copyFirstToSecond() { statement2_->setPlainText(statement1_->toPlainText()); }

bool SqlCompareDialog::start() {
  if (comparison_.database(1) == nullptr || comparison_.database(2) == nullptr) {
    message(this, QStringLiteral("You must select 2 database sources before you can begin."));
    return false;
  }
  std::string statements[2];
  for (int number : {1, 2}) {
    std::string& text = statements[number - 1];
    text = kept(statement(number)->toPlainText());
    std::string problem;
    const bool usable = prepareSqlCompareStatement(text, number, &problem);
    statement(number)->setPlainText(shown(text));
    if (!usable) {
      statement(number)->setFocus();
      message(this, QString::fromStdString(problem));
      return false;
    }
  }
  options_.s_GlobalPassSql1 = statements[0];
  options_.s_GlobalPassSql2 = statements[1];
  accept();
  return true;
}

}  // namespace velmora::ui
