#include "ui/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <thread>

#include "base/exit_status.h"
#include "demo/demo_databases.h"
#include "oracle/oci_library.h"
#include "ui/control_panel.h"
#include "ui/find_dialog.h"
#include "ui/parameters_dialog.h"
#include "ui/qt_text.h"
#include "ui/report_printer.h"
#include "ui/report_view.h"
#include "ui/screenshots.h"
#include "ui/sql_compare_dialog.h"
#include "ui/window_settings.h"

namespace velmora::ui {

namespace {


constexpr const char* kReportFilter = "RTF Format (*.rtf);;Text Format (*.txt)";
constexpr const char* kConfigurationFilter = "Velmora Config Files (*.dbo)";

}  // namespace

MainWindow::MainWindow(SettingsStore& settings, AppArguments arguments, QWidget* parent)
    : QMainWindow(parent),
      settings_(settings),
      userSettings_(settings),
      arguments_(std::move(arguments)),
      prompter1_(this, 1),
      prompter2_(this, 2) {
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(QString::fromLatin1(kApplicationName));
  loadOptionsFromSettings(settings_, options_);
  host_.setAsker([this](const QString& text, Buttons buttons) { return showMessage(text, buttons); });
  host_.answerUnattended(arguments_.unattended());

  view_ = new ReportView(this);
  view_->setObjectName(QStringLiteral("report"));
  setCentralWidget(view_);
  panel_ = new ControlPanel(this);
  addDockWidget(Qt::RightDockWidgetArea, panel_);
  panel_->hide();
  find_ = new FindDialog(this);

  databases_ = new QLabel(this);
  statusBar()->addPermanentWidget(databases_);
  statusBar()->showMessage(QStringLiteral("Ready"));

  refreshTimer_ = new QTimer(this);
  refreshTimer_->setInterval(1000);
  connect(refreshTimer_, &QTimer::timeout, this, &MainWindow::refreshCommands);

  oracle_.settings = &settings_;
  oracle_.host = &host_;
  oracle_.options = &options_;
  oracle_.libraryOverride = arguments_.ociLibrary;
  if (arguments_.demo && oracle_.libraryOverride.empty()) {
    oracle_.libraryOverride = DemoPaths::ofThisBuild().library;
  }
  buildActions();
  buildMenus();
  wireHost();
  makeComparison(oracle_);
  applyReportFont();
  updateDatabaseLabel();
  refreshCommands();
}

MainWindow::~MainWindow() {
  // The demo's preparation posts to this window: it ends first (it asks nothing).
  if (demoThread_.joinable()) demoThread_.join();
  // Nobody answers any more: a worker or a connect that asks gets its answer at once, and this
  // thread serves what they queued until they have ended.
  host_.answerUnattended(true);
  prompter1_.setClosing();
  prompter2_.setClosing();
  if (comparison_) {
    comparison_->requestStop();
    while (comparison_->isActive() || comparison_->opening(1) || comparison_->opening(2)) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    view_->detach();
    comparison_.reset();
  }
}

// The comparison of this window; made again (before any database is connected) when the demo
// needs another client library.
void MainWindow::makeComparison(const OracleEnvironment& environment) {
  if (comparison_) view_->detach();
  oracle_ = environment;
  comparison_ = std::make_unique<Comparison>(options_, host_, settings_, oracle_);
  finder_ = std::make_unique<ReportFinder>(comparison_->document(), host_);
  view_->attach(comparison_->document());
  RunDriver& driver = comparison_->driver();
  driver.setSaveFileChooser([this] { return chooseReportFile(); });
  driver.setSqlCompareDialog([this](ComparisonOptions& options) {
    SqlCompareDialog dialog(options, *comparison_, userSettings_, &prompter1_, &prompter2_, this);
    const bool started = dialog.exec() == QDialog::Accepted;
    updateDatabaseLabel();
    return started;
  });
  driver.setConnectionCheck([this] {
    return comparison_->database(1) != nullptr && comparison_->database(2) != nullptr;
  });
  useParametersDialog(parametersDialog_);
}

void MainWindow::setSaveChooser(std::function<std::optional<std::string>()> chooser) {
  saveChooser_ = std::move(chooser);
}

void MainWindow::buildActions() {
  auto action = [this](const QString& text, const QKeySequence& keys, auto slot) {
    auto* created = new QAction(text, this);
    if (!keys.isEmpty()) created->setShortcut(keys);
    connect(created, &QAction::triggered, this, slot);
    return created;
  };
  start_ = action(QStringLiteral("&Start Velmora for Oracle"), QKeySequence(QStringLiteral("Ctrl+N")),
                  &MainWindow::startRun);
  start_->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  rerun_ = action(QStringLiteral("Rerun Last"), QKeySequence(QStringLiteral("Ctrl+L")), [this] {
    if (comparison_->rerunLast()) runBegan();
    refreshCommands();
  });
  rerun_->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
  pause_ = action(QStringLiteral("&Pause..."), QKeySequence(QStringLiteral("Ctrl+P")), [this] {
    comparison_->pause();
    refreshCommands();
  });
  pause_->setIcon(style()->standardIcon(QStyle::SP_MediaPause));
  resume_ = action(QStringLiteral("&Resume..."), QKeySequence(QStringLiteral("Ctrl+R")), [this] {
    comparison_->resume();
    // Output goes on at the end, whatever the user selected meanwhile.
    QTextCursor cursor = view_->textCursor();
    cursor.movePosition(QTextCursor::End);
    view_->setTextCursor(cursor);
    refreshCommands();
  });
  resume_->setIcon(style()->standardIcon(QStyle::SP_MediaSeekForward));
  skip_ = action(QStringLiteral("S&kip..."), QKeySequence(QStringLiteral("Ctrl+K")), [this] {
    comparison_->skip();
    refreshCommands();
  });
  skip_->setIcon(style()->standardIcon(QStyle::SP_MediaSkipForward));
  stop_ = action(QStringLiteral("&Stop..."), QKeySequence(QStringLiteral("Ctrl+T")), [this] {
    comparison_->stop();
    refreshCommands();
  });
  stop_->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
  findAction_ = action(QStringLiteral("&Find..."), QKeySequence(QStringLiteral("Ctrl+F")),
                       &MainWindow::showFind);
  findNext_ = action(QStringLiteral("Find &Next"), QKeySequence(QStringLiteral("F3")),
                     &MainWindow::findNext);
  connect1_ = action(QStringLiteral("Select Database &1..."), QKeySequence(),
                     [this] { connectDatabase(1, ""); });
  connect2_ = action(QStringLiteral("Select Database &2..."), QKeySequence(),
                     [this] { connectDatabase(2, ""); });
  openConfiguration_ = action(QStringLiteral("&Open Configuration"),
                              QKeySequence(QStringLiteral("Ctrl+O")), &MainWindow::openConfiguration);
  saveConfiguration_ = action(QStringLiteral("&Save Configuration"), QKeySequence(),
                              [this] { saveConfiguration(false); });
  saveConfigurationAs_ = action(QStringLiteral("Save &Configuration as..."), QKeySequence(),
                                [this] { saveConfiguration(true); });
  demo_ = action(QStringLiteral("Run the &Demo"), QKeySequence(), &MainWindow::startDemo);
  startSql_ = action(QStringLiteral("Start SQL Compare"), QKeySequence(QStringLiteral("Ctrl+J")), [this] {
    if (comparison_->driver().startSqlCompare()) runBegan();
    updateDatabaseLabel();
    refreshCommands();
  });
  rerunSql_ = action(QStringLiteral("R&erun Last SQL Compare"), QKeySequence(QStringLiteral("Ctrl+M")),
                     [this] {
                       if (comparison_->driver().rerunLastSqlCompare()) runBegan();
                       refreshCommands();
                     });

  modes_ = new QActionGroup(this);
  const QString modeNames[] = {QStringLiteral("Comparison &Report"), QStringLiteral("&Upgrade Script"),
                               QStringLiteral("Script &Database 1")};
  for (int mode = 0; mode < 3; ++mode) {
    QAction* choice = modes_->addAction(modeNames[mode]);
    choice->setCheckable(true);
    choice->setData(mode);
    choice->setChecked(options_.i_DoingUpgradeScript == mode);
  }
  connect(modes_, &QActionGroup::triggered, this, [this](QAction* choice) {
    options_.i_DoingUpgradeScript = choice->data().toInt();
    options_.setDerivedValues();
  });

  connect(panel_, &ControlPanel::resumeClicked, resume_, &QAction::trigger);
  connect(panel_, &ControlPanel::skipClicked, skip_, &QAction::trigger);
  connect(panel_, &ControlPanel::pauseClicked, pause_, &QAction::trigger);
  connect(panel_, &ControlPanel::stopClicked, stop_, &QAction::trigger);
  connect(panel_, &ControlPanel::closeRequested, this, &MainWindow::closeControlPanel);
  connect(panel_, &ControlPanel::helpClicked, this, [this] {
    tell(QStringLiteral("PLAY resumes a paused run, SKIP leaves the current object (where "
                               "the phase allows it), PAUSE holds the run at the next object and "
                               "STOP ends it."),
                Buttons::Ok);
  });
  connect(find_, &FindDialog::findNextRequested, this, &MainWindow::findNext);
}

void MainWindow::buildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(openConfiguration_);
  file->addAction(saveConfiguration_);
  file->addAction(saveConfigurationAs_);
  file->addSeparator();
  for (int i = 0; i < 4; ++i) {
    recent_[i] = file->addAction(QString(), this, [this, i] {
      const std::string path = fromQt(recent_[i]->data().toString());
      if (!path.empty()) loadConfiguration(path);
    });
  }
  showRecentConfigurations();
  file->addSeparator();
  QAction* saveReportAction = file->addAction(QStringLiteral("S&ave Report"), this, &MainWindow::saveReport);
  saveReportAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
  file->addAction(QStringLiteral("Save R&eport As..."), this, &MainWindow::saveReportAs);
  file->addSeparator();
  QAction* printAction = file->addAction(QStringLiteral("&Print..."), this, &MainWindow::print);
  printAction->setStatusTip(QStringLiteral("Print the current report"));
  printAction->setIcon(QIcon::fromTheme(QStringLiteral("document-print"),
                                        style()->standardIcon(QStyle::SP_DialogSaveButton)));
  file->addAction(QStringLiteral("Print Pre&view"), this, &MainWindow::printPreview);
  file->addAction(QStringLiteral("Page Set&up..."), this, &MainWindow::pageSetup);
  file->addSeparator();
  QAction* exitAction = file->addAction(QStringLiteral("E&xit"), this, &QWidget::close);
  exitAction->setShortcut(QKeySequence::Quit);

  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  QAction* copy = edit->addAction(QStringLiteral("&Copy"), view_, &QPlainTextEdit::copy);
  copy->setShortcut(QKeySequence::Copy);
  QAction* selectAll = edit->addAction(QStringLiteral("Select &All"), view_, &QPlainTextEdit::selectAll);
  selectAll->setShortcut(QKeySequence::SelectAll);
  edit->addSeparator();
  edit->addAction(findAction_);
  edit->addAction(findNext_);

