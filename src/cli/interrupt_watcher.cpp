#include "cli/interrupt_watcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace velmora::cli {

namespace {

int signalPipe = -1;  // the write end, for the handler

constexpr char kSignalByte = 's';
constexpr char kQuitByte = 'q';

extern "C" void onSignal(int) {
  const int saved = errno;
  if (signalPipe >= 0) {
    const char byte = kSignalByte;
    [[maybe_unused]] ssize_t n = ::write(signalPipe, &byte, 1);
  }
  errno = saved;
}

}  // namespace

InterruptWatcher::InterruptWatcher(std::function<void(int count)> onInterrupt)
    : onInterrupt_(std::move(onInterrupt)) {
  if (::pipe2(pipe_, O_CLOEXEC) != 0) return;  // no watcher: Ctrl+C keeps its default
  signalPipe = pipe_[1];
  struct sigaction action = {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, &previousInt_);
  sigaction(SIGTERM, &action, &previousTerm_);
  thread_ = std::thread([this] { watch(); });
}

InterruptWatcher::~InterruptWatcher() {
  if (!thread_.joinable()) return;
  sigaction(SIGINT, &previousInt_, nullptr);
  sigaction(SIGTERM, &previousTerm_, nullptr);
  const char byte = kQuitByte;
  [[maybe_unused]] ssize_t n = ::write(pipe_[1], &byte, 1);
  thread_.join();
  signalPipe = -1;
  ::close(pipe_[0]);
  ::close(pipe_[1]);
}

void InterruptWatcher::watch() {
  int count = 0;
  for (;;) {
    char byte = 0;
    const ssize_t n = ::read(pipe_[0], &byte, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || byte == kQuitByte) return;
    onInterrupt_(++count);
  }
}

}  // namespace velmora::cli
