#include "base/report_find.h"

#include <gtest/gtest.h>

#include "base/recording_host.h"

namespace velmora {
namespace {

constexpr const char* kWrapQuestion =
    "Velmora for Oracle has reached the end of the report. Do you wish to continue from the top?";

TEST(ReportFindTest, FindsDownwardsAndWrapsOnRequest) {
  ReportDocument doc;
  doc.append("EMP\r\nDEPT\r\nemp", ReportColour::Black);
  RecordingHost host;
  ReportFinder finder(doc, host);
  EXPECT_EQ(finder.findNext("emp", false, false), (ReportSelection{0, 3}));
  EXPECT_EQ(finder.findNext("emp", false, false), (ReportSelection{11, 3}));
  host.scriptAnswers({Answer::Yes});
  EXPECT_EQ(finder.findNext("emp", false, false), (ReportSelection{0, 3}));  // wrapped
  EXPECT_EQ(host.questionTexts(), (std::vector<std::string>{kWrapQuestion}));
  EXPECT_EQ(host.questions()[0].buttons, Buttons::YesNo);

  EXPECT_EQ(finder.findNext("emp", true, false), (ReportSelection{11, 3}));  // match case
  host.scriptAnswers({Answer::No});
  EXPECT_EQ(finder.findNext("emp", true, false), std::nullopt);  // No ends the search
  EXPECT_EQ(finder.selection(), (ReportSelection{11, 3}));
  EXPECT_EQ(host.questions().size(), 2u);
}

TEST(ReportFindTest, NotFoundFromTheTopSaysSo) {
  ReportDocument doc;
  doc.append("EMP_OLD EMPLOYEE", ReportColour::Black);
  RecordingHost host;
  ReportFinder finder(doc, host);
  EXPECT_EQ(finder.findNext("EMP", true, true), std::nullopt);  // whole word only
  EXPECT_EQ(host.questionTexts(), (std::vector<std::string>{"Could not find specified text"}));

  EXPECT_EQ(finder.findNext("EMPLOYEE", true, true), (ReportSelection{8, 8}));
  host.scriptAnswers({Answer::Yes});
  // Wrapping to the top and finding it again there is fine; nothing left: the message.
  EXPECT_EQ(finder.findNext("EMPLOYEE", true, true), (ReportSelection{8, 8}));
  host.scriptAnswers({Answer::Yes});
  EXPECT_EQ(finder.findNext("MISSING", true, false), std::nullopt);
  EXPECT_EQ(host.questionTexts(),
            (std::vector<std::string>{"Could not find specified text", kWrapQuestion, kWrapQuestion,
                                      "Could not find specified text"}));
}

TEST(ReportFindTest, StartAtTopForgetsTheSelection) {
  ReportDocument doc;
  doc.append("A A A", ReportColour::Black);
  RecordingHost host;
  ReportFinder finder(doc, host);
  EXPECT_EQ(finder.findNext("A", true, true), (ReportSelection{0, 1}));
  EXPECT_EQ(finder.findNext("A", true, true), (ReportSelection{2, 1}));
  finder.startAtTop();  // e.g. a configuration file was loaded
  EXPECT_EQ(finder.findNext("A", true, true), (ReportSelection{0, 1}));
  doc.clear();  // the screen was emptied by an automatic flush
  host.scriptAnswers({Answer::Yes});
  EXPECT_EQ(finder.findNext("A", true, true), std::nullopt);
  EXPECT_TRUE(host.questions().size() == 2u);
}

}  // namespace
}  // namespace velmora
