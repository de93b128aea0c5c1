// Logging velmora-cli on to its databases: the password of a connection text that holds none
// comes from VELMORA_DB1_PASSWORD / VELMORA_DB2_PASSWORD, else from the terminal without echo.
// A password is never printed. The Login dialog has no command-line form: a connection is always
// given as a text.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "oracle/login_dialog.h"

namespace velmora::cli {

// Reads a password after showing a prompt; nothing when there is no terminal to ask on.
using PasswordReader = std::function<std::optional<std::string>(const std::string& prompt)>;

// The password reader of a real terminal: /dev/tty with echo off (restored on Ctrl+C too).
std::optional<std::string> readPasswordFromTerminal(const std::string& prompt);

class CliLoginPrompter : public LoginPrompter {
 public:
  // number: 1 or 2, which names the environment variable and the prompt.
  CliLoginPrompter(int number, PasswordReader reader)
      : number_(number), reader_(std::move(reader)) {}

  static std::string passwordVariable(int number) {
    return "VELMORA_DB" + std::to_string(number) + "_PASSWORD";
  }

  std::optional<std::string> askPassword(const std::string& user,
                                         const std::string& database) override;
  bool runLoginDialog(LoginDialogModel&) override { return false; }

  // Set when no password could be had (no variable, and no terminal or only empty answers).
  bool noPasswordSource() const { return noPasswordSource_; }

 private:
  int number_;
  PasswordReader reader_;
  bool noPasswordSource_ = false;
};

}  // namespace velmora::cli
