#include "cli/cli_login.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <vector>

namespace velmora::cli {
namespace {

class CliLoginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    unsetenv("VELMORA_DB1_PASSWORD");
    unsetenv("VELMORA_DB2_PASSWORD");
  }
  void TearDown() override { SetUp(); }

  // A reader that answers from a list and records the prompts.
  PasswordReader answering(std::vector<std::optional<std::string>> answers) {
    answers_ = std::move(answers);
    return [this](const std::string& prompt) -> std::optional<std::string> {
      prompts.push_back(prompt);
      if (answers_.empty()) return std::nullopt;
      std::optional<std::string> next = answers_.front();
      answers_.erase(answers_.begin());
      return next;
    };
  }
  std::vector<std::string> prompts;

 private:
  std::vector<std::optional<std::string>> answers_;
};

TEST_F(CliLoginTest, TheVariableOfTheDatabaseComesBeforeTheTerminal) {
  setenv("VELMORA_DB2_PASSWORD", "from-env", 1);
  CliLoginPrompter second(2, answering({"typed"}));
  EXPECT_EQ(second.askPassword("scott", "orcl"), "from-env");
  EXPECT_TRUE(prompts.empty());
  // Database 1 has its own variable, not set: the terminal is asked.
  CliLoginPrompter first(1, answering({"typed"}));
  EXPECT_EQ(first.askPassword("scott", "orcl"), "typed");
  EXPECT_EQ(prompts, (std::vector<std::string>{"Password for scott@orcl (Database 1): "}));
  EXPECT_FALSE(first.noPasswordSource());
}

TEST_F(CliLoginTest, EmptyAnswersAreAskedAgainThreeTimesAtMost) {
  CliLoginPrompter prompter(1, answering({"", "   ", "pw"}));
  EXPECT_EQ(prompter.askPassword("scott", "orcl"), "pw");
  ASSERT_EQ(prompts.size(), 3u);
  EXPECT_EQ(prompts[1], "Please enter a password.\nPassword for scott@orcl (Database 1): ");

  prompts.clear();
  CliLoginPrompter stubborn(1, answering({"", "", "", "late"}));
  EXPECT_EQ(stubborn.askPassword("scott", "orcl"), std::nullopt);
  EXPECT_EQ(prompts.size(), 3u);
  EXPECT_TRUE(stubborn.noPasswordSource());
}

TEST_F(CliLoginTest, WithoutATerminalThereIsNoPassword) {
  CliLoginPrompter noReader(1, nullptr);
  EXPECT_EQ(noReader.askPassword("scott", "orcl"), std::nullopt);
  EXPECT_TRUE(noReader.noPasswordSource());
  CliLoginPrompter noTerminal(2, answering({std::nullopt}));
  EXPECT_EQ(noTerminal.askPassword("scott", "orcl"), std::nullopt);
  EXPECT_EQ(prompts.size(), 1u);
}

}  // namespace
}  // namespace velmora::cli