  QMenu* compare = menuBar()->addMenu(QStringLiteral("&Compare"));
  compare->addAction(connect1_);
  compare->addAction(connect2_);
  QMenu* output = compare->addMenu(QStringLiteral("&Output"));
  output->addActions(modes_->actions());
  compare->addSeparator();
  for (QAction* command : {start_, rerun_}) compare->addAction(command);
  compare->addAction(startSql_);
  compare->addAction(rerunSql_);
  compare->addSeparator();
  for (QAction* command : {pause_, resume_, skip_, stop_}) compare->addAction(command);

  toolBar_ = addToolBar(QStringLiteral("Toolbar"));
  toolBar_->setObjectName(QStringLiteral("toolBar"));
  for (QAction* command : {start_, rerun_, pause_, resume_, skip_, stop_}) toolBar_->addAction(command);
  toolBar_->addSeparator();
  toolBar_->addAction(printAction);

  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  QAction* showToolBar = toolBar_->toggleViewAction();
  showToolBar->setText(QStringLiteral("&Toolbar"));
  view->addAction(showToolBar);
  QAction* showStatusBar = view->addAction(QStringLiteral("&Status Bar"));
  showStatusBar->setCheckable(true);
  showStatusBar->setChecked(true);
  connect(showStatusBar, &QAction::toggled, statusBar(), &QWidget::setVisible);
  QAction* showPanel = panel_->toggleViewAction();
  showPanel->setText(QStringLiteral("&Control Panel"));
  view->addAction(showPanel);
  view->addSeparator();
  view->addAction(QStringLiteral("&Font..."), this, &MainWindow::chooseFont);

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->addAction(demo_);
  help->addSeparator();
  help->addAction(QStringLiteral("&About Velmora for Oracle..."), this, &MainWindow::about);
}

