#include "ui/app_arguments.h"

namespace velmora::ui {

AppArguments parseAppArguments(const std::vector<std::string>& arguments) {
  AppArguments parsed;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    auto value = [&](std::string* target) {
      if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
        parsed.error = argument + " needs a value";
        return;
      }
      *target = arguments[++i];
    };
    if (argument == "--help" || argument == "-h") {
      parsed.help = true;
    } else if (argument == "--version") {
      parsed.version = true;
    } else if (argument == "--demo") {
      parsed.demo = true;
    } else if (argument == "--screenshot") {
      value(&parsed.screenshot);
    } else if (argument == "--screenshots") {
      value(&parsed.screenshots);
    } else if (argument == "--print-pdf") {
      value(&parsed.printPdf);
    } else if (argument == "--oci-library") {
      value(&parsed.ociLibrary);
    } else if (argument == "--demo-work") {
      value(&parsed.demoWork);
    } else if (!argument.empty() && argument[0] == '-') {
      parsed.error = "unknown option " + argument;
    } else if (parsed.configurationFile.empty()) {
      parsed.configurationFile = argument;
    } else {
      parsed.error = "only one configuration file can be named";
    }
    if (!parsed.error.empty()) return parsed;
  }
  if (parsed.unattended() && !parsed.demo) {
    parsed.error = "--screenshot, --screenshots and --print-pdf run the demo: add --demo";
  } else if (parsed.demo && !parsed.configurationFile.empty()) {
    parsed.error = "--demo and a configuration file cannot be given together";
  }
  return parsed;
}

std::string appUsage() {
  return "Usage: velmora [FILE.dbo] [options]\n"
         "\n"
         "Compares two Oracle databases in a window. A configuration file named on the command\n"
         "line is loaded and its comparison runs at once, with the window minimized.\n"
         "\n"
         "Options:\n"
         "  --demo                 build (or reuse) the two demo databases and compare them\n"
         "  --demo-work DIR        where the demo databases live (default: the user's cache)\n"
         "  --screenshot FILE.png  with --demo: save a picture of the window after the run, exit\n"
         "  --screenshots DIR      with --demo: pictures of the window and its dialogs, exit\n"
         "  --print-pdf FILE.pdf   with --demo: print the report to a PDF file, exit\n"
         "  --oci-library PATH     the Oracle client library to load\n"
         "  --version              print the version\n"
         "  --help                 print this help\n"
         "\n"
         "Exit status of the runs that end by themselves: 0 done, 1 stopped, 2 bad command line,\n"
         "4 a database could not be connected, 5 the run had errors, 6 a file could not be\n"
         "written, 7 no Oracle client library.\n";
}

}  // namespace velmora::ui
