#include "cli/cli_host.h"

namespace velmora::cli {

Answer CliHost::ask(const std::string& text, Buttons buttons) {
  if (buttons == Buttons::Ok) {
    console_.message(text);
    return Answer::Ok;
  }
  if (answer_) {
    console_.message(text + (*answer_ == Answer::Yes ? " [--yes: Yes]" : " [--no: No]"));
    return *answer_;
  }
  console_.message(text +
                   "\nvelmora-cli: this question needs an answer: run again with --yes or "
                   "--no. Stopping the run.");
  unanswered_ = true;
  if (requestStop_) requestStop_();
  return buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
}

}  // namespace velmora::cli
