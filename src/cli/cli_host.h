// CliHost: the RunHost of velmora-cli. Messages go to stderr; questions are answered with the
// answer given by --yes / --no, and a question without one is printed with an explanation, marks
// the run as failed and asks it to stop. Status and progress go to the console's status line;
// the window title and the object list have no place on a terminal. Thread-safe.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "base/run_host.h"
#include "cli/cli_console.h"

namespace velmora::cli {

class CliHost : public RunHost {
 public:
  CliHost(CliConsole& console, std::optional<Answer> answer) : console_(console), answer_(answer) {}

  // How an unanswerable question stops the run (set before the run starts).
  void setStopRequester(std::function<void()> requestStop) {
    requestStop_ = std::move(requestStop);
  }
  bool unansweredQuestion() const { return unanswered_; }

  Answer ask(const std::string& text, Buttons buttons) override;
  void setStatus(const std::string& text) override { console_.setStatus(text); }
  void setTitle(const std::string&) override {}
  void setProgressRange(int low, int high) override { console_.setProgressRange(low, high); }
  void setProgressPosition(int position) override { console_.setProgressPosition(position); }
  void stepProgress() override { console_.stepProgress(); }
  void clearObjects() override {}
  void addObject(const std::string&) override {}
  void selectObject(const std::string&) override {}
  void runEnded() override { console_.clearStatus(); }
  void reportEnded() override { console_.endReportLine(); }

 private:
  CliConsole& console_;
  const std::optional<Answer> answer_;
  std::function<void()> requestStop_;
  std::atomic<bool> unanswered_{false};  // set by the worker, read by the main thread
};

}  // namespace velmora::cli