void MainWindow::wireHost() {
  connect(&host_, &GuiHost::statusChanged, this, [this](const QString& text) {
    panel_->setStatus(text);
    statusBar()->showMessage(text);
  });
  connect(&host_, &GuiHost::titleChanged, this, &QWidget::setWindowTitle);
  connect(&host_, &GuiHost::progressRangeChanged, panel_, &ControlPanel::setProgressRange);
  connect(&host_, &GuiHost::progressPositionChanged, panel_, &ControlPanel::setProgressPosition);
  connect(&host_, &GuiHost::progressStepped, panel_, &ControlPanel::stepProgress);
  connect(&host_, &GuiHost::objectsCleared, panel_, &ControlPanel::clearObjects);
  connect(&host_, &GuiHost::objectAdded, panel_, &ControlPanel::addObject);
  connect(&host_, &GuiHost::objectSelected, panel_, &ControlPanel::selectObject);
  connect(&host_, &GuiHost::runHasStarted, this, &MainWindow::refreshCommands);
  connect(&host_, &GuiHost::runHasEnded, this, &MainWindow::runEnded);
  connect(&host_, &GuiHost::savingShown, this, [this](int lines) {
    if (!saving_) {
      saving_ = new QProgressDialog(QStringLiteral("Saving report to file..."), QString(), 0,
                                    std::max(1, lines), this);
      saving_->setWindowTitle(QStringLiteral("Saving..."));
      saving_->setMinimumDuration(500);
    }
    saving_->setRange(0, std::max(1, lines));
    saving_->setValue(0);
  });
  connect(&host_, &GuiHost::savingAdvanced, this, [this] {
    if (saving_ && saving_->value() < saving_->maximum()) saving_->setValue(saving_->value() + 1);
  });
  connect(&host_, &GuiHost::savingHidden, this, [this] {
    if (saving_) saving_->deleteLater();
  });
  connect(&host_, &GuiHost::restoreRequested, this, [this] {
    if (isMinimized()) showNormal();
  });
  connect(&host_, &GuiHost::quitRequested, this, [](int status) { QCoreApplication::exit(status); });
  // The set of pictures holds one of a run under way: the run is paused as it begins to compare
  // indexes, the window catches up and is drawn, and the run goes on.
  connect(&host_, &GuiHost::statusChanged, this, [this](const QString& text) {
    if (arguments_.screenshots.empty() || midRunShot_ ||
        !text.startsWith(QStringLiteral("Comparing Indexes"))) {
      return;
    }
    midRunShot_ = true;
    comparison_->pause();
    refreshCommands();
    QTimer::singleShot(500, this, [this] {
      view_->applyPending();
      midRunSaved_ = saveWidgetPicture(*this, toQt(arguments_.screenshots),
                                       QStringLiteral("main-window-mid-run.png"));
      comparison_->resume();
      refreshCommands();
    });
  });
}

