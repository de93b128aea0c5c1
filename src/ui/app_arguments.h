// The command line of the desktop application:
//   velmora [FILE.dbo]                 open the window; a configuration file is loaded and run
//   velmora --demo                     build or reuse the demo databases and compare them
//   velmora --demo --screenshot F.png  ... then save a picture of the window and exit
//   velmora --demo --print-pdf F.pdf   ... then print the report to a PDF file and exit
//   velmora --demo --screenshots DIR   ... pictures of the window mid-run and after, and of
//                                      each dialog, into DIR, then exit
// with --oci-library PATH (the Oracle client library to load) and --demo-work DIR (where the
// demo databases live). Qt's own options (-platform ...) are taken out by QApplication first.
#pragma once

#include <string>
#include <vector>

namespace velmora::ui {

struct AppArguments {
  std::string configurationFile;
  bool demo = false;
  std::string screenshot;   // one picture after the run
  std::string screenshots;  // a folder for the whole set
  std::string printPdf;
  std::string ociLibrary;
  std::string demoWork;
  bool help = false;
  bool version = false;
  std::string error;  // not empty: the command line is wrong, this says why

  // A run that ends the application by itself: nobody answers questions.
  bool unattended() const { return !screenshot.empty() || !screenshots.empty() || !printPdf.empty(); }
};

AppArguments parseAppArguments(const std::vector<std::string>& arguments);  // without argv[0]
std::string appUsage();

}  // namespace velmora::ui
