#include "ui/screenshots.h"

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTabWidget>
#include <QWidget>

#include "config/memory_settings_store.h"
#include "config/registry_settings.h"
#include "oracle/login_dialog.h"
#include "oracle/oracle_session.h"
#include "ui/control_panel.h"
#include "ui/data_conditions_dialog.h"
#include "ui/find_dialog.h"
#include "ui/gui_host.h"
#include "ui/login_dialogs.h"
#include "ui/main_window.h"
#include "ui/option_sheets.h"
#include "ui/parameters_dialog.h"
#include "ui/primary_keys_dialog.h"
#include "ui/report_printer.h"
#include "ui/report_view.h"
#include "ui/sql_compare_dialog.h"

namespace velmora::ui {

namespace {

// Lays the widget out and paints it once before the picture is taken.
void settle(QWidget& widget) {
  widget.show();
  widget.adjustSize();
  QCoreApplication::processEvents();
}

}  // namespace

bool saveWidgetPicture(QWidget& widget, const QString& folder, const QString& name) {
  QDir().mkpath(folder);
  return widget.grab().save(QDir(folder).filePath(name), "PNG");
}

QString takeDialogScreenshots(MainWindow& window, const QString& folder) {
  QStringList failed;
  auto take = [&](QWidget& widget, const QString& name) {
    if (!saveWidgetPicture(widget, folder, name)) failed << name;
  };
  take(window, QStringLiteral("main-window-after-run.png"));
  if (window.controlPanel()->isVisible()) take(*window.controlPanel(), QStringLiteral("control-panel.png"));

  FindDialog* find = window.findDialog();
  find->textField()->setText(QStringLiteral("PRODUCTS"));
  settle(*find);
  take(*find, QStringLiteral("find-dialog.png"));
  find->hide();

  // The Login dialog over a list of recent logins kept in a settings store of its own.
  MemorySettingsStore store;
  store.setString("Recent DB", "0", "oe/oe@CURRENT");
  store.setString("Recent DB", "1", "scott@PRODUCTION");
  GuiHost host;
  OracleEnvironment environment;
  environment.settings = &store;
  OracleSession session(environment);
  LoginDialogModel model(store, &host, session);
  model.open();
  LoginDialog login(model, 1, &window);
  settle(login);
  take(login, QStringLiteral("login-dialog.png"));
  login.hide();

  PasswordPrompt prompt(QStringLiteral("OE"), QStringLiteral("CURRENT"), &window);
  settle(prompt);
  take(prompt, QStringLiteral("password-prompt.png"));
  prompt.hide();

  QMessageBox message(QMessageBox::Question, QString::fromLatin1(kApplicationName),
                      QStringLiteral("You won't be able to resume this Velmora if you stop it.\n"
                                     "Are you sure you want to stop?"),
                      QMessageBox::Yes | QMessageBox::No, &window);
  settle(message);
  take(message, QStringLiteral("stop-question.png"));
  message.hide();

  // The parameters dialog over the window's databases, its General Options and both sheets.
  UserSettings dialogSettings(store);
  ComparisonOptions options = window.options();
  ParametersDialog parameters(options, window.comparison(), dialogSettings, nullptr, nullptr, &window);
  settle(parameters);
  take(parameters, QStringLiteral("parameters-dialog.png"));
  GeneralOptionsDialog general(options, dialogSettings, window.comparison(), &window);
  settle(general);
  take(general, QStringLiteral("general-options.png"));
  general.hide();
  const NameSource names = [&parameters](const std::string& kind) { return parameters.namesOfKind(kind); };
  const KeySource keySource = parameters.keySource();
  options.IgnoreColumns = {"LAST_UPDATED%", "%_DT"};
  ObjectOptionsSheet objects(options, names, 0, &window, &dialogSettings, &keySource);
  for (int page = 0; page < objects.pages()->count(); ++page) {
    objects.pages()->setCurrentIndex(page);
    settle(objects);
    take(objects, QStringLiteral("object-options-%1.png").arg(page));
  }
  objects.hide();
  PrimaryKeysDialog keys(options.keyOverrides, keySource, &window);
  settle(keys);
  take(keys, QStringLiteral("primary-keys.png"));
  keys.hide();
  DataConditionsDialog conditions(options.whereStatements, names, dialogSettings, &window);
  conditions.conditionField()->setPlainText(QStringLiteral("STATUS = 'OPEN'"));
  settle(conditions);
  take(conditions, QStringLiteral("data-conditions.png"));
  conditions.hide();
  options.s_GlobalPassSql1 = "select product_id, list_price\r\nfrom products\r\norder by product_id";
  options.s_GlobalPassSql2 = options.s_GlobalPassSql1;
  SqlCompareDialog sql(options, window.comparison(), dialogSettings, nullptr, nullptr, &window);
  settle(sql);
  take(sql, QStringLiteral("sql-compare.png"));
  sql.hide();
  SourceOptionsSheet sources(options, names, 2, &window);
  settle(sources);
  take(sources, QStringLiteral("source-options.png"));
  sources.hide();
  parameters.hide();

  QPrinter printer(QPrinter::HighResolution);
  QPrintPreviewDialog preview(&printer, &window);
  QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                   [&window](QPrinter* target) { printReport(*target, *window.reportView()->document()); });
  preview.resize(900, 700);
  preview.show();
  QCoreApplication::processEvents();
  take(preview, QStringLiteral("print-preview.png"));
  preview.hide();

  if (failed.isEmpty()) return QString();
  return QStringLiteral("could not write ") + failed.join(QStringLiteral(", ")) +
         QStringLiteral(" in ") + folder;
}

}  // namespace velmora::ui