// The window's own messages go through the host like those of a run: one place shows them (and
// an unattended run or a test answers them).
void MainWindow::tell(const QString& text, Buttons buttons) { host_.ask(fromQt(text), buttons); }

Answer MainWindow::showMessage(const QString& text, Buttons buttons) {
  QMessageBox box(this);
  box.setWindowTitle(QString::fromLatin1(kApplicationName));
  box.setText(text);
  switch (buttons) {
    case Buttons::Ok:
      box.setIcon(QMessageBox::Information);
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case Buttons::YesNo:
      box.setIcon(QMessageBox::Question);
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case Buttons::YesNoCancel:
      box.setIcon(QMessageBox::Question);
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    case QMessageBox::Ok:
      return Answer::Ok;
    default:
      return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
  }
}

void MainWindow::refreshCommands() {
  const bool active = comparison_->isActive();
  const bool running = active && comparison_->driver().isRunning();
  const bool paused = comparison_->isPaused();
  const bool opening = comparison_->opening(1) || comparison_->opening(2);
  const bool idle = !active && !opening && !demoStarting_;
  start_->setEnabled(idle);
  rerun_->setEnabled(idle && comparison_->driver().rerunAvailable());
  pause_->setEnabled(running && !paused);
  resume_->setEnabled(running && paused);
  skip_->setEnabled(comparison_->canSkip());
  stop_->setEnabled(running);
  connect1_->setEnabled(idle);
  connect2_->setEnabled(idle);
  openConfiguration_->setEnabled(idle);
  saveConfiguration_->setEnabled(idle && !comparison_->configurationFile().empty());
  for (QAction* file : recent_) file->setEnabled(idle);
  saveConfigurationAs_->setEnabled(
      idle && (comparison_->driver().rerunAvailable() || !comparison_->configurationFile().empty()));
  demo_->setEnabled(idle);
  startSql_->setEnabled(idle);
  rerunSql_->setEnabled(idle && comparison_->driver().sqlCompareRan());
  for (QAction* mode : modes_->actions()) mode->setEnabled(idle);
  panel_->setCommandStates(resume_->isEnabled(), skip_->isEnabled(), pause_->isEnabled(),
                           stop_->isEnabled());
  if (active) {
    if (!refreshTimer_->isActive()) refreshTimer_->start();
  } else {
    refreshTimer_->stop();
  }
}

