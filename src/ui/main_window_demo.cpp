// The runs of the main window that start from its command line: a configuration file's run, the
// demo (its databases prepared on a thread of their own), and the unattended ends of the demo
// (a picture, a PDF, the set of pictures) with their exit statuses.
#include <QCoreApplication>
#include <QPrinter>
#include <QStatusBar>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <thread>

#include "base/exit_status.h"
#include "demo/demo_databases.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/report_printer.h"
#include "ui/report_view.h"
#include "ui/screenshots.h"

namespace velmora::ui {

void MainWindow::startFromArguments() {
  if (arguments_.demo) {
    startDemo();
  } else if (!arguments_.configurationFile.empty()) {
    QTimer::singleShot(100, this, [this] {
      comparison_->startFromCommandLine(arguments_.configurationFile, &prompter1_);
      updateDatabaseLabel();
      refreshCommands();
    });
  }
}

// The demo: its databases are built (or found up to date) on a thread of their own, then both
// are connected and compared like any other pair.
void MainWindow::startDemo() {
  if (comparison_->isActive() || demoStarting_) return;
  demoStarting_ = true;
  refreshCommands();
  statusBar()->showMessage(QStringLiteral("Preparing the demo databases ..."));
  DemoPaths paths = DemoPaths::ofThisBuild();
  if (!arguments_.demoWork.empty()) paths.work = arguments_.demoWork;
  if (!arguments_.ociLibrary.empty()) paths.library = arguments_.ociLibrary;
  if (demoThread_.joinable()) demoThread_.join();
  demoThread_ = std::thread([this, paths] {
    std::ostringstream progress;
    const std::string failure = prepareDemoDatabases(paths, progress);
    QMetaObject::invokeMethod(
        this, [this, failure, paths] { demoPrepared(failure, paths.work, paths.library); },
        Qt::QueuedConnection);
  });
}

void MainWindow::demoPrepared(const std::string& failure, const std::string& work,
                              const std::string& library) {
  if (!failure.empty()) {
    demoStarting_ = false;
    refreshCommands();
    if (arguments_.unattended()) {
      failUnattended(exit_status::kStopped, toQt(failure));
    } else {
      tell(QStringLiteral("The demo databases could not be prepared:\n") + toQt(failure),
                  Buttons::Ok);
    }
    return;
  }
  std::error_code error;
  const std::string home = std::filesystem::absolute(work, error).string();
  ::setenv("OCISIM_HOME", home.c_str(), 1);
  if (oracle_.libraryOverride != library) {
    // The demo reaches its databases through the stand-in client library.
    comparison_->close(1);
    comparison_->close(2);
    OracleEnvironment environment = oracle_;
    environment.libraryOverride = library;
    makeComparison(environment);
  }
  connectDatabase(1, std::string(kDemoLogin) + "@" + kDemoAlias1);
}

void MainWindow::failUnattended(int status, const QString& message) {
  std::cerr << "velmora: " << fromQt(message) << "\n";
  unattendedStatus_ = status;
  QCoreApplication::exit(status);
}

// The end of a run nobody watches: the picture, the PDF or the set of pictures, then the exit.
void MainWindow::finishUnattended() {
  view_->applyPending();
  if (comparison_->lastOutcome() != RunOutcome::Finished) {
    failUnattended(exit_status::kStopped, QStringLiteral("the demo comparison was stopped"));
    return;
  }
  if (comparison_->errors().any()) {
    failUnattended(exit_status::kRunErrors,
                   QStringLiteral("the demo comparison finished with errors (see the report)"));
    return;
  }
  if (!arguments_.screenshot.empty()) {
    const QString path = toQt(arguments_.screenshot);
    if (!grab().save(path, "PNG")) {
      failUnattended(exit_status::kOutputFailed, QStringLiteral("could not write ") + path);
      return;
    }
  }
  if (!arguments_.printPdf.empty()) {
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(toQt(arguments_.printPdf));
    const PrintResult result = printReport(pdf, *view_->document());
    if (!result.printed) {
      failUnattended(exit_status::kOutputFailed,
                     QStringLiteral("could not print to ") + toQt(arguments_.printPdf) + ": " +
                         result.message);
      return;
    }
  }
  if (!arguments_.screenshots.empty()) {
    if (midRunShot_ && !midRunSaved_ && !midRunWaited_) {
      // The run ended before the paused window was drawn: the picture comes first.
      midRunWaited_ = true;
      QTimer::singleShot(1000, this, [this] { finishUnattended(); });
      return;
    }
    if (!midRunSaved_) {
      failUnattended(exit_status::kOutputFailed,
                     QStringLiteral("no picture of the run under way could be taken"));
      return;
    }
    const QString problem = takeDialogScreenshots(*this, toQt(arguments_.screenshots));
    if (!problem.isEmpty()) {
      failUnattended(exit_status::kOutputFailed, problem);
      return;
    }
  }
  QCoreApplication::exit(exit_status::kFinished);
}

}  // namespace velmora::ui
