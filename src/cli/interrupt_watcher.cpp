#include "cli/interrupt_watcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace velmora::cli {

namespace {

int signalPipe = -1;  // the write end, for the handler

constexpr unsigned char kQuitByte = 0;  // no signal has the number 0

extern "C" void onSignalCaught(int signal) {
  const int saved = errno;
  if (signalPipe >= 0) {
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] ssize_t n = ::write(signalPipe, &byte, 1);
  }
  errno = saved;
}

}  // namespace

InterruptWatcher::InterruptWatcher(std::function<void(int count)> onInterrupt)
    : InterruptWatcher(
          [onInterrupt = std::move(onInterrupt)](int count, int) { onInterrupt(count); }) {}

InterruptWatcher::InterruptWatcher(std::function<void(int count, int signal)> onSignal)
    : onSignal_(std::move(onSignal)) {
  if (::pipe2(pipe_, O_CLOEXEC) != 0) return;  // no watcher: the signals keep their default
  signalPipe = pipe_[1];
  struct sigaction action = {};
  action.sa_handler = onSignalCaught;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &action, &previous_[i]);
  thread_ = std::thread([this] { watch(); });
}

InterruptWatcher::~InterruptWatcher() {
  if (!thread_.joinable()) return;
  for (int i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &previous_[i], nullptr);
  const unsigned char byte = kQuitByte;
  [[maybe_unused]] ssize_t n = ::write(pipe_[1], &byte, 1);
  thread_.join();
  signalPipe = -1;
  ::close(pipe_[0]);
  ::close(pipe_[1]);
}

void InterruptWatcher::watch() {
  int count = 0;
  for (;;) {
    unsigned char byte = kQuitByte;
    const ssize_t n = ::read(pipe_[0], &byte, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || byte == kQuitByte) return;
    onSignal_(++count, static_cast<int>(byte));
  }
}

}  // namespace velmora::cli