void MainWindow::useParametersDialog(bool on) {
  parametersDialog_ = on;
  if (on) {
    comparison_->driver().setParametersDialog(
        [this](ComparisonOptions& options) { return showParameters(options); });
  } else {
    comparison_->driver().setParametersDialog(nullptr);
  }
}

DialogResult MainWindow::showParameters(ComparisonOptions& options) {
  ParametersDialog dialog(options, *comparison_, userSettings_, &prompter1_, &prompter2_, this);
  const DialogResult result = dialog.run();
  QAction* mode = modes_->actions().value(options_.i_DoingUpgradeScript);
  if (mode) mode->setChecked(true);
  updateDatabaseLabel();
  return result;
}

void MainWindow::startWithoutDialog() {
  const bool withDialog = parametersDialog_;
  useParametersDialog(false);
  startRun();
  useParametersDialog(withDialog);
}

void MainWindow::startRun() {
  if (comparison_->start()) runBegan();
  refreshCommands();
}

// A new run replaces the control panel's content and shows it.
void MainWindow::runBegan() {
  panel_->reset();
  panel_->show();
  setWindowTitle(QStringLiteral("Retrieving Databases Information - Velmora for Oracle"));
}

void MainWindow::runEnded() {
  // The worker has written its last line and asked its last question: joining it is safe. This
  // event may come late, after the next run began (the commands are enabled as soon as the
  // worker is no longer active); that run's start joined this worker already, and the new one
  // must not be waited for here.
  if (comparison_->isActive()) {
    refreshCommands();
    return;
  }
  comparison_->waitForEnd();
  refreshCommands();
  statusBar()->showMessage(comparison_->lastOutcome() == RunOutcome::Stopped
                               ? QStringLiteral("Stopped")
                               : QStringLiteral("Finished"));
  if (closePending_) {
    closePending_ = false;
    close();
    return;
  }
  if (arguments_.unattended()) finishUnattended();
}

