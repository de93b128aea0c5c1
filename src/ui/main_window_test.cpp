#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolButton>
#include <atomic>
#include <fstream>
#include <sstream>

#include "base/rtf_writer.h"
#include "config/memory_settings_store.h"
#include "run/run_context.h"
#include "ui/control_panel.h"
#include "ui/find_dialog.h"
#include "ui/report_view.h"
#include "test_support/ui_test_support.h"

namespace velmora::ui {
namespace {

using test::ScriptedAsker;
using test::waitUntil;

// Only the sequence phase runs (Skip is allowed there); the test gives it its work.
void onlySequencePhase(ComparisonOptions& options) {
  for (int ComparisonOptions::*phase :
       {&ComparisonOptions::b_DoPriv, &ComparisonOptions::b_DoStruct, &ComparisonOptions::b_DoData,
        &ComparisonOptions::b_DoIndex, &ComparisonOptions::b_DoConst,
        &ComparisonOptions::b_DoViewStruct, &ComparisonOptions::b_DoViewData,
        &ComparisonOptions::b_DoTrigger, &ComparisonOptions::b_DoViewSource,
        &ComparisonOptions::b_DoFunc, &ComparisonOptions::b_DoPack,
        &ComparisonOptions::b_DoPackBody, &ComparisonOptions::b_DoStpCode,
        &ComparisonOptions::b_DoType, &ComparisonOptions::b_DoTypeBody}) {
    options.*phase = 0;
  }
  options.b_DoSeq = 1;
}

// A phase that writes a line per object and waits at a gate between objects, passing the
// checkpoint each time as every comparer does.
struct GatedPhase {
  std::atomic<int> objects{0};
  std::atomic<bool> open{false};
  std::atomic<bool> skipped{false};

