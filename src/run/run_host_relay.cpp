#include "run/run_host_relay.h"

namespace velmora {

void RunHostRelay::pauseTitle() {
  std::lock_guard lock(mutex_);
  if (paused_) return;
  paused_ = true;
  host_.setTitle("Paused - Velmora for Oracle");
}

void RunHostRelay::resumeTitle() {
  std::lock_guard lock(mutex_);
  if (!paused_) return;
  paused_ = false;
  host_.setTitle(title_);
}

void RunHostRelay::endPause() {
  std::lock_guard lock(mutex_);
  paused_ = false;
}

std::string RunHostRelay::title() const {
  std::lock_guard lock(mutex_);
  return title_;
}

void RunHostRelay::setTitle(const std::string& text) {
  std::lock_guard lock(mutex_);
  title_ = text;
  if (!paused_) host_.setTitle(text);
}

}  // namespace velmora
