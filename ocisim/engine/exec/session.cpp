#include "engine/exec/session.h"

#include "engine/exec/database.h"
#include "engine/ora_error.h"

namespace ocisim {

// ---- DbmsOutput ----

void DbmsOutput::enable(std::optional<int64_t> bufferSize) {
  int64_t size = 20000;
  if (!bufferSize) {
    // NULL: unlimited from 10.2; older releases take the default.
    size = majorVersion_ >= 10 ? 0 : 20000;
  } else {
    size = *bufferSize;
    if (majorVersion_ < 10) {
      size = std::max<int64_t>(2000, std::min<int64_t>(size, 1000000));
    } else if (size < 2000) {
      size = 2000;
    }
  }
  if (!enabled_) {
    bufferSize_ = size;
  } else if (bufferSize_ != 0 && (size == 0 || size > bufferSize_)) {
    bufferSize_ = size;  // the largest of repeated calls wins
  }
  enabled_ = true;
}

void DbmsOutput::disable() {
  enabled_ = false;
  lines_.clear();
  partial_.clear();
  bufferedBytes_ = 0;
  gotSincePut_ = false;
}

void DbmsOutput::discardAfterGet() {
  if (gotSincePut_) {
    lines_.clear();
    bufferedBytes_ = 0;
    gotSincePut_ = false;
  }
}

void DbmsOutput::append(std::string line) {
  size_t limit = majorVersion_ >= 10 ? 32767 : 255;
  if (line.size() > limit) {
    throw OraError(20000, {"ORU-10028: line length overflow, limit of " + std::to_string(limit) +
                           " bytes per line"});
  }
  if (bufferSize_ > 0 && bufferedBytes_ + static_cast<int64_t>(line.size()) > bufferSize_) {
    throw OraError(
        20000, {"ORU-10027: buffer overflow, limit of " + std::to_string(bufferSize_) + " bytes"});
  }
  bufferedBytes_ += static_cast<int64_t>(line.size());
  lines_.push_back(std::move(line));
}

void DbmsOutput::put(std::string_view text) {
  if (!enabled_) return;
  discardAfterGet();
  partial_.append(text);
}

void DbmsOutput::putLine(std::string_view text) {
  if (!enabled_) return;
  discardAfterGet();
  std::string line = std::move(partial_);
  partial_.clear();
  line.append(text);
  append(std::move(line));
}

void DbmsOutput::newLine() {
  if (!enabled_) return;
  discardAfterGet();
  std::string line = std::move(partial_);
  partial_.clear();
  append(std::move(line));
}

std::optional<std::string> DbmsOutput::getLine() {
  if (!enabled_ || lines_.empty()) return std::nullopt;
  gotSincePut_ = true;
  std::string line = std::move(lines_.front());
  lines_.pop_front();
  bufferedBytes_ -= static_cast<int64_t>(line.size());
  return line;
}

// ---- Session ----

Session::Session(std::shared_ptr<Database> database, std::string user)
    : database_(std::move(database)),
      user_(std::move(user)),
      nls_(NlsSettings::forVersion(database_->version())),
      output_(database_->majorVersion()) {
  static std::atomic<uint64_t> lastSessionId{0};
  sessionId_ = ++lastSessionId;
}

Session::~Session() {
  // The session's rows of temporary tables end with it.
  std::lock_guard lock(database_->mutex());
  database_->releaseTemporaryRows(sessionId_);
  logOff();
}

void Session::logOff() {
  std::lock_guard lock(database_->mutex());
  if (loggedOff_) return;
  loggedOff_ = true;
  database_->sessionEnded(user_);
}

std::string Session::serverBanner() const {
  return database_->serverBanner();
}

void Session::checkCancel() {
  if (cancelRequested_.exchange(false)) throw OraError(1013);
}

std::optional<Decimal> Session::currval(ObjectId sequenceId) const {
  auto it = currvals_.find(sequenceId);
  if (it == currvals_.end()) return std::nullopt;
  return it->second;
}

ExecResult Session::execute(std::string_view sql) {
  BindSet binds;
  return execute(sql, binds);
}

ExecResult Session::execute(std::string_view sql, BindSet& binds) {
  return prepare(sql)->execute(binds);
}

}  // namespace ocisim