void MainWindow::closeControlPanel() {
  if (!comparison_->driver().closeControlPanel()) return;  // "Please wait ..." was shown
  panel_->closeForGood();
}

void MainWindow::connectDatabase(int number, const std::string& text) {
  if (comparison_->isActive()) return;
  GuiLoginPrompter* prompter = number == 1 ? &prompter1_ : &prompter2_;
  const bool started = comparison_->openAsync(number, text, prompter, [this](int opened, const OpenReport& report) {
    QMetaObject::invokeMethod(this, [this, opened, report] { connected(opened, report); },
                              Qt::QueuedConnection);
  });
  if (started) statusBar()->showMessage(QStringLiteral("Connecting Database %1 ...").arg(number));
  refreshCommands();
}

void MainWindow::connected(int number, const OpenReport& report) {
  comparison_->waitForOpen(number);
  updateDatabaseLabel();
  refreshCommands();
  switch (report.result) {
    case OpenResult::Connected:
      statusBar()->showMessage(QStringLiteral("Database %1 connected").arg(number), 5000);
      break;
    case OpenResult::ClientMissing:
      if (arguments_.unattended()) {
        failUnattended(exit_status::kNoClient, QString::fromLatin1(OciLibrary::kClientMissingMessage));
      } else {
        tell(QString::fromLatin1(OciLibrary::kClientMissingMessage), Buttons::Ok);
      }
      demoStarting_ = false;
      refreshCommands();
      return;
    case OpenResult::SchemaMissing:
      tell(toQt(report.problem), Buttons::Ok);
      [[fallthrough]];
    case OpenResult::NotConnected:
      statusBar()->showMessage(QStringLiteral("Database %1 is not connected").arg(number), 5000);
      if (demoStarting_) {
        demoStarting_ = false;
        if (arguments_.unattended()) {
          failUnattended(exit_status::kNotConnected,
                         QStringLiteral("could not connect Database %1 of the demo").arg(number));
        }
        refreshCommands();
      }
      return;
  }
  if (!demoStarting_) return;
  if (number == 1) {
    connectDatabase(2, std::string(kDemoLogin) + "@" + kDemoAlias2);
    return;
  }
  demoStarting_ = false;
  refreshCommands();
  startWithoutDialog();
  if (!comparison_->isActive() && arguments_.unattended()) {
    failUnattended(exit_status::kStopped, QStringLiteral("the demo comparison did not start"));
  }
}

void MainWindow::updateDatabaseLabel() {
  auto name = [this](int number) {
    DatabaseConnection* database = comparison_->database(number);
    return database ? toQt(database->displayName()) : QStringLiteral("not connected");
  };
  databases_->setText(QStringLiteral("Database 1: %1   Database 2: %2").arg(name(1), name(2)));
}