  void operator()(RunContext& context) {
    for (int i = 0; i < 1000; ++i) {
      context.checkpoint();
      if (context.skipRequested()) {
        context.clearSkipRequest();
        skipped = true;
        context.output().write("\r\nSequences Skipped ...", ReportColour::Maroon);
      }
      context.output().write("\r\nSEQUENCE_" + std::to_string(i), ReportColour::Blue);
      ++objects;
      if (open) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<MainWindow>(settings, AppArguments{});
    window->host().setAsker([this](const QString& text, Buttons buttons) { return asker(text, buttons); });
    window->useParametersDialog(false);
    onlySequencePhase(window->options());
    window->comparison().driver().phases().setRunner(PhaseId::Sequences,
                                                     [this](RunContext& context) { phase(context); });
    window->show();
  }
  void TearDown() override {
    phase.open = true;
    window.reset();
  }

  bool commandsAre(bool start, bool pause, bool resume, bool skip, bool stop) {
    window->refreshCommands();
    return window->startAction()->isEnabled() == start &&
           window->pauseAction()->isEnabled() == pause &&
           window->resumeAction()->isEnabled() == resume &&
           window->skipAction()->isEnabled() == skip && window->stopAction()->isEnabled() == stop;
  }

  MemorySettingsStore settings;
  ScriptedAsker asker;
  GatedPhase phase;
  std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, RunCommandsFollowTheRunThroughPauseSkipStopAndRerun) {
  EXPECT_TRUE(commandsAre(true, false, false, false, false));
  EXPECT_FALSE(window->rerunAction()->isEnabled());

  window->startAction()->trigger();
  ASSERT_TRUE(waitUntil([&] { return phase.objects > 2; }));
  EXPECT_TRUE(commandsAre(false, true, false, true, true));
  // The control panel's picture buttons follow the commands.
  ControlPanel* panel = window->controlPanel();
  EXPECT_TRUE(panel->isVisible());
  EXPECT_TRUE(panel->pauseButton()->isEnabled());
  EXPECT_FALSE(panel->playButton()->isEnabled());

  window->pauseAction()->trigger();
  EXPECT_TRUE(commandsAre(false, false, true, false, true));
  EXPECT_TRUE(panel->playButton()->isEnabled());
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Paused - Velmora for Oracle"));
  const int whilePaused = phase.objects;
  test::serve(200);
  EXPECT_LE(phase.objects - whilePaused, 1);  // at most the object under way when paused

  window->resumeAction()->trigger();
  EXPECT_TRUE(commandsAre(false, true, false, true, true));
  window->skipAction()->trigger();
  ASSERT_TRUE(waitUntil([&] { return phase.skipped.load(); }));

  // Stop asks first; No keeps the run going, Yes stops it.
  asker.answers = {Answer::No};
  window->stopAction()->trigger();
  EXPECT_TRUE(window->comparison().isActive());
  asker.answers = {Answer::Yes};
  window->stopAction()->trigger();
  ASSERT_TRUE(waitUntil([&] { return !window->comparison().isActive(); }));
  EXPECT_TRUE(commandsAre(true, false, false, false, false));
  EXPECT_TRUE(window->rerunAction()->isEnabled());
  EXPECT_TRUE(asker.texts.contains(QStringLiteral("Velmora for Oracle has been stopped.")));
  window->reportView()->applyPending();
  EXPECT_TRUE(window->reportView()->toPlainText().contains(QStringLiteral("Velmora Stopped ...")));

  // The control panel stays open after the run, and now closes.
  window->controlPanel()->closeButton()->click();
  EXPECT_FALSE(window->controlPanel()->isVisible());

  // Rerun Last: the unsaved report is offered for saving first (No), then the run goes again.
  phase.open = true;
  asker.answers = {Answer::No};
  window->rerunAction()->trigger();
  ASSERT_TRUE(waitUntil([&] { return !window->comparison().isActive() &&
                                     window->comparison().lastOutcome() == RunOutcome::Finished; }));
  EXPECT_TRUE(asker.allOnUserThread);
}

TEST_F(MainWindowTest, TheControlPanelStaysOpenWhileARunIsActive) {
  window->startAction()->trigger();
  ASSERT_TRUE(waitUntil([&] { return phase.objects > 0; }));
  window->controlPanel()->closeButton()->click();
  EXPECT_TRUE(window->controlPanel()->isVisible());
  EXPECT_TRUE(asker.texts.contains(
      QStringLiteral("Please wait until Velmora is finished to close the control panel.")));
  phase.open = true;
  ASSERT_TRUE(waitUntil([&] { return !window->comparison().isActive(); }));
}

TEST_F(MainWindowTest, AQuestionOfTheWorkerIsAnsweredOnTheUserThread) {
  Answer answer = Answer::Cancel;
  window->comparison().driver().phases().setRunner(PhaseId::Sequences, [&](RunContext& context) {
    answer = context.host().ask("Continue with the next schema?", Buttons::YesNo);
  });
  asker.answers = {Answer::Yes};
  window->startAction()->trigger();
  ASSERT_TRUE(waitUntil([&] { return !window->comparison().isActive(); }));
  EXPECT_EQ(answer, Answer::Yes);
  ASSERT_FALSE(asker.texts.isEmpty());
  EXPECT_EQ(asker.texts.first(), QStringLiteral("Continue with the next schema?"));
  EXPECT_TRUE(asker.allOnUserThread);
}

TEST_F(MainWindowTest, ClosingDuringARunStopsItAndClosesWhenItHasEnded) {
  window->startAction()->trigger();
  ASSERT_TRUE(waitUntil([&] { return phase.objects > 0; }));
  // No: the run and the window go on.
  asker.answers = {Answer::No};
  window->close();
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->comparison().isActive());
  // Yes to the stop; the stopped message; No to saving the report: the window closes.
  asker.answers = {Answer::Yes, Answer::Ok, Answer::No};
  window->close();
  ASSERT_TRUE(waitUntil([&] { return !window->isVisible(); }));
  EXPECT_FALSE(window->comparison().isActive());
  EXPECT_EQ(window->comparison().lastOutcome(), RunOutcome::Stopped);
  EXPECT_TRUE(asker.texts.contains(
      QStringLiteral("The report has not been saved. Do you wish to save it?")));
}

TEST_F(MainWindowTest, FindNextSelectsEachMatchAndWrapsAroundAfterAsking) {
  phase.open = true;
  window->comparison().driver().phases().setRunner(PhaseId::Sequences, [](RunContext& context) {
    context.output().write("\r\nORDERS_SEQ\r\norders_seq\r\nCUSTOMERS_SEQ", ReportColour::Blue);
  });
  window->startAction()->trigger();
  ASSERT_TRUE(waitUntil([&] { return !window->comparison().isActive(); }));

  FindDialog* find = window->findDialog();
  find->textField()->setText(QStringLiteral("ORDERS_SEQ"));
  window->findNextAction()->trigger();
  ReportView* view = window->reportView();
  EXPECT_EQ(view->textCursor().selectedText(), QStringLiteral("ORDERS_SEQ"));
  const int first = view->textCursor().selectionStart();
  // Without match case the lower-case line matches next.
  window->findNextAction()->trigger();
  EXPECT_EQ(view->textCursor().selectedText(), QStringLiteral("orders_seq"));
  // At the end: the question; Yes goes on from the top.
  asker.answers = {Answer::Yes};
  window->findNextAction()->trigger();
  EXPECT_TRUE(asker.texts.contains(QStringLiteral(
      "Velmora for Oracle has reached the end of the report. Do you wish to continue from the top?")));
  EXPECT_EQ(view->textCursor().selectionStart(), first);

  find->textField()->setText(QStringLiteral("NO_SUCH_SEQUENCE"));
  asker.texts.clear();
  asker.answers = {Answer::Yes};
  window->findNextAction()->trigger();
  EXPECT_TRUE(asker.texts.contains(QStringLiteral("Could not find specified text")));
}

TEST_F(MainWindowTest, SaveReportWritesTheCoresTextAndRtf) {
  phase.open = true;
  window->comparison().driver().phases().setRunner(PhaseId::Sequences, [](RunContext& context) {
    context.output().write("\r\nNAME", ReportColour::Red, true);
    context.output().write("\r\nvalue {with} \\braces\\", ReportColour::Blue);
  });
  window->startAction()->trigger();
  ASSERT_TRUE(waitUntil([&] { return !window->comparison().isActive(); }));
  QTemporaryDir folder;
  const std::string rtfPath = folder.filePath(QStringLiteral("report.RTF")).toStdString();
  const std::string textPath = folder.filePath(QStringLiteral("report.txt")).toStdString();
  auto read = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
  };

