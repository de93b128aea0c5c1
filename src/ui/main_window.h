// MainWindow: the desktop application's window and the hub of a comparison (what the report view
// is in the design): it owns the options, the comparison (run driver, both databases, report),
// the host that brings the run's calls to this thread, the report view, the control panel and the
// Find dialog. Menus, tool bar and status bar drive the comparison's commands; a one-second timer
// refreshes the commands while a run is active. Closing asks first when a run is active or the
// report is unsaved, and never waits for a worker that may be asking a question.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <thread>

#include "base/comparison_options.h"
#include "base/report_find.h"
#include "comparison/comparison.h"
#include "config/registry_settings.h"
#include "ui/app_arguments.h"
#include "ui/gui_host.h"
#include "ui/login_dialogs.h"

class QAction;
class QActionGroup;
class QLabel;
class QPrinter;
class QProgressDialog;
class QTimer;
class QToolBar;

namespace velmora::ui {

class ControlPanel;
class FindDialog;
class ReportView;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow(SettingsStore& settings, AppArguments arguments, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The window as the settings place it (size, maximised, a saved position on a present screen).
  void showAsSaved();
  // What the command line asks once the window shows: the demo, or a configuration file's run.
  void startFromArguments();

  Comparison& comparison() { return *comparison_; }
  ComparisonOptions& options() { return options_; }
  GuiHost& host() { return host_; }
  ReportView* reportView() const { return view_; }
  ControlPanel* controlPanel() const { return panel_; }
  FindDialog* findDialog() const { return find_; }

  // The commands, for the menus, the tool bar and the tests.
  QAction* startAction() const { return start_; }
  QAction* rerunAction() const { return rerun_; }
  QAction* pauseAction() const { return pause_; }
  QAction* resumeAction() const { return resume_; }
  QAction* skipAction() const { return skip_; }
  QAction* stopAction() const { return stop_; }
  QAction* findNextAction() const { return findNext_; }
  QAction* startSqlCompareAction() const { return startSql_; }
  QAction* rerunSqlCompareAction() const { return rerunSql_; }

  // Tests: runs start without the parameters dialog (with the options as they are); the save
  // dialog's answer.
  void useParametersDialog(bool on);
  void setSaveChooser(std::function<std::optional<std::string>()> chooser);
  // The exit status of a run that ends the application by itself (0 until something failed).
  int unattendedStatus() const { return unattendedStatus_; }

  void refreshCommands();
  void startRun();
  // The demo's start: the options as they are, no parameters dialog.
  void startWithoutDialog();
  void findNext();
  void connectDatabase(int number, const std::string& text);
  // Load of a configuration file (Open Configuration after its file dialog).
  void loadConfiguration(const std::string& path);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void makeComparison(const OracleEnvironment& environment);
  DialogResult showParameters(ComparisonOptions& options);
  void buildActions();
  void buildMenus();
  void wireHost();
  void runBegan();
  void runEnded();
  void connected(int number, const OpenReport& report);
  void updateDatabaseLabel();
  Answer showMessage(const QString& text, Buttons buttons);
  void tell(const QString& text, Buttons buttons = Buttons::Ok);
  std::optional<std::string> chooseReportFile();
  void saveReport();
  void saveReportAs();
  void print();
  void printPreview();
  void pageSetup();
  void chooseFont();
  void applyReportFont();
  void showFind();
  void openConfiguration();
  void saveConfiguration(bool choose);
  void rememberConfiguration(const std::string& path);
  void showRecentConfigurations();
  void about();
  void closeControlPanel();
  void startDemo();
  void demoPrepared(const std::string& failure, const std::string& work,
                    const std::string& library);
  void finishUnattended();
  void failUnattended(int status, const QString& message);
  QPrinter& printer();
  void saveWindowSettings();

  SettingsStore& settings_;
  UserSettings userSettings_;
  AppArguments arguments_;
  ComparisonOptions options_;
  GuiHost host_;
  GuiLoginPrompter prompter1_;
  GuiLoginPrompter prompter2_;
  OracleEnvironment oracle_;
  std::unique_ptr<Comparison> comparison_;
  std::unique_ptr<ReportFinder> finder_;
  std::unique_ptr<QPrinter> printer_;
  std::function<std::optional<std::string>()> saveChooser_;
  std::thread demoThread_;  // prepares the demo databases

  ReportView* view_ = nullptr;
  ControlPanel* panel_ = nullptr;
  FindDialog* find_ = nullptr;
  QLabel* databases_ = nullptr;
  QTimer* refreshTimer_ = nullptr;
  QPointer<QProgressDialog> saving_;

  QAction* start_ = nullptr;
  QAction* rerun_ = nullptr;
  QAction* pause_ = nullptr;
  QAction* resume_ = nullptr;
  QAction* skip_ = nullptr;
  QAction* stop_ = nullptr;
  QAction* findAction_ = nullptr;
  QAction* findNext_ = nullptr;
  QAction* connect1_ = nullptr;
  QAction* connect2_ = nullptr;
  QAction* openConfiguration_ = nullptr;
  QAction* saveConfiguration_ = nullptr;
  QAction* saveConfigurationAs_ = nullptr;
  QAction* demo_ = nullptr;
  QAction* startSql_ = nullptr;
  QAction* recent_[4] = {};  // the configuration files used last, newest first
  QAction* rerunSql_ = nullptr;
  QActionGroup* modes_ = nullptr;
  QToolBar* toolBar_ = nullptr;

  bool parametersDialog_ = true;
  bool closePending_ = false;   // the user closed the window during a run: close when it ends
  bool demoStarting_ = false;   // the demo is preparing or connecting its databases
  int unattendedStatus_ = 0;
  bool midRunShot_ = false;     // the run was paused for the mid-run picture of --screenshots
  bool midRunSaved_ = false;    // ... and the picture was saved
  bool midRunWaited_ = false;   // the end of the run waited once for that picture
};

}  // namespace velmora::ui
