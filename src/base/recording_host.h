// Test doubles for every engineer's tests: RecordingHost, a RunHost that records what a run
// shows (statuses, titles, progress, objects, questions) and answers questions from a script;
// RecordingWriter, a ReportWriter that records every write. Both are thread-safe: a run's worker
// records while the test thread reads and waits.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "base/report_writer.h"
#include "base/run_host.h"

namespace velmora {

class RecordingHost : public RunHost {
 public:
  struct Question {
    std::string text;
    Buttons buttons;
    Answer answer;
  };

  // Answers of the next questions, in order. When the script is empty a message (Buttons::Ok) is
  // answered Ok and a question with defaultAnswer().
  void scriptAnswers(std::initializer_list<Answer> answers) {
    std::lock_guard lock(mutex_);
    answers_.insert(answers_.end(), answers);
  }
  void setDefaultAnswer(Answer answer) {
    std::lock_guard lock(mutex_);
    defaultAnswer_ = answer;
  }
  // Called (outside the lock) before a question is answered, e.g. to hold the worker there.
  void setOnAsk(std::function<void(const std::string&)> onAsk) {
    std::lock_guard lock(mutex_);
    onAsk_ = std::move(onAsk);
  }

  Answer ask(const std::string& text, Buttons buttons) override {
    std::function<void(const std::string&)> onAsk;
    {
      std::lock_guard lock(mutex_);
      onAsk = onAsk_;
    }
    if (onAsk) onAsk(text);
    std::lock_guard lock(mutex_);
    Answer answer = buttons == Buttons::Ok ? Answer::Ok : defaultAnswer_;
    if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    }
    questions_.push_back({text, buttons, answer});
    record("ask:" + text);
    return answer;
  }
  void setStatus(const std::string& text) override { add(statuses_, "status:", text); }
  void setTitle(const std::string& text) override { add(titles_, "title:", text); }
  void setProgressRange(int low, int high) override {
    std::lock_guard lock(mutex_);
    progressLow_ = low;
    progressHigh_ = high;
    record("range:" + std::to_string(low) + ".." + std::to_string(high));
  }
  void setProgressPosition(int position) override {
    std::lock_guard lock(mutex_);
    progress_ = position;
    record("position:" + std::to_string(position));
  }
  void stepProgress() override {
    std::lock_guard lock(mutex_);
    ++progress_;
    record("step");
  }
  void clearObjects() override {
    std::lock_guard lock(mutex_);
    objects_.clear();
    record("clearObjects");
  }
  void addObject(const std::string& name) override { add(objects_, "object:", name); }
  void selectObject(const std::string& name) override { add(selections_, "select:", name); }
  void runStarted() override { event("runStarted"); }
  void runEnded() override { event("runEnded"); }
  void showSaving(int lineCount) override { event("showSaving:" + std::to_string(lineCount)); }
  void hideSaving() override { event("hideSaving"); }
  void restoreMainWindow() override { event("restoreMainWindow"); }
  void quitApplication(int status) override { event("quit:" + std::to_string(status)); }

  // Copies of what was recorded.
  std::vector<std::string> log() const { return locked(log_); }
  std::vector<std::string> statuses() const { return locked(statuses_); }
  std::vector<std::string> titles() const { return locked(titles_); }
  std::vector<std::string> objects() const { return locked(objects_); }
  std::vector<std::string> selections() const { return locked(selections_); }
  std::vector<Question> questions() const { return locked(questions_); }
  std::vector<std::string> questionTexts() const {
    std::vector<std::string> texts;
    for (const Question& q : questions()) texts.push_back(q.text);
    return texts;
  }
  std::string lastTitle() const {
    std::lock_guard lock(mutex_);
    return titles_.empty() ? std::string() : titles_.back();
  }
  int progress() const {
    std::lock_guard lock(mutex_);
    return progress_;
  }
  int progressHigh() const {
    std::lock_guard lock(mutex_);
    return progressHigh_;
  }
  bool logged(const std::string& entry) const {
    std::lock_guard lock(mutex_);
    for (const std::string& e : log_) {
      if (e == entry) return true;
    }
    return false;
  }

  // Waits until the log holds `entry` (e.g. "title:Paused - Velmora for Oracle", "runEnded").
  bool waitForLog(const std::string& entry,
                  std::chrono::milliseconds timeout = std::chrono::seconds(20)) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] {
      for (const std::string& e : log_) {
        if (e == entry) return true;
      }
      return false;
    });
  }

 private:
  void record(const std::string& entry) {  // mutex_ held
    log_.push_back(entry);
    changed_.notify_all();
  }
  void add(std::vector<std::string>& list, const char* tag, const std::string& text) {
    std::lock_guard lock(mutex_);
    list.push_back(text);
    record(tag + text);
  }
  void event(const std::string& entry) {
    std::lock_guard lock(mutex_);
    record(entry);
  }
  template <typename T>
  T locked(const T& value) const {
    std::lock_guard lock(mutex_);
    return value;
  }

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::deque<Answer> answers_;
  Answer defaultAnswer_ = Answer::No;
  std::function<void(const std::string&)> onAsk_;
  std::vector<std::string> log_, statuses_, titles_, objects_, selections_;
  std::vector<Question> questions_;
  int progressLow_ = 0, progressHigh_ = 0, progress_ = 0;
};

class RecordingWriter : public ReportWriter {
 public:
  struct Write {
    std::string text;
    ReportColour colour;
    bool underline;
    bool counts;
    bool operator==(const Write&) const = default;
  };

  void write(const std::string& text, ReportColour colour, bool underline = false,
             bool counts = true) override {
    std::lock_guard lock(mutex_);
    writes_.push_back({text, colour, underline, counts});
  }

  std::vector<Write> writes() const {
    std::lock_guard lock(mutex_);
    return writes_;
  }
  // Everything written, concatenated.
  std::string text() const {
    std::lock_guard lock(mutex_);
    std::string all;
    for (const Write& w : writes_) all += w.text;
    return all;
  }
  // The text written in one colour, concatenated.
  std::string text(ReportColour colour) const {
    std::lock_guard lock(mutex_);
    std::string all;
    for (const Write& w : writes_) {
      if (w.colour == colour) all += w.text;
    }
    return all;
  }
  void clear() {
    std::lock_guard lock(mutex_);
    writes_.clear();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Write> writes_;
};

}  // namespace velmora