  std::string chosen = rtfPath;
  window->setSaveChooser([&] { return std::optional<std::string>(chosen); });
  const ReportSnapshot snapshot = window->comparison().document().snapshot();
  for (QAction* action : window->findChildren<QAction*>()) {
    if (action->text() == QStringLiteral("Save R&eport As...")) action->trigger();
  }
  EXPECT_EQ(read(rtfPath), toRtf(snapshot) + "\n");
  chosen = textPath;
  for (QAction* action : window->findChildren<QAction*>()) {
    if (action->text() == QStringLiteral("Save R&eport As...")) action->trigger();
  }
  EXPECT_EQ(read(textPath), snapshot.text);
}

TEST_F(MainWindowTest, ConfigurationFilesKeepTheOptionsAndNameTheWindow) {
  QTemporaryDir folder;
  const std::string path = folder.filePath(QStringLiteral("nightly.dbo")).toStdString();
  // Save Configuration as is there once a run could be rerun; Save once a file is current.
  QAction* saveAs = nullptr;
  QAction* save = nullptr;
  for (QAction* action : window->findChildren<QAction*>()) {
    if (action->text() == QStringLiteral("Save &Configuration as...")) saveAs = action;
    if (action->text() == QStringLiteral("&Save Configuration")) save = action;
  }
  ASSERT_NE(saveAs, nullptr);
  ASSERT_NE(save, nullptr);
  window->refreshCommands();
  EXPECT_FALSE(saveAs->isEnabled());
  EXPECT_FALSE(save->isEnabled());

  window->options().b_CompDatCase = 1;
  window->options().IgnoreTables = {"AUDIT_LOG"};
  ASSERT_TRUE(window->comparison().saveConfiguration(path));
  window->options() = ComparisonOptions();
  window->loadConfiguration(path);
  EXPECT_EQ(window->options().b_CompDatCase, 1);
  EXPECT_EQ(window->options().IgnoreTables, (NameList{"AUDIT_LOG"}));
  EXPECT_EQ(window->windowTitle(),
            QStringLiteral("Velmora for Oracle - Velmora for Oracle - ") +
                QString::fromStdString(path.substr(0, path.size() - 4)));
  EXPECT_TRUE(save->isEnabled());
  EXPECT_TRUE(saveAs->isEnabled());
  // The file heads the recent files of the File menu.
  EXPECT_EQ(settings.getString("Recent File List", "File1", ""), path);

  // A damaged file changes nothing and says so.
  const std::string damaged = folder.filePath(QStringLiteral("damaged.dbo")).toStdString();
  std::ofstream(damaged, std::ios::binary) << std::string("\x01\x02garbage\0\xff", 12);
  window->loadConfiguration(damaged);
  EXPECT_EQ(window->options().b_CompDatCase, 1);
  ASSERT_FALSE(asker.texts.isEmpty());
  EXPECT_TRUE(asker.texts.last().startsWith(QStringLiteral("Could not open config file.")))
      << asker.texts.last().toStdString();
}

TEST(MainWindowSettings, PlaceSizeAndFontComeFromTheSettingsAndGoBackOnClose) {
  MemorySettingsStore settings;
  settings.setString("Settings", "BigWidth", "900");
  settings.setString("Settings", "BigHeight", "700");
  settings.setString("Settings", "LocX", "1500");  // no screen of the offscreen platform is there
  settings.setString("Settings", "LocY", "1500");
  settings.setString("Settings", "yHeight", "240");
  {
    MainWindow window(settings, AppArguments{});
    window.showAsSaved();
    EXPECT_EQ(window.size(), QSize(900, 700));
    EXPECT_NE(window.pos(), QPoint(1500, 1500));
    EXPECT_DOUBLE_EQ(window.reportView()->font().pointSizeF(), 12.0);
    window.move(40, 30);
    window.resize(640, 480);
    window.close();
  }
  EXPECT_EQ(settings.getString("Settings", "BigWidth", ""), "640");
  EXPECT_EQ(settings.getString("Settings", "BigHeight", ""), "480");
  EXPECT_EQ(settings.getString("Settings", "BigMaximized", ""), "0");
  EXPECT_EQ(settings.getString("Settings", "LocX", ""), "40");
  EXPECT_EQ(settings.getString("Settings", "LocY", ""), "30");

  // A position on the screen is used as it was saved.
  MainWindow again(settings, AppArguments{});
  again.showAsSaved();
  EXPECT_EQ(again.pos(), QPoint(40, 30));
}

}  // namespace
}  // namespace velmora::ui