std::optional<std::string> MainWindow::chooseReportFile() {
  if (saveChooser_) return saveChooser_();
  QFileDialog dialog(this, QStringLiteral("Save Report"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(QString::fromLatin1(kReportFilter).split(QStringLiteral(";;")));
  dialog.setDefaultSuffix(QStringLiteral("rtf"));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return fromQt(dialog.selectedFiles().first());
}

void MainWindow::saveReport() { comparison_->output().saveReport([this] { return chooseReportFile(); }); }

void MainWindow::saveReportAs() {
  if (const std::optional<std::string> path = chooseReportFile()) {
    comparison_->output().saveReportTo(*path);
  }
}

QPrinter& MainWindow::printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

void MainWindow::print() {
  view_->applyPending();
  QPrintDialog dialog(&printer(), this);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  if (dialog.exec() != QDialog::Accepted) return;
  const PrintResult result = printReport(printer(), *view_->document());
  if (!result.message.isEmpty()) {
    QMessageBox::warning(this, QString::fromLatin1(kApplicationName), result.message);
  }
}

void MainWindow::printPreview() {
  view_->applyPending();
  QPrintPreviewDialog preview(&printer(), this);
  preview.setWindowTitle(QStringLiteral("Print Preview - Velmora for Oracle"));
  connect(&preview, &QPrintPreviewDialog::paintRequested, this,
          [this](QPrinter* target) { printReport(*target, *view_->document()); });
  preview.resize(900, 700);
  preview.exec();
}

void MainWindow::pageSetup() {
  QPageSetupDialog dialog(&printer(), this);
  dialog.exec();
}

void MainWindow::applyReportFont() { view_->setReportFont(reportQFont(userSettings_.reportFont())); }

void MainWindow::chooseFont() {
  bool chosen = false;
  const ReportFont stored = userSettings_.reportFont();
  const QFont font = QFontDialog::getFont(&chosen, reportQFont(stored), this,
                                          QStringLiteral("Report Font"),
                                          QFontDialog::MonospacedFonts);
  if (!chosen) return;
  userSettings_.saveReportFont(reportFontOf(font, stored));
  applyReportFont();
}

void MainWindow::showFind() {
  finder_->startAtTop();
  find_->show();
  find_->raise();
  find_->activateWindow();
  find_->textField()->setFocus();
  find_->textField()->selectAll();
}

void MainWindow::findNext() {
  const QString what = find_->text();
  if (what.isEmpty()) {
    showFind();
    return;
  }
  view_->applyPending();
  const std::optional<ReportSelection> found =
      finder_->findNext(fromQt(what), find_->matchCase(), find_->wholeWord());
  if (found) view_->selectDocumentRange(found->start, found->length);
}

// The title after a configuration file became the current one: the step shown now (cut before
// its first "-"), the application, and the file without ".dbo".
QString configurationTitle(const QString& current, const std::string& path) {
  QString step = current.section(QLatin1Char('-'), 0, 0).trimmed();
  QString file = toQt(path);
  if (file.endsWith(QStringLiteral(".dbo"), Qt::CaseInsensitive)) file.chop(4);
  return step + QStringLiteral(" - Velmora for Oracle - ") + file;
}

std::optional<std::string> chooseConfigurationFile(QWidget* parent, bool save) {
  QFileDialog dialog(parent, save ? QStringLiteral("Save Configuration") : QStringLiteral("Open Configuration"));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilter(QString::fromLatin1(kConfigurationFilter));
  dialog.setDefaultSuffix(QStringLiteral("dbo"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return fromQt(dialog.selectedFiles().first());
}

void MainWindow::openConfiguration() {
  const std::optional<std::string> path = chooseConfigurationFile(this, false);
  if (!path) return;
  loadConfiguration(*path);
}

void MainWindow::loadConfiguration(const std::string& path) {
  const Status status = comparison_->loadConfiguration(path, &prompter1_, true);
  if (!status) tell(toQt(status.message()), Buttons::Ok);
  if (comparison_->configurationFile() == path) {
    setWindowTitle(configurationTitle(windowTitle(), path));
    rememberConfiguration(path);
  }
  finder_->startAtTop();
  QAction* mode = modes_->actions().value(options_.i_DoingUpgradeScript);
  if (mode) mode->setChecked(true);
  updateDatabaseLabel();
  refreshCommands();
}

void MainWindow::saveConfiguration(bool choose) {
  std::string path = comparison_->configurationFile();
  if (choose || path.empty()) {
    const std::optional<std::string> chosen = chooseConfigurationFile(this, true);
    if (!chosen) return;
    path = *chosen;
  }
  const Status status = comparison_->saveConfiguration(path);
  if (!status) {
    tell(toQt(status.message()), Buttons::Ok);
  } else {
    setWindowTitle(configurationTitle(windowTitle(), path));
    rememberConfiguration(path);
  }
  refreshCommands();
}

// The recent configuration files ("Recent File List", File1 to File4, newest first).
void MainWindow::rememberConfiguration(const std::string& path) {
  std::vector<std::string> files{path};
  for (int i = 1; i <= 4; ++i) {
    const std::string file = settings_.getString("Recent File List", "File" + std::to_string(i), "");
    if (!file.empty() && file != path && files.size() < 4) files.push_back(file);
  }
  for (int i = 0; i < 4; ++i) {
    settings_.setString("Recent File List", "File" + std::to_string(i + 1),
                        i < int(files.size()) ? files[size_t(i)] : "");
  }
  showRecentConfigurations();
}

void MainWindow::showRecentConfigurations() {
  for (int i = 0; i < 4; ++i) {
    const QString file = toQt(settings_.getString("Recent File List", "File" + std::to_string(i + 1), ""));
    recent_[i]->setData(file);
    recent_[i]->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(file).fileName()));
    recent_[i]->setToolTip(file);
    recent_[i]->setVisible(!file.isEmpty());
  }
}

void MainWindow::about() {
  QMessageBox::about(this, QStringLiteral("About Velmora for Oracle"),
                     QStringLiteral("<b>Velmora for Oracle</b> %1<br><br>Compares two Oracle "
                                    "databases and writes a colour comparison report, an upgrade "
                                    "script that makes Database 2 like Database 1, or a creation "
                                    "script of Database 1.")
                         .arg(QStringLiteral(VELMORA_VERSION)));
}

void MainWindow::showAsSaved() {
  const MainWindowSettings saved = userSettings_.mainWindow();
  resize(saved.width, saved.height);
  QList<QRect> screens;
  for (const QScreen* screen : QGuiApplication::screens()) screens.append(screen->availableGeometry());
  if (const std::optional<QPoint> position = windowPosition(saved, screens)) move(*position);
  if (!arguments_.configurationFile.empty()) {
    showMinimized();  // a run from the command line starts minimized
  } else if (saved.maximized) {
    showMaximized();
  } else {
    show();
  }
}

// The size kept is the window's own area, without the frame a window manager draws around it
// (its width differs between desktops), so that the window opens again exactly as large; the
// position is the frame's corner, as move() takes it. A maximised window keeps its normal place.
void MainWindow::saveWindowSettings() {
  const bool maximized = isMaximized();
  const QRect kept = maximized ? normalGeometry() : QRect(pos(), size());
  userSettings_.saveMainWindow(kept.width(), kept.height(), maximized, kept.left(), kept.top());
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (comparison_->isActive()) {
    // A run is active: stop it first (the usual question); the window closes when it has ended.
    if (comparison_->stop()) closePending_ = true;
    refreshCommands();
    event->ignore();
    return;
  }
  if (comparison_->opening(1) || comparison_->opening(2) || demoStarting_) {
    event->ignore();
    return;
  }
  if (!arguments_.unattended() &&
      !comparison_->output().offerSave([this] { return chooseReportFile(); })) {
    event->ignore();
    return;
  }
  saveWindowSettings();
  saveOptionsToSettings(settings_, options_);
  find_->close();
  event->accept();
}

}  // namespace velmora::ui
