#include "cli/cli_login.h"

#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace velmora::cli {

namespace {

// The terminal while echo is off, for the signal handler that puts it back.
int gTerminal = -1;
struct termios gSaved;

void restoreAndReraise(int signal) {
  if (gTerminal >= 0) tcsetattr(gTerminal, TCSAFLUSH, &gSaved);
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

}  // namespace

std::optional<std::string> readPasswordFromTerminal(const std::string& prompt) {
  const int tty = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (tty < 0) return std::nullopt;
  struct termios saved;
  if (tcgetattr(tty, &saved) != 0) {
    ::close(tty);
    return std::nullopt;
  }
  gSaved = saved;
  gTerminal = tty;
  struct sigaction restore {
  }, oldInt{}, oldTerm{};
  restore.sa_handler = restoreAndReraise;
  sigemptyset(&restore.sa_mask);
  sigaction(SIGINT, &restore, &oldInt);
  sigaction(SIGTERM, &restore, &oldTerm);
  struct termios quiet = saved;
  quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
  quiet.c_lflag |= ECHONL;
  tcsetattr(tty, TCSAFLUSH, &quiet);
  if (::write(tty, prompt.data(), prompt.size()) < 0) {
    // Nothing to do: the read below still works.
  }
  std::string password;
  char c = 0;
  while (::read(tty, &c, 1) == 1 && c != '\n') password += c;
  tcsetattr(tty, TCSAFLUSH, &saved);
  gTerminal = -1;
  sigaction(SIGINT, &oldInt, nullptr);
  sigaction(SIGTERM, &oldTerm, nullptr);
  ::close(tty);
  if (!password.empty() && password.back() == '\r') password.pop_back();
  return password;
}

std::optional<std::string> CliLoginPrompter::askPassword(const std::string& user,
                                                         const std::string& database) {
  const char* fromEnvironment = std::getenv(passwordVariable(number_).c_str());
  if (fromEnvironment != nullptr && *fromEnvironment != '\0') return std::string(fromEnvironment);
  const std::string prompt =
      "Password for " + user + "@" + database + " (Database " + std::to_string(number_) + "): ";
  // Like the password prompt, an empty answer asks again (three times at most).
  for (int attempt = 0; attempt < 3 && reader_; ++attempt) {
    std::optional<std::string> typed =
        reader_(attempt == 0 ? prompt : std::string(kEmptyPasswordMessage) + "\n" + prompt);
    if (!typed) break;
    if (acceptablePromptPassword(*typed)) return typed;
  }
  noPasswordSource_ = true;
  return std::nullopt;
}

}  // namespace velmora::cli
