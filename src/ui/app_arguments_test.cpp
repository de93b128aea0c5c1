#include "ui/app_arguments.h"

#include <gtest/gtest.h>

namespace velmora::ui {
namespace {

TEST(AppArguments, AConfigurationFileOrTheDemoWithItsOutputs) {
  AppArguments file = parseAppArguments({"nightly.dbo"});
  EXPECT_EQ(file.configurationFile, "nightly.dbo");
  EXPECT_FALSE(file.demo);
  EXPECT_FALSE(file.unattended());
  EXPECT_TRUE(file.error.empty());

  AppArguments demo = parseAppArguments(
      {"--demo", "--screenshot", "a.png", "--print-pdf", "r.pdf", "--demo-work", "w", "--oci-library", "lib.so"});
  EXPECT_TRUE(demo.error.empty()) << demo.error;
  EXPECT_TRUE(demo.demo);
  EXPECT_TRUE(demo.unattended());
  EXPECT_EQ(demo.screenshot, "a.png");
  EXPECT_EQ(demo.printPdf, "r.pdf");
  EXPECT_EQ(demo.demoWork, "w");
  EXPECT_EQ(demo.ociLibrary, "lib.so");
}

TEST(AppArguments, MistakesAreRefusedWithTheReason) {
  EXPECT_EQ(parseAppArguments({"--screenshot"}).error, "--screenshot needs a value");
  EXPECT_EQ(parseAppArguments({"--screenshot", ""}).error, "--screenshot needs a value");
  EXPECT_EQ(parseAppArguments({"--colour"}).error, "unknown option --colour");
  EXPECT_EQ(parseAppArguments({"a.dbo", "b.dbo"}).error, "only one configuration file can be named");
  // The unattended outputs come from the demo's run; a picture of nothing is a mistake.
  EXPECT_FALSE(parseAppArguments({"--screenshot", "a.png"}).error.empty());
  EXPECT_FALSE(parseAppArguments({"--demo", "a.dbo"}).error.empty());
}

}  // namespace
}  // namespace velmora::ui
